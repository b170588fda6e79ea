#include "apps/media_bridge/standard_input_reader.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

#include <QMetaObject>
#include <QSocketNotifier>

namespace tavrel {

StandardInputReader::StandardInputReader(std::function<void(std::string_view)> onLine,
                                         std::function<void()> onEnd, QObject* parent)
    : QObject(parent), onLine_(std::move(onLine)), onEnd_(std::move(onEnd)) {}

void StandardInputReader::start() {
    if (::fcntl(STDIN_FILENO, F_GETFD) < 0) {
        QMetaObject::invokeMethod(
            this, [this] { end(); }, Qt::QueuedConnection);
        return;
    }
    notifier_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readAvailable(); });
}

void StandardInputReader::readAvailable() {
    char buffer[64 * 1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n > 0) {
        reader_.feed(std::string_view(buffer, static_cast<std::size_t>(n)), onLine_);
        return;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK)) return;
    // End of input, or input that can no longer be read: either way the client is gone.
    end();
}

void StandardInputReader::end() {
    if (ended_) return;
    ended_ = true;
    if (notifier_) notifier_->setEnabled(false);
    reader_.finish(onLine_);
    onEnd_();
}

}  // namespace tavrel
