#include "ui/settings/mini_preview_view.h"

#include <cmath>
#include <numbers>

#include <QEasingCurve>
#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPauseAnimation>
#include <QPropertyAnimation>
#include <QSequentialAnimationGroup>

#include "core/settings_pages/page_registry.h"
#include "ui/form/settings_colors.h"

namespace tavrel {

namespace {

// The ease-in-ease-out timing curve.
QEasingCurve easeInEaseOut() {
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(QPointF(0.42, 0), QPointF(0.58, 1), QPointF(1, 1));
    return curve;
}

}  // namespace

PreviewLayer::PreviewLayer(MiniPreviewView* view, QRectF frame_, qreal radius_, QColor fill_,
                           QColor border_, qreal borderWidth_, qreal baseRotation_)
    : frame(frame_),
      radius(radius_),
      fill(std::move(fill_)),
      border(std::move(border_)),
      borderWidth(borderWidth_),
      baseRotation(baseRotation_),
      view_(view),
      centerX_(frame_.center().x()) {}

void PreviewLayer::setOffsetY(qreal value) {
    offsetY_ = value;
    view_->update();
}
void PreviewLayer::setCenterX(qreal value) {
    centerX_ = value;
    view_->update();
}
void PreviewLayer::setScale(qreal value) {
    scale_ = value;
    view_->update();
}
void PreviewLayer::setRotation(qreal value) {
    rotation_ = value;
    view_->update();
}
void PreviewLayer::setOpacity(qreal value) {
    opacity_ = value;
    view_->update();
}

MiniPreviewView::Drawing MiniPreviewView::drawingFor(FeaturePage page) {
    return featurePageEntry(page).preview;
}

MiniPreviewView::MiniPreviewView(QWidget* parent)
    : QWidget(parent), accentColor_(toQColor(systemColorValue(SystemColor::blue))) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

MiniPreviewView::~MiniPreviewView() {
    for (QAbstractAnimation* animation : animations_) {
        animation->stop();
        delete animation;
    }
}

void MiniPreviewView::setAccentColor(const QColor& color) {
    accentColor_ = color;
    rebuildPreview();
}

void MiniPreviewView::setKind(FeaturePage kind) {
    kind_ = kind;
    rebuildPreview();
}

QRectF MiniPreviewView::contentRect() const {
    return QRectF(rect()).adjusted(14, 9, -14, -9);
}

int MiniPreviewView::runningAnimationCount() const {
    int running = 0;
    for (const QAbstractAnimation* animation : animations_) {
        if (animation->state() == QAbstractAnimation::Running) ++running;
    }
    return running;
}

QColor MiniPreviewView::accent(qreal alpha) const {
    QColor color = accentColor_;
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}
QColor MiniPreviewView::white(qreal alpha) const {
    // The drawings' white paper. On a dark appearance full white would glare out of the dark
    // card, so the same shapes become a light veil over it: lifted off the card, never a bright
    // patch.
    constexpr qreal darkStrength = 0.28;
    const qreal strength = isDarkPalette(palette()) ? alpha * darkStrength : alpha;
    return QColor::fromRgbF(1, 1, 1, static_cast<float>(strength));
}
QColor MiniPreviewView::separator(qreal alpha) const {
    return settingsSeparatorColor(palette(), alpha);
}
QColor MiniPreviewView::label(qreal alpha) const {
    QColor color = palette().color(QPalette::WindowText);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}

PreviewLayer* MiniPreviewView::add(QRectF frame, qreal radius, QColor fill, QColor border,
                                   qreal borderWidth, qreal baseRotation) {
    layers_.push_back(std::make_unique<PreviewLayer>(this, frame, radius, std::move(fill),
                                                     std::move(border), borderWidth, baseRotation));
    return layers_.back().get();
}

void MiniPreviewView::animate(PreviewLayer* layer, const char* property, qreal from, qreal to,
                              double seconds, bool reverses, double delaySeconds) {
    const int duration = static_cast<int>(std::lround(seconds * 1000));
    auto* cycle = new QSequentialAnimationGroup();
    auto* forward = new QPropertyAnimation(layer, property);
    forward->setStartValue(from);
    forward->setEndValue(to);
    forward->setDuration(duration);
    forward->setEasingCurve(easeInEaseOut());
    cycle->addAnimation(forward);
    if (reverses) {
        auto* back = new QPropertyAnimation(layer, property);
        back->setStartValue(to);
        back->setEndValue(from);
        back->setDuration(duration);
        back->setEasingCurve(easeInEaseOut());
        cycle->addAnimation(back);
    }
    cycle->setLoopCount(-1);
    QAbstractAnimation* animation = cycle;
    if (delaySeconds > 0) {
        auto* delayed = new QSequentialAnimationGroup();
        delayed->addPause(static_cast<int>(std::lround(delaySeconds * 1000)));
        delayed->addAnimation(cycle);
        animation = delayed;
    }
    animations_.push_back(animation);
    if (isVisible()) animation->start();
}

void MiniPreviewView::rebuildPreview() {
    for (QAbstractAnimation* animation : animations_) {
        animation->stop();
        delete animation;
    }
    animations_.clear();
    layers_.clear();
    update();
    const QRectF content = contentRect();
    if (width() <= 0 || height() <= 0 || content.width() <= 0 || content.height() <= 0) return;
    switch (drawingFor(kind_)) {
        case Drawing::taskbar:
        case Drawing::screenCorners:  // the header card shows its own view for it
            buildTaskbarPreview();
            break;
        case Drawing::general:
            buildGeneralPreview();
            break;
        case Drawing::nativeDock:
            buildNativeDockPreview();
            break;
        case Drawing::switcher:
            buildSwitcherPreview();
            break;
        case Drawing::desktopCorner:
            buildDesktopCornerPreview();
            break;
        case Drawing::desktopIcons:
            buildDesktopIconsPreview();
            break;
        case Drawing::newFile:
            buildNewFilePreview();
            break;
    }
}

void MiniPreviewView::buildTaskbarPreview() {
    const qreal w = contentRect().width();
    PreviewLayer* bar = add(QRectF(5, 7, w - 10, 18), 9, accent(0.12), accent(0.42), 1);
    animate(bar, "offsetY", -2, 2, 1.8);
    for (int i = 0; i < 5; ++i) {
        PreviewLayer* icon = add(QRectF(22 + 18 * i, 12, 8, 8), 2.2, accent(i == 1 ? 0.9 : 0.28));
        if (i == 1) {
            animate(icon, "scale", 1, 1.28, 1.1);
        } else {
            animate(icon, "opacity", 0.22, 0.52, 1.8, true, 0.12 * i);
        }
    }
}

void MiniPreviewView::buildGeneralPreview() {
    PreviewLayer* gear = add(QRectF(26, 13, 24, 24), 12, accent(0.14), accent(0.66), 1.5);
    animate(gear, "rotation", 0, std::numbers::pi, 2.4);
    add(QRectF(76, 18, 48, 18), 9, accent(0.24));
    PreviewLayer* knob = add(QRectF(80, 21, 12, 12), 6, white(0.9));
    animate(knob, "centerX", 86, 114, 1.55, false);
}

void MiniPreviewView::buildNativeDockPreview() {
    const qreal w = contentRect().width();
    for (int i = 0; i < 5; ++i) {
        PreviewLayer* icon = add(QRectF(9 + 17 * i, 4, 11, 11), 3, accent(i == 2 ? 0.68 : 0.24));
        if (i == 2) animate(icon, "scale", 1, 1.18, 1.25);
    }
    const QRectF card(w - 66, 20, 58, 24);
    PreviewLayer* preview = add(card, 7, white(0.72), accent(0.58), 1.2);
    animate(preview, "offsetY", -3, 3, 1.45);
    PreviewLayer* content = add(QRectF(card.x() + 8, card.y() + 7, 18, 10), 3, accent(0.48));
    animate(content, "opacity", 0.38, 0.9, 1.2);
}

void MiniPreviewView::buildSwitcherPreview() {
    PreviewLayer* left = add(QRectF(14, 9, 30, 26), 6, white(0.58), separator(0.35), 1);
    animate(left, "offsetY", -2, 2, 1.7);
    PreviewLayer* centre = add(QRectF(55, 6, 38, 32), 6, accent(0.16), accent(0.82), 1.5);
    animate(centre, "scale", 1, 1.07, 1.4);
    PreviewLayer* right = add(QRectF(104, 9, 30, 26), 6, white(0.58), separator(0.35), 1);
    animate(right, "offsetY", -2, 2, 1.7, true, 0.32);
}

void MiniPreviewView::buildDesktopCornerPreview() {
    const QRectF content = contentRect();
    const qreal w = content.width();
    const qreal h = content.height();
    add(QRectF(4, 4, w - 8, h - 8), 7, white(0.28), separator(0.22), 1);
    for (int i = 0; i < 3; ++i) {
        PreviewLayer* window =
            add(QRectF(18 + 24 * i, i % 2 == 0 ? 17 : 22, 34, 20), 4, white(0.62), accent(0.32), 1);
        animate(window, "opacity", 0.2, 0.92, 1.6, true, 0.1 * i);
    }
    PreviewLayer* target = add(QRectF(w - 25, 4, 21, 21), 5, accent(0.55));
    animate(target, "scale", 1, 1.12, 0.95);
}

void MiniPreviewView::buildDesktopIconsPreview() {
    for (int r = 0; r < 2; ++r) {
        for (int i = 0; i < 3; ++i) {
            PreviewLayer* icon =
                add(QRectF(18 + 24 * i, 10 + 19 * r, 14, 14), 3, accent(0.14), accent(0.46), 1);
            animate(icon, "opacity", 0.14, 0.78, 1.55, true, 0.08 * (i + r));
        }
    }
    PreviewLayer* slash =
        add(QRectF(110, 11, 34, 3), 1.5, label(0.52), {}, 0, std::numbers::pi / 4);
    animate(slash, "opacity", 0.25, 0.8, 1.3);
}

void MiniPreviewView::buildNewFilePreview() {
    PreviewLayer* menu = add(QRectF(50, 13, 74, 27), 6, white(0.76), separator(0.32), 1);
    animate(menu, "offsetY", -2, 2, 1.5);
    PreviewLayer* item = add(QRectF(56, 19, 51, 7), 3.5, accent(0.38));
    animate(item, "opacity", 0.26, 0.82, 1.1);
    PreviewLayer* document = add(QRectF(18, 8, 25, 32), 4, white(0.5), accent(0.72), 1.3);
    animate(document, "scale", 1, 1.08, 1.35, true, 0.2);
}

void MiniPreviewView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath container;
    container.addRoundedRect(QRectF(rect()).adjusted(0.25, 0.25, -0.25, -0.25), 12, 12);
    painter.fillPath(container, white(0.46));
    painter.setPen(QPen(separator(0.18), 0.5));
    painter.drawPath(container);
    painter.setClipPath(container);

    const QRectF content = contentRect();
    for (const auto& layer : layers_) {
        painter.save();
        // Drawing coordinates have y growing upwards from the bottom of the content area.
        const qreal cx = content.left() + layer->centerX();
        const qreal cy = content.bottom() - (layer->frame.center().y() + layer->offsetY());
        painter.translate(cx, cy);
        painter.rotate(-(layer->baseRotation + layer->rotation()) * 180.0 / std::numbers::pi);
        painter.scale(layer->scale(), layer->scale());
        painter.setOpacity(std::clamp<qreal>(layer->opacity(), 0, 1));
        const QRectF shape(-layer->frame.width() / 2, -layer->frame.height() / 2,
                           layer->frame.width(), layer->frame.height());
        const qreal radius = std::min({layer->radius, shape.width() / 2, shape.height() / 2});
        QPainterPath path;
        path.addRoundedRect(shape, radius, radius);
        painter.fillPath(path, layer->fill);
        if (layer->borderWidth > 0 && layer->border.isValid()) {
            painter.setPen(QPen(layer->border, layer->borderWidth));
            painter.drawPath(path);
        }
        painter.restore();
    }
}

void MiniPreviewView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    rebuildPreview();
}

void MiniPreviewView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) rebuildPreview();
}

void MiniPreviewView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    for (QAbstractAnimation* animation : animations_) {
        if (animation->state() == QAbstractAnimation::Paused) {
            animation->resume();
        } else if (animation->state() == QAbstractAnimation::Stopped) {
            animation->start();
        }
    }
}

void MiniPreviewView::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    // Nothing moves while nobody can see it.
    for (QAbstractAnimation* animation : animations_) {
        if (animation->state() == QAbstractAnimation::Running) animation->pause();
    }
}

}  // namespace tavrel
