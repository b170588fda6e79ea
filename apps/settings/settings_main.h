#pragma once

// What the settings program decides before it has a window: --help, arguments it does not
// know, whether it can show a window at all, and what a second start sends to the running one.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/notifications/notification.h"

namespace tavrel {

std::string settingsUsage();

// The reopen notification a second start posts: {"page": …} for the first launch switch
// present, else empty.
Notification settingsReopenNotification(const std::vector<std::string>& arguments);

// What the program says about arguments it does not know (Qt's own options pass), one line
// each; it runs on without them.
std::vector<std::string> unknownArgumentNotes(const std::vector<std::string>& arguments);

// Qt's own texts (standard dialogs and buttons, text field menus) in Simplified Chinese, the
// language of every text of the window, whatever the system's locale. Needs the application
// object; false when Qt's translations are not installed (Qt's texts stay English).
bool installQtTranslations();

// Why no window can be shown, or nothing: Qt's platform is chosen by QT_QPA_PLATFORM, else
// Wayland or X11 by WAYLAND_DISPLAY and DISPLAY.
std::optional<std::string> missingDisplayReason(const char* qpaPlatform, const char* waylandDisplay,
                                                const char* x11Display);

}  // namespace tavrel
