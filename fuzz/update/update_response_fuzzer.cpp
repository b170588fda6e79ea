// Fuzzes the decoder of the update service's answer, which comes from the network: any bytes
// either fail as a whole or decode into a response whose texts are the JSON's strings. On what
// decodes, the version order is a total order consistent with equality, and the dates and the
// notes text are made without fault.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/update/release_notes.h"
#include "core/update/settings_semantic_version.h"
#include "core/update/settings_update_response.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The raw bytes as a version and as a date, too: both parsers see outside text.
    const auto rawVersion = SettingsSemanticVersion::parse(bytes);
    if (rawVersion && bytes.find_first_not_of("0123456789.") != std::string_view::npos) {
        std::abort();
    }
    const UtcOffsetAt east = [](std::chrono::sys_seconds) { return std::chrono::hours{14}; };
    const UtcOffsetAt west = [](std::chrono::sys_seconds) { return std::chrono::hours{-12}; };
    if (formattedReleaseDate(bytes, east).has_value() != parseInternetDateTime(bytes).has_value()) {
        std::abort();
    }

    const auto response = decodeSettingsUpdateResponse(bytes);
    if (!response) return 0;
    if (size > SettingsUpdateResponseLimits::maxBytes) std::abort();

    if (response->latestVersion) {
        const auto latest = SettingsSemanticVersion::parse(*response->latestVersion);
        for (const auto& record : response->versions) {
            const auto version = SettingsSemanticVersion::parse(record.version);
            if (!latest || !version) continue;
            const bool less = *version < *latest;
            const bool greater = *latest < *version;
            const bool equal = *version == *latest;
            if (int(less) + int(greater) + int(equal) != 1) std::abort();
        }
    }
    for (const auto& record : response->versions) {
        (void)formattedReleaseDate(record.createdAt, west);
    }
    const std::string notes = releaseNotesText(response->versions, east);
    // Each block begins with "版本 "; no records give the empty text.
    if (response->versions.empty() != notes.empty()) std::abort();
    if (!notes.empty() && !notes.starts_with("版本 ")) std::abort();
    return 0;
}
