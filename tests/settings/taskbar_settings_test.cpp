// The settings object: per-theme properties and their rules, copying, comparing, the theme
// isolation of older documents and the height repair.

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings_keys.h"
#include "settings_test_support.h"

namespace tavrel {
namespace {

using test::Json;
using test::loaded;

TEST(TaskbarThemes, SwitchingTheThemeBringsBackEachThemesValues) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.activeProfile().taskbarHeight = 40;
    settings.setOpacity(0.5);
    settings.theme = TaskbarTheme::liquidGlass;
    settings.activeProfile().taskbarHeight = 70;
    settings.setOpacity(0.25);

    settings.theme = TaskbarTheme::windows;
    EXPECT_EQ(settings.activeProfile().taskbarHeight, 40);
    EXPECT_EQ(settings.opacity(), 0.5);
    settings.theme = TaskbarTheme::liquidGlass;
    EXPECT_EQ(settings.activeProfile().taskbarHeight, 70);
    EXPECT_EQ(settings.opacity(), 0.25);
}

TEST(TaskbarThemes, OpacityLivesWhereTheMaterialKeepsIt) {
    using Material = TaskbarLiquidGlassBackgroundMaterial;
    const struct {
        TaskbarTheme theme;
        Material material;
        double expected;  // with Windows 0.7, frosted 0.6, clear 0.4
        double* (*storage)(TaskbarSettings&);
    } cases[] = {
        {TaskbarTheme::windows, Material::clear, 0.7,
         [](TaskbarSettings& s) { return &s.windowsProfile.opacity; }},
        {TaskbarTheme::liquidGlass, Material::frosted, 0.6,
         [](TaskbarSettings& s) { return &s.frostedLiquidGlassOpacity; }},
        {TaskbarTheme::liquidGlass, Material::clear, 0.4,
         [](TaskbarSettings& s) { return &s.clearLiquidGlassOpacity; }},
        {TaskbarTheme::liquidGlass, Material::ultraTransparentOS27, 0.4,
         [](TaskbarSettings& s) { return &s.clearLiquidGlassOpacity; }},
    };
    for (const auto& opacityCase : cases) {
        SCOPED_TRACE(static_cast<int>(opacityCase.material));
        TaskbarSettings settings;
        settings.theme = opacityCase.theme;
        settings.liquidGlassBackgroundMaterial = opacityCase.material;
        settings.windowsProfile.opacity = 0.7;
        settings.frostedLiquidGlassOpacity = 0.6;
        settings.clearLiquidGlassOpacity = 0.4;
        settings.liquidGlassProfile.opacity = 0.9;  // never the effective opacity
        EXPECT_EQ(settings.opacity(), opacityCase.expected);

        TaskbarSettings expected = settings;
        *opacityCase.storage(expected) = 1;
        settings.setOpacity(1.5);
        EXPECT_TRUE(settings == expected) << "only the effective opacity changes";
        EXPECT_EQ(settings.opacity(), 1);
        settings.setOpacity(-2);
        EXPECT_EQ(settings.opacity(), 0);
    }
}

TEST(TaskbarThemes, ClockPairFollowsTheClockPosition) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.setDetachedClockBottomGap(11);
    settings.setDetachedClockRightGap(12);
    settings.setClockTimeColor(rgba(0.1, 0.2, 0.3, 1));
    settings.setClockDateColor(rgba(0.4, 0.5, 0.6, 1));

    settings.setClockScreenPosition(ClockScreenPosition::top);
    EXPECT_EQ(settings.detachedClockBottomGap(), 0);
    EXPECT_EQ(settings.clockTimeColor(), rgba(0, 0, 0, 0.82));
    settings.setDetachedClockBottomGap(21);
    settings.setDetachedClockRightGap(22);
    settings.setClockTimeColor(rgba(0.7, 0.7, 0.7, 1));
    settings.setClockDateColor(rgba(0.8, 0.8, 0.8, 1));
    EXPECT_EQ(settings.windowsProfile.topDetachedClockBottomGap, 21);

    settings.setClockScreenPosition(ClockScreenPosition::bottom);
    EXPECT_EQ(settings.detachedClockBottomGap(), 11);
    EXPECT_EQ(settings.detachedClockRightGap(), 12);
    EXPECT_EQ(settings.clockTimeColor(), rgba(0.1, 0.2, 0.3, 1));
    EXPECT_EQ(settings.clockDateColor(), rgba(0.4, 0.5, 0.6, 1));
    settings.setClockScreenPosition(ClockScreenPosition::top);
    EXPECT_EQ(settings.detachedClockRightGap(), 22);
    EXPECT_EQ(settings.clockDateColor(), rgba(0.8, 0.8, 0.8, 1));
}

TEST(TaskbarThemes, SettersClampAndReadersNormalise) {
    const struct {
        const char* name;
        std::function<void(TaskbarSettings&)> set;
        std::function<double(const TaskbarSettings&)> read;
        double expected;
    } cases[] = {
        {"magnification never set", [](auto& s) { s.activeProfile().iconMagnificationAmount = 0; },
         [](const auto& s) { return s.iconMagnificationAmount(); }, 100},
        {"magnification negative", [](auto& s) { s.activeProfile().iconMagnificationAmount = -5; },
         [](const auto& s) { return s.iconMagnificationAmount(); }, 100},
        {"magnification 40", [](auto& s) { s.setIconMagnificationAmount(40); },
         [](const auto& s) { return s.iconMagnificationAmount(); }, 40},
        {"magnification 0", [](auto& s) { s.setIconMagnificationAmount(0); },
         [](const auto& s) { return s.activeProfile().iconMagnificationAmount; }, 1},
        {"magnification 150", [](auto& s) { s.setIconMagnificationAmount(150); },
         [](const auto& s) { return s.activeProfile().iconMagnificationAmount; }, 100},
        {"preview scale 3", [](auto& s) { s.setPreviewScale(3); },
         [](const auto& s) { return s.activeProfile().previewScale; }, 2},
        {"preview scale 0.1", [](auto& s) { s.setPreviewScale(0.1); },
         [](const auto& s) { return s.activeProfile().previewScale; }, 0.3},
        {"preview radius -1", [](auto& s) { s.setPreviewCornerRadius(-1); },
         [](const auto& s) { return s.activeProfile().previewCornerRadius; }, 0},
        {"thumbnail radius 101", [](auto& s) { s.setPreviewThumbnailCornerRadius(101); },
         [](const auto& s) { return s.activeProfile().previewThumbnailCornerRadius; }, 100},
        {"avatar border 9", [](auto& s) { s.setStartMenuAvatarBorderWidth(9); },
         [](const auto& s) { return s.activeProfile().startMenuAvatarBorderWidth; }, 8},
        {"Dock preview scale NaN", [](auto& s) { s.setNativeDockPreviewScale(std::nan("")); },
         [](const auto& s) { return s.nativeDockPreviewScale(); }, 0.3},
        {"cache limit 500", [](auto& s) { s.setPreviewSnapshotCacheLimit(500); },
         [](const auto& s) { return double(s.previewSnapshotCacheLimit()); }, 100},
        {"stored cache limit 5 reads 10", [](auto& s) { s.previewSnapshotCacheLimitValue = 5; },
         [](const auto& s) { return double(s.previewSnapshotCacheLimit()); }, 10},
        {"modifiers 0", [](auto& s) { s.setStartMenuShortcutModifiers(0); },
         [](const auto& s) { return double(s.startMenuShortcutModifiersValue); }, 8},
        {"switcher modifier 3", [](auto& s) { s.setWindowSwitcherModifierKey(3); },
         [](const auto& s) { return double(s.windowSwitcherModifierKey()); }, 0},
    };
    for (const auto& clampCase : cases) {
        SCOPED_TRACE(clampCase.name);
        TaskbarSettings settings;
        clampCase.set(settings);
        EXPECT_EQ(clampCase.read(settings), clampCase.expected);
    }
}

TEST(TaskbarThemes, CodesReadThroughTheirRules) {
    const struct {
        const char* field;
        std::int64_t stored;
        std::function<std::int64_t(const TaskbarSettings&)> read;
        std::int64_t expected;
    } cases[] = {
        {"edge 3", 3, [](const auto& s) { return enumerationCode(s.taskbarScreenEdge()); }, 3},
        {"edge 4", 4, [](const auto& s) { return enumerationCode(s.taskbarScreenEdge()); }, 0},
        {"edge -1", -1, [](const auto& s) { return enumerationCode(s.taskbarScreenEdge()); }, 0},
        {"alignment 5", 5, [](const auto& s) { return enumerationCode(s.alignment()); }, 1},
        {"alignment -1", -1, [](const auto& s) { return enumerationCode(s.alignment()); }, 1},
        {"alignment 0", 0, [](const auto& s) { return enumerationCode(s.alignment()); }, 0},
        {"animation 7", 7,
         [](const auto& s) { return enumerationCode(s.runningIconClickAnimation()); }, 1},
        {"animation 0", 0,
         [](const auto& s) { return enumerationCode(s.runningIconClickAnimation()); }, 0},
        {"avoidance 2", 2, [](const auto& s) { return enumerationCode(s.taskbarAvoidanceMode()); },
         0},
        {"click action 2", 2,
         [](const auto& s) { return enumerationCode(s.activeIconClickAction()); }, 0},
        {"clock display 2", 2, [](const auto& s) { return enumerationCode(s.clockDisplayMode()); },
         2},
        {"clock display 3", 3, [](const auto& s) { return enumerationCode(s.clockDisplayMode()); },
         0},
        {"clock lines 2", 2, [](const auto& s) { return enumerationCode(s.clockLineLayout()); }, 0},
        {"clock position 2", 2,
         [](const auto& s) { return enumerationCode(s.clockScreenPosition()); }, 0},
    };
    for (const auto& codeCase : cases) {
        SCOPED_TRACE(codeCase.field);
        TaskbarSettings settings;
        auto& record = settings.activeProfile();
        for (auto* field :
             {&record.taskbarScreenEdge, &record.alignment, &record.runningIconClickAnimation,
              &record.taskbarAvoidanceMode, &record.activeIconClickAction, &record.clockDisplayMode,
              &record.clockLineLayout, &record.clockScreenPosition}) {
            *field = codeCase.stored;
        }
        EXPECT_EQ(codeCase.read(settings), codeCase.expected);
    }
    TaskbarSettings settings;
    settings.setTaskbarScreenEdge(TaskbarScreenEdge::right);
    EXPECT_EQ(settings.activeProfile().taskbarScreenEdge, 2);
}

TEST(TaskbarThemes, BackgroundStyleCountsOnlyForLiquidGlass) {
    using Style = TaskbarBackgroundStyle;
    const struct {
        TaskbarTheme theme;
        Style style;
        bool dimensional;
        bool none;
    } cases[] = {
        {TaskbarTheme::liquidGlass, Style::flat, false, false},
        {TaskbarTheme::liquidGlass, Style::dimensional, true, false},
        {TaskbarTheme::liquidGlass, Style::noBackground, false, true},
        {TaskbarTheme::windows, Style::dimensional, false, false},
        {TaskbarTheme::windows, Style::noBackground, false, false},
    };
    for (const auto& styleCase : cases) {
        TaskbarSettings settings;
        settings.theme = styleCase.theme;
        settings.liquidGlassBackgroundStyle = styleCase.style;
        EXPECT_EQ(settings.usesDimensionalTaskbarBackground(), styleCase.dimensional);
        EXPECT_EQ(settings.usesNoTaskbarBackground(), styleCase.none);
    }
}

TEST(TaskbarThemes, IconsAndButtonsStayInsideTheTaskbarHeight) {
    const struct {
        double height, icon, button;
        double expectedIcon, expectedButton;
    } cases[] = {
        {30, 45, 42, 22, 28},   // the floors: icon 22 (30 - 8), button 28
        {20, 45, 42, 16, 28},   // icon never below 16
        {100, 45, 42, 45, 42},  // already inside
        {48, 10, 20, 10, 20},   // small values are kept
        {48, 44, 44, 40, 42},
    };
    for (const auto& sizeCase : cases) {
        TaskbarSettings settings;
        auto& windows = settings.windowsProfile;
        windows.taskbarHeight = sizeCase.height;
        windows.iconSize = sizeCase.icon;
        windows.buttonSize = sizeCase.button;
        const TaskbarThemeConfiguration liquidGlass = settings.liquidGlassProfile;
        settings.clampIconAndButtonSizes(TaskbarTheme::windows);
        EXPECT_EQ(windows.iconSize, sizeCase.expectedIcon) << sizeCase.height;
        EXPECT_EQ(windows.buttonSize, sizeCase.expectedButton) << sizeCase.height;
        EXPECT_EQ(settings.liquidGlassProfile, liquidGlass) << "only the given theme";
    }
}

TEST(TaskbarThemes, RepairsTheKnownHeightOverwrite) {
    const struct {
        const char* name;
        double windowsHeight, liquidHeight;
        double liquidButton, liquidIcon, windowsButton, windowsIcon;
        std::int64_t liquidAlignment, windowsAlignment;
        bool liquidShowsClock;
        bool repaired;
    } cases[] = {
        {"the known damage", 48, 48, 28, 45, 42, 35, 1, 0, false, true},
        {"different heights", 48, 50, 28, 45, 42, 35, 1, 0, false, false},
        {"equal but not the Windows height", 52, 52, 28, 45, 42, 35, 1, 0, false, false},
        {"nearly equal heights", 48, 48.0005, 28, 45, 42, 35, 1, 0, false, true},
        {"swapped sizes, big buttons, Windows look", 48, 48, 36, 45, 42, 35, 0, 0, true, false},
        {"swapped sizes, big buttons, centred", 48, 48, 36, 45, 42, 35, 1, 0, true, true},
        {"swapped sizes, big buttons, no clock", 48, 48, 36, 45, 42, 35, 0, 0, false, true},
        {"same sizes, small buttons", 48, 48, 28, 35, 28, 35, 0, 0, true, true},
        {"same sizes, Windows centred", 48, 48, 28, 35, 28, 35, 0, 1, true, false},
        {"same sizes, big buttons, Windows look", 48, 48, 42, 35, 42, 35, 0, 0, true, false},
        {"same sizes, big buttons, centred", 48, 48, 42, 35, 42, 35, 1, 0, true, true},
    };
    for (const auto& repairCase : cases) {
        SCOPED_TRACE(repairCase.name);
        TaskbarSettings settings;
        auto& w = settings.windowsProfile;
        auto& l = settings.liquidGlassProfile;
        w.taskbarHeight = repairCase.windowsHeight;
        l.taskbarHeight = repairCase.liquidHeight;
        l.buttonSize = repairCase.liquidButton;
        l.iconSize = repairCase.liquidIcon;
        w.buttonSize = repairCase.windowsButton;
        w.iconSize = repairCase.windowsIcon;
        l.alignment = repairCase.liquidAlignment;
        w.alignment = repairCase.windowsAlignment;
        l.showClock = repairCase.liquidShowsClock;
        const double before = l.taskbarHeight;
        EXPECT_EQ(settings.repairKnownTaskbarHeightProfileOverwriteIfNeeded(), repairCase.repaired);
        EXPECT_EQ(l.taskbarHeight, repairCase.repaired ? 58 : before);
        EXPECT_EQ(w.taskbarHeight, repairCase.windowsHeight);
    }
}

TEST(TaskbarThemes, OlderDocumentsAreIsolatedOnce) {
    const Json old = {
        {"theme", 1},
        {"autoHideTaskbar", true},
        {"activeIconClickAction", 1},
        {"liquidGlassSettings", {{"taskbarAvoidanceMode", 1}, {"taskbarHeight", 58}}}};
    TaskbarSettings settings;
    const auto report = settings.map(StoredSettings::decode(old.dump()).value());
    EXPECT_TRUE(report.themeIsolationRan);
    for (const auto theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        EXPECT_TRUE(settings.profile(theme).autoHideTaskbar);
        EXPECT_EQ(settings.profile(theme).activeIconClickAction, 1);
        EXPECT_TRUE(settings.profile(theme).showTaskbarSeparator);
    }
    EXPECT_EQ(settings.liquidGlassProfile.taskbarAvoidanceMode, 1);
    EXPECT_EQ(settings.windowsProfile.taskbarAvoidanceMode, 0);

    // Written back, the document is isolated: the same top level no longer reaches the records.
    Json written = test::encodedJson(settings);
    EXPECT_EQ(written["themeIsolationVersion"], 1);
    written["autoHideTaskbar"] = false;
    TaskbarSettings again;
    EXPECT_FALSE(again.map(StoredSettings::decode(written.dump()).value()).themeIsolationRan);
    EXPECT_TRUE(again.windowsProfile.autoHideTaskbar);
}

TEST(TaskbarSettingsCopy, ApplyCopiesEverythingAndNormalises) {
    TaskbarSettings source = loaded(Json{{"theme", 0}, {"hideNativeDock", true}});
    source.windowsProfile.taskbarHeight = 33;
    source.liquidGlassProfile.iconSize = 21;
    source.closeProtectionApps = {CloseProtectionApp{"Mail", "com.apple.mail", std::nullopt}};
    source.appearanceMode = TavrelAppearanceMode::dark;
    const struct {
        std::int64_t cacheLimit;
        std::int64_t expected;
    } limits[] = {{5, 10}, {500, 100}, {42, 42}};
    for (const auto& limit : limits) {
        source.previewSnapshotCacheLimitValue = limit.cacheLimit;
        source.nativeDockPreviewScaleValue = 9;
        TaskbarSettings target;
        target.apply(source);
        EXPECT_EQ(target.previewSnapshotCacheLimitValue, limit.expected);
        EXPECT_EQ(target.nativeDockPreviewScaleValue, 2);
        TaskbarSettings expected = source;
        expected.previewSnapshotCacheLimitValue = limit.expected;
        expected.nativeDockPreviewScaleValue = 2;
        EXPECT_TRUE(target == expected);
    }
}

TEST(TaskbarSettingsCopy, SameStoredValuesIgnoresWhatTheDocumentDoesNotRecord) {
    const std::vector<std::function<void(TaskbarSettings&)>> unrecorded = {
        [](auto& s) { s.previewSnapshotCacheLimitValue = 5; },  // written as 10
        [](auto& s) { s.previewSnapshotCacheLimitValue = 10; },
        [](auto& s) { s.windowSwitcherModifierKeyValue = 7; },    // written as 0
        [](auto& s) { s.startMenuShortcutModifiersValue = 16; },  // written as 8
        [](auto& s) { s.nativeDockPreviewScaleValue = 0.1; },     // written as 0.3
        [](auto& s) { s.todoLineSpacing = -0.0; },
    };
    TaskbarSettings low;
    low.previewSnapshotCacheLimitValue = 10;
    low.nativeDockPreviewScaleValue = 0.3;
    low.todoLineSpacing = 0;
    for (const auto& change : unrecorded) {
        TaskbarSettings changed = low;
        change(changed);
        EXPECT_TRUE(changed.hasSameStoredValues(low));
    }
}

TEST(TaskbarSettingsCopy, AnyStoredDifferenceCounts) {
    // Every key of the document, changed alone, makes the objects differ.
    const TaskbarSettings reference;
    const Json base = test::encodedJson(reference);
    for (const auto& key : settingsDocumentKeys()) {
        if (key.role != SettingsKeyRole::global) continue;
        Json document = base;
        const std::string name(key.name);
        switch (key.kind) {
            case SettingsValueKind::boolean:
                document[name] = !base[name].get<bool>();
                break;
            case SettingsValueKind::number:
                document[name] = base[name].get<double>() * 0.5 + 0.375;
                break;
            case SettingsValueKind::integer:
                document[name] =
                    base[name].get<std::int64_t>() == 0 ? 1 : base[name].get<std::int64_t>() - 1;
                break;
            case SettingsValueKind::color:
                document[name] = {{"red", 0.1}, {"green", 0.2}, {"blue", 0.3}, {"alpha", 1}};
                break;
            case SettingsValueKind::string:
                document[name] = "X";
                break;
            case SettingsValueKind::stringList:
                document[name] = Json::array({"X"});
                break;
            case SettingsValueKind::excludedApplications:
                document[name] = Json::array({{{"name", "X"}}});
                break;
            case SettingsValueKind::closeProtectionApps:
                document[name] = Json::array({{{"appName", "X"}}});
                break;
            case SettingsValueKind::storageBoxes:
                document[name] = Json::array();
                break;
            case SettingsValueKind::themeConfiguration:
                break;
        }
        const TaskbarSettings other = loaded(document);
        EXPECT_FALSE(other.hasSameStoredValues(reference)) << name;
    }
    for (const auto theme : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
        for (const auto& key : themeConfigurationKeys()) {
            TaskbarSettings other;
            Json record = test::encodedJson(
                other)[theme == TaskbarTheme::windows ? "windowsSettings" : "liquidGlassSettings"];
            record[std::string(key.name)] =
                key.kind == SettingsValueKind::boolean
                    ? Json(!record[std::string(key.name)].get<bool>())
                : key.kind == SettingsValueKind::color
                    ? Json{{"red", 0.1}, {"green", 0.2}, {"blue", 0.3}, {"alpha", 1}}
                    : Json(record[std::string(key.name)].get<double>() + 1);
            other.profile(theme) = StoredSettings::decode(Json{{"windowsSettings", record}}.dump())
                                       .value()
                                       .windowsSettings.value();
            EXPECT_FALSE(other.hasSameStoredValues(reference)) << key.name;
        }
    }
}

}  // namespace
}  // namespace tavrel
