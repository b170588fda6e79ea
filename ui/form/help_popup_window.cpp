#include "ui/form/help_popup_window.h"

#include <cmath>

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>

#include "core/form/form_layout.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {

namespace {
QPointer<HelpPopupWindow>& sharedPopup() {
    static QPointer<HelpPopupWindow> popup;
    return popup;
}
}  // namespace

HelpPopupWindow& HelpPopupWindow::shared() {
    auto& popup = sharedPopup();
    if (!popup) popup = new HelpPopupWindow();
    return *popup;
}

HelpPopupWindow* HelpPopupWindow::existing() {
    return sharedPopup().data();
}

HelpPopupWindow::HelpPopupWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    resize(260, 56);
    label_ = new QLabel(this);
    label_->setWordWrap(true);
    label_->setTextFormat(Qt::PlainText);
    label_->setFont(settingsFont(12));
    label_->setAttribute(Qt::WA_TransparentForMouseEvents);
}

QString HelpPopupWindow::text() const {
    return label_->text();
}

void HelpPopupWindow::show(const QString& text, const QRect& anchor) {
    label_->setText(text);
    const QFontMetricsF metrics(label_->font());
    const QRectF measured = metrics.boundingRect(
        QRectF(0, 0, helpPopupMeasureBounds.width, helpPopupMeasureBounds.height), Qt::TextWordWrap,
        text);
    const FormSize size = helpPopupSize({measured.width(), measured.height()});
    resize(static_cast<int>(size.width), static_cast<int>(size.height));
    label_->setGeometry(12, 10, width() - 24, height() - 20);

    QScreen* screen = QGuiApplication::screenAt(anchor.center());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect();
    const FormPoint origin =
        helpPopupOrigin(FormRect{double(anchor.x()), double(anchor.y()), double(anchor.width()),
                                 double(anchor.height())},
                        size,
                        FormRect{double(visible.x()), double(visible.y()), double(visible.width()),
                                 double(visible.height())});
    move(static_cast<int>(std::round(origin.x)), static_cast<int>(std::round(origin.y)));
    QWidget::show();
    raise();
}

void HelpPopupWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    QColor fill = palette().color(QPalette::ToolTipBase);
    fill.setAlphaF(0.97f);
    painter.fillPath(path, fill);
    painter.setPen(QPen(settingsSeparatorColor(palette(), 0.2), 0.5));
    painter.drawPath(path);
}

}  // namespace tavrel
