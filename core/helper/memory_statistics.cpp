#include "core/helper/memory_statistics.h"

#include <array>
#include <limits>

#include "platform/files.h"

namespace tavrel {

namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}

// "   12345 kB" → bytes. Values without a unit are counts and are refused here.
std::optional<std::uint64_t> kibibytes(std::string_view value) {
    std::size_t i = 0;
    while (i < value.size() && isSpace(value[i])) ++i;
    std::uint64_t number = 0;
    const std::size_t digitsStart = i;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        const auto digit = static_cast<std::uint64_t>(value[i] - '0');
        if (number > (kMax - digit) / 10) return std::nullopt;
        number = number * 10 + digit;
    }
    if (i == digitsStart) return std::nullopt;
    while (i < value.size() && isSpace(value[i])) ++i;
    if (value.substr(i) != "kB") return std::nullopt;
    if (number > kMax / 1024) return std::nullopt;
    return number * 1024;
}

}  // namespace

std::optional<MemoryStatistics> parseProcMeminfo(std::string_view text) {
    static constexpr std::array<std::string_view, 4> kKeys{"MemTotal", "MemFree", "Active(file)",
                                                           "Inactive(file)"};
    std::array<std::optional<std::uint64_t>, 4> values;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, colon);
        for (std::size_t k = 0; k < kKeys.size(); ++k) {
            // The first line of a key counts; the kernel never repeats one.
            if (key == kKeys[k] && !values[k]) {
                values[k] = kibibytes(line.substr(colon + 1));
                if (!values[k]) return std::nullopt;
            }
        }
    }
    for (const auto& value : values) {
        if (!value) return std::nullopt;
    }
    MemoryStatistics statistics;
    statistics.physicalBytes = *values[0];
    statistics.freeBytes = *values[1];
    // Each is at most kMax / 1024, so the sum cannot overflow.
    statistics.fileBackedBytes = *values[2] + *values[3];
    return statistics;
}

double memoryUsage(const std::optional<MemoryStatistics>& statistics) {
    if (!statistics || statistics->physicalBytes == 0) return 0;
    const std::uint64_t physical = statistics->physicalBytes;
    const std::uint64_t free = statistics->freeBytes;
    const std::uint64_t fileBacked = statistics->fileBackedBytes;
    if (free >= physical || fileBacked >= physical - free) return 0;
    const std::uint64_t available = free + fileBacked;
    return static_cast<double>(physical - available) / static_cast<double>(physical);
}

double currentMemoryUsage() {
    auto text = platform::readFile(std::string(kProcMeminfoPath), kProcMeminfoMaxBytes);
    if (!text) return 0;
    return memoryUsage(parseProcMeminfo(*text));
}

}  // namespace tavrel
