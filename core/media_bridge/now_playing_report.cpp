#include "core/media_bridge/now_playing_report.h"

#include <cmath>
#include <type_traits>

#include "core/foundation/base64.h"
#include "core/foundation/utf8.h"

namespace tavrel {
namespace {

// The entry as a report value, or nothing when the report leaves it out.
std::optional<nlohmann::json> scalarValue(const platform::NowPlayingValue& value) {
    return std::visit(
        [](const auto& v) -> std::optional<nlohmann::json> {
            using V = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<V, std::string>) {
                if (!isValidUtf8(v)) return std::nullopt;
                return nlohmann::json(v);
            } else if constexpr (std::is_same_v<V, std::int64_t>) {
                return nlohmann::json(v);
            } else if constexpr (std::is_same_v<V, double>) {
                if (!std::isfinite(v)) return std::nullopt;
                return nlohmann::json(v);
            } else {
                return std::nullopt;
            }
        },
        value);
}

}  // namespace

nlohmann::json makeNowPlayingReport(const std::optional<platform::NowPlayingInfo>& info,
                                    bool isPlaying, std::int64_t pid) {
    nlohmann::json report = nlohmann::json::object();
    if (info) {
        for (std::string_view key : kNowPlayingReportKeys) {
            const auto entry = info->find(platform::nowPlayingInfoEntryName(key));
            if (entry == info->end()) continue;
            if (auto value = scalarValue(entry->second)) report[std::string(key)] = *value;
        }
        const auto artwork = info->find(platform::kNowPlayingInfoArtworkData);
        if (artwork != info->end()) {
            if (const auto* bytes = std::get_if<platform::NowPlayingBytes>(&artwork->second)) {
                report[std::string(kNowPlayingReportArtworkData)] = base64::encode(*bytes);
            }
        }
    }
    report["isPlaying"] = isPlaying;
    report["pid"] = pid;
    return report;
}

nlohmann::json makeCommandAnswer(int command, bool accepted) {
    return {{"command", command}, {"accepted", accepted}};
}

nlohmann::json makeStartupFailureRecord() {
    return {{"error", std::string(kStartupFailureError)}};
}

Result<std::string> encodeBridgeRecord(const nlohmann::json& record) {
    try {
        return record.dump();
    } catch (const nlohmann::json::exception& e) {
        return Error{std::string("cannot serialise record: ") + e.what()};
    }
}

}  // namespace tavrel
