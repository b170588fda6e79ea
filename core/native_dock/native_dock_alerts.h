#pragma once

// The alerts of the native Dock features: confirmations of hiding and restoring, the failure
// alert, and the folder dialogs.

#include <string_view>

#include "platform/dialogs.h"

namespace tavrel {

struct NativeDockAlerts {
    static platform::ModalAlert confirmEnableNativeDockHiding();
    static platform::ModalAlert confirmDisableNativeDockHiding();
    static platform::ModalAlert nativeDockCommandFailure();

    // Name field prefilled with "新建文件夹"; the window gives the field 256 × 24 points.
    static platform::ModalAlert createFolder();
    // Name field prefilled with the current name (340 × 24 points) and the red warning label
    // (340 points wide) in a vertical stack of 360 × 58 points, spacing 8.
    static platform::ModalAlert renameFolder(std::string_view currentName);
    static platform::ModalAlert deleteFolder(std::string_view name);
};

}  // namespace tavrel
