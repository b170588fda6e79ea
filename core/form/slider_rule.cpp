#include "core/form/slider_rule.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace tavrel {

double roundHalfAwayFromZero(double value) {
    return std::round(value);  // std::round rounds halves away from zero
}

double normalizeSliderValue(double value, const SliderRange& range) {
    const double low = std::min(range.min, range.max);
    const double high = std::max(range.min, range.max);
    if (std::isnan(value)) return low;
    double x = std::clamp(value, low, high);
    if (range.step > 0 && std::isfinite(range.step)) {
        x = roundHalfAwayFromZero(x / range.step) * range.step;
        x = std::clamp(x, low, high);
    }
    return x;
}

double parseFieldNumber(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size() && (text[start] == ' ' || text[start] == '\t' ||
                                   text[start] == '\n' || text[start] == '\r')) {
        ++start;
    }
    bool negative = false;
    if (start < text.size() && (text[start] == '+' || text[start] == '-')) {
        negative = text[start] == '-';
        ++start;
    }
    // Only plain decimal numbers: "inf", "nan" and hexadecimal forms are not numbers a person
    // types into a settings field.
    if (start >= text.size() ||
        !((text[start] >= '0' && text[start] <= '9') || text[start] == '.')) {
        return 0;
    }
    double value = 0;
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    const auto [end, error] = std::from_chars(first, last, value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large reads as the largest double (the range then clamps it), too small as 0.
        const std::string_view digits(first, static_cast<std::size_t>(end - first));
        const std::size_t exponent = digits.find_first_of("eE");
        const bool tiny = exponent != std::string_view::npos && exponent + 1 < digits.size() &&
                          digits[exponent + 1] == '-';
        value = tiny ? 0.0 : std::numeric_limits<double>::max();
    } else if (error != std::errc()) {
        return 0;
    }
    return negative ? -value : value;
}

std::string formatOneDecimal(double value) {
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                            std::chars_format::fixed, 1);
    if (error != std::errc()) return "0.0";
    std::string text(buffer.data(), end);
    if (text == "-0.0") text = "0.0";
    return text;
}

std::string formatWholeNumber(double value) {
    const double rounded = roundHalfAwayFromZero(value);
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), rounded,
                                            std::chars_format::fixed, 0);
    if (error != std::errc()) return "0";
    std::string text(buffer.data(), end);
    if (text == "-0") text = "0";
    return text;
}

std::string formatPercent(double value) {
    return formatWholeNumber(value) + "%";
}

}  // namespace tavrel
