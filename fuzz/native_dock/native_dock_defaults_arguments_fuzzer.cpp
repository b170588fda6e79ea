// Fuzzes how tavrel-defaults reads a value from its command line: the first byte picks the type
// flag, the rest is the text. A value that parses prints as text that parses to the same value.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "tools/defaults/defaults_tool.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrel;
    if (size == 0) return 0;
    static constexpr std::string_view kTypes[] = {"-string",  "-bool",  "-boolean", "-int",
                                                  "-integer", "-float", "-date"};
    const std::size_t pick = data[0] % (std::size(kTypes) + 1);
    const std::optional<std::string_view> type =
        pick == std::size(kTypes) ? std::nullopt : std::optional(kTypes[pick]);
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto value = parseDefaultsValue(type, text);
    if (!value) return 0;
    const auto printed = formatDefaultsValue(*value);
    const auto again = parseDefaultsValue(type, printed);
    if (!again || *again != *value) std::abort();
    return 0;
}
