#pragma once

// The desktop's applications as the freedesktop menus find them: desktop entry files under the
// "applications" directory of $XDG_DATA_HOME, then of each of $XDG_DATA_DIRS, each named by its
// desktop-file id (the path below that directory with "/" turned into "-", so
// "kde4/foo.desktop" is "kde4-foo.desktop"). An id found in an earlier directory hides every
// later entry with the same id, even when the earlier one is hidden or not an application.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/workspace.h"

namespace tavrel::platform::desktop {

// $XDG_DATA_HOME (when absolute, else ~/.local/share) + "/applications", then each absolute
// entry of $XDG_DATA_DIRS (default "/usr/local/share:/usr/share") + "/applications", in order,
// without repeats. Read from the environment on every call.
std::vector<std::filesystem::path> applicationDirectories();

// A well-formed desktop-file id: ends with ".desktop", no "/", no NUL, at most 255 bytes, and no
// part between "-" that is "." or ".." (so no id reaches outside the directories).
bool isDesktopFileId(std::string_view id);

// The entry file an id names in the first directory that has it; nothing for an ill-formed id.
std::optional<std::filesystem::path> findDesktopFile(
    std::string_view id, const std::vector<std::filesystem::path>& directories);

// The id of an entry file: its path below the first of `directories` that holds it, else its
// file name.
std::string desktopFileIdFor(const std::filesystem::path& file,
                             const std::vector<std::filesystem::path>& directories);

// The application an entry file describes: a readable entry of type "Application" that is not
// hidden, with `id` as its bundle identifier.
std::optional<ApplicationInfo> applicationFromFile(const std::filesystem::path& file,
                                                   std::string_view id);

// The icon an entry's "Icon=" names: an absolute path is a file; anything else a theme icon
// name (an old-style "name.png" without its image extension). Empty for none.
IconReference iconReference(std::string_view iconValue);

// Every application the menus would list from `directories`: the first entry of each id,
// when it is an application that is neither hidden nor marked NoDisplay. Directories deeper than
// a few levels and more than `maxFiles` entry files per directory are not looked at.
std::vector<ApplicationInfo> listApplications(const std::vector<std::filesystem::path>& directories,
                                              std::size_t maxFiles = 20000);

}  // namespace tavrel::platform::desktop
