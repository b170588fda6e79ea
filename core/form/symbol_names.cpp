#include "core/form/symbol_names.h"

#include <array>

namespace tavrel {

namespace {

using Names = std::string_view;

constexpr std::array<Names, 1> kTaskbar{"preferences-desktop-multitasking-symbolic"};
constexpr std::array<Names, 1> kDisplays{"preferences-desktop-display-symbolic"};
constexpr std::array<Names, 1> kDock{"preferences-system-windows-symbolic"};
constexpr std::array<Names, 1> kCalendar{"x-office-calendar-symbolic"};
constexpr std::array<Names, 1> kWidgets{"view-grid-symbolic"};
constexpr std::array<Names, 1> kIcons{"view-app-grid-symbolic"};
constexpr std::array<Names, 1> kIndicators{"list-remove-symbolic"};
constexpr std::array<Names, 1> kPreview{"window-restore-symbolic"};
constexpr std::array<Names, 1> kLauncher{"view-app-grid-symbolic"};
constexpr std::array<Names, 1> kSwitcher{"object-flip-horizontal-symbolic"};
constexpr std::array<Names, 1> kGestures{"input-touchpad-symbolic"};
constexpr std::array<Names, 1> kCorner{"go-bottom-symbolic"};
constexpr std::array<Names, 1> kDesktopIcons{"view-conceal-symbolic"};
constexpr std::array<Names, 1> kScreenCorners{"view-fullscreen-symbolic"};
constexpr std::array<Names, 1> kNewFile{"document-new-symbolic"};
constexpr std::array<Names, 1> kGeneral{"emblem-system-symbolic"};
constexpr std::array<Names, 1> kInfo{"dialog-information-symbolic"};
constexpr std::array<Names, 1> kWarning{"dialog-warning-symbolic"};
constexpr std::array<Names, 1> kChevron{"go-next-symbolic"};
constexpr std::array<Names, 1> kNewFolder{"folder-new-symbolic"};
constexpr std::array<Names, 1> kTrash{"user-trash-symbolic"};
constexpr std::array<Names, 1> kPlus{"list-add-symbolic"};
constexpr std::array<Names, 1> kReset{"edit-undo-symbolic"};
constexpr std::array<Names, 1> kMore{"view-more-symbolic"};
constexpr std::array<Names, 2> kApplication{"application-x-executable-symbolic",
                                            "application-x-addon-symbolic"};

constexpr std::array<SymbolIconNames, 26> kSymbols{{
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
    {"folder.badge.plus", kNewFolder},
    {"trash", kTrash},
    {"plus", kPlus},
    {"arrow.counterclockwise", kReset},
    {"ellipsis.circle", kMore},
    {"app", kApplication},
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

bool isKnownSymbol(std::string_view symbolName) {
    for (const auto& entry : kSymbols) {
        if (entry.symbolName == symbolName) return true;
    }
    return false;
}

}  // namespace tavrel
