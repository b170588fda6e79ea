#pragma once

// The two documents the crash writer saves in turn: a small one and a large one, so that a kill
// has many chances to land in the middle of a write.

#include <string>

#include "core/settings/taskbar_settings.h"

namespace tavrel::test {

inline TaskbarSettings crashDocument(int which) {
    TaskbarSettings settings;
    if (which == 1) {
        settings.theme = TaskbarTheme::windows;
        settings.hideNativeDock = true;
        for (int i = 0; i < 3000; ++i) {
            settings.closeProtectionApps.push_back(
                {"Application " + std::to_string(i), "com.example.app" + std::to_string(i),
                 "/Applications/Application " + std::to_string(i) + ".app"});
        }
    }
    return settings;
}

}  // namespace tavrel::test
