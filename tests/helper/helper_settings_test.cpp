// The helper's own reading of settings.json.

#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/helper/helper_dock_tile_stored_settings.h"

namespace tavrel {
namespace {

using Settings = HelperDockTileStoredSettings;

Settings with(std::optional<bool> hide, std::optional<bool> avatar = std::nullopt,
              std::optional<HelperDockTileCodableColor> color = std::nullopt,
              std::optional<double> width = std::nullopt) {
    return Settings{hide, avatar, color, width};
}

TEST(HelperDockTileStoredSettings, ReadsItsFourKeysAndIgnoresTheRest) {
    struct Case {
        const char* label;
        std::string json;
        Settings expected;
    };
    const std::vector<Case> cases{
        {"empty object", "{}", {}},
        {"all keys",
         R"({"hideNativeDock":true,"nativeDockLauncherUseUserAvatar":false,
             "nativeDockLauncherAvatarBorderColor":{"red":1,"green":0.5,"blue":0,"alpha":0.25},
             "nativeDockLauncherAvatarBorderWidth":3.5})",
         with(true, false, HelperDockTileCodableColor{1, 0.5, 0, 0.25}, 3.5)},
        {"null is absent",
         R"({"hideNativeDock":null,"nativeDockLauncherAvatarBorderColor":null,
             "nativeDockLauncherAvatarBorderWidth":null})",
         {}},
        {"other keys of any type",
         R"({"theme":1,"windowsSettings":{"hideNativeDock":"x","a":[[[]]]},"list":[1,{"b":null}],
             "nativeDockLauncherWidth":"wide","hideNativeDock":false})",
         with(false)},
        {"colour with extra keys and integer components",
         R"({"nativeDockLauncherAvatarBorderColor":{"alpha":1,"blue":0,"green":1,"red":0,
                                                    "space":{"name":"sRGB"}}})",
         with(std::nullopt, std::nullopt, HelperDockTileCodableColor{0, 1, 0, 1})},
        {"out-of-range numbers are kept as read",
         R"({"nativeDockLauncherAvatarBorderWidth":-3,
             "nativeDockLauncherAvatarBorderColor":{"red":2,"green":-1,"blue":0,"alpha":1}})",
         with(std::nullopt, std::nullopt, HelperDockTileCodableColor{2, -1, 0, 1}, -3)},
        {"the last of repeated keys counts", R"({"hideNativeDock":true,"hideNativeDock":false})",
         with(false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto decoded = Settings::decode(c.json);
        ASSERT_TRUE(decoded.ok()) << decoded.error().message;
        EXPECT_EQ(*decoded, c.expected);
    }
}

TEST(HelperDockTileStoredSettings, AnyBadValueOfItsKeysVoidsTheWholeDocument) {
    const std::vector<std::pair<const char*, std::string>> cases{
        {"colour lacking alpha",
         R"({"hideNativeDock":true,
             "nativeDockLauncherAvatarBorderColor":{"red":1,"green":1,"blue":1}})"},
        {"colour component null",
         R"({"nativeDockLauncherAvatarBorderColor":{"red":1,"green":1,"blue":1,"alpha":null}})"},
        {"colour component a string",
         R"({"nativeDockLauncherAvatarBorderColor":{"red":"1","green":1,"blue":1,"alpha":1}})"},
        {"colour component an object",
         R"({"nativeDockLauncherAvatarBorderColor":{"red":{},"green":1,"blue":1,"alpha":1}})"},
        {"colour an array", R"({"nativeDockLauncherAvatarBorderColor":[1,1,1,1]})"},
        {"boolean as number", R"({"hideNativeDock":1})"},
        {"boolean as string", R"({"hideNativeDock":"true"})"},
        {"width as boolean", R"({"nativeDockLauncherAvatarBorderWidth":true})"},
        {"width as object", R"({"nativeDockLauncherAvatarBorderWidth":{}})"},
        {"width too large for a double", R"({"nativeDockLauncherAvatarBorderWidth":1e400})"},
        {"not an object", "[true]"},
        {"a bare value", "true"},
        {"not JSON", "{hideNativeDock: true}"},
        {"trailing bytes", R"({"hideNativeDock":true} x)"},
        {"truncated", R"({"hideNativeDock":true)"},
        {"invalid UTF-8 in a string", "{\"a\":\"\xff\",\"hideNativeDock\":true}"},
        {"empty", ""},
    };
    for (const auto& [label, json] : cases) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(Settings::decode(json).ok());
    }
}

TEST(HelperDockTileStoredSettings, DeepNestingAndSizeLimits) {
    const std::string deep = R"({"other":)" + std::string(100000, '[') + std::string(100000, ']') +
                             R"(,"hideNativeDock":true})";
    const auto decoded = Settings::decode(deep);
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->hideNativeDock, true);

    std::string large = R"({"hideNativeDock":true,"pad":")";
    large += std::string(Settings::maxBytes, 'x') + "\"}";
    EXPECT_FALSE(Settings::decode(large).ok());

    const auto path = std::filesystem::path(std::getenv("HOME")) / "settings.json";
    EXPECT_FALSE(Settings::load(path).ok());
    std::ofstream(path) << R"({"hideNativeDock":true})";
    const auto loaded = Settings::load(path);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(loaded->hideNativeDock, true);
    std::ofstream(path) << large;
    EXPECT_FALSE(Settings::load(path).ok());

    // The settings application's own default document reads without complaint.
    const auto defaults = Settings::load(std::filesystem::path(TAVREL_SOURCE_DIR) / "resources" /
                                         "DefaultSettings.json");
    EXPECT_TRUE(defaults.ok()) << (defaults.ok() ? "" : defaults.error().message);

    EXPECT_EQ(helperSettingsDocumentPath(),
              std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Tavrel" / "settings.json");
}

}  // namespace
}  // namespace tavrel
