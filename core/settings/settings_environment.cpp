#include "core/settings/settings_environment.h"

#include <utility>

#include "core/settings/app_data_store.h"
#include "core/settings/tavrel_resources.h"
#include "platform/paths.h"

namespace tavrel {

std::chrono::system_clock::time_point SettingsEnvironment::now() const {
    return clock ? clock->now() : std::chrono::system_clock::now();
}

SettingsEnvironment SettingsEnvironment::standard() {
    return standardAt(AppDataStore::directoryURL());
}

SettingsEnvironment SettingsEnvironment::standardAt(std::filesystem::path directory) {
    SettingsEnvironment environment;
    environment.directory = std::move(directory);
    environment.preferences =
        platform::makeFilePreferenceDomains(platform::paths::preferencesDirectory());
    environment.defaultDocument = [] {
        return TavrelResources::resourceURL("DefaultSettings", "json");
    };
    environment.clock = platform::systemClock();
    environment.backups = installedSettingsBackupHook();
    return environment;
}

}  // namespace tavrel
