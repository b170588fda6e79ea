// The resource lookup: the order of the directories searched and which copy wins.

#include "core/settings/tavrel_resources.h"

#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "settings_test_support.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

TEST(TavrelResources, SearchOrderForABundledProgram) {
    ResourceSearchLocations locations;
    locations.mainBundle = "/opt/build/bundles/TavrelSettings.app/";
    locations.currentDirectory = "/home/user/tavrel";
    locations.installedDataDirectory = "/usr/local/share/tavrel";
    const std::vector<fs::path> expected = {
        "/opt/build/bundles/TavrelSettings.app/Contents/Resources",
        "/opt/build/Resources",
        "/opt/build/bundles",
        "/usr/local/share/tavrel",
        "/home/user/tavrel/resources",
        "/opt/build/bundles/resources",
        "/opt/build/resources",
        "/opt/resources",
        "/resources",
    };
    EXPECT_EQ(TavrelResources::candidateDirectories(locations), expected);
}

TEST(TavrelResources, SearchOrderForAProgramOutsideABundle) {
    ResourceSearchLocations locations;
    locations.executableDirectory = "/w/a/b/c/d/e/f/bin";
    locations.currentDirectory = "/w/a/b/c/d/e/f/bin";
    locations.installedDataDirectory = "/usr/share/tavrel";
    const std::vector<fs::path> expected = {
        "/w/a/b/c/d/e/f/share/tavrel",  "/usr/share/tavrel",
        "/w/a/b/c/d/e/f/bin/resources",  // the working directory, reached once
        "/w/a/b/c/d/e/f/resources",     "/w/a/b/c/d/e/resources", "/w/a/b/c/d/resources",
        "/w/a/b/c/resources",           "/w/a/b/resources",
    };
    EXPECT_EQ(TavrelResources::candidateDirectories(locations), expected);
}

TEST(TavrelResources, FirstCopyFoundWins) {
    const test::ScratchDirectory scratch;
    const fs::path tree = scratch.path();
    const fs::path bundle = tree / "build" / "bundles" / "TavrelSettings.app";
    const fs::path inBundle = bundle / "Contents" / "Resources" / "DefaultSettings.json";
    const fs::path inSourceTree = tree / "resources" / "DefaultSettings.json";
    const fs::path inWorkingDirectory = tree / "work" / "resources" / "DefaultSettings.json";
    fs::create_directories(tree / "work");
    test::writeText(inSourceTree, "{}");

    ResourceSearchLocations locations;
    locations.mainBundle = bundle;
    locations.currentDirectory = tree / "work";
    // Only the source tree has it: found by walking up from the bundle.
    EXPECT_EQ(TavrelResources::resourceURL("DefaultSettings", "json", locations), inSourceTree);
    test::writeText(inWorkingDirectory, "{}");
    EXPECT_EQ(TavrelResources::resourceURL("DefaultSettings", "json", locations),
              inWorkingDirectory);
    test::writeText(inBundle, "{}");
    EXPECT_EQ(TavrelResources::resourceURL("DefaultSettings", "json", locations), inBundle);
    EXPECT_EQ(TavrelResources::resourceURL("DefaultSettings", "png", locations), std::nullopt);
    // A directory of that name is no resource.
    fs::create_directories(bundle / "Contents" / "Resources" / "Logo.png");
    EXPECT_EQ(TavrelResources::resourceURL("Logo", "png", locations), std::nullopt);
}

}  // namespace
}  // namespace tavrel
