#pragma once

// The live widgets a Dock tile copy can show. The raw values travel in Info.plist and in the
// notifications exchanged with the taskbar, and are matched exactly (case-sensitive).

#include <optional>
#include <string_view>

namespace tavrel {

enum class TavrelWidgetKind { time, memory };

std::string_view rawValue(TavrelWidgetKind kind);

// What the user calls the widget: "时间组件" or "内存组件", as the settings pages and the Dock
// menu name it.
std::string_view widgetName(TavrelWidgetKind kind);

// "time" or "memory"; anything else (including "Memory") names no kind.
std::optional<TavrelWidgetKind> widgetKindFromRawValue(std::string_view raw);

}  // namespace tavrel
