#pragma once

// The options Qt's application object takes from any program's command line (style, platform,
// window geometry, …), so that a program that checks its own options lets them through. They
// are written with one dash or two; the value follows as the next argument, and for the options
// that allow it also after "=".

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::platform {

// How many arguments, starting at arguments[index], form one option Qt takes: 0 when
// arguments[index] is none of them (a value option without its value included).
inline std::size_t qtApplicationOptionLength(const std::vector<std::string>& arguments,
                                             std::size_t index) {
    static constexpr std::array<std::string_view, 13> kWithValue{
        "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
        "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
        "style",       "stylesheet",         "qmljsdebugger"};
    // Only these also take "-option=value".
    static constexpr std::array<std::string_view, 3> kWithEquals{"style", "stylesheet",
                                                                 "qmljsdebugger"};
    static constexpr std::array<std::string_view, 2> kFlags{"reverse", "widgetcount"};

    if (index >= arguments.size()) return 0;
    std::string_view option = arguments[index];
    if (option.size() < 2 || option[0] != '-') return 0;
    option.remove_prefix(option.starts_with("--") ? 2 : 1);
    const auto among = [&](const auto& names, std::string_view name) {
        for (std::string_view candidate : names) {
            if (candidate == name) return true;
        }
        return false;
    };
    if (among(kFlags, option)) return 1;
    if (const auto equals = option.find('='); equals != std::string_view::npos) {
        return among(kWithEquals, option.substr(0, equals)) ? 1 : 0;
    }
    if (among(kWithValue, option)) return index + 1 < arguments.size() ? 2 : 0;
    return 0;
}

}  // namespace tavrel::platform
