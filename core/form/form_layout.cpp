#include "core/form/form_layout.h"

#include <algorithm>
#include <cmath>

namespace tavrel {

SegmentLayout segmentLayout(const std::vector<double>& labelWidths) {
    double widest = 0;
    for (double width : labelWidths) widest = std::max(widest, std::ceil(width));
    SegmentLayout layout;
    layout.segmentWidth = std::max(widest + 42, 92.0);
    layout.controlWidth =
        std::max(layout.segmentWidth * static_cast<double>(labelWidths.size()), 166.0);
    return layout;
}

FormSize helpPopupSize(FormSize measuredText) {
    return FormSize{std::clamp(std::ceil(measuredText.width) + 24, 180.0, 300.0),
                    std::max(std::ceil(measuredText.height) + 20, 42.0)};
}

FormPoint helpPopupOrigin(FormRect anchor, FormSize popup, FormRect visibleFrame) {
    const FormRect& s = visibleFrame;
    double x = std::max(s.minX() + 8, anchor.maxX() + 8);
    x = std::min(x, s.maxX() - popup.width - 8);
    double y = std::max(s.minY() + 8, anchor.midY() - popup.height / 2);
    y = std::min(y, s.maxY() - popup.height - 8);
    return FormPoint{x, y};
}

double clampScrollOffset(double offset, double documentHeight, double clipHeight) {
    const double limit = std::max(documentHeight - clipHeight, 0.0);
    if (std::isnan(offset)) return 0;
    return std::clamp(offset, 0.0, limit);
}

}  // namespace tavrel
