// Fuzzes the bounce backup file's decoder: only the three values ever come out, and a value
// that comes out is written and read back unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_commands.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto value = NativeDockBounceBackup::decode(bytes);
    if (!value) return 0;
    if (!NativeDockBounceValue::isValid(*value)) std::abort();
    if (NativeDockBounceBackup::decode(NativeDockBounceBackup::encode(*value)) != value) {
        std::abort();
    }
    return 0;
}
