// Bound rows: every key of both key tables binds by its member and writes exactly that key; the
// rules a binding is read and written through; what each kind of change asks of the window;
// how segments show stored values.

#include "core/settings_pages/bound_rows.h"

#include <string>
#include <type_traits>
#include <vector>

#include <gtest/gtest.h>

#include "core/settings/settings_differences.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using test::RecordingPageHost;
using C = TaskbarThemeConfiguration;

// A value of the same type that differs from `value`.
template <class T>
T differentValue(const T& value) {
    if constexpr (std::is_same_v<T, bool>) {
        return !value;
    } else if constexpr (std::is_same_v<T, double>) {
        return value + 1.5;
    } else if constexpr (std::is_same_v<T, std::int64_t>) {
        return value + 1;
    } else if constexpr (std::is_same_v<T, CodableColor>) {
        T other = value;
        other.red = value.red > 0.5 ? 0.125 : 0.875;
        return other;
    } else if constexpr (std::is_enum_v<T>) {
        return static_cast<T>(static_cast<std::underlying_type_t<T>>(value) == 0 ? 1 : 0);
    } else if constexpr (std::is_same_v<T, OptionalIdentifier>) {
        return value.value_or("") + "-other";
    } else if constexpr (std::is_same_v<T, OptionalIdentifiers>) {
        std::vector<std::string> list = value.value_or(std::vector<std::string>{});
        list.push_back("other");
        return list;
    } else {
        T list = value;
        list.emplace_back();
        return list;
    }
}

template <class Binding>
std::vector<SettingsKeyDifference> writeOnce(const Binding& binding, TaskbarSettings& settings) {
    const TaskbarSettings before = settings;
    binding.set(settings, differentValue(binding.get(settings)));
    return settingsDifferences(before, settings);
}

TEST(BoundRowsTest, EveryGlobalKeyBindsByItsMemberAndWritesOnlyItself) {
    int keys = 0;
    const auto check = [&keys](std::string_view name, const auto& binding) {
        SCOPED_TRACE(std::string(name));
        ++keys;
        ASSERT_EQ(binding.keys.size(), 1u);
        EXPECT_EQ(binding.keys[0], (FormKeyReference{std::string(name), false}));
        TaskbarSettings settings;
        EXPECT_EQ(writeOnce(binding, settings),
                  (std::vector<SettingsKeyDifference>{{name, std::nullopt}}));
    };
#define TAVREL_CHECK_KEY(Type, name, defaultValue, rule) \
    check(#name, bindSetting(&TaskbarSettings::name));
#define TAVREL_CHECK_VALUE_KEY(Type, name, defaultValue, rule) \
    check(#name, bindSetting(&TaskbarSettings::name##Value));
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_CHECK_KEY, TAVREL_CHECK_VALUE_KEY)
#undef TAVREL_CHECK_KEY
#undef TAVREL_CHECK_VALUE_KEY
    EXPECT_GT(keys, 100);
}

TEST(BoundRowsTest, EveryThemeKeyWritesOnlyTheRecordItNames) {
    const auto check = [](std::string_view name, auto member) {
        SCOPED_TRACE(std::string(name));
        EXPECT_EQ(themeKeyName(member), name);
        for (const TaskbarTheme shown : {TaskbarTheme::windows, TaskbarTheme::liquidGlass}) {
            // The shown theme's record, whatever theme is current when the row writes.
            TaskbarSettings settings;
            settings.theme =
                shown == TaskbarTheme::windows ? TaskbarTheme::liquidGlass : TaskbarTheme::windows;
            const auto binding = bindTheme(shown, member);
            EXPECT_EQ(binding.keys, (std::vector<FormKeyReference>{{std::string(name), true}}));
            EXPECT_EQ(writeOnce(binding, settings),
                      (std::vector<SettingsKeyDifference>{{name, shown}}));
            // The sidebar's: the record of the theme current at the moment.
            EXPECT_EQ(writeOnce(bindCurrentTheme(member), settings),
                      (std::vector<SettingsKeyDifference>{{name, settings.theme}}));
        }
    };
#define TAVREL_CHECK_THEME_KEY(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    check(#name, &TaskbarThemeConfiguration::name);
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_CHECK_THEME_KEY)
#undef TAVREL_CHECK_THEME_KEY
}

TEST(BoundRowsTest, RulesComposeAroundTheStoredValue) {
    TaskbarSettings settings;
    settings.windowsProfile.taskbarHeight = 48;
    const auto size = bindTheme(TaskbarTheme::windows, &C::iconSize)
                          .shown([](double stored) { return stored * 2; })
                          .stored([](const TaskbarSettings& s, double chosen) {
                              return std::min(chosen / 2, s.windowsProfile.taskbarHeight - 8);
                          })
                          .then({themeKey(&C::buttonSize)}, [](TaskbarSettings& s, double) {
                              s.windowsProfile.buttonSize = 1;
                          });
    settings.windowsProfile.iconSize = 20;
    EXPECT_EQ(size.get(settings), 40);
    size.set(settings, 60);
    EXPECT_EQ(settings.windowsProfile.iconSize, 30);
    size.set(settings, 200);
    EXPECT_EQ(settings.windowsProfile.iconSize, 40);
    EXPECT_EQ(settings.windowsProfile.buttonSize, 1);
    EXPECT_EQ(size.keys,
              (std::vector<FormKeyReference>{themeKey(&C::iconSize), themeKey(&C::buttonSize)}));

    const auto merged = inverted(bindSetting(&TaskbarSettings::taskbarCircularIcons));
    settings.taskbarCircularIcons = false;
    EXPECT_TRUE(merged.get(settings));
    merged.set(settings, false);
    EXPECT_TRUE(settings.taskbarCircularIcons);
}

TEST(BoundRowsTest, EachKindOfChangeAsksTheWindowForItsTail) {
    struct Case {
        OnChange change;
        std::vector<std::string> calls;
    };
    for (const Case& c : {
             Case{OnChange::live, {"applyLiveChange", "storePageScrollOrigin", "notifyChange"}},
             Case{OnChange::rebuild, {"storePageScrollOrigin", "notifyChange", "rebuild"}},
             Case{OnChange::endEditingLive,
                  {"endTextEditing", "applyLiveChange", "storePageScrollOrigin", "notifyChange"}},
             Case{OnChange::endEditingRebuild,
                  {"endTextEditing", "applyLiveChange(rebuild)", "storePageScrollOrigin",
                   "notifyChange", "rebuild"}},
         }) {
        RecordingPageHost host;
        bool written = false;
        applyRowChange(host, c.change, [&](TaskbarSettings&) {
            // Editing ends before the value is written; the edit is reported after.
            EXPECT_EQ(host.changes, 0);
            written = true;
        });
        EXPECT_TRUE(written);
        EXPECT_EQ(host.calls, c.calls);
    }
}

TEST(BoundRowsTest, SegmentShowsTheFirstMatchingChoiceElseTheFallback) {
    struct Case {
        std::int64_t stored;
        std::size_t otherwise;
        int shown;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{2, 0, 2}, Case{3, 0, 0}, Case{-1, 0, 0},
                          Case{5, 1, 1}, Case{1, 1, 1}}) {
        RecordingPageHost host;
        host.settings().theme = TaskbarTheme::windows;
        host.settings().windowsProfile.taskbarScreenEdge = c.stored;
        FormContent form;
        PageRows rows(form, host);
        const FormRow& row =
            rows.segment("位置", "", rows.theme(&C::taskbarScreenEdge),
                         {{"底部", 0}, {"左侧", 1}, {"右侧", 2}}, OnChange::live, c.otherwise);
        EXPECT_EQ(std::get<SegmentControl>(row.control).selected, c.shown) << c.stored;
        EXPECT_EQ(row.keys, (std::vector<FormKeyReference>{{"taskbarScreenEdge", true}}));
        std::get<SegmentControl>(row.control).action(2);
        EXPECT_EQ(host.settings().windowsProfile.taskbarScreenEdge, 2);
        // An index no segment has stores the fallback choice.
        std::get<SegmentControl>(row.control).action(3);
        EXPECT_EQ(host.settings().windowsProfile.taskbarScreenEdge,
                  static_cast<std::int64_t>(c.otherwise));
        EXPECT_EQ(host.changes, 2);
    }
}

}  // namespace
}  // namespace tavrel
