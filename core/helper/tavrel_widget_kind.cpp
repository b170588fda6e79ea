#include "core/helper/tavrel_widget_kind.h"

namespace tavrel {

std::string_view rawValue(TavrelWidgetKind kind) {
    switch (kind) {
        case TavrelWidgetKind::time:
            return "time";
        case TavrelWidgetKind::memory:
            return "memory";
    }
    return "time";
}

std::string_view widgetName(TavrelWidgetKind kind) {
    return kind == TavrelWidgetKind::memory ? "内存组件" : "时间组件";
}

std::optional<TavrelWidgetKind> widgetKindFromRawValue(std::string_view raw) {
    if (raw == "time") return TavrelWidgetKind::time;
    if (raw == "memory") return TavrelWidgetKind::memory;
    return std::nullopt;
}

}  // namespace tavrel
