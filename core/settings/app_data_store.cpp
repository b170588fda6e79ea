#include "core/settings/app_data_store.h"

#include <system_error>

#include "platform/files.h"
#include "platform/paths.h"

namespace tavrel::AppDataStore {

std::filesystem::path directoryPath() {
    return platform::paths::applicationSupport() / "Tavrel";
}

std::filesystem::path markerURL() {
    return directoryPath() / ".migration-complete";
}

std::filesystem::path directoryURL() {
    const auto directory = directoryPath();
    const auto marker = directory / ".migration-complete";
    std::error_code error;
    if (!std::filesystem::exists(marker, error)) {
        std::filesystem::create_directories(directory, error);
        (void)platform::writeFileAtomically(marker, "", platform::Durability::fast);
    }
    return directory;
}

}  // namespace tavrel::AppDataStore
