#include "ui/settings/feature_sidebar.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>

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
    const FeaturePageInfo& info = featurePageInfo(page);
    setFocusPolicy(Qt::StrongFocus);
    setFixedHeight(38);
    setAccessibleName(qtext(info.title));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 0, 10, 0);
    layout->setSpacing(0);

    icon_ = new QLabel(this);
    icon_->setFixedSize(28, 28);
    icon_->setAlignment(Qt::AlignCenter);
    icon_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(icon_);
    layout->addSpacing(8);

    title_ = new QLabel(qtext(info.title), this);
    title_->setWordWrap(true);
    title_->setToolTip(qtext(info.title));
    title_->setAttribute(Qt::WA_TransparentForMouseEvents);
    title_->setMaximumHeight(36);
    layout->addWidget(title_, 1);

    switch_ = new SettingsSwitch(SettingsSwitch::Size::small, this);
    switch_->setAccessibleName(qtext(info.title));
    connect(switch_, &QAbstractButton::toggled, this, [this](bool on) {
        if (!configuring_ && onSwitch) onSwitch(on);
    });
    layout->addWidget(switch_);
    layout->addSpacing(6);

    chevron_ = new QLabel(this);
    chevron_->setFixedSize(11, 11);
    chevron_->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(chevron_);

    // Kept for the layout of other window styles; this one hides them.
    status_ = new QLabel(this);
    status_->setFont(settingsFont(11.5));
    status_->hide();
    statusDot_ = new QWidget(this);
    statusDot_->hide();

    configure(false, std::nullopt, {});
}

QString FeatureSidebarButton::statusText() const {
    return status_->text();
}

void FeatureSidebarButton::configure(bool selected, std::optional<bool> enabledState,
                                     const QString& statusText) {
    configuring_ = true;
    selected_ = selected;
    const FeaturePageInfo& info = featurePageInfo(page_);
    title_->setFont(settingsFont(13.5, selected ? QFont::DemiBold : QFont::Normal));
    QPalette pal = title_->palette();
    pal.setColor(QPalette::WindowText, settingsLabelColor(palette()));
    title_->setPalette(pal);
    icon_->setPixmap(settingsSymbolPixmap(info.symbolName, settingsLabelColor(palette()), 18,
                                          devicePixelRatioF()));
    chevron_->setPixmap(settingsSymbolPixmap("chevron.right", settingsTertiaryLabelColor(palette()),
                                             11, devicePixelRatioF()));
    switch_->setVisible(enabledState.has_value());
    switch_->setChecked(enabledState.value_or(false));
    status_->setText(statusText);
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
