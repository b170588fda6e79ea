#pragma once

// The order in which the desktop lists names to its user: the collation of the user's locale,
// with runs of digits compared as numbers ("Editor 2" before "Editor 10"). Scripts sort as the
// locale sorts them; differences of case and accent only decide between names that are
// otherwise the same.

#include <string_view>

namespace tavrel::platform {

// Negative when `a` comes before `b`, positive when after, zero when the collation does not
// tell them apart. Invalid UTF-8 sequences count as U+FFFD.
int compareNamesForDisplay(std::string_view a, std::string_view b);

}  // namespace tavrel::platform
