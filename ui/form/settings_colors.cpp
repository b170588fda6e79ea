#include "ui/form/settings_colors.h"

namespace tavrel {

bool isDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}

QColor settingsLabelColor(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(isDarkPalette(palette) ? 0.88f : 0.85f);
    return color;
}

QColor settingsSecondaryLabelColor(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.5f);
    return color;
}

QColor settingsTertiaryLabelColor(const QPalette& palette) {
    QColor color = palette.color(QPalette::WindowText);
    color.setAlphaF(0.3f);
    return color;
}

QColor settingsControlBackgroundColor(const QPalette& palette, double alpha) {
    QColor color = isDarkPalette(palette) ? QColor(30, 30, 30) : QColor(255, 255, 255);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QColor settingsSeparatorColor(const QPalette& palette, double alpha) {
    QColor color = isDarkPalette(palette) ? QColor(255, 255, 255) : QColor(0, 0, 0);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QColor settingsWindowBackgroundColor(const QPalette& palette) {
    return palette.color(QPalette::Window);
}

QColor settingsSystemGray(double alpha) {
    QColor color(142, 142, 147);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

QColor toQColor(const FormColor& color, double alpha) {
    QColor result = QColor::fromRgbF(static_cast<float>(color.red), static_cast<float>(color.green),
                                     static_cast<float>(color.blue),
                                     static_cast<float>(alpha >= 0 ? alpha : color.alpha));
    return result;
}

FormColor toFormColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return FormColor{rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

QColor textColor(const QPalette& palette, FormTextColor color) {
    switch (color) {
        case FormTextColor::label:
            return settingsLabelColor(palette);
        case FormTextColor::secondaryLabel:
            return settingsSecondaryLabelColor(palette);
        case FormTextColor::tertiaryLabel:
            return settingsTertiaryLabelColor(palette);
        case FormTextColor::systemRed:
            return QColor(255, 59, 48);
        case FormTextColor::systemOrange:
            return QColor(255, 149, 0);
        case FormTextColor::systemGreen:
            return QColor(52, 199, 89);
    }
    return settingsLabelColor(palette);
}

}  // namespace tavrel
