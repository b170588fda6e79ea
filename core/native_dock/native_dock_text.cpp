#include "core/native_dock/native_dock_text.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace tavrel {
namespace {

struct Decoded {
    char32_t codePoint;
    std::size_t length;
};

// One well-formed UTF-8 sequence at the start of `text`, or nothing.
std::optional<Decoded> decodeOne(std::string_view text) {
    if (text.empty()) return std::nullopt;
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return Decoded{lead, 1};
    std::size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return std::nullopt;
    }
    if (text.size() < length) return std::nullopt;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return std::nullopt;
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return std::nullopt;
    }
    return Decoded{value, length};
}

bool isWhitespaceOrNewline(char32_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The length of the last well-formed sequence of `text` when it ends in one.
std::optional<Decoded> decodeLast(std::string_view text) {
    for (std::size_t length = 1; length <= 4 && length <= text.size(); ++length) {
        auto decoded = decodeOne(text.substr(text.size() - length));
        if (decoded && decoded->length == length) return decoded;
    }
    return std::nullopt;
}

}  // namespace

std::string_view trimWhitespaceAndNewlines(std::string_view text) {
    while (auto first = decodeOne(text)) {
        if (!isWhitespaceOrNewline(first->codePoint)) break;
        text.remove_prefix(first->length);
    }
    while (auto last = decodeLast(text)) {
        if (!isWhitespaceOrNewline(last->codePoint)) break;
        text.remove_suffix(last->length);
    }
    return text;
}

std::string decodeUtf8Lossy(std::string_view bytes) {
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::string text;
    text.reserve(bytes.size());
    while (!bytes.empty()) {
        if (auto decoded = decodeOne(bytes)) {
            text.append(bytes.substr(0, decoded->length));
            bytes.remove_prefix(decoded->length);
        } else {
            // One replacement per byte that cannot start or continue a sequence.
            text.append(kReplacement);
            bytes.remove_prefix(1);
        }
    }
    return text;
}

}  // namespace tavrel
