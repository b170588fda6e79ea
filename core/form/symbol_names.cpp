#include "core/form/symbol_names.h"

#include <array>

namespace tavrel {

namespace {

using Names = std::string_view;

constexpr std::array<Names, 2> kTaskbar{"preferences-desktop-multitasking-symbolic",
                                        "preferences-desktop"};
constexpr std::array<Names, 2> kDisplays{"preferences-desktop-display-symbolic", "video-display"};
constexpr std::array<Names, 2> kDock{"preferences-system-windows-symbolic",
                                     "preferences-system-windows"};
constexpr std::array<Names, 2> kCalendar{"x-office-calendar-symbolic", "x-office-calendar"};
constexpr std::array<Names, 2> kWidgets{"view-grid-symbolic", "view-grid"};
constexpr std::array<Names, 2> kIcons{"view-app-grid-symbolic", "view-grid"};
constexpr std::array<Names, 2> kIndicators{"list-remove-symbolic", "list-remove"};
constexpr std::array<Names, 2> kPreview{"window-restore-symbolic", "preferences-system-windows"};
constexpr std::array<Names, 2> kLauncher{"view-app-grid-symbolic", "applications-other"};
constexpr std::array<Names, 2> kSwitcher{"object-flip-horizontal-symbolic",
                                         "object-flip-horizontal"};
constexpr std::array<Names, 2> kGestures{"input-touchpad-symbolic", "input-touchpad"};
constexpr std::array<Names, 2> kCorner{"go-bottom-symbolic", "go-bottom"};
constexpr std::array<Names, 2> kDesktopIcons{"view-conceal-symbolic", "user-desktop"};
constexpr std::array<Names, 2> kScreenCorners{"view-fullscreen-symbolic", "view-fullscreen"};
constexpr std::array<Names, 2> kNewFile{"document-new-symbolic", "document-new"};
constexpr std::array<Names, 2> kGeneral{"emblem-system-symbolic", "preferences-system"};
constexpr std::array<Names, 2> kInfo{"dialog-information-symbolic", "help-about"};
constexpr std::array<Names, 2> kWarning{"dialog-warning-symbolic", "dialog-warning"};
constexpr std::array<Names, 2> kChevron{"go-next-symbolic", "go-next"};

constexpr std::array<SymbolIconNames, 20> kSymbols{{
    {"rectangle.bottomthird.inset.filled", kTaskbar},
    {"display.2", kDisplays},
    {"dock.rectangle", kDock},
    {"calendar.badge.clock", kCalendar},
    {"rectangle.grid.1x2", kWidgets},
    {"square.grid.2x2.fill", kIcons},
    {"minus.rectangle.fill", kIndicators},
    {"rectangle.on.rectangle", kPreview},
    {"square.grid.3x3.fill", kLauncher},
    {"square.grid.3x3.topleft.filled", kLauncher},
    {"arrow.left.arrow.right.square.fill", kSwitcher},
    {"hand.raised.circle.fill", kGestures},
    {"arrow.down.right.and.arrow.up.left", kCorner},
    {"eye.slash.fill", kDesktopIcons},
    {"viewfinder", kScreenCorners},
    {"doc.badge.plus", kNewFile},
    {"gearshape.fill", kGeneral},
    {"info.circle", kInfo},
    {"exclamationmark.triangle.fill", kWarning},
    {"chevron.right", kChevron},
}};

}  // namespace

std::span<const std::string_view> freedesktopIconNames(std::string_view symbolName) {
    for (const auto& entry : kSymbols) {
        if (entry.symbolName == symbolName) return entry.freedesktopNames;
    }
    return {};
}

std::span<const SymbolIconNames> knownSymbols() {
    return kSymbols;
}

}  // namespace tavrel
