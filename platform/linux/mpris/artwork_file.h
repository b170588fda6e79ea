#pragma once

// Reads the artwork file an MPRIS player names in "mpris:artUrl". The path comes from another
// program, so the read is defensive: regular files only (a FIFO or a device would block or never
// end), never more than a cap, and never a blocking open.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrel::platform {

inline constexpr std::size_t kMaxArtworkBytes = 4 * 1024 * 1024;

// The file's bytes, or nothing when it is not a readable regular file of at most `maxBytes`.
std::optional<std::vector<std::uint8_t>> readArtworkFile(const std::string& path,
                                                         std::size_t maxBytes = kMaxArtworkBytes);

// Remembers the last artwork read, so that reports about the same track do not read the file
// again while it is unchanged (same inode, size and modification time).
class ArtworkCache {
public:
    std::optional<std::vector<std::uint8_t>> read(const std::string& path,
                                                  std::size_t maxBytes = kMaxArtworkBytes);

private:
    struct Identity {
        std::string path;
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        std::int64_t size = 0;
        std::int64_t modifiedSeconds = 0;
        std::int64_t modifiedNanoseconds = 0;
        friend bool operator==(const Identity&, const Identity&) = default;
    };
    std::optional<Identity> identity_;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace tavrel::platform
