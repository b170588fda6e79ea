#pragma once

// Hands the lines of standard input to the main thread as they arrive. The bridge sleeps in the
// event loop until input or a bus message wakes it; nothing polls.

#include <functional>
#include <string_view>

#include <QObject>

#include "core/media_bridge/bridge_line_reader.h"

class QSocketNotifier;

namespace tavrel {

class StandardInputReader final : public QObject {
public:
    StandardInputReader(std::function<void(std::string_view line)> onLine,
                        std::function<void()> onEnd, QObject* parent = nullptr);

    // Starts listening; when standard input is closed already, input ends on the next turn.
    void start();

private:
    void readAvailable();
    void end();

    QSocketNotifier* notifier_ = nullptr;
    BridgeLineReader reader_;
    std::function<void(std::string_view)> onLine_;
    std::function<void()> onEnd_;
    bool ended_ = false;
};

}  // namespace tavrel
