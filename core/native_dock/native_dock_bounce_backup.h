#pragma once

// native-dock-bounce-backup.json: the Dock's bounce preference from before the first hide, so
// that restoring the Dock gives the user's own setting back. Content: {"value":"<value>"} with
// one of "true", "false", "missing"; written compactly and atomically.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct NativeDockBounceBackup {
    static constexpr std::string_view fileName = "native-dock-bounce-backup.json";
    // The real file is under 20 bytes; anything far larger is not a backup.
    static constexpr std::size_t maxBytes = 4096;

    // Beside settings.json: its path with the last component replaced.
    static std::filesystem::path urlBeside(const std::filesystem::path& settingsURL);

    // The value when `bytes` is a JSON object whose member "value" is one of the three values.
    static std::optional<std::string> decode(std::string_view bytes);
    static std::string encode(std::string_view value);
};

// Nothing when the file is absent, unreadable, not JSON, of another shape or another value.
// Never logs.
std::optional<std::string> loadNativeDockBouncePreference(const std::filesystem::path& url);

// Keeps an existing valid backup untouched (true), so repeated hides never replace the user's
// value by the "true" a hide wrote. Refuses to replace an invalid file (logs, false). Otherwise
// creates the directory and writes the file atomically (false with a log line on failure).
bool saveNativeDockBouncePreference(std::string_view value, const std::filesystem::path& url);

// Removes the file; an absent file counts as removed. Logs and gives false on other errors.
bool clearNativeDockBouncePreference(const std::filesystem::path& url);

// Whether anything stands at `url` (a dangling link or an unreadable entry counts).
bool nativeDockBounceBackupExists(const std::filesystem::path& url);

}  // namespace tavrel
