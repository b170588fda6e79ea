#pragma once

// The one rule for a file name that comes from a document or a message: it may only ever name
// an entry of the directory it is used in, and nothing that hides or surprises.

#include <string>
#include <string_view>

namespace tavrel {

inline constexpr std::size_t kMaxPlainFileNameBytes = 255;

// Not empty, not "." or "..", no leading ".", no "/", "\" or control character (NUL, C0, DEL,
// C1), valid UTF-8, at most 255 bytes.
bool isPlainFileName(std::string_view name);

// `text` for a log line: control characters as \n, \t or \u{…} escapes and bytes that are not
// UTF-8 as \x.., so an outside name can never forge or break a line.
std::string printableForLog(std::string_view text);

}  // namespace tavrel
