#pragma once

// How much physical memory is in use, from the kernel's /proc/meminfo.
//
// The memory widget shows (physical − available) / physical with available = free + speculative
// + file-backed pages. The Linux counterparts are MemFree for the free pages and the page cache's
// file LRU lists, Active(file) + Inactive(file), for the file-backed ones; read-ahead pages (the
// speculative ones) sit on the inactive file list already, so they are not added twice. Shared
// memory and tmpfs are on the anonymous lists and count as used. Physical memory is MemTotal.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace tavrel {

inline constexpr std::string_view kProcMeminfoPath = "/proc/meminfo";
// The file is about 1.5 KiB; anything far larger is not the kernel's.
inline constexpr std::size_t kProcMeminfoMaxBytes = 64 * 1024;

struct MemoryStatistics {
    std::uint64_t physicalBytes = 0;
    std::uint64_t freeBytes = 0;
    std::uint64_t fileBackedBytes = 0;
    friend bool operator==(const MemoryStatistics&, const MemoryStatistics&) = default;
};

// Nothing when MemTotal, MemFree, Active(file) or Inactive(file) is missing or unreadable.
std::optional<MemoryStatistics> parseProcMeminfo(std::string_view text);

// The fraction in use, 0…1; 0 when the statistics are unavailable or physical memory is 0, and
// 0 when the available memory is at least the physical memory.
double memoryUsage(const std::optional<MemoryStatistics>& statistics);

// memoryUsage() of the running machine: 0 when /proc/meminfo cannot be read.
double currentMemoryUsage();

}  // namespace tavrel
