#pragma once

// A rounded panel: fill, border and corner radius, with colours resolved from the palette at
// every paint so they follow the appearance.

#include <functional>

#include <QColor>
#include <QPalette>
#include <QWidget>

class QPainter;

namespace tavrel {

class RoundedPanelView : public QWidget {
    Q_OBJECT
public:
    using ColorRole = std::function<QColor(const QPalette&)>;

    explicit RoundedPanelView(QWidget* parent = nullptr);

    // Defaults: fill calibrated white 0.96, border clear, border width 0.5, radius 12.
    void setFill(ColorRole fill);
    void setBorder(ColorRole border);
    void setBorderWidth(qreal width);
    void setCornerRadius(qreal radius);
    // The panel lies on the window's own background: a translucent fill is painted as the opaque
    // colour it makes over that background, which shows the same and costs a plain fill rather
    // than blending every pixel.
    void setOpaqueOverWindowBackground(bool opaque);

    qreal cornerRadius() const { return radius_; }
    // The width actually drawn: a positive width is never thinner than one device pixel.
    qreal effectiveBorderWidth() const;
    QColor resolvedFill() const { return fill_(palette()); }
    QColor resolvedBorder() const { return border_(palette()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Fills and outlines the panel's shape over `bounds`.
    void paintPanel(QPainter& painter, const QRectF& bounds);

private:
    ColorRole fill_;
    ColorRole border_;
    qreal borderWidth_ = 0.5;
    qreal radius_ = 12;
    bool opaqueOverWindow_ = false;
};

}  // namespace tavrel
