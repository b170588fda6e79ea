#include "platform/linux/mpris/artwork_file.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::platform {
namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// Opens without blocking (a FIFO would otherwise wait for a writer) and checks the type and size
// on the opened file itself, so a swap between check and read cannot slip something else in.
std::optional<std::vector<std::uint8_t>> readOpened(int fd, const struct stat& info,
                                                    std::size_t maxBytes) {
    if (!S_ISREG(info.st_mode) || info.st_size < 0 ||
        static_cast<std::uint64_t>(info.st_size) > maxBytes) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(info.st_size) + 1);
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file grew since fstat; give it room up to the cap and one byte past it.
            if (bytes.size() > maxBytes) return std::nullopt;
            bytes.resize(std::min(bytes.size() * 2, maxBytes + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    if (filled > maxBytes) return std::nullopt;
    bytes.resize(filled);
    return bytes;
}

int openForReading(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return -1;
    return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> readArtworkFile(const std::string& path,
                                                         std::size_t maxBytes) {
    FileDescriptor fd(openForReading(path));
    if (fd.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return std::nullopt;
    return readOpened(fd.get(), info, maxBytes);
}

std::optional<std::vector<std::uint8_t>> ArtworkCache::read(const std::string& path,
                                                            std::size_t maxBytes) {
    FileDescriptor fd(openForReading(path));
    if (fd.get() < 0) return std::nullopt;
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return std::nullopt;
    const Identity identity{path,
                            static_cast<std::uint64_t>(info.st_dev),
                            static_cast<std::uint64_t>(info.st_ino),
                            static_cast<std::int64_t>(info.st_size),
                            static_cast<std::int64_t>(info.st_mtim.tv_sec),
                            static_cast<std::int64_t>(info.st_mtim.tv_nsec)};
    if (identity_ && *identity_ == identity && bytes_.size() <= maxBytes) return bytes_;
    auto bytes = readOpened(fd.get(), info, maxBytes);
    if (!bytes) {
        identity_.reset();
        bytes_.clear();
        return std::nullopt;
    }
    identity_ = identity;
    bytes_ = *bytes;
    return bytes;
}

}  // namespace tavrel::platform
