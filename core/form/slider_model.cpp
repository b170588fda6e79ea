#include "core/form/slider_model.h"

#include <utility>

namespace tavrel {

SliderModel::SliderModel(SliderRange range, double value, SliderFormatter formatter,
                         SliderValidator validator)
    : range_(range),
      value_(normalizeSliderValue(value, range)),
      formatter_(std::move(formatter)),
      validator_(std::move(validator)) {}

std::string SliderModel::format(double value) const {
    return formatter_ ? formatter_(value) : formatOneDecimal(value);
}

SliderUpdate SliderModel::offer(double raw) {
    const double x = normalizeSliderValue(raw, range_);
    // The validator may ask the user (a modal question), so it sees each value once.
    if (!validator_ || validator_(x)) {
        value_ = x;
        return SliderUpdate{x, format(x), x};
    }
    return SliderUpdate{value_, format(value_), std::nullopt};
}

SliderUpdate SliderModel::sliderMoved(double raw) {
    return offer(raw);
}

SliderUpdate SliderModel::fieldCommitted(std::string_view text) {
    return offer(parseFieldNumber(text));
}

}  // namespace tavrel
