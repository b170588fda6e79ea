#include "ui/settings/thin_overlay_scroller.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTimer>

#include "ui/form/settings_colors.h"

namespace tavrel {

ThinOverlayScroller::ThinOverlayScroller(QAbstractScrollArea* area) : QWidget(area), area_(area) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    hideTimer_ = new QTimer(this);
    hideTimer_->setSingleShot(true);
    hideTimer_->setInterval(1200);
    connect(hideTimer_, &QTimer::timeout, this, &QWidget::hide);
    QScrollBar* bar = area->verticalScrollBar();
    connect(bar, &QScrollBar::valueChanged, this, &ThinOverlayScroller::reveal);
    connect(bar, &QScrollBar::rangeChanged, this, [this] { update(); });
    area->installEventFilter(this);
    reposition();
    hide();
}

void ThinOverlayScroller::reveal() {
    if (knobRect().isEmpty()) return;
    reposition();
    show();
    raise();
    update();
    hideTimer_->start();
}

void ThinOverlayScroller::reposition() {
    if (!area_) return;
    setGeometry(area_->width() - 3, 0, 3, area_->height());
}

bool ThinOverlayScroller::eventFilter(QObject* watched, QEvent* event) {
    if (watched == area_ && event->type() == QEvent::Resize) reposition();
    if (watched == area_ && event->type() == QEvent::Enter) reveal();
    return QWidget::eventFilter(watched, event);
}

QRectF ThinOverlayScroller::knobRect() const {
    if (!area_) return {};
    const QScrollBar* bar = area_->verticalScrollBar();
    const int range = bar->maximum() - bar->minimum();
    const int page = bar->pageStep();
    if (range <= 0 || page <= 0) return {};
    const double proportion = double(page) / double(range + page);
    if (proportion >= 1) return {};
    const double track = height();
    const double knob = std::max(track * proportion, 24.0);
    const double y = (track - knob) * double(bar->value() - bar->minimum()) / range;
    // Inset by 2 at each end.
    return QRectF(0, y + 2, width(), std::max(knob - 4, 0.0));
}

void ThinOverlayScroller::paintEvent(QPaintEvent*) {
    const QRectF knob = knobRect();
    if (knob.isEmpty()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = std::clamp<qreal>(1.5, 0, std::min(knob.width(), knob.height()) / 2);
    QPainterPath path;
    path.addRoundedRect(knob, radius, radius);
    painter.fillPath(path, settingsSystemGray(0.72));
}

}  // namespace tavrel
