#pragma once

// The bridge's protocol logic: turns input lines into reports and transport commands, and asks
// the now-playing source for reports. Everything here runs on the main thread; the only way out
// is the line writer, so output lines never interleave.
//
// A report request bumps a generation counter, asks the source its three questions at once and
// writes the report only when all three have answered and no newer request started meanwhile:
// of several overlapping requests only the last one produces output, and it reflects the latest
// state. A request counts as outstanding until the newest one has been written.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/main_queue.h"
#include "platform/now_playing.h"

namespace tavrel {

class MediaBridge {
public:
    // Writes one record line (no line feed); the writer ends the line and flushes.
    using LineWriter = std::function<void(std::string_view line)>;

    // The report that follows a transport command waits this long, so that it shows the
    // player's state after the command rather than before.
    static constexpr std::chrono::milliseconds kReportDelayAfterCommand{250};

    // `source` and `queue` must outlive the bridge.
    MediaBridge(platform::NowPlayingSource& source, platform::MainQueue& queue, LineWriter write);
    ~MediaBridge();
    MediaBridge(const MediaBridge&) = delete;
    MediaBridge& operator=(const MediaBridge&) = delete;

    // Registers for change notifications (each asks for a report) and asks for the first report.
    void start();
    // One line of standard input, without its line feed.
    void handleLine(std::string_view line);
    void requestReport();
    // End of input: runs `done` once the lines handled so far are through, that is, the commands
    // they sent have reached the application and the reports they asked for (the delayed one
    // after a command included) are written. Until then the bridge works as before. How long to
    // wait for that is the caller's choice.
    void finishInput(std::function<void()> done);

    std::uint64_t generation() const;

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace tavrel
