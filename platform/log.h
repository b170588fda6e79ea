#pragma once

// The platform log. Each call writes one line exactly as given, plus a line end, to standard
// error, and to the systemd journal when one is running. Only what would garble the line is
// escaped: bytes that are not UTF-8 as \xNN, line breaks as \n and \r, other control
// characters but the tab as \xNN. The capture below sees the line as written.

#include <functional>
#include <string_view>

namespace tavrel::platform {

void log(std::string_view line);

// Test support: while alive, every logged line is also handed to `sink` (on the logging
// thread). Not nestable.
class ScopedLogCapture {
public:
    explicit ScopedLogCapture(std::function<void(std::string_view)> sink);
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;
};

}  // namespace tavrel::platform
