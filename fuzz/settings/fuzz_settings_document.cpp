// Fuzzes the settings document decoder: any bytes either fail as a whole or load; what loads
// is written again, and reading that back gives the same object and the same bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_json.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    settings_json::DecodeIssues issues;
    SettingsCompatibilityRecovery::reset();
    const auto record = StoredSettings::decode(bytes, &issues);
    const bool recovered = SettingsCompatibilityRecovery::consume();
    if (!record) return 0;
    // The flag and the report agree on whether something was dropped.
    if (recovered != !issues.droppedKeys.empty()) std::abort();

    TaskbarSettings settings;
    settings.map(*record);
    // Every number that decodes is finite, so everything that loads can be written.
    const auto written = settings.encoded();
    if (!written) std::abort();

    SettingsCompatibilityRecovery::reset();
    const auto reread = StoredSettings::decode(*written);
    if (!reread || SettingsCompatibilityRecovery::consume()) std::abort();
    TaskbarSettings again;
    again.map(*reread);
    if (!(again == settings) || again.encoded().value() != *written) std::abort();
    return 0;
}
