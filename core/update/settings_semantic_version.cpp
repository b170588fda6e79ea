#include "core/update/settings_semantic_version.h"

#include <array>
#include <charconv>
#include <system_error>

namespace tavrel {

namespace {

std::optional<std::int64_t> parsePiece(std::string_view piece) {
    if (piece.empty()) return std::nullopt;
    for (const char c : piece) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(piece.data(), piece.data() + piece.size(), value);
    if (error != std::errc{} || end != piece.data() + piece.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<SettingsSemanticVersion> SettingsSemanticVersion::parse(std::string_view text) {
    std::array<std::int64_t, 3> numbers{};
    std::size_t count = 0;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = text.find('.', start);
        const std::string_view piece = text.substr(
            start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (count == numbers.size()) return std::nullopt;  // a fourth piece
        const auto number = parsePiece(piece);
        if (!number) return std::nullopt;
        numbers[count++] = *number;
        if (dot == std::string_view::npos) break;
        start = dot + 1;
    }
    if (count != numbers.size()) return std::nullopt;
    return SettingsSemanticVersion{numbers[0], numbers[1], numbers[2]};
}

}  // namespace tavrel
