#pragma once

// Whole-file reads with a size cap, and crash-safe whole-file replacement.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel::platform {

enum class Durability {
    durable,  // fsync the file and its directory: the new content survives a power loss
    fast,     // atomic against crashes of this process, not against a power loss
};

// The file's bytes; an error when it cannot be read or is larger than `maxBytes`.
Result<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes);

// Writes `bytes` to a temporary file in the same directory, fsyncs it, renames it over `path`
// and fsyncs the directory. Readers see the old content or the new one, never a mixture; on
// failure the old file is untouched and the temporary file is removed. New files get mode 0644.
Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                           Durability durability = Durability::durable);

}  // namespace tavrel::platform
