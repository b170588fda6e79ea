#pragma once

// The line a benchmark prints for each figure it measured, which scripts/run-bench gathers into
// its closing table (the format is in bench/README.md):
//   result<TAB>figure<TAB>ours<TAB>peer<TAB>unit<TAB>target

#include <cstdio>

namespace tavrel::bench {

// `target` is "ratio<=X" (ours / peer at most X), "ours<=X" (ours at most X, in `unit`) or "-"
// for a figure without one.
inline void printResult(const char* figure, double ours, double peer, const char* unit,
                        const char* target) {
    std::printf("result\t%s\t%.6g\t%.6g\t%s\t%s\n", figure, ours, peer, unit, target);
    std::fflush(stdout);
}

}  // namespace tavrel::bench
