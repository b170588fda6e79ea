#pragma once

// A drawn miniature of a screen with the screen-corner settings applied: black rounded corners
// at the top and bottom, and the black menu bar without a notch. Compact in the header card of
// the screen-corner page; detailed, with a caption and a status line, at the top of that page.
// It holds no settings: the window shows it the panel copy's values after every change.

#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QWidget>

#include "core/settings/taskbar_settings.h"

namespace tavrel {

class ScreenCornersPreviewView final : public QWidget {
    Q_OBJECT
public:
    explicit ScreenCornersPreviewView(bool compact, QWidget* parent = nullptr);

    bool compact() const { return compact_; }
    bool topCornersEnabled() const { return topCornersEnabled_; }
    bool bottomCornersEnabled() const { return bottomCornersEnabled_; }
    bool notchHidden() const { return notchHidden_; }
    double cornerRadius() const { return cornerRadius_; }

    // Each redraws the view when the value changes.
    void setTopCornersEnabled(bool enabled);
    void setBottomCornersEnabled(bool enabled);
    void setNotchHidden(bool hidden);
    void setCornerRadius(double radius);
    // The four values of the settings.
    void showSettings(const TaskbarSettings& settings);

    // The miniature screen, in widget coordinates.
    QRectF screenRect() const;
    // The height of the menu bar drawn along the screen's top.
    qreal menuBarHeight() const { return compact_ ? 5 : 18; }
    // The radius drawn: the user's radius (0–80) scaled so that 80 gives the largest corner the
    // miniature allows.
    qreal displayedRadius() const;
    // The line under the detailed screen.
    QString statusLine() const;

    // A rounded rectangle with continuous corners (the curve starts farther along each edge and
    // bends more gently than a circular arc), as a closed path.
    static QPainterPath continuousRoundedRect(const QRectF& rect, qreal radius);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool compact_;
    bool topCornersEnabled_ = true;
    bool bottomCornersEnabled_ = true;
    bool notchHidden_ = false;
    double cornerRadius_ = 19;
};

}  // namespace tavrel
