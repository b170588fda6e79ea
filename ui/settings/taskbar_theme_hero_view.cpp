#include "ui/settings/taskbar_theme_hero_view.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QPointer>
#include <QVariantAnimation>

#include "ui/form/settings_colors.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"

namespace tavrel {

namespace {

const QColor kSystemBlue(0, 122, 255);

// Three box blurs of one radius in each direction come close to a Gaussian blur.
void boxBlur(QImage& image, int radius) {
    if (radius <= 0) return;
    const int width = image.width();
    const int height = image.height();
    std::vector<int> line;
    for (int pass = 0; pass < 6; ++pass) {
        const bool horizontal = pass % 2 == 0;
        const int lines = horizontal ? height : width;
        const int length = horizontal ? width : height;
        line.assign(static_cast<std::size_t>(length), 0);
        for (int l = 0; l < lines; ++l) {
            const auto at = [&](int i) -> uchar& {
                return horizontal ? image.scanLine(l)[i] : image.scanLine(i)[l];
            };
            for (int i = 0; i < length; ++i) line[static_cast<std::size_t>(i)] = at(i);
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += line[static_cast<std::size_t>(std::clamp(i, 0, length - 1))];
            for (int i = 0; i < length; ++i) {
                at(i) = static_cast<uchar>(sum / (2 * radius + 1));
                sum += line[static_cast<std::size_t>(std::min(i + radius + 1, length - 1))];
                sum -= line[static_cast<std::size_t>(std::max(i - radius, 0))];
            }
        }
    }
}

// The soft shadow under a chosen theme button (the system blue at alpha 0.24, radius 8, 4
// below): blurred once per size and kept.
QPixmap chosenShadow(QSize button, qreal cornerRadius, qreal ratio) {
    constexpr int blur = 8;
    constexpr int margin = 2 * blur;
    const QString key = QStringLiteral("theme-button-shadow-%1x%2@%3")
                            .arg(button.width())
                            .arg(button.height())
                            .arg(ratio);
    QPixmap shadow;
    if (QPixmapCache::find(key, &shadow)) return shadow;
    const QSize logical = button + QSize(2 * margin, 2 * margin);
    QImage mask((QSizeF(logical) * ratio).toSize(), QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(ratio, ratio);
        QPainterPath path;
        path.addRoundedRect(QRectF(margin, margin, button.width(), button.height()), cornerRadius,
                            cornerRadius);
        painter.fillPath(path, Qt::black);
    }
    boxBlur(mask, static_cast<int>(std::round(blur * ratio / 2)));
    QImage tinted(mask.size(), QImage::Format_ARGB32_Premultiplied);
    tinted.fill(Qt::transparent);
    {
        QPainter painter(&tinted);
        painter.drawImage(0, 0, mask);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        QColor color = kSystemBlue;
        color.setAlphaF(0.24f);
        painter.fillRect(tinted.rect(), color);
    }
    shadow = QPixmap::fromImage(tinted);
    shadow.setDevicePixelRatio(ratio);
    QPixmapCache::insert(key, shadow);
    return shadow;
}

}  // namespace

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
    // Scaled once per picture and size for the whole application, not on every paint nor for
    // every view a rebuild makes; a picture that already has the size is drawn as it is.
    if (scaled_.isNull() || scaled_.size() != pixels || scaledFrom_ != source.cacheKey()) {
        const QString key = QStringLiteral("hero-picture-%1-%2x%3")
                                .arg(source.cacheKey())
                                .arg(pixels.width())
                                .arg(pixels.height());
        if (!QPixmapCache::find(key, &scaled_)) {
            scaled_ = QPixmap::fromImage(
                source.size() == pixels
                    ? source
                    : source.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            QPixmapCache::insert(key, scaled_);
        }
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
    update();
    // The chosen button's shadow lies outside it: the picture draws it.
    if (parentWidget()) parentWidget()->update(geometry().adjusted(-24, -24, 24, 28));
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

void TaskbarThemeHeroView::paintEvent(QPaintEvent*) {
    ThemeChoiceButton* chosen = liquidButton_->isChosen()    ? liquidButton_
                                : windowsButton_->isChosen() ? windowsButton_
                                                             : nullptr;
    if (!chosen) return;
    QPainter painter(this);
    const QRect button = chosen->geometry();
    const QPixmap shadow = chosenShadow(
        button.size(), std::min<qreal>(18, (button.height() - 1) / 2.0), devicePixelRatioF());
    painter.drawPixmap(button.topLeft() + QPoint(-16, -16 + 4), shadow);
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
