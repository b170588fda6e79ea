#pragma once

// The system font at a size and weight, as the window's texts use it. Sizes are the window's
// points: one point per logical pixel, whatever the screen's resolution.

#include <QFont>

#include "core/form/form_content.h"

namespace tavrel {

QFont settingsFont(double pointSize, QFont::Weight weight = QFont::Normal);
QFont::Weight toQFontWeight(FormFontWeight weight);
// Digits of equal width, for value fields.
QFont settingsMonospacedDigitFont(double pointSize);

}  // namespace tavrel
