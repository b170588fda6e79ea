#pragma once

// Finds the shipped resources (the default settings document, images) of the running program.
// The directories are searched in a fixed order and the first file found wins:
//
//   1. the main bundle's resources directory (<Name>.app/Contents/Resources);
//   2. the main bundle's location without its last two path components, joined with
//      "Resources";
//   3. the directory that contains the main bundle;
//   4. the installed share directory next to the program (<bin>/../share/tavrel), then the one
//      of the configured installation prefix;
//   5. "resources" in the current working directory (a source tree during development);
//   6. "resources" in the directory that contains the main bundle (or the program) and each of
//      its next five parents, so that programs in a build tree find the source tree's copy.
//
// A directory reached twice by different paths is searched once, where it first appears.

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

namespace tavrel {

struct ResourceSearchLocations {
    std::optional<std::filesystem::path> mainBundle;           // the .app directory
    std::optional<std::filesystem::path> executableDirectory;  // for programs outside a bundle
    std::filesystem::path currentDirectory;
    std::filesystem::path installedDataDirectory;  // <prefix>/share/tavrel
};

namespace TavrelResources {

std::vector<std::filesystem::path> candidateDirectories(const ResourceSearchLocations& locations);

std::optional<std::filesystem::path> resourceURL(std::string_view name, std::string_view extension,
                                                 const ResourceSearchLocations& locations);

// The same for this process.
std::optional<std::filesystem::path> resourceURL(std::string_view name, std::string_view extension);
ResourceSearchLocations processLocations();

// Programs that do not run from a bundle (the command-line tools) say where they live, once, at
// start-up.
void setExecutableDirectory(std::filesystem::path directory);

}  // namespace TavrelResources

}  // namespace tavrel
