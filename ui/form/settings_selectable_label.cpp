#include "ui/form/settings_selectable_label.h"

#include <cmath>

#include <QMouseEvent>

namespace tavrel {

bool isSimpleClick(int clickCount, QPointF pressed, QPointF released) {
    const QPointF moved = released - pressed;
    return clickCount == 1 && std::hypot(moved.x(), moved.y()) <= 3.0;
}

SettingsSelectableLabel::SettingsSelectableLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setTextFormat(Qt::PlainText);
    // Selection needs a text document per label; it is made when the pointer first comes near,
    // so building a page of labels stays cheap.
    setCursor(Qt::IBeamCursor);
}

void SettingsSelectableLabel::makeSelectable() {
    if (textInteractionFlags() & Qt::TextSelectableByMouse) return;
    setTextInteractionFlags(Qt::TextSelectableByMouse);
}

void SettingsSelectableLabel::enterEvent(QEnterEvent* event) {
    makeSelectable();
    QLabel::enterEvent(event);
}

void SettingsSelectableLabel::mousePressEvent(QMouseEvent* event) {
    makeSelectable();
    pressed_ = event->globalPosition();
    clickCount_ = 1;
    QLabel::mousePressEvent(event);
}

void SettingsSelectableLabel::mouseDoubleClickEvent(QMouseEvent* event) {
    clickCount_ = 2;
    QLabel::mouseDoubleClickEvent(event);
}

void SettingsSelectableLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    const int count = clickCount_;
    clickCount_ = 0;
    if (onSimpleClick && isSimpleClick(count, pressed_, event->globalPosition())) onSimpleClick();
}

}  // namespace tavrel
