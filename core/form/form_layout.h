#pragma once

// The measurements of the form toolkit that are rules rather than styling: segmented control
// widths, the help popup's size and place, scroll clamping, and the fixed row anatomy.

#include <vector>

#include "core/form/form_geometry.h"

namespace tavrel {

struct FormMetrics {
    static constexpr double formSpacing = 18;
    static constexpr double formBottomInset = 26;
    static constexpr double sectionHeaderSpacing = 8;
    static constexpr double sectionHeaderFontSize = 12.5;
    static constexpr double sectionHeaderLeadingInset = 4;
    static constexpr double cardCornerRadius = 14;
    static constexpr double cardFillAlpha = 0.58;
    static constexpr double cardBorderAlpha = 0.2;
    static constexpr double separatorInset = 14;
    static constexpr double rowSpacing = 12;
    static constexpr double rowVerticalInset = 12;
    static constexpr double rowHorizontalInset = 18;
    static constexpr double titleColumnWidth = 168;
    static constexpr double titleColumnSpacing = 6;
    static constexpr double titleFontSize = 13;
    static constexpr double titlePreferredWidth = 144;
    static constexpr double helpButtonSize = 18;
    static constexpr double controlColumnMinimumWidth = 270;
    static constexpr double controlColumnSpacing = 10;
    static constexpr double segmentHeight = 30;
    static constexpr double segmentCornerRadius = 8;
    static constexpr double segmentLabelFontSize = 13;
    static constexpr double sliderWidth = 190;
    static constexpr double sliderFieldWidth = 72;
    static constexpr double colorWellWidth = 52;
    static constexpr double colorWellHeight = 28;
    static constexpr double buttonWidth = 118;
    static constexpr double buttonHeight = 30;
    static constexpr double centeredSegmentInset = 4;
};

struct SegmentLayout {
    double segmentWidth = 0;
    double controlWidth = 0;
    double height = FormMetrics::segmentHeight;
};

// Each label measured in the 13-point system font: segment width = max(widest label rounded up
// + 42, 92), control width = max(segment width × labels, 166).
SegmentLayout segmentLayout(const std::vector<double>& labelWidths);

// The help popup: the text is measured within helpPopupMeasureBounds; the popup is
// clamp(ceil(width) + 24, 180, 300) wide and max(ceil(height) + 20, 42) high.
inline constexpr FormSize helpPopupMeasureBounds{276, 240};
FormSize helpPopupSize(FormSize measuredText);

// Where the popup goes for a button occupying `anchor` on a screen whose visible frame is
// `visibleFrame` (an empty rectangle when there is no screen): to the right of the button,
// vertically centred on it, kept 8 points inside the visible frame.
FormPoint helpPopupOrigin(FormRect anchor, FormSize popup, FormRect visibleFrame);

// A scroll offset from the top, kept within [0, max(document − clip, 0)].
double clampScrollOffset(double offset, double documentHeight, double clipHeight);

}  // namespace tavrel
