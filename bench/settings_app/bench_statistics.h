#pragma once

// Order statistics of measured durations, in milliseconds.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace tavrel::bench {

inline double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    // Nearest rank.
    const auto rank = static_cast<std::size_t>(std::ceil(fraction * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

inline double median(const std::vector<double>& values) {
    if (values.empty()) return 0;
    std::vector<double> sorted = values;
    std::sort(sorted.begin(), sorted.end());
    const std::size_t n = sorted.size();
    return n % 2 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
}

inline void printRow(const char* name, const std::vector<double>& values) {
    std::printf("%-34s n=%-5zu median %8.3f ms   p90 %8.3f ms   p99 %8.3f ms   max %8.3f ms\n",
                name, values.size(), median(values), percentile(values, 0.9),
                percentile(values, 0.99),
                values.empty() ? 0.0 : *std::max_element(values.begin(), values.end()));
}

}  // namespace tavrel::bench
