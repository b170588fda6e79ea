#include "platform/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <optional>

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

Status syncDirectory(int fd, const std::filesystem::path& directory) {
    // Some file systems cannot sync a directory; the rename is as durable as they allow.
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) {
        return systemError("cannot sync " + quoted(directory), errno);
    }
    return Status::success();
}

}  // namespace

Result<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes) {
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) return systemError("cannot open " + quoted(path), errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return systemError("cannot stat " + quoted(path), errno);
    // Only regular files: a FIFO or a device could block or never end.
    if (S_ISDIR(info.st_mode)) return Error{quoted(path) + " is a directory"};
    if (!S_ISREG(info.st_mode)) return Error{quoted(path) + " is not a regular file"};
    const std::string tooLarge =
        quoted(path) + " is larger than " + std::to_string(maxBytes) + " bytes";
    if (static_cast<std::uintmax_t>(info.st_size) > maxBytes) return Error{tooLarge};

    // The size is only a hint (files under /proc report 0, and files grow): read to the end,
    // but never more than one byte past the limit.
    const std::size_t cap = maxBytes == SIZE_MAX ? maxBytes : maxBytes + 1;
    std::string bytes;
    bytes.resize(std::min(static_cast<std::size_t>(info.st_size) + 1, cap));
    std::size_t filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > maxBytes) return Error{tooLarge};
            bytes.resize(std::min(cap, std::max<std::size_t>(bytes.size() * 2, 4096)));
        }
        const ssize_t got = ::read(fd.get(), bytes.data() + filled, bytes.size() - filled);
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

Status writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                           Durability durability) {
    const std::string name = path.filename().string();
    if (name.empty() || name == "." || name == "..") {
        return Error{"cannot write " + quoted(path) + ": not a file name"};
    }
    const std::filesystem::path directory =
        path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");

    // An existing file keeps its permission bits; a directory is never replaced.
    std::optional<mode_t> keepMode;
    struct stat existing {};
    if (::stat(path.c_str(), &existing) == 0) {
        if (S_ISDIR(existing.st_mode)) {
            return Error{"cannot write " + quoted(path) + ": it is a directory"};
        }
        if (S_ISREG(existing.st_mode)) keepMode = existing.st_mode & 07777;
    } else if (errno != ENOENT) {
        return systemError("cannot stat " + quoted(path), errno);
    }

    UniqueFd directoryFd(::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!directoryFd) {
        return Error{"cannot write " + quoted(path) + ": " +
                     systemError("cannot open " + quoted(directory), errno).message};
    }
    auto temporary = detail::WriteTemporary::create(directoryFd.get(), directory, name);
    if (!temporary) return Error{"cannot write " + quoted(path) + ": " + temporary.error().message};

    const auto fail = [&](Error error) -> Status {
        temporary->discard();
        return Error{"cannot write " + quoted(path) + ": " + error.message};
    };
    const int fd = temporary->fd();
    if (keepMode && ::fchmod(fd, *keepMode) != 0) return fail(systemError("chmod", errno));
    if (Status written = writeAll(fd, bytes); !written) return fail(written.error());
    if (durability == Durability::durable && ::fsync(fd) != 0) {
        return fail(systemError("fsync", errno));
    }
    if (Status closed = temporary->closeForWriting(); !closed) return fail(closed.error());
    if (Status renamed = temporary->renameOver(name); !renamed) {
        return Error{"cannot write " + quoted(path) + ": " + renamed.error().message};
    }
    if (durability == Durability::durable) {
        if (Status synced = syncDirectory(directoryFd.get(), directory); !synced) {
            return Error{"wrote " + quoted(path) + ", but " + synced.error().message};
        }
    }
    return Status::success();
}

}  // namespace tavrel::platform
