// The media bridge's composition root: the MPRIS now-playing source, the Qt main queue, the
// protocol logic and the two standard streams.

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

#include <unistd.h>

#include <QCoreApplication>
#include <QTimer>

#include "apps/media_bridge/standard_input_reader.h"
#include "apps/media_bridge/tavrel_media_bridge.h"
#include "core/media_bridge/media_bridge.h"
#include "core/media_bridge/now_playing_report.h"
#include "platform/log.h"
#include "platform/main_queue.h"
#include "platform/now_playing.h"
#include "platform/session_bus.h"

namespace tavrel {
namespace {

// How long the end of input waits for the reports the last lines asked for.
constexpr std::chrono::milliseconds kReportLimit{500};

// One write per record so that a line is never split between writes of the client's reads;
// nothing is buffered, so every line is out (flushed) when this returns.
void writeLine(std::string_view line) {
    std::string buffer;
    buffer.reserve(line.size() + 1);
    buffer.append(line);
    buffer.push_back('\n');
    std::string_view rest = buffer;
    while (!rest.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the client stopped reading; its closing standard input ends us
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

int runMediaBridge() {
    static int argc = 1;
    static char name[] = "TavrelMediaBridge";
    static char* argv[] = {name, nullptr};
    std::unique_ptr<QCoreApplication> application;
    if (!QCoreApplication::instance()) application = std::make_unique<QCoreApplication>(argc, argv);

    auto source = platform::makeNowPlayingSource();
    if (!source) {
        platform::log("Tavrel MediaBridge: " + source.error().message);
        if (auto line = encodeBridgeRecord(makeStartupFailureRecord())) writeLine(*line);
        return 1;
    }
    // A flood on the bus must not silence the players' changes, and the bridge ends with the
    // session's bus: no player can be reached any more.
    platform::followSessionBus([] { QCoreApplication::exit(0); });
    auto queue = platform::makeMainQueue();
    int status = 0;
    {
        platform::NowPlayingSource& nowPlaying = **source;
        MediaBridge bridge(nowPlaying, *queue, writeLine);
        // At the end of input the lines already read are still carried out: their commands
        // reach the player and the reports they asked for are written; then the bridge ends as
        // the client asked. Reports are waited for at most kReportLimit; commands until the
        // player has them (or the call times out).
        const auto end = [] { QCoreApplication::exit(0); };
        StandardInputReader input([&bridge](std::string_view line) { bridge.handleLine(line); },
                                  [&bridge, &nowPlaying, end] {
                                      QTimer::singleShot(kReportLimit, qApp, [&nowPlaying, end] {
                                          nowPlaying.whenCommandsDelivered(end);
                                      });
                                      bridge.finishInput(end);
                                  });
        bridge.start();
        // Commands read before the source knows its players would reach none of them; the
        // client's lines wait in the pipe until then.
        nowPlaying.whenReady([&input] { input.start(); });
        status = QCoreApplication::exec();
    }
    source->reset();
    queue.reset();
    return status;
}

}  // namespace
}  // namespace tavrel

extern "C" void TavrelMediaBridgeRun(void) {
    std::exit(tavrel::runMediaBridge());
}
