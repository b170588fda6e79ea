#pragma once

// Bound rows: a page names what each row edits once — a member of the settings, a member of the
// shown theme's record, or a getter/setter pair — and what a change does. Reading the start
// value, writing the new one, the keys the row reports for checks and search, and the common tail
// (scroll position, onChange, rebuild) all come from that one line, so a page reads like its
// page table:
//
//     PageRows rows(*form, host);
//     rows.section("图标");
//     rows.toggle("显示黑色分割线", "…",
//     rows.theme(&TaskbarThemeConfiguration::showTaskbarSeparator)); rows.slider("图标间距", "…",
//     rows.theme(&TaskbarThemeConfiguration::taskbarItemGap), {0, 24});

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration_keys.h"
#include "core/settings_pages/settings_page_host.h"

namespace tavrel {

// How a row reads and writes its value in the panel copy, and which keys that touches.
template <class T>
struct Binding {
    std::vector<FormKeyReference> keys;
    std::function<T(const TaskbarSettings&)> get;
    std::function<void(TaskbarSettings&, const T&)> set;

    // The stored value is shown through `rule`.
    Binding shown(std::function<T(T)> rule) const {
        Binding b = *this;
        b.get = [get = get, rule = std::move(rule)](const TaskbarSettings& s) {
            return rule(get(s));
        };
        return b;
    }
    // The chosen value is stored through `rule`, which may read the other settings.
    Binding stored(std::function<T(const TaskbarSettings&, T)> rule) const {
        Binding b = *this;
        b.set = [set = set, rule = std::move(rule)](TaskbarSettings& s, const T& value) {
            set(s, rule(s, value));
        };
        return b;
    }
    // After each write `effect` runs; it may write `alsoWrites` too.
    Binding then(std::vector<FormKeyReference> alsoWrites,
                 std::function<void(TaskbarSettings&, const T&)> effect) const {
        Binding b = *this;
        b.keys.insert(b.keys.end(), alsoWrites.begin(), alsoWrites.end());
        b.set = [set = set, effect = std::move(effect)](TaskbarSettings& s, const T& value) {
            set(s, value);
            effect(s, value);
        };
        return b;
    }
};

// The document name of a member of the settings or of a theme record; empty for a member that
// is no key.
template <class T>
std::string_view settingsKeyName(T TaskbarSettings::*member) {
#define TAVREL_BOUND_KEY(Type, name, defaultValue, rule)                \
    if constexpr (std::is_same_v<T, decltype(TaskbarSettings::name)>) { \
        if (member == &TaskbarSettings::name) return #name;             \
    }
#define TAVREL_BOUND_VALUE_KEY(Type, name, defaultValue, rule)                 \
    if constexpr (std::is_same_v<T, decltype(TaskbarSettings::name##Value)>) { \
        if (member == &TaskbarSettings::name##Value) return #name;             \
    }
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_BOUND_KEY, TAVREL_BOUND_VALUE_KEY)
#undef TAVREL_BOUND_KEY
#undef TAVREL_BOUND_VALUE_KEY
    return {};
}

template <class T>
std::string_view themeKeyName(T TaskbarThemeConfiguration::*member) {
#define TAVREL_BOUND_THEME_KEY(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    if constexpr (std::is_same_v<T, decltype(TaskbarThemeConfiguration::name)>) {              \
        if (member == &TaskbarThemeConfiguration::name) return #name;                          \
    }
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_BOUND_THEME_KEY)
#undef TAVREL_BOUND_THEME_KEY
    return {};
}

inline FormKeyReference settingsKey(std::string_view name) {
    return {std::string(name), false};
}
inline FormKeyReference themeKey(std::string_view name) {
    return {std::string(name), true};
}
template <class T>
FormKeyReference settingsKey(T TaskbarSettings::*member) {
    return settingsKey(settingsKeyName(member));
}
template <class T>
FormKeyReference themeKey(T TaskbarThemeConfiguration::*member) {
    return themeKey(themeKeyName(member));
}

// A global key.
template <class T>
Binding<T> bindSetting(T TaskbarSettings::*member) {
    return {{settingsKey(member)},
            [member](const TaskbarSettings& s) { return s.*member; },
            [member](TaskbarSettings& s, const T& value) { s.*member = value; }};
}

// A global key behind the settings' own accessors (a clamping setter, for example).
template <class T>
Binding<T> bindSetting(std::string_view key, T (TaskbarSettings::*get)() const,
                       void (TaskbarSettings::*set)(T)) {
    return {{settingsKey(key)},
            [get](const TaskbarSettings& s) { return (s.*get)(); },
            [set](TaskbarSettings& s, const T& value) { (s.*set)(value); }};
}

// A key of one theme's record, whatever theme is current when it is read or written.
template <class T>
Binding<T> bindTheme(TaskbarTheme theme, T TaskbarThemeConfiguration::*member) {
    return {
        {themeKey(member)},
        [theme, member](const TaskbarSettings& s) { return s.profile(theme).*member; },
        [theme, member](TaskbarSettings& s, const T& value) { s.profile(theme).*member = value; }};
}

// A key of the record of the theme current at the moment (the sidebar's switches).
template <class T>
Binding<T> bindCurrentTheme(T TaskbarThemeConfiguration::*member) {
    return {{themeKey(member)},
            [member](const TaskbarSettings& s) { return s.activeProfile().*member; },
            [member](TaskbarSettings& s, const T& value) { s.activeProfile().*member = value; }};
}

// On for off and off for on.
Binding<bool> inverted(Binding<bool> binding);

// What a change does after the value is written.
enum class OnChange {
    live,               // keep the scroll position, report the edit
    rebuild,            // the same, then rebuild the page (rows come or go)
    endEditingLive,     // end text editing first, then as live
    endEditingRebuild,  // end text editing first, then as rebuild
};

// Writes through the binding and does what `change` says.
void applyRowChange(SettingsPageHost& host, OnChange change,
                    const std::function<void(TaskbarSettings&)>& write);

template <class T>
struct Choice {
    std::string label;
    T value;
};

// The rows of one page, bound to the panel copy of `host`. Theme-scoped rows edit the record of
// the theme current when the rows were made (the theme the page shows), even if the theme
// changes before an action runs.
class PageRows {
public:
    PageRows(FormContent& form, SettingsPageHost& host)
        : form_(form), host_(host), theme_(host.settings().theme) {}

    FormContent& form() const { return form_; }
    SettingsPageHost& host() const { return host_; }
    const TaskbarSettings& settings() const { return host_.settings(); }
    TaskbarTheme shownTheme() const { return theme_; }
    const TaskbarThemeConfiguration& record() const { return host_.settings().profile(theme_); }

    template <class T>
    Binding<T> theme(T TaskbarThemeConfiguration::*member) const {
        return bindTheme(theme_, member);
    }

    void section(std::string title) { form_.addSection(std::move(title)); }
    FormRow& text(std::string title) { return form_.addTextRow(std::move(title)); }

    FormRow& toggle(std::string title, std::string detail, Binding<bool> binding,
                    OnChange change = OnChange::live, bool isEnabled = true);
    FormRow& slider(std::string title, std::string detail, Binding<double> binding,
                    SliderRange range, OnChange change = OnChange::live,
                    SliderFormatter formatter = {}, SliderValidator validator = {});
    FormRow& color(std::string title, std::string detail, Binding<CodableColor> binding,
                   OnChange change = OnChange::live);

    // One segment per choice. The stored value shows as the first choice equal to it, else as
    // the choice at `otherwise`; choosing a segment stores its value, and an index no segment
    // has stores the value of the choice at `otherwise`.
    template <class T>
    FormRow& segment(std::string title, std::string detail, Binding<T> binding,
                     std::type_identity_t<std::vector<Choice<T>>> choices,
                     OnChange change = OnChange::live, std::size_t otherwise = 0) {
        const T current = binding.get(host_.settings());
        std::vector<std::string> labels;
        std::vector<T> values;
        std::optional<std::size_t> selected;
        for (std::size_t i = 0; i < choices.size(); ++i) {
            labels.push_back(std::move(choices[i].label));
            values.push_back(choices[i].value);
            if (!selected && values.back() == current) selected = i;
        }
        SettingsPageHost& host = host_;
        FormRow& row = form_.addSegment(
            std::move(title), std::move(detail), std::move(labels),
            static_cast<int>(selected.value_or(otherwise)),
            [&host, change, otherwise, set = binding.set, values = std::move(values)](int index) {
                const std::size_t chosen = index >= 0 && index < static_cast<int>(values.size())
                                               ? static_cast<std::size_t>(index)
                                               : otherwise;
                applyRowChange(host, change, [&](TaskbarSettings& s) { set(s, values[chosen]); });
            });
        row.keys = binding.keys;
        return row;
    }

private:
    FormContent& form_;
    SettingsPageHost& host_;
    TaskbarTheme theme_;
};

}  // namespace tavrel
