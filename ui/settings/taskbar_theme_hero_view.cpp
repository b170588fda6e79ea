#include "ui/settings/taskbar_theme_hero_view.h"

#include <algorithm>
#include <string>

#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QVariantAnimation>

#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"

namespace tavrel {

namespace {
const QColor kSystemBlue(0, 122, 255);
}

FlexibleImageView::FlexibleImageView(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
}

void FlexibleImageView::setImage(const QImage& image, std::function<QImage()> sharper) {
    image_ = image;
    sharper_ = std::move(sharper);
    sharperImage_ = QImage();
    scaled_ = QPixmap();
    scaledFrom_ = 0;
    update();
}

void FlexibleImageView::paintEvent(QPaintEvent*) {
    if (image_.isNull()) return;
    QPainter painter(this);
    const QSizeF fitted = QSizeF(image_.size()).scaled(QSizeF(size()), Qt::KeepAspectRatio);
    const qreal ratio = devicePixelRatioF();
    const QSize pixels = (fitted * ratio).toSize();
    if (ratio > 1 && sharper_) {
        sharperImage_ = sharper_();
        sharper_ = nullptr;
    }
    const QImage& source = ratio > 1 && !sharperImage_.isNull() ? sharperImage_ : image_;
    // Scaled once per size, not on every paint; a picture that already has the size is drawn
    // as it is.
    if (scaled_.isNull() || scaled_.size() != pixels || scaledFrom_ != source.cacheKey()) {
        scaled_ = QPixmap::fromImage(
            source.size() == pixels
                ? source
                : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        scaled_.setDevicePixelRatio(ratio);
        scaledFrom_ = source.cacheKey();
    }
    painter.drawPixmap(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2),
                       scaled_);
}

ThemeChoiceButton::ThemeChoiceButton(const QString& title, TaskbarTheme theme, QWidget* parent)
    : QAbstractButton(parent), theme_(theme) {
    setText(title);
    setFont(settingsFont(15, QFont::DemiBold));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setMinimumSize(132, 42);
    connect(this, &QAbstractButton::clicked, this, &ThemeChoiceButton::selectTheme);
    const auto follow = [this](const QVariant& value) {
        pressAlpha_ = value.toReal();
        update();
    };
    dimAnimation_ = new QVariantAnimation(this);
    dimAnimation_->setDuration(80);
    dimAnimation_->setEndValue(0.82);
    connect(dimAnimation_, &QVariantAnimation::valueChanged, this, follow);
    restoreAnimation_ = new QVariantAnimation(this);
    restoreAnimation_->setDuration(80);
    restoreAnimation_->setEndValue(1.0);
    connect(restoreAnimation_, &QVariantAnimation::valueChanged, this, follow);
    connect(
        dimAnimation_, &QVariantAnimation::finished, this,
        [this] {
            restoreAnimation_->setStartValue(pressAlpha_);
            restoreAnimation_->start();
        },
        Qt::QueuedConnection);
    updateAppearance();
}

void ThemeChoiceButton::setChosen(bool chosen) {
    chosen_ = chosen;
    updateAppearance();
}

void ThemeChoiceButton::selectTheme() {
    if (onSelect) onSelect(theme_);
}

void ThemeChoiceButton::updateAppearance() {
    if (chosen_) {
        auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(graphicsEffect());
        if (!shadow) {
            shadow = new QGraphicsDropShadowEffect(this);
            setGraphicsEffect(shadow);
        }
        QColor color = kSystemBlue;
        color.setAlphaF(0.24f);
        shadow->setColor(color);
        shadow->setBlurRadius(16);
        shadow->setOffset(0, 4);
    } else if (graphicsEffect()) {
        setGraphicsEffect(nullptr);
    }
    update();
}

void ThemeChoiceButton::enterEvent(QEnterEvent* event) {
    QAbstractButton::enterEvent(event);
    hovering_ = true;
    updateAppearance();
}

void ThemeChoiceButton::leaveEvent(QEvent* event) {
    QAbstractButton::leaveEvent(event);
    hovering_ = false;
    updateAppearance();
}

void ThemeChoiceButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        // Dim briefly, then come back (see the constructor), while the click is tracked as usual.
        dimAnimation_->stop();
        restoreAnimation_->stop();
        dimAnimation_->setStartValue(pressAlpha_);
        dimAnimation_->start();
    }
    QAbstractButton::mousePressEvent(event);
}

void ThemeChoiceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(pressAlpha_);
    const QRectF bounds = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    const qreal radius = std::min<qreal>(18, bounds.height() / 2);
    QPainterPath path;
    path.addRoundedRect(bounds, radius, radius);
    QColor titleColor;
    if (chosen_) {
        painter.fillPath(path, kSystemBlue);
        titleColor = Qt::white;
    } else {
        if (hovering_) {
            painter.fillPath(path, settingsControlBackgroundColor(palette(), 0.82));
            painter.setPen(QPen(settingsSeparatorColor(palette(), 0.42), 1));
            painter.drawPath(path);
        }
        titleColor = settingsLabelColor(palette());
    }
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.6f);
        painter.setPen(QPen(ring, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), radius - 1, radius - 1);
    }
    painter.setPen(titleColor);
    painter.setFont(font());
    painter.drawText(bounds, Qt::AlignCenter, text());
}

TaskbarThemeHeroView::TaskbarThemeHeroView(TaskbarTheme theme, SettingsImageLookup images,
                                           QWidget* parent)
    : QWidget(parent), images_(std::move(images)), currentTheme_(theme) {
    liquidButton_ =
        new ThemeChoiceButton(QStringLiteral("液态玻璃主题"), TaskbarTheme::liquidGlass, this);
    windowsButton_ =
        new ThemeChoiceButton(QStringLiteral("windows主题"), TaskbarTheme::windows, this);
    auto* orLabel = new SettingsSelectableLabel(QStringLiteral("or"), this);
    orLabel->setFont(settingsFont(12, QFont::DemiBold));
    orLabel->setAlignment(Qt::AlignCenter);
    orLabel_ = orLabel;
    applyLabelColor();
    imageView_ = new FlexibleImageView(this);

    QPointer<TaskbarThemeHeroView> self(this);
    const auto forward = [self](TaskbarTheme chosen) {
        if (self && self->onThemeSelected) self->onThemeSelected(chosen);
    };
    liquidButton_->onSelect = forward;
    windowsButton_->onSelect = forward;
    setTheme(theme, false);
}

void TaskbarThemeHeroView::setTheme(TaskbarTheme theme, bool) {
    currentTheme_ = theme;
    liquidButton_->setChosen(theme == TaskbarTheme::liquidGlass);
    windowsButton_->setChosen(theme == TaskbarTheme::windows);
    const std::string_view name = theme == TaskbarTheme::liquidGlass
                                      ? SettingsImageName::liquidGlassThemePreview
                                      : SettingsImageName::windowsThemePreview;
    if (!images_) {
        imageView_->setImage(QImage());
        return;
    }
    imageView_->setImage(images_(name), [images = images_, name] {
        return images(std::string(name) + std::string(SettingsImageName::doubleResolutionSuffix));
    });
}

void TaskbarThemeHeroView::applyLabelColor() {
    // The secondary label colour: the tertiary one is too faint for this small word on both
    // appearances (contrast about 2.7 : 1 on the dark window and 2.1 : 1 on the light one; this
    // gives 4.8 : 1 and 3.8 : 1). A colour set on the label does not follow the palette by
    // itself, so every palette change sets it again.
    QPalette pal = orLabel_->palette();
    pal.setColor(QPalette::WindowText, settingsSecondaryLabelColor(palette()));
    orLabel_->setPalette(pal);
}

void TaskbarThemeHeroView::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) applyLabelColor();
}

void TaskbarThemeHeroView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutParts();
}

void TaskbarThemeHeroView::layoutParts() {
    constexpr int stackWidth = 180;
    constexpr int buttonHeight = 42;
    constexpr int spacing = 18;
    const int buttonWidth = std::max(132, stackWidth - 20);
    const int labelHeight = orLabel_->sizeHint().height();
    const int stackHeight = buttonHeight * 2 + labelHeight + spacing * 2;
    const int top = (height() - stackHeight) / 2;
    const int stackLeft = 8;
    const int buttonLeft = stackLeft + (stackWidth - buttonWidth) / 2;
    liquidButton_->setGeometry(buttonLeft, top, buttonWidth, buttonHeight);
    orLabel_->setGeometry(stackLeft, top + buttonHeight + spacing, stackWidth, labelHeight);
    windowsButton_->setGeometry(buttonLeft, top + buttonHeight + spacing + labelHeight + spacing,
                                buttonWidth, buttonHeight);
    const int imageLeft = stackLeft + stackWidth + 80;
    const int imageWidth = std::max(0, std::min(300, width() - 8 - imageLeft));
    imageView_->setGeometry(imageLeft, (height() - 180) / 2, imageWidth, 180);
}

}  // namespace tavrel
