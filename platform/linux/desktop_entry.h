#pragma once

// Freedesktop desktop entry files (".desktop"): the "[Desktop Entry]" group and the few keys an
// application list needs. The files come from every package and every user, so the reader
// expects anything: a size cap, lines it does not understand skipped, values that are not UTF-8
// treated as absent.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel::platform {

// A larger file is not read.
inline constexpr std::size_t kDesktopEntryMaxBytes = 256 * 1024;

struct DesktopEntry {
    std::string type;                        // "Type"
    std::optional<std::string> name;         // "Name"
    std::optional<std::string> chineseName;  // "Name[zh_CN]"
    std::optional<std::string> icon;         // "Icon"
    bool noDisplay = false;                  // "NoDisplay"
    bool hidden = false;                     // "Hidden": the entry counts as deleted

    bool isApplication() const { return type == "Application"; }

    // "Name[zh_CN]", else "Name", else `fileName` without ".desktop" (empty values count as
    // absent). Always valid UTF-8.
    std::string displayName(const std::filesystem::path& fileName) const;

    friend bool operator==(const DesktopEntry&, const DesktopEntry&) = default;
};

// Decodes the first "[Desktop Entry]" group of `text`. An error when the text is larger than
// kDesktopEntryMaxBytes or has no such group. Comments, blank lines, other groups, unknown keys
// and lines that are not "key=value" are skipped; when a key repeats, the last value counts.
Result<DesktopEntry> parseDesktopEntry(std::string_view text);

// Reads and decodes one file (the same errors, and the file's own).
Result<DesktopEntry> readDesktopEntry(const std::filesystem::path& path);

// A value with its escapes resolved: "\s" space, "\n" line feed, "\t" tab, "\r" carriage return,
// "\\" backslash; any other backslash is kept as it is.
std::string unescapeDesktopEntryValue(std::string_view value);

}  // namespace tavrel::platform
