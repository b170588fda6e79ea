#pragma once

// A per-user named lock: an exclusive flock on runtimeDirectory()/<name>.lock. The kernel
// releases it when the holder exits, however it exits.

#include <optional>
#include <string_view>

#include "core/foundation/result.h"

namespace tavrel::platform {

class SingleInstanceLock {
public:
    // The lock when this process now holds it; nothing when another process holds it; an error
    // when the lock file cannot be opened at all.
    static Result<std::optional<SingleInstanceLock>> acquire(std::string_view name);

    SingleInstanceLock(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock& operator=(SingleInstanceLock&& other) noexcept;
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;
    ~SingleInstanceLock();

private:
    explicit SingleInstanceLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace tavrel::platform
