#include "ui/form/settings_switch.h"

#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include "ui/form/cached_picture.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"

namespace tavrel {

SettingsSwitch::SettingsSwitch(Size size, QWidget* parent) : QAbstractButton(parent), size_(size) {
    setCheckable(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    installSettingsAccessibility();
}

void SettingsSwitch::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

QSize SettingsSwitch::sizeHint() const {
    return size_ == Size::small ? QSize(32, 19) : QSize(40, 24);
}

void SettingsSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF track = QRectF(rect()).adjusted(1, 1, -1, -1);
    const qreal radius = track.height() / 2;
    QColor on = palette().color(QPalette::Highlight);
    QColor off = settingsSeparatorColor(palette(), isDarkPalette(palette()) ? 0.28 : 0.16);
    QColor trackColor = isChecked() ? on : off;
    if (!isEnabled()) trackColor.setAlphaF(trackColor.alphaF() * 0.45f);
    const bool checked = isChecked();
    const bool enabled = isEnabled();
    // A switch in a state looks the same every time: drawn once, copied after.
    drawCachedPicture(
        painter, QPointF(0, 0),
        cachedPicture(
            QStringLiteral("switch-%1-%2-%3").arg(trackColor.rgba()).arg(checked).arg(enabled),
            size(), devicePixelRatioF(), [&](QPainter& p) {
                QPainterPath path;
                path.addRoundedRect(track, radius, radius);
                p.fillPath(path, trackColor);
                const qreal knob = track.height() - 4;
                const qreal x = checked ? track.right() - 2 - knob : track.left() + 2;
                p.setPen(QPen(QColor(0, 0, 0, 40), 0.5));
                p.setBrush(enabled ? QColor(Qt::white) : QColor(245, 245, 245));
                p.drawEllipse(QRectF(x, track.top() + 2, knob, knob));
            }));

    painter.setRenderHint(QPainter::Antialiasing);
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.5f);
        painter.setPen(QPen(ring, 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius + 1,
                                radius + 1);
    }
}

}  // namespace tavrel
