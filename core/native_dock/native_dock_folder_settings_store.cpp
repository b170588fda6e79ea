#include "core/native_dock/native_dock_folder_settings_store.h"

#include <algorithm>
#include <system_error>
#include <unordered_set>
#include <utility>

#include "core/native_dock/native_dock_text.h"
#include "core/settings/app_data_store.h"
#include "platform/case_folding.h"
#include "platform/files.h"

namespace tavrel {

NativeDockFolderSettingsStore::NativeDockFolderSettingsStore(std::filesystem::path fileURL)
    : fileURL_(std::move(fileURL)) {}

NativeDockFolderSettingsStore& NativeDockFolderSettingsStore::shared() {
    static NativeDockFolderSettingsStore store(defaultFileURL());
    return store;
}

std::filesystem::path NativeDockFolderSettingsStore::defaultFileURL() {
    return AppDataStore::directoryPath() / fileName;
}

void NativeDockFolderSettingsStore::reload() {
    auto bytes = platform::readFile(fileURL_, NativeDockFolderDocumentLimits::maxBytes);
    if (!bytes) {
        folders.clear();
        return;
    }
    auto decoded = decodeNativeDockFolders(*bytes);
    folders = decoded ? std::move(*decoded) : std::vector<SettingsNativeDockFolder>{};
}

Status NativeDockFolderSettingsStore::save() {
    auto encoded = encodeNativeDockFolders(folders);
    if (!encoded) return encoded.error();
    std::error_code ignored;  // a missing directory shows up as the write's failure
    std::filesystem::create_directories(fileURL_.parent_path(), ignored);
    return platform::writeFileAtomically(fileURL_, *encoded);
}

Status NativeDockFolderSettingsStore::upsert(const SettingsNativeDockFolder& folder) {
    const auto existing = std::find_if(folders.begin(), folders.end(),
                                       [&](const auto& entry) { return entry.id == folder.id; });
    if (existing != folders.end()) {
        *existing = folder;
    } else {
        folders.push_back(folder);
    }
    return save();
}

Status NativeDockFolderSettingsStore::remove(const platform::Uuid& id) {
    std::erase_if(folders, [&](const auto& entry) { return entry.id == id; });
    return save();
}

std::string NativeDockFolderSettingsStore::uniqueFolderName(
    std::string_view preferred, const std::optional<platform::Uuid>& excluding) const {
    std::string base(trimWhitespaceAndNewlines(preferred));
    if (base.empty()) base = defaultFolderName;

    std::unordered_set<std::string> used;
    for (const auto& folder : folders) {
        if (excluding && folder.id == *excluding) continue;
        used.insert(platform::caselessMatchKey(trimWhitespaceAndNewlines(folder.name)));
    }
    const auto inUse = [&](const std::string& name) {
        return used.contains(platform::caselessMatchKey(name));
    };
    if (!inUse(base)) return base;
    // At most folders.size() candidates can be taken, so this ends.
    for (std::size_t k = 2;; ++k) {
        std::string candidate = base + " " + std::to_string(k);
        if (!inUse(candidate)) return candidate;
    }
}

}  // namespace tavrel
