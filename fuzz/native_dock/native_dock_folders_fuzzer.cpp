// Fuzzes the decoder of native-dock-folders.json, which the taskbar application writes: any bytes
// either fail as a whole or decode; what decodes is written again, and reading that back gives
// the same folders and the same bytes. The unique-name rule never returns a name in use.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/native_dock/native_dock_text.h"
#include "platform/case_folding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto folders = decodeNativeDockFolders(bytes);
    if (!folders) return 0;
    const auto encoded = encodeNativeDockFolders(*folders);
    if (!encoded) std::abort();
    const auto again = decodeNativeDockFolders(*encoded);
    if (!again || *again != *folders) std::abort();
    if (encodeNativeDockFolders(*again).value() != *encoded) std::abort();

    NativeDockFolderSettingsStore store("/nonexistent/native-dock-folders.json");
    store.folders = std::move(*folders);
    const auto inUseByOthers = [&](const std::string& name, const platform::Uuid* excluded) {
        const auto key = platform::caselessMatchKey(name);
        for (const auto& folder : store.folders) {
            if (excluded != nullptr && folder.id == *excluded) continue;
            if (platform::caselessMatchKey(trimWhitespaceAndNewlines(folder.name)) == key) {
                return true;
            }
        }
        return false;
    };
    for (std::size_t i = 0; i < store.folders.size() && i < 4; ++i) {
        const auto& folder = store.folders[i];
        const std::string fresh = store.uniqueFolderName(folder.name, std::nullopt);
        if (fresh.empty() || inUseByOthers(fresh, nullptr)) std::abort();
        if (trimWhitespaceAndNewlines(fresh) != fresh) std::abort();
        const std::string renamed = store.uniqueFolderName(folder.name, folder.id);
        if (renamed.empty() || inUseByOthers(renamed, &folder.id)) std::abort();
    }
    return 0;
}
