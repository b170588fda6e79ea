#pragma once

// Standard Base64 (RFC 4648 alphabet, with padding, no line breaks).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::base64 {

std::string encode(const std::uint8_t* data, std::size_t size);
inline std::string encode(std::string_view bytes) {
    return encode(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
inline std::string encode(const std::vector<std::uint8_t>& bytes) {
    return encode(bytes.data(), bytes.size());
}

// Length of the bytes that `text` decodes to, or nothing when `text` cannot be valid Base64
// by its length alone. Lets callers refuse an oversized input before decoding it.
std::optional<std::size_t> decodedSize(std::string_view text);

// Strict decoding: padding required, no white space, no characters outside the alphabet,
// unused bits of the last group zero.
std::optional<std::vector<std::uint8_t>> decode(std::string_view text);

}  // namespace tavrel::base64
