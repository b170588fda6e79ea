#pragma once

// Case-insensitive comparison of user-visible names with full Unicode case folding ("Straße"
// matches "STRASSE", a final sigma matches a medial one), not an ASCII table.

#include <string>
#include <string_view>

namespace tavrel::platform {

// A key for canonical caseless matching of UTF-8 text: two texts match exactly when their keys
// are equal. The key is the full case folding of the text under canonical decomposition, so
// precomposed and decomposed accents match too. Invalid UTF-8 sequences count as U+FFFD.
std::string caselessMatchKey(std::string_view text);

}  // namespace tavrel::platform
