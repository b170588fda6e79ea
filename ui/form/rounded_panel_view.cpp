#include "ui/form/rounded_panel_view.h"

#include <algorithm>

#include <QPainter>
#include <QPainterPath>

namespace tavrel {

RoundedPanelView::RoundedPanelView(QWidget* parent) : QWidget(parent) {
    fill_ = [](const QPalette&) { return QColor::fromRgbF(0.96f, 0.96f, 0.96f); };
    border_ = [](const QPalette&) { return QColor(Qt::transparent); };
}

void RoundedPanelView::setFill(ColorRole fill) {
    fill_ = std::move(fill);
    update();
}

void RoundedPanelView::setBorder(ColorRole border) {
    border_ = std::move(border);
    update();
}

void RoundedPanelView::setBorderWidth(qreal width) {
    borderWidth_ = width;
    update();
}

void RoundedPanelView::setCornerRadius(qreal radius) {
    radius_ = radius;
    update();
}

void RoundedPanelView::setOpaqueOverWindowBackground(bool opaque) {
    opaqueOverWindow_ = opaque;
    update();
}

qreal RoundedPanelView::effectiveBorderWidth() const {
    if (borderWidth_ <= 0) return 0;
    return std::max(borderWidth_, 1.0 / std::max<qreal>(devicePixelRatioF(), 1.0));
}

namespace {

QColor over(const QColor& top, const QColor& under) {
    const float a = top.alphaF();
    return QColor::fromRgbF(top.redF() * a + under.redF() * (1 - a),
                            top.greenF() * a + under.greenF() * (1 - a),
                            top.blueF() * a + under.blueF() * (1 - a));
}

}  // namespace

// The border is drawn over the fill here rather than by a view above the children: the rows a
// panel holds paint no background of their own, so nothing covers it. It is filled as a ring
// rather than stroked: Qt's raster engine hands a long stroke (and a large translucent fill) to
// its thread pool in dozens of pieces and waits for them, which on a busy machine costs far
// more than drawing the ring itself.
void RoundedPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintPanel(painter, QRectF(rect()));
}

void RoundedPanelView::paintPanel(QPainter& painter, const QRectF& bounds) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = resolvedFill();
    if (opaqueOverWindow_ && fill.alphaF() < 1)
        fill = over(fill, palette().color(QPalette::Window));
    QPainterPath path;
    path.addRoundedRect(bounds, radius_, radius_);
    painter.fillPath(path, fill);

    const qreal width = effectiveBorderWidth();
    QColor border = resolvedBorder();
    if (width > 0 && border.alpha() != 0) {
        if (opaqueOverWindow_ && fill.alphaF() >= 1) border = over(border, fill);
        const qreal inner = std::max<qreal>(radius_ - width, 0);
        QPainterPath ring = path;
        ring.addRoundedRect(bounds.adjusted(width, width, -width, -width), inner, inner);
        ring.setFillRule(Qt::OddEvenFill);
        painter.fillPath(ring, border);
    }
    painter.restore();
}

}  // namespace tavrel
