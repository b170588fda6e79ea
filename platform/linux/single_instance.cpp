#include "platform/single_instance.h"

#include <cerrno>
#include <string>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include "platform/linux/posix_error.h"
#include "platform/paths.h"

namespace tavrel::platform {
namespace {

using detail::systemError;
using detail::UniqueFd;

bool isPlainFileName(std::string_view name) {
    // Room for the ".lock" suffix within NAME_MAX.
    return !name.empty() && name.size() <= 250 && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

Result<std::optional<SingleInstanceLock>> SingleInstanceLock::acquire(std::string_view name) {
    if (!isPlainFileName(name)) {
        return Error{"invalid lock name \"" + std::string(name) + "\": not a plain file name"};
    }
    const auto path = paths::runtimeDirectory() / (std::string(name) + ".lock");
    // The file is never removed, so every holder locks the same inode. Should something else
    // replace it between our open and our lock, the lock is taken again on the new file.
    for (int attempt = 0; attempt < 8; ++attempt) {
        UniqueFd fd(
            ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600));
        if (!fd) return systemError("cannot open the lock file \"" + path.string() + "\"", errno);
        int locked;
        while ((locked = ::flock(fd.get(), LOCK_EX | LOCK_NB)) != 0 && errno == EINTR) {
        }
        if (locked != 0) {
            if (errno == EWOULDBLOCK) return std::optional<SingleInstanceLock>{};
            return systemError("cannot lock \"" + path.string() + "\"", errno);
        }
        struct stat held {};
        struct stat current {};
        if (::fstat(fd.get(), &held) == 0 && ::stat(path.c_str(), &current) == 0 &&
            held.st_dev == current.st_dev && held.st_ino == current.st_ino) {
            return std::optional<SingleInstanceLock>(SingleInstanceLock(fd.release()));
        }
    }
    return Error{"cannot lock \"" + path.string() + "\": the lock file keeps being replaced"};
}

SingleInstanceLock::SingleInstanceLock(SingleInstanceLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)) {}

SingleInstanceLock& SingleInstanceLock::operator=(SingleInstanceLock&& other) noexcept {
    if (this != &other) {
        UniqueFd released(fd_);
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

// Closing the only descriptor of the open file releases the flock.
SingleInstanceLock::~SingleInstanceLock() {
    UniqueFd released(fd_);
}

}  // namespace tavrel::platform
