#pragma once

// How deep arrays and objects nest in a JSON text, counted without parsing, so that a decoder can
// refuse a hostile document before the parser recurses into it.

#include <string_view>

namespace tavrel {

// The deepest nesting of arrays and objects in `bytes`; brackets inside strings do not count.
// Stops as soon as the depth passes `limit` (the result is then limit + 1). Says nothing about
// whether the text is valid JSON: the parser judges that.
int jsonNestingDepth(std::string_view bytes, int limit);

}  // namespace tavrel
