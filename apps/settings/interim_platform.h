#pragma once

// The desktop's applications and displays for the settings window.

#include <memory>

#include "platform/screens.h"
#include "platform/workspace.h"

namespace tavrel {

std::unique_ptr<platform::Workspace> makeSettingsWorkspace();
std::unique_ptr<platform::Screens> makeSettingsScreens();

}  // namespace tavrel
