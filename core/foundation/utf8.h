#pragma once

#include <string>
#include <string_view>

namespace tavrel {

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing above
// U+10FFFF. NUL bytes are well-formed; callers that must refuse them check separately.
bool isValidUtf8(std::string_view text);

// `text` with every byte that does not start a well-formed sequence replaced by U+FFFD.
std::string replacingInvalidUtf8(std::string_view text);

}  // namespace tavrel
