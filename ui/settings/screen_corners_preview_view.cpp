#include "ui/settings/screen_corners_preview_view.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <QLinearGradient>
#include <QPainter>

#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {

namespace {

// How far along each edge a continuous corner of radius r bends, and the exponent of the
// superellipse it follows there: |x|^n + |y|^n = 1 over that length. A circular arc is n = 2
// over r; this curve meets the edges without a kink in curvature.
constexpr qreal kContinuousCornerExtent = 1.528665;
constexpr qreal kContinuousCornerExponent = 4;
constexpr int kCornerSamples = 24;

constexpr double kMaximumUserRadius = 80;
constexpr qreal kPi = std::numbers::pi_v<qreal>;

// Menu-bar words after the menu-bar symbol (drawn as a small shape of our own: the symbol the
// macOS menu bar shows has no glyph in the fonts a Linux desktop has).
const char* const kMenuBarWords = "   Finder    文件   编辑";

QString onOff(bool on) {
    return on ? QStringLiteral("开启") : QStringLiteral("关闭");
}

}  // namespace

ScreenCornersPreviewView::ScreenCornersPreviewView(bool compact, QWidget* parent)
    : QWidget(parent), compact_(compact) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    if (!compact_) {
        setMinimumHeight(210);
        setMaximumHeight(210);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
}

QSize ScreenCornersPreviewView::sizeHint() const {
    return compact_ ? QSize(168, 54) : QSize(560, 210);
}

void ScreenCornersPreviewView::setTopCornersEnabled(bool enabled) {
    if (topCornersEnabled_ == enabled) return;
    topCornersEnabled_ = enabled;
    update();
}

void ScreenCornersPreviewView::setBottomCornersEnabled(bool enabled) {
    if (bottomCornersEnabled_ == enabled) return;
    bottomCornersEnabled_ = enabled;
    update();
}

void ScreenCornersPreviewView::setNotchHidden(bool hidden) {
    if (notchHidden_ == hidden) return;
    notchHidden_ = hidden;
    update();
}

void ScreenCornersPreviewView::setCornerRadius(double radius) {
    if (cornerRadius_ == radius) return;
    cornerRadius_ = radius;
    update();
}

void ScreenCornersPreviewView::showSettings(const TaskbarSettings& settings) {
    setTopCornersEnabled(settings.screenTopCornersEnabled);
    setBottomCornersEnabled(settings.screenBottomCornersEnabled);
    setNotchHidden(settings.hideMenuBarNotch);
    setCornerRadius(settings.hideNotchCornerRadius);
}

QRectF ScreenCornersPreviewView::screenRect() const {
    const qreal w = width();
    const qreal h = height();
    const qreal g = compact_ ? w - 22 : std::min<qreal>(w - 70, 380);
    const qreal s = compact_ ? h - 14 : std::min<qreal>(h - 74, 128);
    // Measured from the bottom: 7 (compact) or 40 below the screen.
    const qreal bottom = compact_ ? 7 : 40;
    return QRectF((w - g) / 2, h - bottom - s, std::max<qreal>(g, 0), std::max<qreal>(s, 0));
}

qreal ScreenCornersPreviewView::displayedRadius() const {
    const qreal largest = std::min<qreal>(screenRect().height() / 3, 28);
    // A radius that is not a number shows no corner.
    const double user =
        std::isnan(cornerRadius_) ? 0 : std::clamp(cornerRadius_, 0.0, kMaximumUserRadius);
    return user / kMaximumUserRadius * largest;
}

QString ScreenCornersPreviewView::statusLine() const {
    const double radius = std::isfinite(cornerRadius_) ? std::trunc(cornerRadius_) : 0;
    return QStringLiteral("顶部：") + onOff(topCornersEnabled_) +
           QStringLiteral("    ·    底部：") + onOff(bottomCornersEnabled_) +
           QStringLiteral("    ·    隐藏刘海：") + onOff(notchHidden_) +
           QStringLiteral("    ·    半径 ") + QString::number(static_cast<long long>(radius));
}

QPainterPath ScreenCornersPreviewView::continuousRoundedRect(const QRectF& rect, qreal radius) {
    QPainterPath path;
    if (radius <= 0 || rect.isEmpty()) {
        path.addRect(rect);
        return path;
    }
    const qreal extent =
        std::min({radius * kContinuousCornerExtent, rect.width() / 2, rect.height() / 2});
    // One quarter of the superellipse per corner, from the end on one edge to the end on the
    // next, going clockwise from the top-left corner (y down).
    struct Corner {
        QPointF centre;  // where the corner's curve is centred
        qreal startAngle;
    };
    const Corner corners[] = {
        {{rect.left() + extent, rect.top() + extent}, kPi},
        {{rect.right() - extent, rect.top() + extent}, 1.5 * kPi},
        {{rect.right() - extent, rect.bottom() - extent}, 0},
        {{rect.left() + extent, rect.bottom() - extent}, 0.5 * kPi},
    };
    const qreal exponent = 2 / kContinuousCornerExponent;
    bool first = true;
    for (const Corner& corner : corners) {
        for (int i = 0; i <= kCornerSamples; ++i) {
            const qreal t = corner.startAngle + (kPi / 2) * i / kCornerSamples;
            const qreal c = std::cos(t);
            const qreal s = std::sin(t);
            const QPointF point(
                corner.centre.x() + extent * std::copysign(std::pow(std::abs(c), exponent), c),
                corner.centre.y() + extent * std::copysign(std::pow(std::abs(s), exponent), s));
            if (first) {
                path.moveTo(point);
                first = false;
            } else {
                path.lineTo(point);
            }
        }
    }
    path.closeSubpath();
    return path;
}

namespace {

// Paints black the part of `clip` outside the continuous rounded rectangle of `rect`.
void fillOutsideContinuousRect(QPainter& painter, const QRectF& rect, const QRectF& clip,
                               qreal radius) {
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(clip);
    path.addPath(ScreenCornersPreviewView::continuousRoundedRect(rect, radius));
    painter.fillPath(path, Qt::black);
    painter.restore();
}

}  // namespace

void ScreenCornersPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();
    const QRectF bounds = rect();

    // The card.
    QPainterPath card;
    card.addRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), 14, 14);
    painter.fillPath(card, settingsControlBackgroundColor(pal, 0.65));
    painter.setPen(QPen(settingsSeparatorColor(pal, 0.25), 1));
    painter.drawPath(card);

    if (!compact_) {
        painter.setFont(settingsFont(12));
        painter.setPen(settingsSecondaryLabelColor(pal));
        painter.drawText(QRectF(18, 12, 200, 18), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("效果预览"));
    }

    const QRectF screen = screenRect();
    const qreal g = screen.width();
    const qreal s = screen.height();
    const qreal bar = menuBarHeight();
    const qreal r = displayedRadius();

    painter.save();
    painter.setClipRect(screen);

    // Wallpaper: across the screen at 25 degrees.
    const QPointF centre = screen.center();
    const qreal reach = (g * std::cos(25 * kPi / 180) + s * std::sin(25 * kPi / 180)) / 2;
    const QPointF direction(std::cos(25 * kPi / 180), -std::sin(25 * kPi / 180));
    QLinearGradient wallpaper(centre - direction * reach, centre + direction * reach);
    wallpaper.setColorAt(0, QColor::fromRgbF(0.24f, 0.38f, 0.76f));
    wallpaper.setColorAt(1, QColor::fromRgbF(0.64f, 0.55f, 0.86f));
    painter.fillRect(screen, wallpaper);

    // A window.
    QPainterPath window;
    const qreal windowRadius = compact_ ? 2 : 7;
    window.addRoundedRect(
        QRectF(screen.left() + 0.21 * g, screen.bottom() - 0.2 * s - 0.5 * s, 0.57 * g, 0.5 * s),
        windowRadius, windowRadius);
    painter.fillPath(window, QColor::fromRgbF(1, 1, 1, 0.25f));

    // The menu bar along the top.
    const QRectF menuBar(screen.left(), screen.top(), g, bar);
    painter.fillRect(menuBar, notchHidden_ ? QColor(Qt::black) : QColor::fromRgbF(1, 1, 1, 0.18f));
    if (!compact_) {
        const QRectF text = menuBar.adjusted(10, 2, -10, -2);
        // The menu-bar symbol: a small white drop of our own.
        const qreal mark = 7;
        QPainterPath symbol;
        symbol.addRoundedRect(QRectF(text.left(), text.center().y() - mark / 2, mark, mark), 2.5,
                              2.5);
        painter.fillPath(symbol, Qt::white);
        painter.setFont(settingsFont(9));
        painter.setPen(Qt::white);
        painter.drawText(text.adjusted(mark, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QString::fromUtf8(kMenuBarWords));
    }
    if (!notchHidden_) {
        QPainterPath notch;
        notch.addRoundedRect(
            QRectF(centre.x() - 0.055 * g, screen.top() - 0.2 * bar, 0.11 * g, bar), 3, 3);
        painter.fillPath(notch, Qt::black);
    }

    if (r > 0) {
        const QRectF upperHalf(screen.left(), screen.top(), g, s / 2);
        const QRectF lowerHalf(screen.left(), screen.top() + s / 2, g, s / 2);
        if (topCornersEnabled_) fillOutsideContinuousRect(painter, screen, upperHalf, r);
        if (bottomCornersEnabled_) fillOutsideContinuousRect(painter, screen, lowerHalf, r);
        if (notchHidden_) {
            // The screen below the black bar, rounded at its top: the bar's lower corners.
            const QRectF below(screen.left(), screen.top() + bar, g, 2 * s);
            const QRectF belowClip(screen.left(), screen.top() + bar, g, s - bar);
            fillOutsideContinuousRect(painter, below, belowClip, r);
        }
    }
    painter.restore();

    QColor outline = settingsLabelColor(pal);
    outline.setAlphaF(0.3f);
    painter.setPen(QPen(outline, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(screen);

    if (!compact_) {
        painter.setFont(settingsFont(11));
        painter.setPen(settingsSecondaryLabelColor(pal));
        painter.drawText(QRectF(18, height() - 10 - 18, width() - 36, 18),
                         Qt::AlignLeft | Qt::AlignVCenter, statusLine());
    }
}

}  // namespace tavrel
