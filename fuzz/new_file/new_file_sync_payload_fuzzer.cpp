// Fuzzes the sync payload, which any process of the user may post to the extension: the caps
// hold for whatever decodes, every name goes through the plain-name rule, and what decodes
// encodes to a payload that decodes to the same content.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/new_file/plain_file_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto payload = NewFileSettingsSyncPayload::decode(bytes);
    if (!payload) return 0;
    if (payload->settingsData.size() > NewFileLimits::maxDocumentBytes) std::abort();
    if (payload->customTemplateData.size() > NewFileLimits::maxCustomTemplates) std::abort();
    std::size_t total = 0;
    for (const auto& [name, file] : payload->customTemplateData) {
        if (file.size() > NewFileLimits::maxTemplateFileBytes) std::abort();
        total += file.size();
        if (isPlainFileName(name) && (name.find('/') != std::string::npos || name == ".." ||
                                      name.empty() || name.size() > 255)) {
            std::abort();
        }
        (void)printableForLog(name);
    }
    if (total > NewFileLimits::maxCustomTemplateBytes) std::abort();
    (void)NewFileSettings::decode(payload->settingsData);

    const auto encoded = payload->encode();
    if (!encoded) return 0;
    const auto again = NewFileSettingsSyncPayload::decode(*encoded);
    if (!again || *again != *payload) std::abort();
    return 0;
}
