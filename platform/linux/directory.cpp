#include "platform/directory.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/linux/posix_error.h"
#include "platform/linux/write_temporary.h"

namespace tavrel::platform {
namespace {

using detail::systemError;
using detail::UniqueFd;

std::string quoted(const std::filesystem::path& path) {
    return "\"" + path.string() + "\"";
}

Status writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return systemError("write", errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return Status::success();
}

Error badName(const std::filesystem::path& directory, std::string_view name) {
    return Error{"\"" + std::string(name) + "\" is not a file name inside " + quoted(directory)};
}

// Some file systems cannot sync a directory; the rename is then as durable as they allow.
Status syncDirectory(int fd, const std::filesystem::path& path) {
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        return systemError("cannot sync " + quoted(path), errno);
    }
    return Status::success();
}

Result<std::string> readAll(int fd, const std::filesystem::path& path, std::size_t maxBytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return systemError("cannot stat " + quoted(path), errno);
    // Only regular files: a FIFO or a device could block or never end.
    if (S_ISDIR(info.st_mode)) return Error{quoted(path) + " is a directory"};
    if (!S_ISREG(info.st_mode)) return Error{quoted(path) + " is not a regular file"};
    const std::string tooLarge =
        quoted(path) + " is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return Error{tooLarge};

    // The size is a hint only (files grow): read to the end, never more than a byte past the cap.
    const std::size_t cap = maxBytes == SIZE_MAX ? maxBytes : maxBytes + 1;
    std::string bytes;
    bytes.resize(std::min(static_cast<std::size_t>(info.st_size) + 1, cap));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) return Error{tooLarge};
            bytes.resize(std::min(cap, std::max<std::size_t>(bytes.size() * 2, 4096)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            return systemError("cannot read " + quoted(path), errno);
        }
        if (got == 0) break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

// Opening with O_NOFOLLOW fails with ELOOP on a link; say so plainly.
Error openError(int fd, const std::string& name, const std::filesystem::path& path, int error) {
    struct stat info {};
    if (error == ELOOP ||
        (error == ENOTDIR && ::fstatat(fd, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISLNK(info.st_mode))) {
        return Error{quoted(path) + " is a symbolic link"};
    }
    return systemError("cannot open " + quoted(path), error);
}

}  // namespace

bool Directory::isEntryName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

Result<Directory> Directory::open(const std::filesystem::path& path, Create create,
                                  LastLink lastLink) {
    std::filesystem::path normal = path.lexically_normal();
    if (!normal.has_filename() && normal.has_parent_path() && normal != normal.root_path()) {
        normal = normal.parent_path();  // "a/b/" names "a/b"
    }
    if (normal.empty()) normal = ".";

    if (create == Create::withIntermediates) {
        std::error_code error;
        std::filesystem::create_directories(normal, error);
        if (error) return Error{"cannot create " + quoted(normal) + ": " + error.message()};
    }

    const std::string last = normal.filename().string();
    const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (last.empty() || last == "." || last == "..") {
        UniqueFd fd(::open(normal.c_str(), flags));
        if (!fd) return systemError("cannot open " + quoted(normal), errno);
        return Directory(fd.release(), normal);
    }
    const std::filesystem::path parent =
        normal.has_parent_path() ? normal.parent_path() : std::filesystem::path(".");
    UniqueFd parentFd(::open(parent.c_str(), flags));
    if (!parentFd) return systemError("cannot open " + quoted(parent), errno);
    UniqueFd fd(::openat(parentFd.get(), last.c_str(),
                         flags | (lastLink == LastLink::refuse ? O_NOFOLLOW : 0)));
    if (!fd) return openError(parentFd.get(), last, normal, errno);
    return Directory(fd.release(), normal);
}

Directory::Directory(Directory&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

Directory& Directory::operator=(Directory&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

Directory::~Directory() {
    if (fd_ >= 0) ::close(fd_);
}

Directory::EntryKind Directory::entryKind(std::string_view name) const {
    if (!isEntryName(name)) return EntryKind::missing;
    struct stat info {};
    if (::fstatat(fd_, std::string(name).c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        return errno == ENOENT ? EntryKind::missing : EntryKind::other;
    }
    if (S_ISREG(info.st_mode)) return EntryKind::file;
    if (S_ISDIR(info.st_mode)) return EntryKind::directory;
    return EntryKind::other;
}

Result<std::string> Directory::read(std::string_view name, std::size_t maxBytes) const {
    if (!isEntryName(name)) return badName(path_, name);
    const std::string entry(name);
    const std::filesystem::path full = path_ / entry;
    UniqueFd fd(
        ::openat(fd_, entry.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
    if (!fd) return openError(fd_, entry, full, errno);
    return readAll(fd.get(), full, maxBytes);
}

namespace {

using detail::WriteTemporary;

// Writes, syncs and closes the temporary; the temporary goes when this fails.
Status fillTemporary(WriteTemporary& temporary, std::string_view bytes,
                     std::optional<mode_t> mode) {
    const auto fail = [&](Error error) -> Status {
        temporary.discard();
        return error;
    };
    if (mode && ::fchmod(temporary.fd(), *mode) != 0) return fail(systemError("chmod", errno));
    if (Status written = writeAll(temporary.fd(), bytes); !written) {
        return fail(written.error());
    }
    if (::fsync(temporary.fd()) != 0) return fail(systemError("fsync", errno));
    if (Status closed = temporary.closeForWriting(); !closed) return fail(closed.error());
    return Status::success();
}

}  // namespace

Status Directory::writeAtomically(std::string_view name, std::string_view bytes) {
    if (!isEntryName(name)) return badName(path_, name);
    const std::string entry(name);
    const std::filesystem::path full = path_ / entry;
    const auto failed = [&](const Error& error) -> Status {
        return Error{"cannot write " + quoted(full) + ": " + error.message};
    };

    std::optional<mode_t> keepMode;
    struct stat existing {};
    if (::fstatat(fd_, entry.c_str(), &existing, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(existing.st_mode)) return failed(Error{"it is a directory"});
        if (S_ISREG(existing.st_mode)) keepMode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return failed(systemError("stat", errno));
    }

    auto temporary = WriteTemporary::create(fd_, path_, entry);
    if (!temporary) return failed(temporary.error());
    if (Status filled = fillTemporary(*temporary, bytes, keepMode); !filled) {
        return failed(filled.error());
    }
    // rename() replaces a link at the name itself; it never writes through it.
    if (Status renamed = temporary->renameOver(entry); !renamed) return failed(renamed.error());
    if (Status synced = syncDirectory(fd_, path_); !synced) {
        return Error{"wrote " + quoted(full) + ", but " + synced.error().message};
    }
    return Status::success();
}

Status Directory::createExclusively(std::string_view name, std::string_view bytes) {
    if (!isEntryName(name)) return badName(path_, name);
    const std::string entry(name);
    const std::filesystem::path full = path_ / entry;
    const auto failed = [&](const Error& error) -> Status {
        return Error{"cannot create " + quoted(full) + ": " + error.message};
    };

    // Write beside it, then link: the name appears complete or not at all, and link() fails
    // when the name is taken.
    auto temporary = WriteTemporary::create(fd_, path_, entry);
    if (!temporary) return failed(temporary.error());
    if (Status filled = fillTemporary(*temporary, bytes, std::nullopt); !filled) {
        return failed(filled.error());
    }
    const int linkError = temporary->linkAs(entry);
    if (linkError == 0) return syncDirectory(fd_, path_);
    if (linkError != EPERM && linkError != EOPNOTSUPP && linkError != ENOSYS) {
        return failed(systemError("link", linkError));
    }

    // File systems without hard links (FAT, some FUSE): an exclusive create and a plain write.
    UniqueFd fd(::openat(fd_, entry.c_str(),
                         O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0644));
    if (!fd) return failed(systemError("open", errno));
    Status written = writeAll(fd.get(), bytes);
    if (written && ::fsync(fd.get()) != 0) written = systemError("fsync", errno);
    if (written && ::close(fd.release()) != 0) written = systemError("close", errno);
    if (!written) {
        fd.reset();
        ::unlinkat(fd_, entry.c_str(), 0);
        return failed(written.error());
    }
    return syncDirectory(fd_, path_);
}

Status Directory::append(std::string_view name, std::string_view bytes) {
    if (!isEntryName(name)) return badName(path_, name);
    const std::string entry(name);
    const std::filesystem::path full = path_ / entry;
    UniqueFd fd(::openat(fd_, entry.c_str(),
                         O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY | O_NONBLOCK));
    if (!fd) return openError(fd_, entry, full, errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return systemError("cannot stat " + quoted(full), errno);
    if (!S_ISREG(info.st_mode)) return Error{quoted(full) + " is not a regular file"};
    if (Status written = writeAll(fd.get(), bytes); !written) {
        return Error{"cannot append to " + quoted(full) + ": " + written.error().message};
    }
    if (::close(fd.release()) != 0) return systemError("cannot close " + quoted(full), errno);
    return Status::success();
}

Status Directory::remove(std::string_view name) {
    if (!isEntryName(name)) return badName(path_, name);
    const std::string entry(name);
    if (::unlinkat(fd_, entry.c_str(), 0) != 0) {
        return systemError("cannot remove " + quoted(path_ / entry), errno);
    }
    return Status::success();
}

}  // namespace tavrel::platform
