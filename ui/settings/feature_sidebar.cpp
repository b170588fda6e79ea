#include "ui/settings/feature_sidebar.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_switch.h"
#include "ui/form/settings_symbols.h"

namespace tavrel {

namespace {
QString qtext(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}
}  // namespace

FeatureSidebarButton::FeatureSidebarButton(FeaturePage page, QWidget* parent)
    : QAbstractButton(parent), page_(page) {
    // Before anything is announced about the row, which would make Qt's interface for it.
    markPageRow(this);
    // The tile, title and chevron are painted; only the switch is a widget of its own, so the
    // thirteen rows are cheap to build on every rebuild.
    const FeaturePageInfo& info = featurePageInfo(page);
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(38);
    setText(qtext(info.title));
    setAccessibleName(qtext(info.title));
    setToolTip(qtext(info.title));

    switch_ = new SettingsSwitch(SettingsSwitch::Size::small, this);
    switch_->setAccessibleName(qtext(info.title));
    connect(switch_, &QAbstractButton::toggled, this, [this](bool on) {
        if (!configuring_ && onSwitch) onSwitch(on);
    });
    configure(false, std::nullopt, {});
}

QString FeatureSidebarButton::statusText() const {
    return statusText_;
}

QRectF FeatureSidebarButton::titleRect() const {
    // 6 to the tile, 28 tile, 8 gap; the title ends before the switch, else before the chevron.
    const qreal left = 6 + 28 + 8;
    const qreal right = switch_->isVisibleTo(this) ? switch_->x() - 4 : width() - 8 - 11 - 4;
    return QRectF(left, 1, std::max<qreal>(right - left, 0), height() - 2);
}

void FeatureSidebarButton::resizeEvent(QResizeEvent* event) {
    QAbstractButton::resizeEvent(event);
    const QSize size = switch_->sizeHint();
    switch_->setGeometry(width() - 8 - 11 - 4 - size.width(), (height() - size.height()) / 2,
                         size.width(), size.height());
}

void FeatureSidebarButton::configure(bool selected, std::optional<bool> enabledState,
                                     const QString& statusText) {
    // Rows are configured after every edit; one that shows the same is not drawn again.
    if (configured_ && selected == selected_ &&
        switch_->isVisibleTo(this) == enabledState.has_value() &&
        switch_->isChecked() == enabledState.value_or(false) && statusText == statusText_) {
        return;
    }
    configured_ = true;
    configuring_ = true;
    selected_ = selected;
    setPageRowShown(this, selected);
    switch_->setVisible(enabledState.has_value());
    switch_->setChecked(enabledState.value_or(false));
    // The status text is kept for other window styles; this one does not show it.
    statusText_ = statusText;
    setAccessibleDescription(statusText);
    configuring_ = false;
    update();
}

void FeatureSidebarButton::setHovered(bool hovered) {
    if (hovered_ == hovered) return;
    hovered_ = hovered;
    update();
}

void FeatureSidebarButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    setHovered(true);
}

void FeatureSidebarButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    setHovered(false);
}

void FeatureSidebarButton::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

void FeatureSidebarButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor background = Qt::transparent;
    if (selected_) {
        background = settingsSystemGray(0.2);
    } else if (hovered_) {
        background = settingsSystemGray(0.12);
    }
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 12, 12);
    painter.fillPath(path, background);
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.55f);
        painter.setPen(QPen(ring, 1.5));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 11, 11);
    }

    const qreal ratio = devicePixelRatioF();
    const FeaturePageInfo& info = featurePageInfo(page_);
    // The symbol, centred in its 28 × 28 tile.
    painter.drawPixmap(
        QPointF(6 + 5, (height() - 18) / 2.0),
        settingsSymbolPixmap(info.symbolName, settingsLabelColor(palette()), 18, ratio));
    painter.drawPixmap(
        QPointF(width() - 8 - 11, (height() - 11) / 2.0),
        settingsSymbolPixmap("chevron.right", settingsTertiaryLabelColor(palette()), 11, ratio));

    const QFont font = settingsFont(13.5, selected_ ? QFont::DemiBold : QFont::Normal);
    painter.setFont(font);
    painter.setPen(settingsLabelColor(palette()));
    const QRectF box = titleRect();
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text()) <= box.width()) {
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, text());
    } else {
        // Two lines at most, the second cut short when it still does not fit.
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());
    }
}

SettingsSidebarView::SettingsSidebarView(QWidget* parent) : QWidget(parent) {}

void SettingsSidebarView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), settingsWindowBackgroundColor(palette()));
    QColor tint = Qt::white;
    tint.setAlphaF(isDarkPalette(palette()) ? 0.08f : 0.6f);
    painter.fillRect(rect(), tint);
    painter.setPen(settingsSeparatorColor(palette(), 0.12));
    painter.drawLine(QPointF(width() - 0.5, 0), QPointF(width() - 0.5, height()));
}

FeatureSidebarScrollView::FeatureSidebarScrollView(QWidget* parent) : QScrollArea(parent) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    viewport()->setAutoFillBackground(false);
    setAutoFillBackground(false);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { refreshHover(); });
}

void FeatureSidebarScrollView::refreshHover() {
    if (!widget()) return;
    const auto rows = widget()->findChildren<FeatureSidebarButton*>();
    for (FeatureSidebarButton* row : rows) row->setHovered(false);
    for (FeatureSidebarButton* row : rows) {
        if (row->isVisible() && row->rect().contains(row->mapFromGlobal(QCursor::pos()))) {
            row->setHovered(true);
        }
    }
}

}  // namespace tavrel
