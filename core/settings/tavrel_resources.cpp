#include "core/settings/tavrel_resources.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/bundle.h"

namespace tavrel::TavrelResources {

namespace fs = std::filesystem;

namespace {

// The standardised form of a directory, as the de-duplication compares it.
fs::path standardized(const fs::path& directory) {
    fs::path normal = directory.lexically_normal();
    if (normal.has_filename() || normal == normal.root_path()) return normal;
    return normal.parent_path();  // "a/b/" → "a/b"
}

std::mutex& executableDirectoryMutex() {
    static std::mutex mutex;
    return mutex;
}

std::optional<fs::path>& executableDirectoryStorage() {
    static std::optional<fs::path> directory;
    return directory;
}

}  // namespace

std::vector<fs::path> candidateDirectories(const ResourceSearchLocations& locations) {
    std::vector<fs::path> candidates;
    std::optional<fs::path> anchor;  // where the walk up towards a source tree starts
    if (locations.mainBundle) {
        const fs::path bundle = standardized(*locations.mainBundle);
        candidates.push_back(bundle / "Contents" / "Resources");
        candidates.push_back(bundle.parent_path().parent_path() / "Resources");
        candidates.push_back(bundle.parent_path());
        anchor = bundle.parent_path();
    }
    if (locations.executableDirectory) {
        candidates.push_back(standardized(*locations.executableDirectory).parent_path() / "share" /
                             "tavrel");
        if (!anchor) anchor = standardized(*locations.executableDirectory);
    }
    if (!locations.installedDataDirectory.empty()) {
        candidates.push_back(locations.installedDataDirectory);
    }
    if (!locations.currentDirectory.empty()) {
        candidates.push_back(locations.currentDirectory / "resources");
    }
    if (anchor) {
        fs::path directory = *anchor;
        for (int level = 0; level < 6; ++level) {
            candidates.push_back(directory / "resources");
            if (!directory.has_relative_path()) break;
            directory = directory.parent_path();
        }
    }

    std::vector<fs::path> unique;
    std::vector<fs::path> seen;
    for (const auto& candidate : candidates) {
        const fs::path key = standardized(candidate);
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) continue;
        seen.push_back(key);
        unique.push_back(candidate);
    }
    return unique;
}

std::optional<fs::path> resourceURL(std::string_view name, std::string_view extension,
                                    const ResourceSearchLocations& locations) {
    std::string fileName(name);
    fileName += '.';
    fileName += extension;
    for (const auto& directory : candidateDirectories(locations)) {
        const fs::path candidate = directory / fileName;
        std::error_code error;
        if (fs::is_regular_file(candidate, error)) return candidate;
    }
    return std::nullopt;
}

ResourceSearchLocations processLocations() {
    ResourceSearchLocations locations;
    if (const auto bundle = platform::Bundle::main()) locations.mainBundle = bundle->root();
    {
        const std::lock_guard lock(executableDirectoryMutex());
        locations.executableDirectory = executableDirectoryStorage();
    }
    std::error_code error;
    locations.currentDirectory = fs::current_path(error);
    // Set by the build: the installation's <prefix>/share/tavrel.
    locations.installedDataDirectory = TAVREL_INSTALL_DATADIR;
    return locations;
}

std::optional<fs::path> resourceURL(std::string_view name, std::string_view extension) {
    return resourceURL(name, extension, processLocations());
}

void setExecutableDirectory(fs::path directory) {
    const std::lock_guard lock(executableDirectoryMutex());
    executableDirectoryStorage() = std::move(directory);
}

}  // namespace tavrel::TavrelResources
