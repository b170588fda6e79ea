#include "platform/log.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>
#include <string>
#include <utility>

#include <sys/uio.h>
#include <unistd.h>

#include "core/foundation/utf8.h"

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

bool needsEscaping(unsigned char byte) {
    return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

// Text from outside (a document's bytes in a parser's message, a file name) may hold bytes that
// are not UTF-8, or line breaks that would forge a line of their own: those become \x.. and
// \n escapes. Everything else, the quoted texts included, stays exactly as given.
std::string printableLine(std::string_view line) {
    const bool plain = isValidUtf8(line) && std::none_of(line.begin(), line.end(), [](char c) {
                           return needsEscaping(static_cast<unsigned char>(c));
                       });
    if (plain) return std::string(line);
    std::string out;
    out.reserve(line.size() + 16);
    char escape[8];
    for (std::size_t index = 0; index < line.size();) {
        const auto byte = static_cast<unsigned char>(line[index]);
        const std::size_t length = byte < 0x80             ? 1
                                   : (byte & 0xE0) == 0xC0 ? 2
                                   : (byte & 0xF0) == 0xE0 ? 3
                                   : (byte & 0xF8) == 0xF0 ? 4
                                                           : 0;
        if (byte == '\n') {
            out += "\\n";
        } else if (byte == '\r') {
            out += "\\r";
        } else if (length == 0 || needsEscaping(byte) || index + length > line.size() ||
                   !isValidUtf8(line.substr(index, length))) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
            out += escape;
        } else {
            out.append(line.substr(index, length));
            index += length;
            continue;
        }
        ++index;
    }
    return out;
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

void log(std::string_view text) {
    const std::string printable = printableLine(text);
    const std::string_view line = printable;
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
