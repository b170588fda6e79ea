// Any text gives statistics or none, and the memory in use is always a fraction of 0…1.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/helper/memory_statistics.h"
#include "core/helper/widget_tile_geometry.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto statistics = parseProcMeminfo(text);
    const double usage = memoryUsage(statistics);
    if (!(usage >= 0 && usage <= 1)) std::abort();
    const int percentage = memoryPercentage(usage);
    if (percentage < 0 || percentage > 100) std::abort();
    return 0;
}
