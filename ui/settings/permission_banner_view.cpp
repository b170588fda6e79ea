#include "ui/settings/permission_banner_view.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

#include "core/settings_pages/custom_views.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_symbols.h"

namespace tavrel {

namespace {
QColor systemOrange(double alpha) {
    QColor color(255, 149, 0);
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}
}  // namespace

ScreenRecordingPermissionBannerView::ScreenRecordingPermissionBannerView(const QString& message,
                                                                         QWidget* parent)
    : QWidget(parent), message_(message) {
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void ScreenRecordingPermissionBannerView::setVisible(bool visible) {
    if (visible) makeContents();
    QWidget::setVisible(visible);
}

void ScreenRecordingPermissionBannerView::showEvent(QShowEvent* event) {
    makeContents();  // shown along with its parent, without a setVisible of its own
    QWidget::showEvent(event);
}

QPushButton* ScreenRecordingPermissionBannerView::openButton() {
    makeContents();
    return button_;
}

SettingsSelectableLabel* ScreenRecordingPermissionBannerView::messageLabel() {
    makeContents();
    return label_;
}

void ScreenRecordingPermissionBannerView::makeContents() {
    if (label_) return;
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->setSpacing(0);

    auto* icon = new QLabel(this);
    icon->setFixedSize(18, 18);
    icon->setPixmap(settingsSymbolPixmap("exclamationmark.triangle.fill", systemOrange(1), 18,
                                         devicePixelRatioF()));
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addSpacing(10);

    label_ = new SettingsSelectableLabel(message_, this);
    label_->setWordWrap(true);
    label_->setFont(settingsFont(13, QFont::Medium));
    label_->setCursor(Qt::IBeamCursor);
    layout->addWidget(label_, 1);
    layout->addSpacing(12);

    button_ = new QPushButton(
        QString::fromUtf8(PermissionBannerText::openButton.data(),
                          static_cast<int>(PermissionBannerText::openButton.size())),
        this);
    connect(button_, &QPushButton::clicked, this,
            &ScreenRecordingPermissionBannerView::handleOpenPermissionSettings);
    layout->addWidget(button_, 0, Qt::AlignVCenter);
    layout->addSpacing(10);

    auto* chevron = new QLabel(this);
    chevron->setFixedSize(12, 12);
    chevron->setPixmap(settingsSymbolPixmap("chevron.right", settingsSecondaryLabelColor(palette()),
                                            12, devicePixelRatioF()));
    layout->addWidget(chevron, 0, Qt::AlignVCenter);
    // Made while already on screen: the new parts are not shown by themselves.
    if (isVisible()) {
        for (QWidget* part : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            part->show();
        }
    }
}

void ScreenRecordingPermissionBannerView::handleOpenPermissionSettings() {
    if (onClick) onClick();
}

void ScreenRecordingPermissionBannerView::enterEvent(QEnterEvent* event) {
    QWidget::enterEvent(event);
    hovered_ = true;
    update();
}

void ScreenRecordingPermissionBannerView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    hovered_ = false;
    update();
}

void ScreenRecordingPermissionBannerView::mousePressEvent(QMouseEvent* event) {
    // Accepted, so the release comes here.
    event->accept();
}

void ScreenRecordingPermissionBannerView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        handleOpenPermissionSettings();
    }
}

void ScreenRecordingPermissionBannerView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 12, 12);
    painter.fillPath(path, systemOrange(hovered_ ? 0.26 : 0.16));
    painter.setPen(QPen(systemOrange(0.55), 1));
    painter.drawPath(path);
}

}  // namespace tavrel
