#pragma once

// The message that carries the settings application's copy of the New File document and of the
// imported template files to the extension: compact JSON, bytes as standard Base64.
//   {"customTemplateData":{"<file name>":"<Base64>",…},"settingsData":"<Base64>"}

#include <map>
#include <string>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel {

struct NewFileSettingsSyncPayload {
    std::string settingsData;                               // NewFileSettings.json as saved
    std::map<std::string, std::string> customTemplateData;  // file name → file bytes

    friend bool operator==(const NewFileSettingsSyncPayload&,
                           const NewFileSettingsSyncPayload&) = default;

    // Fails when a cap of NewFileLimits is exceeded, so nothing is sent that receivers refuse.
    Result<std::string> encode() const;

    // Any process may post a payload: every cap of NewFileLimits is checked before anything is
    // decoded (the payload's length before parsing, each Base64 text's length before decoding).
    // Entry names are not judged here; whoever uses one as a path does.
    static Result<NewFileSettingsSyncPayload> decode(std::string_view bytes);
};

}  // namespace tavrel
