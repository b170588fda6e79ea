// The settings document: its keys, defaults, read rules, legacy keys, mirrors and limits.

#include <functional>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_json.h"
#include "core/settings/settings_keys.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

using test::Json;
using test::loaded;

// A value of the key's shape that differs from `current` and passes the key's read rule.
Json sampleFor(SettingsValueKind kind, const Json& current) {
    switch (kind) {
        case SettingsValueKind::boolean:
            return !current.get<bool>();
        case SettingsValueKind::number:
            return current.get<double>() * 0.5 + 0.375;
        case SettingsValueKind::integer: {
            const auto code = current.is_null() ? 0 : current.get<std::int64_t>();
            return code == 0 ? 1 : code - 1;
        }
        case SettingsValueKind::color:
            return Json{{"red", 0.125}, {"green", 0.25}, {"blue", 0.375}, {"alpha", 0.5}};
        case SettingsValueKind::string:
            return "Display-7F";
        case SettingsValueKind::stringList:
            return Json::array({"Display-A", "display-b"});
        case SettingsValueKind::excludedApplications:
            return Json::array({{{"name", "Safari"}, {"bundleIdentifier", "com.apple.Safari"}}});
        case SettingsValueKind::closeProtectionApps:
            return Json::array({{{"appName", "Mail"}, {"path", "/Applications/Mail.app"}}});
        case SettingsValueKind::storageBoxes:
            return Json::array({{{"id", "6F1A2B3C-4D5E-4F60-8172-8394A5B6C7D8"},
                                 {"name", "Box"},
                                 {"isVisible", false},
                                 {"sortMode", "manual"},
                                 {"manualAppOrder", {"com.apple.Notes"}},
                                 {"size", 3}}});
        case SettingsValueKind::themeConfiguration: {
            Json record = current;
            record["taskbarHeight"] = 40.5;
            return record;
        }
    }
    return nullptr;
}

// A value the key cannot be read from.
Json wrongValueFor(SettingsValueKind kind) {
    switch (kind) {
        case SettingsValueKind::boolean:
            return "yes";
        case SettingsValueKind::number:
            return "12";
        case SettingsValueKind::integer:
            return 2.5;
        case SettingsValueKind::color:
            return Json{{"red", 1}, {"green", 1}, {"blue", 1}};
        case SettingsValueKind::string:
            return 7;
        case SettingsValueKind::stringList:
            return Json::array({"a", 1});
        case SettingsValueKind::excludedApplications:
            return Json::array({{{"bundleIdentifier", "com.apple.Safari"}}});
        case SettingsValueKind::closeProtectionApps:
            return Json::array({{{"appName", "Mail"}}, {{"bundleIdentifier", "x"}}});
        case SettingsValueKind::storageBoxes:
            return Json::array(
                {{{"id", "not-an-identifier"}, {"name", "Box"}, {"isVisible", true}}});
        case SettingsValueKind::themeConfiguration:
            return Json::array();
    }
    return nullptr;
}

// What a writer of the document does: the top-level copies follow the current theme's record.
void synchroniseMirrors(Json& document) {
    const Json& record =
        document["theme"] == 1 ? document["liquidGlassSettings"] : document["windowsSettings"];
    for (const auto& key : settingsDocumentKeys()) {
        if (key.role == SettingsKeyRole::mirror) {
            document[std::string(key.name)] = record[std::string(key.name)];
        }
    }
    bool anyVisible = false;
    for (const auto& box : document["applicationStorageBoxes"])
        anyVisible |= box["isVisible"].get<bool>();
    document["applicationStorageBoxEnabled"] = anyVisible;
}

Json withoutMirrors(Json document) {
    for (const auto& key : settingsDocumentKeys()) {
        if (key.role == SettingsKeyRole::mirror) document.erase(std::string(key.name));
    }
    return document;
}

// Changes one value of the defaults document: a top-level key, or a key of a theme record.
struct KeyEdit {
    std::string label;
    std::function<void(Json&, const Json&)> apply;
};

std::vector<KeyEdit> everyReadableKey(
    const std::function<Json(SettingsValueKind, const Json&)>& make, bool includeDerivedAndLegacy) {
    std::vector<KeyEdit> edits;
    for (const auto& key : settingsDocumentKeys()) {
        if (key.name == "hideNotchBottomMaskEnabled") continue;  // never read
        const bool plain = key.role == SettingsKeyRole::global || key.name == "theme" ||
                           key.kind == SettingsValueKind::themeConfiguration;
        if (!plain && !includeDerivedAndLegacy) continue;
        const std::string name(key.name);
        const SettingsValueKind kind = key.kind;
        edits.push_back({name, [=](Json& document, const Json& base) {
                             const Json current =
                                 base.contains(name)
                                     ? base[name]
                                     : Json(kind == SettingsValueKind::boolean ? Json(true)
                                                                               : Json());
                             document[name] = make(kind, current);
                         }});
    }
    for (const char* record : {"windowsSettings", "liquidGlassSettings"}) {
        for (const auto& key : themeConfigurationKeys()) {
            const std::string name(key.name);
            const SettingsValueKind kind = key.kind;
            const std::string recordName = record;
            edits.push_back({recordName + "." + name, [=](Json& document, const Json& base) {
                                 document[recordName][name] = make(kind, base[recordName][name]);
                             }});
        }
    }
    return edits;
}

TEST(SettingsKeyTables, DeclareEveryKeyOfTheDocument) {
    EXPECT_EQ(settingsDocumentKeys().size(), 218u);
    EXPECT_EQ(themeConfigurationKeys().size(), 99u);
    std::size_t mirrors = 0;
    for (const auto& key : themeConfigurationKeys()) {
        if (key.mirror == MirrorGroup::none) continue;
        ++mirrors;
        const auto* topLevel = findSettingsDocumentKey(key.name);
        ASSERT_NE(topLevel, nullptr) << key.name;
        EXPECT_EQ(topLevel->kind, key.kind) << key.name;
        EXPECT_EQ(topLevel->mirror, key.mirror) << key.name;
    }
    EXPECT_EQ(mirrors, 92u);
}

TEST(SettingsKeyTables, EveryKeySurvivesEncodeAndDecode) {
    const Json base = test::defaultDocument();
    for (const auto& edit : everyReadableKey(sampleFor, false)) {
        SCOPED_TRACE(edit.label);
        Json document = base;
        edit.apply(document, base);
        ASSERT_NE(document, base);
        synchroniseMirrors(document);
        const Json after = test::encodedJson(loaded(document));
        EXPECT_EQ(Json::diff(withoutMirrors(document), withoutMirrors(after)), Json::array());
    }
}

TEST(SettingsKeyTables, WrongTypeOnAnyKeyTakesTheDefaultAndRaisesTheFlag) {
    const Json base = test::defaultDocument();
    for (const auto& edit : everyReadableKey(sampleFor, true)) {
        SCOPED_TRACE(edit.label);
        // Start from a non-default value so that falling back is visible.
        Json present = base;
        edit.apply(present, base);
        Json wrong = present;
        Json absent = present;
        const auto dot = edit.label.find('.');
        if (dot == std::string::npos) {
            wrong[edit.label] = wrongValueFor(findSettingsDocumentKey(edit.label)->kind);
            absent.erase(edit.label);
        } else {
            const std::string record = edit.label.substr(0, dot);
            const std::string name = edit.label.substr(dot + 1);
            wrong[record][name] = wrongValueFor(findThemeConfigurationKey(name)->kind);
            absent[record].erase(name);
        }

        SettingsCompatibilityRecovery::reset();
        settings_json::DecodeIssues issues;
        const auto record = StoredSettings::decode(wrong.dump(), &issues);
        ASSERT_TRUE(record.ok());
        EXPECT_TRUE(SettingsCompatibilityRecovery::consume());
        EXPECT_EQ(issues.droppedKeys, std::vector<std::string>{edit.label});
        TaskbarSettings fromWrong;
        fromWrong.map(*record);

        SettingsCompatibilityRecovery::reset();
        const TaskbarSettings fromAbsent = loaded(absent);
        EXPECT_FALSE(SettingsCompatibilityRecovery::consume());
        EXPECT_TRUE(fromWrong == fromAbsent);
    }
}

TEST(SettingsKeyTables, MirrorsCarryTheCurrentThemesValues) {
    for (const auto theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        SCOPED_TRACE(static_cast<int>(theme));
        TaskbarSettings settings;
        settings.theme = theme;
        settings.windowsProfile.taskbarScreenEdge = 7;          // reads as bottom
        settings.liquidGlassProfile.activeIconClickAction = 5;  // reads as minimise
        settings.liquidGlassBackgroundMaterial = TaskbarLiquidGlassBackgroundMaterial::clear;
        settings.clearLiquidGlassOpacity = 0.4;
        settings.windowsProfile.opacity = 0.7;
        const Json document = test::encodedJson(settings);
        const Json profile = theme == TaskbarTheme::windows ? document["windowsSettings"]
                                                            : document["liquidGlassSettings"];
        for (const auto& key : settingsDocumentKeys()) {
            if (key.role != SettingsKeyRole::mirror) continue;
            const std::string name(key.name);
            if (name == "opacity" || name == "taskbarScreenEdge" ||
                name == "activeIconClickAction") {
                continue;
            }
            EXPECT_EQ(document[name], profile[name]) << name;
        }
        EXPECT_EQ(document["opacity"], theme == TaskbarTheme::windows ? 0.7 : 0.4);
        EXPECT_EQ(document["taskbarScreenEdge"], 0);
        EXPECT_EQ(document["activeIconClickAction"], 0);
    }
}

TEST(SettingsDefaults, EncodeToTheGoldenDocument) {
    const auto golden = test::readText(std::filesystem::path(TAVREL_SOURCE_DIR) / "tests" /
                                       "settings" / "data" / "encoded_defaults.json");
    ASSERT_FALSE(golden.empty());
    // The golden file ends with a line break for the repository's sake.
    EXPECT_EQ(TaskbarSettings().encoded().value() + "\n", golden);
}

TEST(SettingsDefaults, ShippedDefaultDocumentIsTheBuiltInDefaults) {
    const auto shipped = test::readText(std::filesystem::path(TAVREL_SOURCE_DIR) / "resources" /
                                        "DefaultSettings.json");
    ASSERT_FALSE(shipped.empty());
    EXPECT_EQ(Json::parse(shipped), test::defaultDocument());
    SettingsCompatibilityRecovery::reset();
    EXPECT_TRUE(loaded(shipped) == TaskbarSettings());
    EXPECT_FALSE(SettingsCompatibilityRecovery::consume());
}

struct ReadCase {
    const char* name;
    const char* document;
    std::function<void(const TaskbarSettings&)> check;
};

void runReadCases(const std::vector<ReadCase>& cases) {
    for (const auto& readCase : cases) {
        SCOPED_TRACE(readCase.name);
        readCase.check(loaded(std::string(readCase.document)));
    }
}

TEST(SettingsReading, NormalisesCodesAndClampsValues) {
    runReadCases({
        {"theme 2 is Windows", R"({"theme": 2})",
         [](const auto& s) { EXPECT_EQ(s.theme, TaskbarTheme::windows); }},
        {"no theme is Windows", R"({})",
         [](const auto& s) { EXPECT_EQ(s.theme, TaskbarTheme::windows); }},
        {"theme 1 is liquid glass", R"({"theme": 1})",
         [](const auto& s) { EXPECT_EQ(s.theme, TaskbarTheme::liquidGlass); }},
        {"unknown appearance", R"({"appearanceMode": 3})",
         [](const auto& s) { EXPECT_EQ(s.appearanceMode, TavrelAppearanceMode::automatic); }},
        {"dark appearance", R"({"appearanceMode": 2})",
         [](const auto& s) { EXPECT_EQ(s.appearanceMode, TavrelAppearanceMode::dark); }},
        {"music widget 7", R"({"musicWidgetPlacement": 7})",
         [](const auto& s) {
             EXPECT_EQ(s.musicWidgetPlacement, MusicWidgetPlacement::taskbarRight);
         }},
        {"hot corner -1", R"({"launcherHotCorner": -1})",
         [](const auto& s) { EXPECT_EQ(s.launcherHotCorner, LauncherHotCorner::bottomLeft); }},
        {"preview style 2", R"({"taskbarPreviewStyle": 2, "nativeDockPreviewStyle": 1})",
         [](const auto& s) {
             EXPECT_EQ(s.taskbarPreviewStyle, WindowPreviewStyle::standard);
             EXPECT_EQ(s.nativeDockPreviewStyle, WindowPreviewStyle::compact);
         }},
        {"key code 50", R"({"startMenuShortcutKeyCode": 50})",
         [](const auto& s) { EXPECT_EQ(s.startMenuShortcutKeyCode, 49); }},
        {"key code of F12", R"({"startMenuShortcutKeyCode": 111})",
         [](const auto& s) { EXPECT_EQ(s.startMenuShortcutKeyCode, 111); }},
        {"modifiers 16", R"({"startMenuShortcutModifiers": 16})",
         [](const auto& s) { EXPECT_EQ(s.startMenuShortcutModifiers(), 8); }},
        {"modifiers 24", R"({"startMenuShortcutModifiers": 24})",
         [](const auto& s) { EXPECT_EQ(s.startMenuShortcutModifiers(), 8); }},
        {"modifiers 3", R"({"startMenuShortcutModifiers": 3})",
         [](const auto& s) { EXPECT_EQ(s.startMenuShortcutModifiers(), 3); }},
        {"cache limit 3", R"({"previewSnapshotCacheLimit": 3})",
         [](const auto& s) { EXPECT_EQ(s.previewSnapshotCacheLimitValue, 10); }},
        {"pixel width 5000", R"({"previewSnapshotMaxPixelWidth": 5000})",
         [](const auto& s) { EXPECT_EQ(s.previewSnapshotMaxPixelWidthValue, 1000); }},
        {"interval 0.1", R"({"previewSnapshotInterval": 0.1})",
         [](const auto& s) { EXPECT_EQ(s.previewSnapshotIntervalValue, 0.3); }},
        {"dock preview scale 5", R"({"nativeDockPreviewScale": 5})",
         [](const auto& s) { EXPECT_EQ(s.nativeDockPreviewScaleValue, 2); }},
        {"dock preview radii",
         R"({"nativeDockPreviewCornerRadius": -4, "nativeDockPreviewThumbnailCornerRadius": 400})",
         [](const auto& s) {
             EXPECT_EQ(s.nativeDockPreviewCornerRadiusValue, 0);
             EXPECT_EQ(s.nativeDockPreviewThumbnailCornerRadiusValue, 100);
         }},
        {"switcher modifier 2", R"({"windowSwitcherModifierKey": 2})",
         [](const auto& s) { EXPECT_EQ(s.windowSwitcherModifierKeyValue, 0); }},
        {"integral float for an integer key", R"({"startMenuClassicColumns": 9.0})",
         [](const auto& s) { EXPECT_EQ(s.startMenuClassicColumns, 9); }},
        {"integer for a number key", R"({"hideNotchCornerRadius": 12})",
         [](const auto& s) { EXPECT_EQ(s.hideNotchCornerRadius, 12.0); }},
        {"null is absent", R"({"hideNativeDock": null, "taskbarEnabled": null})",
         [](const auto& s) {
             EXPECT_FALSE(s.hideNativeDock);
             EXPECT_TRUE(s.taskbarEnabled);
         }},
        {"unknown keys are ignored", R"({"someFutureKey": {"a": [1, 2]}, "hideNativeDock": true})",
         [](const auto& s) { EXPECT_TRUE(s.hideNativeDock); }},
    });
}

TEST(SettingsReading, DefaultsFollowTheLoadedThemeRecords) {
    runReadCases({
        {"switcher keys from the Windows record",
         R"({"theme": 0, "windowsSettings": {"windowSwitcherTitleFontSize": 21,
             "windowSwitcherModifierKey": 1, "previewSnapshotCacheLimit": 500,
             "enableWindowSwitcher": true}})",
         [](const auto& s) {
             EXPECT_EQ(s.windowSwitcherTitleFontSize, 21);
             EXPECT_EQ(s.windowSwitcherModifierKeyValue, 1);
             EXPECT_EQ(s.previewSnapshotCacheLimitValue, 100);
             EXPECT_TRUE(s.enableWindowSwitcher);
             EXPECT_TRUE(s.windowSwitcherTitleBold);  // Windows default
         }},
        {"top-level switcher keys win",
         R"({"theme": 0, "windowSwitcherTitleFontSize": 17,
             "windowsSettings": {"windowSwitcherTitleFontSize": 21}})",
         [](const auto& s) { EXPECT_EQ(s.windowSwitcherTitleFontSize, 17); }},
        {"liquid-glass switcher defaults", R"({"theme": 1})",
         [](const auto& s) {
             EXPECT_EQ(s.windowSwitcherTitleFontSize, 13);
             EXPECT_EQ(s.windowSwitcherIconSize, 28);
             EXPECT_FALSE(s.windowSwitcherTitleBold);
         }},
        {"material opacities from the liquid-glass record",
         R"({"theme": 0, "liquidGlassSettings": {"opacity": 0.6}, "clearLiquidGlassOpacity": 0.3})",
         [](const auto& s) {
             EXPECT_EQ(s.frostedLiquidGlassOpacity, 0.6);
             EXPECT_EQ(s.clearLiquidGlassOpacity, 0.3);
         }},
        {"liquid-glass record without height has the Windows height",
         R"({"theme": 1, "themeIsolationVersion": 1, "liquidGlassSettings": {"iconSize": 45}})",
         [](const auto& s) { EXPECT_EQ(s.liquidGlassProfile.taskbarHeight, 48); }},
        {"Dock preview defaults are the liquid-glass theme defaults",
         R"({"theme": 0, "liquidGlassSettings": {"previewCornerRadius": 5}})",
         [](const auto& s) {
             EXPECT_EQ(s.nativeDockPreviewCornerRadiusValue, 18);
             EXPECT_EQ(s.nativeDockPreviewHoverBorderWidth, 0.65325196849727);
             EXPECT_EQ(s.nativeDockPreviewShadowStrength, 66.09372770087056);
         }},
    });
}

TEST(SettingsReading, LegacyKeys) {
    runReadCases({
        {"notch mask decides the notch",
         R"({"hideMenuBarNotch": true, "hideNotchTopMaskEnabled": false})",
         [](const auto& s) {
             EXPECT_FALSE(s.hideMenuBarNotch);
             EXPECT_TRUE(s.screenTopCornersEnabled);
             EXPECT_TRUE(s.screenBottomCornersEnabled);
         }},
        {"notch without mask key stays hidden", R"({"hideMenuBarNotch": true})",
         [](const auto& s) { EXPECT_TRUE(s.hideMenuBarNotch); }},
        {"notch mask ignored once a corner key exists",
         R"({"hideMenuBarNotch": true, "hideNotchTopMaskEnabled": false, "screenCornersEnabled": true})",
         [](const auto& s) { EXPECT_TRUE(s.hideMenuBarNotch); }},
        {"old corner switch", R"({"screenCornersEnabled": false})",
         [](const auto& s) {
             EXPECT_FALSE(s.screenTopCornersEnabled);
             EXPECT_FALSE(s.screenBottomCornersEnabled);
         }},
        {"newer corner switches win",
         R"({"screenCornersEnabled": false, "screenTopCornersEnabled": true})",
         [](const auto& s) {
             EXPECT_TRUE(s.screenTopCornersEnabled);
             EXPECT_FALSE(s.screenBottomCornersEnabled);
         }},
        {"storage box switch without boxes", R"({"applicationStorageBoxEnabled": false})",
         [](const auto& s) {
             EXPECT_EQ(s.applicationStorageBoxes,
                       StorageBoxes{ApplicationStorageBoxConfiguration::legacy(false)});
         }},
        {"storage box switch ignored beside boxes",
         R"({"applicationStorageBoxEnabled": false, "applicationStorageBoxes": []})",
         [](const auto& s) { EXPECT_TRUE(s.applicationStorageBoxes.empty()); }},
        {"a box of unknown size loses the list",
         R"({"applicationStorageBoxes": [{"id": "6F1A2B3C-4D5E-4F60-8172-8394A5B6C7D8",
             "name": "Box", "isVisible": false, "size": 0}]})",
         [](const auto& s) {
             EXPECT_EQ(s.applicationStorageBoxes,
                       StorageBoxes{ApplicationStorageBoxConfiguration::legacy(true)});
         }},
        {"one broken close-protection entry empties the list",
         R"({"closeProtectionApps": [{"appName": "Mail"}, {"bundleIdentifier": "com.apple.Notes"}]})",
         [](const auto& s) { EXPECT_TRUE(s.closeProtectionApps.empty()); }},
    });
}

TEST(SettingsWriting, DropsLegacyKeysAndWritesTheirSuccessors) {
    const Json document = test::encodedJson(loaded(std::string(
        R"({"screenCornersEnabled": false, "hideNotchTopMaskEnabled": true,
            "hideNotchBottomMaskEnabled": true, "applicationStorageBoxes": []})")));
    EXPECT_FALSE(document.contains("screenCornersEnabled"));
    EXPECT_FALSE(document.contains("hideNotchTopMaskEnabled"));
    EXPECT_FALSE(document.contains("hideNotchBottomMaskEnabled"));
    EXPECT_EQ(document["screenTopCornersEnabled"], false);
    EXPECT_EQ(document["screenBottomCornersEnabled"], false);
    EXPECT_EQ(document["applicationStorageBoxEnabled"], false);
    EXPECT_EQ(document["themeIsolationVersion"], 1);
}

TEST(SettingsReading, MirrorGroups) {
    runReadCases({
        {"start menu values replace the current theme's",
         R"({"theme": 1, "themeIsolationVersion": 1, "startMenuWidth": 999,
             "startMenuAvatarBorderWidth": 20, "windowsSettings": {}, "liquidGlassSettings": {}})",
         [](const auto& s) {
             EXPECT_EQ(s.liquidGlassProfile.startMenuWidth, 999);
             EXPECT_EQ(s.liquidGlassProfile.startMenuAvatarBorderWidth, 8);
             EXPECT_EQ(s.windowsProfile.startMenuWidth, 650);
         }},
        {"absent start menu values keep the theme's",
         R"({"theme": 0, "windowsSettings": {"startMenuWidth": 640}})",
         [](const auto& s) { EXPECT_EQ(s.windowsProfile.startMenuWidth, 640); }},
        {"absent desktop corner turns the current theme's off",
         R"({"theme": 0, "windowsSettings": {"enableDesktopCornerShortcut": true}})",
         [](const auto& s) {
             EXPECT_FALSE(s.windowsProfile.enableDesktopCornerShortcut);
             EXPECT_TRUE(s.liquidGlassProfile.enableDesktopCornerShortcut);
         }},
        {"merged previews fill a missing record",
         R"({"theme": 0, "mergeAppWindowsInPreview": true})",
         [](const auto& s) { EXPECT_TRUE(s.windowsProfile.mergeAppWindowsInPreview); }},
        {"merged previews do not override a stored record",
         R"({"theme": 0, "mergeAppWindowsInPreview": true, "windowsSettings": {}})",
         [](const auto& s) { EXPECT_FALSE(s.windowsProfile.mergeAppWindowsInPreview); }},
        {"layout keys of an old document go to both records",
         R"({"autoHideTaskbar": true, "taskbarScreenEdge": 2, "showTrashInTaskbar": false,
             "windowsSettings": {"taskbarAvoidanceMode": 1, "autoHideTaskbar": false}})",
         [](const auto& s) {
             for (const auto* record : {&s.windowsProfile, &s.liquidGlassProfile}) {
                 EXPECT_TRUE(record->autoHideTaskbar);
                 EXPECT_EQ(record->taskbarScreenEdge, 2);
                 EXPECT_FALSE(record->showTrashInTaskbar);
                 EXPECT_TRUE(record->showStartMenuInTaskbar);
             }
             EXPECT_EQ(s.windowsProfile.taskbarAvoidanceMode, 1);
         }},
        {"layout keys of an isolated document are ignored",
         R"({"themeIsolationVersion": 1, "autoHideTaskbar": true,
             "windowsSettings": {"autoHideTaskbar": false}})",
         [](const auto& s) {
             EXPECT_FALSE(s.windowsProfile.autoHideTaskbar);
             EXPECT_FALSE(s.liquidGlassProfile.autoHideTaskbar);
         }},
        {"other mirrors are not read",
         R"({"theme": 0, "taskbarHeight": 99, "opacity": 0.2, "iconSize": "big",
             "windowsSettings": {"taskbarHeight": 44}})",
         [](const auto& s) {
             EXPECT_EQ(s.windowsProfile.taskbarHeight, 44);
             EXPECT_EQ(s.windowsProfile.opacity, 1);
         }},
    });
}

TEST(SettingsWriting, SameObjectSameBytesAndIntegersStayIntegers) {
    TaskbarSettings settings = loaded(test::defaultDocument());
    settings.theme = TaskbarTheme::windows;
    settings.taskbarExcludedDisplayIdentifiers = std::vector<std::string>{"B", "c"};
    settings.closeProtectionApps = {
        CloseProtectionApp{"Mail", std::nullopt, "/Applications/Mail.app"}};
    const std::string first = settings.encoded().value();
    EXPECT_EQ(settings.encoded().value(), first);
    // Reading what was written and writing it again gives the same bytes.
    EXPECT_EQ(loaded(first).encoded().value(), first);
    for (const char* fragment : {R"("theme":0,)", R"("startMenuShortcutKeyCode":49,)",
                                 R"("previewSnapshotCacheLimit":50,)", R"("alignment":0,)",
                                 R"("themeIsolationVersion":1,)", R"("taskbarHeight":48,)"}) {
        EXPECT_NE(first.find(fragment), std::string::npos) << fragment;
    }
    EXPECT_EQ(first.find("taskbarDisplayIdentifiers"), std::string::npos);
}

TEST(SettingsWriting, RefusesNumbersJsonCannotCarry) {
    TaskbarSettings settings;
    settings.todoLineSpacing = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(settings.encoded().ok());
    TaskbarSettings other;
    EXPECT_FALSE(settings.hasSameStoredValues(other));
    EXPECT_FALSE(settings.hasSameStoredValues(settings));
}

TEST(SettingsWriting, TextThatIsNotUtf8IsRepairedNotLost) {
    TaskbarSettings settings;
    settings.closeProtectionApps = {
        CloseProtectionApp{"Ma\xFFil\n\"x\"", std::nullopt, std::nullopt}};
    const auto bytes = settings.encoded().value();
    const TaskbarSettings reread = loaded(bytes);
    ASSERT_EQ(reread.closeProtectionApps.size(), 1u);
    EXPECT_EQ(reread.closeProtectionApps[0].appName, "Ma\xEF\xBF\xBDil\n\"x\"");
}

TEST(SettingsDocumentLimits, UnreadableDocuments) {
    const std::string deep = std::string(65, '[') + std::string(65, ']');
    const std::string deepInKey =
        R"({"ignored": )" + std::string(64, '[') + std::string(64, ']') + "}";
    std::string large = R"({"hideNativeDock": true})";
    large.append(SettingsDocumentLimits::maxBytes, ' ');
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"white space", " \n\t "},
        {"a list", "[]"},
        {"a number", "5"},
        {"null", "null"},
        {"truncated", R"({"theme": 1, "hideNativeDock": tr)"},
        {"not UTF-8", "{\"name\": \"\xC3\x28\"}"},
        {"too deep", deep},
        {"too deep below a key", deepInKey},
        {"too large", large},
    };
    for (const auto& unreadable : cases) {
        SCOPED_TRACE(unreadable.name);
        const auto decoded = StoredSettings::decode(unreadable.bytes);
        ASSERT_FALSE(decoded.ok());
        EXPECT_FALSE(decoded.error().message.empty());
    }
}

TEST(SettingsDocumentLimits, ReadableEdges) {
    const std::string nested = R"({"ignored": )" + std::string(63, '[') + std::string(63, ']') +
                               R"(, "hideNativeDock": true})";
    const std::string bracketsInText =
        R"({"taskbarDisplayIdentifier": ")" + std::string(200, '[') + R"(\"]"})";
    EXPECT_TRUE(loaded(nested).hideNativeDock);
    EXPECT_EQ(loaded(bracketsInText).taskbarDisplayIdentifier, std::string(200, '[') + "\"]");
}

}  // namespace
}  // namespace tavrel
