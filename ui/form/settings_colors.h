#pragma once

// The window's semantic colours, resolved from the palette in use, so that they follow the
// appearance (automatic, light, dark) at every paint.

#include <QColor>
#include <QPalette>

#include "core/form/form_content.h"

namespace tavrel {

bool isDarkPalette(const QPalette& palette);

QColor settingsLabelColor(const QPalette& palette);
QColor settingsSecondaryLabelColor(const QPalette& palette);
QColor settingsTertiaryLabelColor(const QPalette& palette);
// The control background colour (the fill of cards and fields) with the given alpha.
QColor settingsControlBackgroundColor(const QPalette& palette, double alpha);
// The separator colour with the given alpha.
QColor settingsSeparatorColor(const QPalette& palette, double alpha);
QColor settingsWindowBackgroundColor(const QPalette& palette);
QColor settingsSystemGray(double alpha);

QColor toQColor(const FormColor& color, double alpha = -1);
FormColor toFormColor(const QColor& color);
QColor textColor(const QPalette& palette, FormTextColor color);

}  // namespace tavrel
