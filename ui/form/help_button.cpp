#include "ui/form/help_button.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/form/help_popup_window.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_symbols.h"

namespace tavrel {

HelpButton::HelpButton(QString helpText, QWidget* parent)
    : QAbstractButton(parent), helpText_(std::move(helpText)) {
    setFixedSize(18, 18);
    setFocusPolicy(Qt::TabFocus);
    setAccessibleName(QStringLiteral("说明"));
    // The popup opens on hover; a screen reader reads the text from here.
    setAccessibleDescription(helpText_);
    setToolTip(QString());
    connect(this, &QAbstractButton::clicked, this, &HelpButton::showHelp);
}

void HelpButton::showHelp() {
    if (helpText_.isEmpty()) return;
    const QRect anchor(mapToGlobal(QPoint(0, 0)), size());
    HelpPopupWindow::shared().show(helpText_, anchor);
}

void HelpButton::hideHelp() {
    if (HelpPopupWindow* popup = HelpPopupWindow::existing()) popup->hide();
}

void HelpButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    showHelp();
}

void HelpButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    hideHelp();
}

void HelpButton::focusOutEvent(QFocusEvent* event) {
    QAbstractButton::focusOutEvent(event);
    if (!underMouse()) hideHelp();
}

void HelpButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.5f);
        painter.setPen(QPen(ring, 1.5));
        painter.drawEllipse(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75));
    }
    const QPixmap icon = settingsSymbolPixmap("info.circle", settingsTertiaryLabelColor(palette()),
                                              14, devicePixelRatioF());
    painter.drawPixmap(QPointF(2, 2), icon);
}

}  // namespace tavrel
