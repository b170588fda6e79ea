#pragma once

// What loading and saving the settings document needs from outside: where the document lives,
// the Dock's preferences, the shipped default document and the clock for archive names. The
// application uses standard(); tests point everything at their own files and fakes.

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "core/settings/settings_compatibility_recovery.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/preferences.h"

namespace tavrel {

struct SettingsEnvironment {
    // The directory of settings.json and its archives.
    std::filesystem::path directory;
    // Where the Dock's "orientation" is read (domain "com.apple.dock"); nothing reads as missing.
    std::shared_ptr<const platform::PreferenceDomains> preferences;
    // The shipped "DefaultSettings.json"; nothing when there is none.
    std::function<std::optional<std::filesystem::path>()> defaultDocument;
    // Wall-clock time for archive names.
    std::shared_ptr<const platform::Clock> clock;
    platform::Durability durability = platform::Durability::durable;
    // Asked to back the documents up before a load migrates or archives settings.json; nothing
    // is backed up without one.
    std::shared_ptr<SettingsBackupHook> backups;

    std::filesystem::path settingsURL() const { return directory / "settings.json"; }
    std::chrono::system_clock::time_point now() const;

    // AppDataStore.directoryURL (created on first use), the user's preference domains, the
    // resource lookup and the installed backup hook of this process.
    static SettingsEnvironment standard();
    // The same for a document in `directory`, which is left as it is.
    static SettingsEnvironment standardAt(std::filesystem::path directory);
};

}  // namespace tavrel
