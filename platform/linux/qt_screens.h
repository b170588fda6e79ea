#pragma once

// The connected displays through QGuiApplication and QScreen.
//
// Identifiers: a name-based UUID (version 5, SHA-1) in the namespace kScreenIdentifierNamespace,
// of the display's EDID manufacturer, model and serial number when it reports any of them, else
// of its connector name ("DP-1"). So one monitor keeps its identifier across reconnects and
// restarts, on any connector. What the window system hides cannot be told apart: two identical
// monitors without serial numbers (Wayland compositors may withhold the serial) would share an
// identifier, so among displays online together the later duplicates (in connector order) take
// the identifier of their EDID fields plus their connector; and a display without EDID that
// moves to another connector is a new display.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/screens.h"
#include "platform/uuid.h"

namespace tavrel::platform {

// The namespace of display identifiers, fixed for good: stored settings name displays by it.
inline constexpr std::string_view kScreenIdentifierNamespace =
    "17F82390-C6C7-4225-A905-12F2324ACF23";

// What a display reports about itself.
struct ScreenDescription {
    std::string manufacturer;  // QScreen::manufacturer()
    std::string model;         // QScreen::model()
    std::string serialNumber;  // QScreen::serialNumber()
    std::string connector;     // QScreen::name()
    bool isPrimary = false;
};

// A version 5 UUID of `name` in `nameSpace` (RFC 4122).
Uuid nameBasedUuid(const Uuid& nameSpace, std::string_view name);

// The displays as the interface reports them: the first primary one first, the others in the
// given order; identifiers unique within the list (see above). Name: manufacturer and model,
// else the connector; a name that two displays share is followed by the connector in
// parentheses.
std::vector<ScreenInfo> identifyScreens(const std::vector<ScreenDescription>& screens);

// The displays of the running QGuiApplication (none without one). Observers hear once per
// change of the reported list, after the event that caused it.
std::unique_ptr<Screens> makeQtScreens();

}  // namespace tavrel::platform
