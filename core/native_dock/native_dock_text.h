#pragma once

// Text helpers for what the Dock commands print and what users type as folder names.

#include <string>
#include <string_view>

namespace tavrel {

// `text` without white space and line ends at either end, by the Unicode definition (tab, the
// line ends U+000A–U+000D, U+0085, U+2028, U+2029 and every space separator, such as U+00A0
// and the ideographic space U+3000). Invalid UTF-8 is never trimmed.
std::string_view trimWhitespaceAndNewlines(std::string_view text);

// `bytes` as UTF-8 with every ill-formed sequence replaced by U+FFFD.
std::string decodeUtf8Lossy(std::string_view bytes);

}  // namespace tavrel
