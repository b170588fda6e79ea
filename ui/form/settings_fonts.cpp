#include "ui/form/settings_fonts.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

namespace tavrel {

QFont settingsFont(double pointSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    // The window's sizes are in points of 1/72 inch at 72 dots per inch, one point per logical
    // pixel; Qt's points assume the screen's logical resolution, usually 96.
    const QScreen* screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchY() : 96.0;
    font.setPointSizeF(pointSize * 72.0 / (dpi > 0 ? dpi : 96.0));
    font.setWeight(weight);
    return font;
}

QFont::Weight toQFontWeight(FormFontWeight weight) {
    switch (weight) {
        case FormFontWeight::regular:
            return QFont::Normal;
        case FormFontWeight::medium:
            return QFont::Medium;
        case FormFontWeight::semibold:
            return QFont::DemiBold;
        case FormFontWeight::bold:
            return QFont::Bold;
    }
    return QFont::Normal;
}

QFont settingsMonospacedDigitFont(double pointSize) {
    // The interface fonts in use set digits in equal widths by default.
    return settingsFont(pointSize);
}

}  // namespace tavrel
