#pragma once

// A program that lives on the session bus ends with it.

#include <functional>

namespace tavrel::platform {

// Prepares the process's shared session-bus connection (the one QtDBus users such as the tray
// icon and the now-playing source talk over) to keep reading through floods, and calls `ended`
// on the main thread once the bus has gone away. Needs a QCoreApplication. Gives false when
// there is no session bus.
bool followSessionBus(std::function<void()> ended);

}  // namespace tavrel::platform
