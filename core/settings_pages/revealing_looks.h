#pragma once

// Settings under which the pages show the rows that depend on other values: between them, every
// row of every page and tab is shown at least once. The search finds hidden rows through them;
// tests walk every row under them.

#include <vector>

#include "core/settings/taskbar_settings.h"

namespace tavrel {

struct SettingsLook {
    const char* name;
    void (*apply)(TaskbarSettings&);
};

const std::vector<SettingsLook>& rowRevealingLooks();

}  // namespace tavrel
