#include "ui/form/rounded_panel_view.h"

#include <algorithm>

#include <QChildEvent>
#include <QPainter>
#include <QPainterPath>

namespace tavrel {

class SettingsPanelOutlineView final : public QWidget {
public:
    explicit SettingsPanelOutlineView(RoundedPanelView* panel) : QWidget(panel), panel_(panel) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        const qreal width = panel_->effectiveBorderWidth();
        const QColor color = panel_->resolvedBorder();
        if (width <= 0 || color.alpha() == 0) return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal inset = width / 2;
        QPainterPath path;
        path.addRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset),
                            std::max<qreal>(panel_->radius_ - inset, 0),
                            std::max<qreal>(panel_->radius_ - inset, 0));
        painter.setPen(QPen(color, width));
        painter.drawPath(path);
    }

private:
    RoundedPanelView* panel_;
};

RoundedPanelView::RoundedPanelView(QWidget* parent) : QWidget(parent) {
    fill_ = [](const QPalette&) { return QColor::fromRgbF(0.96f, 0.96f, 0.96f); };
    border_ = [](const QPalette&) { return QColor(Qt::transparent); };
    outline_ = new SettingsPanelOutlineView(this);
    outline_->setGeometry(rect());
}

void RoundedPanelView::setFill(ColorRole fill) {
    fill_ = std::move(fill);
    update();
}

void RoundedPanelView::setBorder(ColorRole border) {
    border_ = std::move(border);
    outline_->update();
}

void RoundedPanelView::setBorderWidth(qreal width) {
    borderWidth_ = width;
    outline_->update();
}

void RoundedPanelView::setCornerRadius(qreal radius) {
    radius_ = radius;
    update();
    outline_->update();
}

qreal RoundedPanelView::effectiveBorderWidth() const {
    if (borderWidth_ <= 0) return 0;
    return std::max(borderWidth_, 1.0 / std::max<qreal>(devicePixelRatioF(), 1.0));
}

void RoundedPanelView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), radius_, radius_);
    painter.fillPath(path, resolvedFill());
}

void RoundedPanelView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    outline_->setGeometry(rect());
    outline_->raise();
}

void RoundedPanelView::childEvent(QChildEvent* event) {
    QWidget::childEvent(event);
    // The outline stays above every child added later.
    if (event->added() && outline_ && event->child() != outline_) outline_->raise();
}

}  // namespace tavrel
