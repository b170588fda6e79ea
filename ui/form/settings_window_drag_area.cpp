#include "ui/form/settings_window_drag_area.h"

#include <QMouseEvent>
#include <QWindow>

namespace tavrel {

SettingsWindowDragArea::SettingsWindowDragArea(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_NoSystemBackground);
}

void SettingsWindowDragArea::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (QWindow* handle = window()->windowHandle()) {
            // The window manager moves the window; where it cannot, nothing happens.
            handle->startSystemMove();
            event->accept();
            return;
        }
    }
    QWidget::mousePressEvent(event);
}

}  // namespace tavrel
