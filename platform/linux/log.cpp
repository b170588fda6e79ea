#include "platform/log.h"

#include <cerrno>
#include <mutex>
#include <string>
#include <utility>

#include <sys/uio.h>
#include <unistd.h>

#if TAVREL_HAVE_JOURNAL
#include <systemd/sd-journal.h>
#endif

namespace tavrel::platform {
namespace {

std::mutex& captureMutex() {
    static std::mutex mutex;
    return mutex;
}

std::function<void(std::string_view)>& captureSink() {
    static std::function<void(std::string_view)> sink;
    return sink;
}

// One write() per line, so lines of several threads or processes sharing the stream never
// interleave; the loop only continues a short write.
void writeToStandardError(std::string_view line) {
    std::string buffer;
    buffer.reserve(line.size() + 1);
    buffer.append(line);
    buffer.push_back('\n');
    std::string_view rest = buffer;
    while (!rest.empty()) {
        const ssize_t written = ::write(STDERR_FILENO, rest.data(), rest.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // nowhere left to report it
        }
        rest.remove_prefix(static_cast<std::size_t>(written));
    }
}

#if TAVREL_HAVE_JOURNAL
bool journalIsRunning() {
    static const bool running = ::access("/run/systemd/journal/socket", F_OK) == 0;
    return running;
}

void writeToJournal(std::string_view line) {
    // Fields travel as raw bytes (sd_journal_sendv), so a line is never cut at a NUL or "%".
    const std::string message = "MESSAGE=" + std::string(line);
    static const std::string priority = "PRIORITY=5";
    static const std::string identifier =
        std::string("SYSLOG_IDENTIFIER=") + program_invocation_short_name;
    struct iovec fields[] = {
        {const_cast<char*>(message.data()), message.size()},
        {const_cast<char*>(priority.data()), priority.size()},
        {const_cast<char*>(identifier.data()), identifier.size()},
    };
    ::sd_journal_sendv(fields, 3);
}
#endif

}  // namespace

void log(std::string_view line) {
    writeToStandardError(line);
#if TAVREL_HAVE_JOURNAL
    if (journalIsRunning()) writeToJournal(line);
#endif
    std::lock_guard lock(captureMutex());
    if (captureSink()) captureSink()(line);
}

// The sink is called with the mutex held, so once the destructor returns no call into the
// test's sink is still running.
ScopedLogCapture::ScopedLogCapture(std::function<void(std::string_view)> sink) {
    std::lock_guard lock(captureMutex());
    captureSink() = std::move(sink);
}

ScopedLogCapture::~ScopedLogCapture() {
    std::lock_guard lock(captureMutex());
    captureSink() = nullptr;
}

}  // namespace tavrel::platform
