#pragma once

// The theme picker at the top of the taskbar page: two choice buttons with "or" between them and
// a picture of the chosen theme. A click reports the button's theme; the page decides and then
// shows the theme with setTheme.

#include <functional>

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "core/settings/settings_enumerations.h"
#include "ui/settings/settings_images.h"

class QLabel;
class QVariantAnimation;

namespace tavrel {

// An image view that asks for no size of its own; the picture is scaled proportionally into
// whatever size it is given.
class FlexibleImageView : public QWidget {
    Q_OBJECT
public:
    explicit FlexibleImageView(QWidget* parent = nullptr);
    // `sharper`, when given, supplies the same picture with twice the pixels. It is asked for,
    // once, only when the view is drawn at a device pixel ratio above 1, so that a screen at
    // 1:1 never reads the large picture.
    void setImage(const QImage& image, std::function<QImage()> sharper = {});
    const QImage& image() const { return image_; }
    QSize sizeHint() const override { return {}; }
    QSize minimumSizeHint() const override { return {}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage image_;
    std::function<QImage()> sharper_;
    QImage sharperImage_;
    QPixmap scaled_;
    qint64 scaledFrom_ = 0;  // the cache key of the picture scaled_ was made from
};

class ThemeChoiceButton : public QAbstractButton {
    Q_OBJECT
public:
    ThemeChoiceButton(const QString& title, TaskbarTheme theme, QWidget* parent = nullptr);

    std::function<void(TaskbarTheme)> onSelect;
    TaskbarTheme theme() const { return theme_; }
    bool isChosen() const { return chosen_; }
    void setChosen(bool chosen);
    bool isHovering() const { return hovering_; }
    // Restyles from the chosen and hover states.
    void updateAppearance();
    void selectTheme();

    QSize sizeHint() const override { return {160, 42}; }
    QSize minimumSizeHint() const override { return {132, 42}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    TaskbarTheme theme_;
    bool chosen_ = false;
    bool hovering_ = false;
    qreal pressAlpha_ = 1;
    QVariantAnimation* dimAnimation_ = nullptr;
    QVariantAnimation* restoreAnimation_ = nullptr;
};

class TaskbarThemeHeroView : public QWidget {
    Q_OBJECT
public:
    TaskbarThemeHeroView(TaskbarTheme theme, SettingsImageLookup images, QWidget* parent = nullptr);

    std::function<void(TaskbarTheme)> onThemeSelected;

    void setTheme(TaskbarTheme theme, bool animated = false);
    TaskbarTheme currentTheme() const { return currentTheme_; }
    ThemeChoiceButton* liquidButton() const { return liquidButton_; }
    ThemeChoiceButton* windowsButton() const { return windowsButton_; }
    FlexibleImageView* imageView() const { return imageView_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void layoutParts();
    void applyLabelColor();

    SettingsImageLookup images_;
    TaskbarTheme currentTheme_;
    ThemeChoiceButton* liquidButton_;
    ThemeChoiceButton* windowsButton_;
    QLabel* orLabel_;
    FlexibleImageView* imageView_;
};

}  // namespace tavrel
