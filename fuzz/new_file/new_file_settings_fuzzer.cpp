// Fuzzes the decoder of NewFileSettings.json, which the extension receives from any process of
// the user: any bytes either fail as a whole or decode; merged with the defaults the document
// starts with the four built-in templates and holds each id once; it encodes, and reading that
// back gives the same document and the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "core/new_file/new_file_settings.h"
#include "core/new_file/plain_file_name.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    auto decoded = NewFileSettings::decode(bytes);
    if (!decoded) return 0;
    const NewFileSettings merged = decoded->mergedWithDefaults();

    const auto& builtIns = NewFileSettings::builtInTemplates();
    if (merged.templates.size() < builtIns.size()) std::abort();
    std::set<std::string> ids;
    for (std::size_t i = 0; i < merged.templates.size(); ++i) {
        const NewFileTemplate& entry = merged.templates[i];
        if (i < builtIns.size() && (entry.id != builtIns[i].id || !entry.templateFileName)) {
            std::abort();
        }
        if (i >= builtIns.size() && (entry.isBuiltIn || NewFileSettings::isBuiltInID(entry.id))) {
            std::abort();
        }
        if (!ids.insert(entry.id).second) std::abort();
        (void)isPlainFileName(entry.sourceFileName());
        (void)printableForLog(entry.sourceFileName());
    }
    for (const NewFileTemplate& entry : merged.enabledTemplates()) {
        if (!entry.isEnabled || !merged.isEnabled) std::abort();
    }

    const auto encoded = merged.encode();
    if (!encoded) std::abort();  // decoded text is UTF-8, so it always encodes
    const auto again = NewFileSettings::decode(*encoded);
    if (!again.ok() && encoded->size() <= 1024 * 1024) std::abort();
    if (again.ok() && (*again != merged || again->encode().value() != *encoded)) std::abort();
    return 0;
}
