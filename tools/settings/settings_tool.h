#pragma once

// tavrel-settings: reads and edits settings.json through the settings model, the way gsettings
// and defaults serve their stores. Everything but the bus lives here, so tests drive it with
// their own directory, streams and announcer.

#include <chrono>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "core/settings/settings_environment.h"
#include "core/settings/settings_keys.h"

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
    // Posts "com.tavrel.nativeDockFolders.changed"; nothing is announced without it.
    std::function<Status()> announceNativeDockFolders = {};
    // Announces a changed New File document as its page does (the sync payload for the file
    // manager, then settingsChanged with "new-file-settings-change"); nothing without it.
    std::function<Status()> announceNewFileSettings = {};
    // Written into exports and backups.
    std::string appVersion = "0.0.0";
    // Wall-clock time for exports and backup names; the system clock when empty.
    std::function<std::chrono::system_clock::time_point()> now = {};
    // Runs after each file an import or restore has replaced (crash tests stop there).
    std::function<void()> afterEachImportWrite = {};
};

struct SettingsToolExit {
    static constexpr int success = 0;
    static constexpr int problems = 1;  // check: the document does not decode cleanly
    static constexpr int usage = 2;     // unknown command or key, bad value, failed write,
                                        // refused import
};

// One `set KEY JSON` edit of settings.json. tavrel-settings and the taskbar stand-in both make
// their edits through these two calls, so both refuse the same keys and values with the same
// messages and store them the same way.
struct SettingsEdit {
    std::string record;  // windowsSettings / liquidGlassSettings for a theme's own key, else empty
    std::string name;
    SettingsKeyRole role = SettingsKeyRole::global;
    nlohmann::ordered_json value;

    // The key as the command line names it.
    std::string display() const { return record.empty() ? name : record + "." + name; }
};

// Checks the key (known, neither legacy nor derived) and the value's JSON and kind; the error
// is the one-line reason.
Result<SettingsEdit> parseSettingsEdit(std::string_view key, std::string_view jsonText);

struct SettingsEditOutcome {
    bool fileChanged = false;
    // Set when normalisation stored another value than the one given.
    std::optional<std::string> note;
};

// Loads the document as the application does, stores the value (normalised, the top-level copies
// of the current theme's keys kept in step) and saves atomically.
Result<SettingsEditOutcome> applySettingsEdit(const SettingsEdit& edit,
                                              const SettingsEnvironment& environment);

int runSettingsTool(const std::vector<std::string>& arguments, const SettingsToolContext& context);

std::string_view settingsToolUsage();

}  // namespace tavrel
