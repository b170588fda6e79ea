#include "platform/linux/write_temporary.h"

#include <cerrno>
#include <cstdio>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::platform::detail {
namespace {

constexpr std::string_view kMarker = ".tmp-";
constexpr std::size_t kRandomHexDigits = 12;

std::string randomSuffix() {
    unsigned char random[kRandomHexDigits / 2] = {};
    std::size_t filled = 0;
    while (filled < sizeof random) {
        const ssize_t got = ::getrandom(random + filled, sizeof random - filled, GRND_NONBLOCK);
        if (got <= 0) break;  // the pid and O_EXCL still keep writers apart
        filled += static_cast<std::size_t>(got);
    }
    std::string suffix;
    char hex[3];
    for (unsigned char byte : random) {
        std::snprintf(hex, sizeof hex, "%02x", byte);
        suffix += hex;
    }
    return suffix + "-" + std::to_string(::getpid());
}

// 0, or the errno of the failed lock.
int lockExclusively(int fd, bool wait) {
    const int operation = LOCK_EX | (wait ? 0 : LOCK_NB);
    while (::flock(fd, operation) != 0) {
        if (errno != EINTR) return errno;
    }
    return 0;
}

// Some file systems (old NFS setups, a few FUSE ones) have no flock. A writer there goes on
// without the lock, and its temporaries are never taken for abandoned: nothing on such a file
// system is cleaned up, but nothing live is removed either.
bool lockingUnsupported(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == EINVAL || error == ENOSYS;
}

// Whether `name` in the directory still is the file open as `fd`.
bool stillNamed(int directoryFd, const std::string& name, int fd) {
    struct stat named {};
    struct stat open {};
    if (::fstatat(directoryFd, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (::fstat(fd, &open) != 0) return false;
    return named.st_dev == open.st_dev && named.st_ino == open.st_ino;
}

void removeIfAbandoned(int directoryFd, const std::string& name) {
    UniqueFd fd(::openat(directoryFd, name.c_str(),
                         O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
    if (!fd) return;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return;
    // A live writer holds the lock; so does one that has just created the file and is about
    // to take it, which then finds its name gone and starts over with another.
    if (lockExclusively(fd.get(), false) != 0) return;
    // Renamed into place meanwhile: the name is gone or names another file now.
    if (!stillNamed(directoryFd, name, fd.get())) return;
    ::unlinkat(directoryFd, name.c_str(), 0);
}

}  // namespace

bool isWriteTemporaryName(std::string_view entry) {
    if (entry.empty() || entry.front() != '.') return false;
    const std::size_t marker = entry.rfind(kMarker);
    // "." and at least one character of the target's name before the marker.
    if (marker == std::string_view::npos || marker < 2) return false;
    const std::string_view suffix = entry.substr(marker + kMarker.size());
    if (suffix.size() < kRandomHexDigits + 2 || suffix[kRandomHexDigits] != '-') return false;
    for (std::size_t i = 0; i < kRandomHexDigits; ++i) {
        const char c = suffix[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    for (char c : suffix.substr(kRandomHexDigits + 1)) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

void removeAbandonedWriteTemporaries(int directoryFd) {
    const int listFd = ::openat(directoryFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (listFd < 0) return;
    DIR* listing = ::fdopendir(listFd);
    if (!listing) {
        ::close(listFd);
        return;
    }
    std::vector<std::string> candidates;
    while (const dirent* entry = ::readdir(listing)) {
        if ((entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN) &&
            isWriteTemporaryName(entry->d_name)) {
            candidates.emplace_back(entry->d_name);
        }
    }
    ::closedir(listing);
    for (const std::string& name : candidates) removeIfAbandoned(directoryFd, name);
}

Result<WriteTemporary> WriteTemporary::create(int directoryFd,
                                              const std::filesystem::path& directory,
                                              const std::string& target) {
    removeAbandonedWriteTemporaries(directoryFd);
    // Keep the temporary name within NAME_MAX even for a long target name.
    const std::string stem = "." + target.substr(0, 200) + std::string(kMarker);
    int lastError = EEXIST;
    for (int attempt = 0; attempt < 16; ++attempt) {
        std::string candidate = stem + randomSuffix();
        UniqueFd fd(::openat(directoryFd, candidate.c_str(),
                             O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY,
                             0644));
        if (!fd) {
            lastError = errno;
            if (lastError != EEXIST && lastError != EINTR) break;
            continue;
        }
        const int locked = lockExclusively(fd.get(), true);
        if (locked != 0 && !lockingUnsupported(locked)) {
            ::unlinkat(directoryFd, candidate.c_str(), 0);
            lastError = locked;
            break;
        }
        // Another writer's clean-up took the file for abandoned before the lock was ours.
        if (locked == 0 && !stillNamed(directoryFd, candidate, fd.get())) continue;
        UniqueFd lock(::fcntl(fd.get(), F_DUPFD_CLOEXEC, 0));
        if (!lock) {
            lastError = errno;
            ::unlinkat(directoryFd, candidate.c_str(), 0);
            break;
        }
        return WriteTemporary(directoryFd, std::move(candidate), std::move(fd), std::move(lock));
    }
    return systemError("cannot create a temporary file in \"" + directory.string() + "\"",
                       lastError);
}

WriteTemporary::WriteTemporary(int directoryFd, std::string name, UniqueFd writeFd, UniqueFd lockFd)
    : directoryFd_(directoryFd),
      name_(std::move(name)),
      writeFd_(std::move(writeFd)),
      lockFd_(std::move(lockFd)) {}

WriteTemporary::WriteTemporary(WriteTemporary&& other) noexcept
    : directoryFd_(other.directoryFd_),
      name_(std::exchange(other.name_, {})),
      writeFd_(std::move(other.writeFd_)),
      lockFd_(std::move(other.lockFd_)) {}

WriteTemporary& WriteTemporary::operator=(WriteTemporary&& other) noexcept {
    if (this != &other) {
        discard();
        directoryFd_ = other.directoryFd_;
        name_ = std::exchange(other.name_, {});
        writeFd_ = std::move(other.writeFd_);
        lockFd_ = std::move(other.lockFd_);
    }
    return *this;
}

WriteTemporary::~WriteTemporary() {
    discard();
}

Status WriteTemporary::closeForWriting() {
    // close() reports delayed write errors of some file systems (NFS).
    if (::close(writeFd_.release()) != 0) return systemError("close", errno);
    return Status::success();
}

Status WriteTemporary::renameOver(const std::string& target) {
    // rename() replaces a link at the name itself; it never writes through it.
    if (::renameat(directoryFd_, name_.c_str(), directoryFd_, target.c_str()) != 0) {
        const int error = errno;
        discard();
        return systemError("rename", error);
    }
    name_.clear();
    writeFd_.reset();
    lockFd_.reset();
    return Status::success();
}

int WriteTemporary::linkAs(const std::string& target) {
    const bool linked = ::linkat(directoryFd_, name_.c_str(), directoryFd_, target.c_str(), 0) == 0;
    const int error = linked ? 0 : errno;
    discard();
    return error;
}

void WriteTemporary::discard() {
    // Unlinked while still locked, so no clean-up ever sees it unheld.
    if (!name_.empty()) ::unlinkat(directoryFd_, name_.c_str(), 0);
    name_.clear();
    writeFd_.reset();
    lockFd_.reset();
}

}  // namespace tavrel::platform::detail
