#include "tests/platform_posix/scoped_variable.h"
#include "platform/paths.h"

#include <cstdlib>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/platform_posix/temporary_directory.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;


TEST(Paths, FollowTheEnvironmentWhenItIsAbsolute) {
    struct Case {
        std::optional<std::string> dataHome;
        std::optional<std::string> configHome;
        fs::path applicationSupport;
        fs::path preferences;
    } cases[] = {
        {"/data", "/config", "/data", "/config/Tavrel/Preferences"},
        {std::nullopt, std::nullopt, "/home/u/.local/share", "/home/u/.config/Tavrel/Preferences"},
        {"", "", "/home/u/.local/share", "/home/u/.config/Tavrel/Preferences"},
        {"relative/data", "relative/config", "/home/u/.local/share",
         "/home/u/.config/Tavrel/Preferences"},
    };
    ScopedVariable home("HOME", "/home/u");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dataHome.value_or("<unset>"));
        ScopedVariable data("XDG_DATA_HOME", c.dataHome);
        ScopedVariable config("XDG_CONFIG_HOME", c.configHome);
        EXPECT_EQ(paths::home(), "/home/u");
        EXPECT_EQ(paths::applicationSupport(), c.applicationSupport);
        EXPECT_EQ(paths::preferencesDirectory(), c.preferences);
    }
}

TEST(Paths, HomeFallsBackToThePasswordDatabase) {
    ScopedVariable home("HOME", std::nullopt);
    const fs::path fallback = paths::home();
    EXPECT_TRUE(fallback.is_absolute()) << fallback;
}

TEST(Paths, RuntimeDirectoryIsTheEnvironmentsOrAPrivateOneInTmp) {
    {
        ScopedVariable runtime("XDG_RUNTIME_DIR", "/run/user/4242");
        EXPECT_EQ(paths::runtimeDirectory(), "/run/user/4242");
    }
    TemporaryDirectory tmp;
    ScopedVariable tmpdir("TMPDIR", tmp.path().string());
    ScopedVariable runtime("XDG_RUNTIME_DIR", "relative");
    const fs::path expected = tmp / ("tavrel-runtime-" + std::to_string(::geteuid()));

    EXPECT_EQ(paths::runtimeDirectory(), expected);
    struct stat info {};
    ASSERT_EQ(::lstat(expected.c_str(), &info), 0);
    EXPECT_TRUE(S_ISDIR(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(paths::runtimeDirectory(), expected) << "the same directory on every call";

    // Opened up by someone: closed again rather than used as it is.
    ASSERT_EQ(::chmod(expected.c_str(), 0777), 0);
    EXPECT_EQ(paths::runtimeDirectory(), expected);
    ASSERT_EQ(::lstat(expected.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST(Paths, RuntimeDirectoryNeverFollowsALinkPlantedInTmp) {
    TemporaryDirectory tmp;
    ScopedVariable tmpdir("TMPDIR", tmp.path().string());
    ScopedVariable runtime("XDG_RUNTIME_DIR", std::nullopt);
    const std::string name = "tavrel-runtime-" + std::to_string(::geteuid());
    fs::create_directory(tmp / "elsewhere");
    fs::create_directory_symlink(tmp / "elsewhere", tmp / name);

    const fs::path chosen = paths::runtimeDirectory();
    EXPECT_EQ(chosen, tmp / (name + "-1"));
    EXPECT_FALSE(fs::is_symlink(chosen));
    EXPECT_EQ(paths::runtimeDirectory(), chosen) << "every process makes the same choice";
}

}  // namespace
}  // namespace tavrel::platform
