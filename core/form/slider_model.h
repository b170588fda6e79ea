#pragma once

// One normalised value shared by a slider and its editable field, and the order in which a
// change is normalised, validated and acted on. The renderer feeds it the raw slider value or
// the committed field text and shows what comes back.

#include <optional>
#include <string>
#include <string_view>

#include "core/form/slider_rule.h"

namespace tavrel {

struct SliderUpdate {
    // Where the slider must stand and what the field must show afterwards.
    double sliderValue = 0;
    std::string fieldText;
    // The value the row's action is called with; nothing when the change was refused.
    std::optional<double> actionValue;
};

class SliderModel {
public:
    // A missing formatter shows one decimal; a missing validator accepts everything.
    SliderModel(SliderRange range, double value, SliderFormatter formatter = {},
                SliderValidator validator = {});

    const SliderRange& range() const { return range_; }
    // The last accepted value.
    double value() const { return value_; }
    std::string fieldText() const { return format(value_); }

    // The slider moved to `raw`.
    SliderUpdate sliderMoved(double raw);
    // The field was committed with `text`.
    SliderUpdate fieldCommitted(std::string_view text);

private:
    SliderUpdate offer(double raw);
    std::string format(double value) const;

    SliderRange range_;
    double value_;
    SliderFormatter formatter_;
    SliderValidator validator_;
};

}  // namespace tavrel
