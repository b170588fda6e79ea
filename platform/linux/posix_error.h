#pragma once

// Small helpers shared by the POSIX implementations: error texts and descriptors that close
// themselves.

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>

#include <unistd.h>

#include "core/foundation/result.h"

namespace tavrel::platform::detail {

inline std::string errnoText(int error) {
    char buffer[256];
    // GNU strerror_r: returns the text, which may or may not live in `buffer`.
    return ::strerror_r(error, buffer, sizeof buffer);
}

// "<what>: <strerror(error)>"
inline Error systemError(std::string_view what, int error) {
    return Error{std::string(what) + ": " + errnoText(error)};
}

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) reset(std::exchange(other.fd_, -1));
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int release() { return std::exchange(fd_, -1); }
    void reset(int fd = -1) {
        // close() is not retried on EINTR: on Linux the descriptor is gone either way.
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

}  // namespace tavrel::platform::detail
