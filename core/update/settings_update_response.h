#pragma once

// The update service's answer to "/api/app-versions/latest", decoded strictly: one required key
// missing or of the wrong JSON type, or one release record incomplete, and the whole answer is
// unusable. Keys this system does not know are ignored.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"

namespace tavrel {

struct SettingsUpdateVersionRecord {
    std::string version;       // shown unchanged
    std::string releaseNotes;  // free text with line breaks
    std::string createdAt;     // the release time, RFC 3339

    friend bool operator==(const SettingsUpdateVersionRecord&,
                           const SettingsUpdateVersionRecord&) = default;
};

struct SettingsUpdateResponse {
    bool ok = false;
    // Absent and null both mean none.
    std::optional<std::string> latestVersion;
    // Release notes in the service's order.
    std::vector<SettingsUpdateVersionRecord> versions;
    // Read but never used: the website button always opens the built-in address.
    std::optional<std::string> websiteURL;

    friend bool operator==(const SettingsUpdateResponse&, const SettingsUpdateResponse&) = default;
};

struct SettingsUpdateResponseLimits {
    // A longer body is refused before it is parsed (and the transport stops reading there).
    static constexpr std::size_t maxBytes = 1024 * 1024;
    static constexpr int maxDepth = 32;
};

// The response, or why it is unusable. "ok": false still decodes; the checker refuses it.
Result<SettingsUpdateResponse> decodeSettingsUpdateResponse(std::string_view bytes);

}  // namespace tavrel
