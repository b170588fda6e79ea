#pragma once

// The workspace of a freedesktop desktop: applications from desktop entry files, icons named by
// the icon theme and the shared MIME database, addresses opened with the desktop's handler
// (QDesktopServices, that is xdg-open or the portal). Needs a QGuiApplication for iconForFile
// and openURL.

#include <memory>

#include "platform/workspace.h"

namespace tavrel::platform {

std::unique_ptr<Workspace> makeDesktopWorkspace();

}  // namespace tavrel::platform
