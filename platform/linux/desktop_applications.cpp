#include "platform/linux/desktop_applications.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>

#include "core/foundation/utf8.h"
#include "platform/linux/desktop_entry.h"
#include "platform/paths.h"

namespace tavrel::platform::desktop {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxIdBytes = 255;
// Menus put entries one or two levels deep ("kde4/…"); nothing real goes further.
constexpr int kMaxDepth = 8;
constexpr std::string_view kSuffix = ".desktop";

std::optional<fs::path> findIn(const fs::path& directory, std::string_view id, int depth) {
    std::error_code error;
    fs::path direct = directory / std::string(id);
    if (fs::is_regular_file(direct, error)) return direct;
    if (depth >= kMaxDepth) return std::nullopt;
    // "a-b-c.desktop" may also be "a/b-c.desktop", "a-b/c.desktop" or "a/b/c.desktop".
    for (std::size_t dash = id.find('-'); dash != std::string_view::npos;
         dash = id.find('-', dash + 1)) {
        const std::string prefix(id.substr(0, dash));
        if (prefix.empty()) continue;
        const fs::path subdirectory = directory / prefix;
        if (!fs::is_directory(subdirectory, error)) continue;
        if (auto found = findIn(subdirectory, id.substr(dash + 1), depth + 1)) return found;
    }
    return std::nullopt;
}

struct Candidate {
    std::string id;
    fs::path file;
};

// Every entry file below `directory` with its id, in a fixed order.
std::vector<Candidate> entryFiles(const fs::path& directory, std::size_t maxFiles) {
    std::vector<Candidate> found;
    std::error_code error;
    fs::recursive_directory_iterator it(directory, fs::directory_options::skip_permission_denied,
                                        error);
    if (error) return found;
    for (const fs::recursive_directory_iterator end; it != end; it.increment(error)) {
        if (error) break;
        if (it.depth() >= kMaxDepth) it.disable_recursion_pending();
        const fs::path& file = it->path();
        const std::string name = file.filename().string();
        if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) continue;
        std::error_code typeError;
        if (!it->is_regular_file(typeError)) continue;
        std::string id = file.lexically_relative(directory).generic_string();
        std::replace(id.begin(), id.end(), '/', '-');
        if (!isDesktopFileId(id)) continue;
        found.push_back({std::move(id), file});
        if (found.size() >= maxFiles) break;
    }
    std::sort(found.begin(), found.end(),
              [](const Candidate& a, const Candidate& b) { return a.file < b.file; });
    return found;
}

std::optional<ApplicationInfo> applicationFrom(const fs::path& file, std::string_view id,
                                               const DesktopEntry& entry) {
    if (!entry.isApplication() || entry.hidden) return std::nullopt;
    ApplicationInfo info;
    info.bundleIdentifier = std::string(id);
    info.name = entry.displayName(file.filename());
    info.path = file;
    if (entry.icon) info.icon = iconReference(*entry.icon);
    return info;
}

}  // namespace

std::vector<fs::path> applicationDirectories() {
    std::vector<fs::path> bases;
    if (const char* home = std::getenv("XDG_DATA_HOME"); home != nullptr && home[0] == '/') {
        bases.emplace_back(home);
    } else {
        bases.push_back(paths::home() / ".local" / "share");
    }
    const char* dirs = std::getenv("XDG_DATA_DIRS");
    const std::string_view list =
        dirs != nullptr && dirs[0] != '\0' ? std::string_view(dirs) : "/usr/local/share:/usr/share";
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string_view::npos) end = list.size();
        const std::string_view item = list.substr(start, end - start);
        if (!item.empty() && item.front() == '/') bases.emplace_back(std::string(item));
        start = end + 1;
    }
    std::vector<fs::path> directories;
    for (const fs::path& base : bases) {
        fs::path directory = (base / "applications").lexically_normal();
        if (std::find(directories.begin(), directories.end(), directory) == directories.end()) {
            directories.push_back(std::move(directory));
        }
    }
    return directories;
}

bool isDesktopFileId(std::string_view id) {
    if (id.size() <= kSuffix.size() || id.size() > kMaxIdBytes || !id.ends_with(kSuffix)) {
        return false;
    }
    if (id.find('/') != std::string_view::npos || id.find('\0') != std::string_view::npos) {
        return false;
    }
    std::size_t start = 0;
    for (;;) {
        const std::size_t dash = id.find('-', start);
        const std::string_view part = id.substr(start, dash - start);
        if (part == "." || part == "..") return false;
        if (dash == std::string_view::npos) return true;
        start = dash + 1;
    }
}

std::optional<fs::path> findDesktopFile(std::string_view id,
                                        const std::vector<fs::path>& directories) {
    if (!isDesktopFileId(id)) return std::nullopt;
    for (const fs::path& directory : directories) {
        if (auto found = findIn(directory, id, 0)) return found;
    }
    return std::nullopt;
}

std::string desktopFileIdFor(const fs::path& file, const std::vector<fs::path>& directories) {
    const fs::path normal = file.lexically_normal();
    for (const fs::path& directory : directories) {
        const fs::path relative = normal.lexically_relative(directory);
        if (relative.empty() || *relative.begin() == "..") continue;
        std::string id = relative.generic_string();
        std::replace(id.begin(), id.end(), '/', '-');
        if (isDesktopFileId(id)) return id;
    }
    return replacingInvalidUtf8(file.filename().string());
}

std::optional<ApplicationInfo> applicationFromFile(const fs::path& file, std::string_view id) {
    Result<DesktopEntry> entry = readDesktopEntry(file);
    if (!entry) return std::nullopt;
    return applicationFrom(file, id, *entry);
}

IconReference iconReference(std::string_view iconValue) {
    IconReference icon;
    if (iconValue.empty()) return icon;
    if (iconValue.front() == '/') {
        icon.file = fs::path(std::string(iconValue));
        return icon;
    }
    std::string name(iconValue);
    for (const std::string_view extension : {".png", ".svg", ".xpm"}) {
        if (name.size() > extension.size() && name.ends_with(extension)) {
            name.resize(name.size() - extension.size());
            break;
        }
    }
    icon.themeName = std::move(name);
    return icon;
}

std::vector<ApplicationInfo> listApplications(const std::vector<fs::path>& directories,
                                              std::size_t maxFiles) {
    std::vector<ApplicationInfo> applications;
    std::set<std::string, std::less<>> seen;
    for (const fs::path& directory : directories) {
        for (const Candidate& candidate : entryFiles(directory, maxFiles)) {
            if (!seen.insert(candidate.id).second) continue;
            Result<DesktopEntry> entry = readDesktopEntry(candidate.file);
            if (!entry || entry->noDisplay) continue;
            if (auto info = applicationFrom(candidate.file, candidate.id, *entry)) {
                applications.push_back(std::move(*info));
            }
        }
    }
    return applications;
}

}  // namespace tavrel::platform::desktop
