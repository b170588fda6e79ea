#pragma once

// tavrel-settings: reads and edits settings.json through the settings model, the way gsettings
// and defaults serve their stores. Everything but the bus lives here, so tests drive it with
// their own directory, streams and announcer.

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/settings/settings_environment.h"

namespace tavrel {

struct SettingsToolContext {
    // The document's surroundings. `forWriting` is true for the commands that may write (dump,
    // set): they use the data directory as the application does, creating it on first use;
    // the others create nothing.
    std::function<SettingsEnvironment(bool forWriting)> environment;
    // Posts settingsChanged with the application's reason; an error when nothing could be
    // announced (no session bus).
    std::function<Status()> announce;
    std::ostream& out;
    std::ostream& err;
};

struct SettingsToolExit {
    static constexpr int success = 0;
    static constexpr int problems = 1;  // check: the document does not decode cleanly
    static constexpr int usage = 2;     // unknown command or key, bad value, failed write
};

int runSettingsTool(const std::vector<std::string>& arguments, const SettingsToolContext& context);

std::string_view settingsToolUsage();

}  // namespace tavrel
