#include "ui/form/settings_segmented_control.h"

#include <cmath>
#include <vector>

#include <QEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include "ui/form/cached_picture.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {

SegmentLayout SettingsSegmentedControl::measuredLayout(const QStringList& labels) {
    const QFontMetricsF metrics(settingsFont(FormMetrics::segmentLabelFontSize));
    std::vector<double> widths;
    for (const QString& label : labels) widths.push_back(metrics.horizontalAdvance(label));
    return segmentLayout(widths);
}

SettingsSegmentedControl::SettingsSegmentedControl(const QStringList& labels, int selected,
                                                   QWidget* parent)
    : QWidget(parent), labels_(labels) {
    selected_ = selected >= 0 && selected < labels.size() ? selected : -1;
    setFocusPolicy(Qt::StrongFocus);
    setFont(settingsFont(FormMetrics::segmentLabelFontSize));
    setFixedHeight(static_cast<int>(FormMetrics::segmentHeight));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    installSettingsAccessibility();
}

const SegmentLayout& SettingsSegmentedControl::measured() const {
    if (!measured_) measured_ = measuredLayout(labels_);
    return *measured_;
}

bool SettingsSegmentedControl::event(QEvent* event) {
    // The labels are measured in the application's font.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::ApplicationFontChange) {
        measured_.reset();
        updateGeometry();
    }
    return QWidget::event(event);
}

QSize SettingsSegmentedControl::sizeHint() const {
    return QSize(static_cast<int>(std::ceil(measured().controlWidth)),
                 static_cast<int>(FormMetrics::segmentHeight));
}

QSize SettingsSegmentedControl::minimumSizeHint() const {
    return sizeHint();
}

void SettingsSegmentedControl::setSegmentWidth(qreal width) {
    segmentWidth_ = width;
    update();
}

QRectF SettingsSegmentedControl::segmentRect(int index) const {
    if (labels_.isEmpty()) return {};
    const qreal width = segmentWidth_ > 0 ? segmentWidth_ : qreal(this->width()) / labels_.size();
    const qreal total = width * labels_.size();
    const qreal left = (this->width() - total) / 2;
    return QRectF(left + index * width, 0, width, height());
}

int SettingsSegmentedControl::segmentAt(QPointF point) const {
    for (int i = 0; i < labels_.size(); ++i) {
        if (segmentRect(i).contains(point)) return i;
    }
    return -1;
}

void SettingsSegmentedControl::setTabRow(bool tabRow) {
    tabRow_ = tabRow;
}

void SettingsSegmentedControl::select(int index) {
    const int previous = selected_;
    selected_ = index >= 0 && index < labels_.size() ? index : -1;
    update();
    if (previous != selected_) notifySegmentSelectionChanged(this, previous, selected_);
}

void SettingsSegmentedControl::setSelectedSegment(int index) {
    select(index);
}

void SettingsSegmentedControl::clickSegment(int index) {
    if (index < 0 || index >= labels_.size()) return;
    select(index);
    emit segmentSelected(index);
}

void SettingsSegmentedControl::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const int index = segmentAt(event->position());
    if (index >= 0) pressed_ = index;
    update();
}

void SettingsSegmentedControl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    const std::optional<int> pressed = pressed_;
    pressed_.reset();
    update();
    if (pressed && segmentAt(event->position()) == *pressed) clickSegment(*pressed);
}

void SettingsSegmentedControl::keyPressEvent(QKeyEvent* event) {
    if (labels_.isEmpty()) return QWidget::keyPressEvent(event);
    const int current = selected_ < 0 ? 0 : selected_;
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Up) {
        if (current > 0) clickSegment(current - 1);
        return;
    }
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Down) {
        if (current + 1 < labels_.size()) clickSegment(current + 1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsSegmentedControl::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void SettingsSegmentedControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    // A screen reader follows the focus to the selected segment, not only to the group.
    notifySegmentFocus(this);
}

void SettingsSegmentedControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const qreal ratio = devicePixelRatioF();
    const qreal radius = FormMetrics::segmentCornerRadius;
    const QRectF whole = segmentRect(0).united(segmentRect(static_cast<int>(labels_.size()) - 1));
    // The track and the selected segment are the same for every control of a size in an
    // appearance: drawn once, copied after.
    const QColor trackFill = settingsSeparatorColor(pal, isDarkPalette(pal) ? 0.14 : 0.07);
    const QColor trackBorder = settingsSeparatorColor(pal, 0.18);
    drawCachedPicture(
        painter, whole.topLeft(),
        cachedPicture(
            QStringLiteral("segment-track-%1-%2").arg(trackFill.rgba()).arg(trackBorder.rgba()),
            whole.size(), ratio, [&](QPainter& p) {
                QPainterPath path;
                path.addRoundedRect(
                    QRectF(QPointF(0, 0), whole.size()).adjusted(0.5, 0.5, -0.5, -0.5), radius,
                    radius);
                p.fillPath(path, trackFill);
                p.setPen(QPen(trackBorder, 0.8));
                p.drawPath(path);
            }));
    painter.setRenderHint(QPainter::Antialiasing);

    for (int i = 0; i < labels_.size(); ++i) {
        const QRectF r = segmentRect(i);
        if (i == selected_) {
            const QRectF pill = r.adjusted(2, 2, -2, -2);
            const QColor fill = settingsControlBackgroundColor(pal, isDarkPalette(pal) ? 0.9 : 1.0);
            const QColor border = settingsSeparatorColor(pal, 0.16);
            drawCachedPicture(
                painter, pill.topLeft(),
                cachedPicture(
                    QStringLiteral("segment-pill-%1-%2").arg(fill.rgba()).arg(border.rgba()),
                    pill.size(), ratio, [&](QPainter& p) {
                        QPainterPath path;
                        path.addRoundedRect(QRectF(QPointF(0, 0), pill.size()), radius - 2,
                                            radius - 2);
                        p.fillPath(path, fill);
                        p.setPen(QPen(border, 0.6));
                        p.drawPath(path);
                    }));
        } else if (pressed_ == i) {
            QPainterPath pressedPath;
            pressedPath.addRoundedRect(r.adjusted(2, 2, -2, -2), radius - 2, radius - 2);
            painter.fillPath(pressedPath, settingsSeparatorColor(pal, 0.1));
        } else if (i > 0 && i - 1 != selected_) {
            painter.setPen(QPen(settingsSeparatorColor(pal, 0.16), 1));
            painter.drawLine(QPointF(r.left(), r.top() + 8), QPointF(r.left(), r.bottom() - 8));
        }
        QFont font = this->font();
        if (i == selected_) font.setWeight(QFont::Medium);
        painter.setFont(font);
        painter.setPen(settingsLabelColor(pal));
        painter.drawText(r, Qt::AlignCenter, labels_[i]);
    }
    if (hasFocus() && selected_ >= 0) {
        QColor ring = pal.color(QPalette::Highlight);
        ring.setAlphaF(0.55f);
        painter.setPen(QPen(ring, 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(segmentRect(selected_).adjusted(1.5, 1.5, -1.5, -1.5), radius - 1,
                                radius - 1);
    }
}

}  // namespace tavrel
