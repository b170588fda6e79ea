#pragma once

// A rounded panel: fill, border and corner radius, with colours resolved from the palette at
// every paint so they follow the appearance. The border is drawn by an outline view that covers
// the panel above its children and never takes clicks.

#include <functional>

#include <QColor>
#include <QPalette>
#include <QWidget>

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

    qreal cornerRadius() const { return radius_; }
    // The width actually drawn: a positive width is never thinner than one device pixel.
    qreal effectiveBorderWidth() const;
    QColor resolvedFill() const { return fill_(palette()); }
    QColor resolvedBorder() const { return border_(palette()); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    friend class SettingsPanelOutlineView;
    ColorRole fill_;
    ColorRole border_;
    qreal borderWidth_ = 0.5;
    qreal radius_ = 12;
    QWidget* outline_ = nullptr;
};

}  // namespace tavrel
