// The bridge's standard input: arbitrary bytes, cut into arbitrary reads, through the line
// reader, the command parser and the protocol logic. Every record written must be one line of
// JSON, and only the three transport commands may reach the source.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "core/media_bridge/bridge_command.h"
#include "core/media_bridge/bridge_line_reader.h"
#include "core/media_bridge/media_bridge.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/now_playing.h"

namespace {

class EchoSource final : public tavrel::platform::NowPlayingSource {
public:
    void getNowPlayingInfo(InfoCallback done) override {
        tavrel::platform::NowPlayingInfo info;
        info[tavrel::platform::nowPlayingInfoEntryName("Title")] = lastLine;
        done(info);
    }
    void getNowPlayingApplicationIsPlaying(IsPlayingCallback done) override { done(true); }
    void getNowPlayingApplicationPID(PidCallback done) override { done(1); }
    bool sendCommand(int command) override {
        if (command != 2 && command != 4 && command != 5) std::abort();
        return true;
    }
    std::string lastLine;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the read size, so lines also straddle reads.
    const std::size_t chunk = 1 + data[0] % 64;
    std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);

    tavrel::platform::ManualMainQueue queue;
    EchoSource source;
    tavrel::MediaBridge bridge(source, queue, [](std::string_view line) {
        if (line.find('\n') != std::string_view::npos) std::abort();
        if (nlohmann::json::parse(line, nullptr, false).is_discarded()) std::abort();
    });
    tavrel::BridgeLineReader reader;
    const auto handle = [&](std::string_view line) {
        if (line.size() > tavrel::BridgeLineReader::kMaxLineBytes) std::abort();
        const auto command = tavrel::parseBridgeCommand(line);
        if (command.kind == tavrel::BridgeCommand::Kind::send &&
            tavrel::leadingIntegerValue(line) != command.number) {
            std::abort();
        }
        source.lastLine = std::string(line);  // reports carry it back out as text
        bridge.handleLine(line);
        queue.advanceBy(std::chrono::milliseconds(100));
    };
    while (!input.empty()) {
        const std::size_t n = std::min(chunk, input.size());
        reader.feed(input.substr(0, n), handle);
        input.remove_prefix(n);
    }
    reader.finish(handle);
    queue.advanceBy(std::chrono::seconds(1));
    return 0;
}
