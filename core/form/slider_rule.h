#pragma once

// How a slider and its value field agree on one value: the normalisation N(x), the reading of a
// typed field and the formatters the pages use. Locale-independent: a field always shows and
// reads a full stop as the decimal separator.

#include <functional>
#include <string>
#include <string_view>

namespace tavrel {

struct SliderRange {
    double min = 0;
    double max = 1;
    double step = 0;  // 0: no stepping
};

using SliderFormatter = std::function<std::string(double)>;
using SliderValidator = std::function<bool(double)>;

// Rounds halves away from zero (2.5 → 3, −2.5 → −3).
double roundHalfAwayFromZero(double value);

// N(x): clamp to [min, max]; with a step, round x / step to a whole number (counting from 0,
// not from min), multiply back and clamp again. Not-a-number reads as min.
double normalizeSliderValue(double value, const SliderRange& range);

// The number a typed field holds, read like a text field's numeric value: leading blanks and a
// sign are allowed, the longest number at the start counts, anything else after it is ignored,
// and text that does not start with a number reads as 0.
double parseFieldNumber(std::string_view text);

// "%.1f": one decimal.
std::string formatOneDecimal(double value);
// The value rounded to a whole number, halves away from zero.
std::string formatWholeNumber(double value);
// The whole number followed by "%".
std::string formatPercent(double value);

}  // namespace tavrel
