// Fuzzes the settings export decoder: any bytes are refused as a whole or decode into an
// envelope that encodes again and reads back the same. The same bytes are tried as a backup
// name, which either is refused or is exactly the name it parses into.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (const auto name = SettingsBackupName::parse(bytes)) {
        if (name->fileName() != bytes) std::abort();
    }

    const auto decoded = SettingsExport::decode(bytes);
    if (!decoded) return 0;
    // Re-indenting may grow a file that was at the cap past it; anything else encodes.
    const auto encoded = decoded->encode();
    if (!encoded) return 0;
    const auto again = SettingsExport::decode(*encoded);
    if (!again || !(*again == *decoded)) std::abort();
    return 0;
}
