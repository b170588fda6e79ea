#include "core/foundation/base64.h"

#include <array>

namespace tavrel::base64 {

namespace {

constexpr std::string_view kAlphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeDecodeTable() {
    std::array<std::int8_t, 256> table{};
    for (auto& entry : table) entry = -1;
    for (std::size_t i = 0; i < kAlphabet.size(); ++i) {
        table[static_cast<unsigned char>(kAlphabet[i])] = static_cast<std::int8_t>(i);
    }
    return table;
}

constexpr auto kDecodeTable = makeDecodeTable();

}  // namespace

std::string encode(const std::uint8_t* data, std::size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const std::uint32_t group =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) | data[i + 2];
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += kAlphabet[(group >> 6) & 63];
        out += kAlphabet[group & 63];
    }
    const std::size_t rest = size - i;
    if (rest == 1) {
        const std::uint32_t group = std::uint32_t{data[i]} << 16;
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += "==";
    } else if (rest == 2) {
        const std::uint32_t group =
            (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += kAlphabet[(group >> 6) & 63];
        out += '=';
    }
    return out;
}

std::optional<std::size_t> decodedSize(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::size_t size = text.size() / 4 * 3;
    if (!text.empty() && text.back() == '=') --size;
    if (text.size() >= 2 && text[text.size() - 2] == '=') --size;
    return size;
}

std::optional<std::vector<std::uint8_t>> decode(std::string_view text) {
    const auto size = decodedSize(text);
    if (!size) return std::nullopt;
    std::vector<std::uint8_t> out;
    out.reserve(*size);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        int padding = 0;
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            const char c = text[i + j];
            if (c == '=') {
                // Padding only in the last group, only in its last two places, and only at the end.
                if (!last || j < 2) return std::nullopt;
                ++padding;
                group <<= 6;
                continue;
            }
            if (padding > 0) return std::nullopt;
            const std::int8_t value = kDecodeTable[static_cast<unsigned char>(c)];
            if (value < 0) return std::nullopt;
            group = (group << 6) | static_cast<std::uint32_t>(value);
        }
        out.push_back(static_cast<std::uint8_t>(group >> 16));
        if (padding < 2) out.push_back(static_cast<std::uint8_t>(group >> 8));
        if (padding < 1) out.push_back(static_cast<std::uint8_t>(group));
        // Canonical form: the bits dropped by padding must be zero.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) {
            return std::nullopt;
        }
    }
    return out;
}

}  // namespace tavrel::base64
