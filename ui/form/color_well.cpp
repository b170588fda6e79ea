#include "ui/form/color_well.h"

#include <QColorDialog>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include "ui/form/settings_colors.h"

namespace tavrel {

ColorWell::ColorWell(const QColor& color, QWidget* parent)
    : QAbstractButton(parent), color_(color) {
    setFixedSize(52, 28);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QAbstractButton::clicked, this, &ColorWell::openChooser);
}

void ColorWell::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void ColorWell::chooseColor(const QColor& color) {
    color_ = color;
    update();
    emit colorChosen(color);
}

void ColorWell::openChooser() {
    const QColor chosen =
        QColorDialog::getColor(color_, window(), QString(), QColorDialog::ShowAlphaChannel);
    if (chosen.isValid()) chooseColor(chosen);
}

void ColorWell::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath outer;
    outer.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
    painter.fillPath(outer, settingsControlBackgroundColor(palette(), 1));
    painter.setPen(QPen(settingsSeparatorColor(palette(), hasFocus() ? 0.5 : 0.25), 1));
    painter.drawPath(outer);
    QPainterPath inner;
    inner.addRoundedRect(QRectF(rect()).adjusted(5, 5, -5, -5), 3, 3);
    // A checkerboard shows through a translucent colour.
    painter.save();
    painter.setClipPath(inner);
    for (int y = 0; y < height(); y += 5) {
        for (int x = 0; x < width(); x += 5) {
            painter.fillRect(x, y, 5, 5,
                             ((x + y) / 5) % 2 ? QColor(200, 200, 200) : QColor(255, 255, 255));
        }
    }
    painter.restore();
    painter.fillPath(inner, color_);
}

}  // namespace tavrel
