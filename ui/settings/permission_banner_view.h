#pragma once

// The orange banner shown while a permission is missing (one class for both permissions). A
// click on its background or on its button calls onClick; selecting the message text does not.

#include <functional>

#include <QWidget>

class QPushButton;

namespace tavrel {

class SettingsSelectableLabel;

class ScreenRecordingPermissionBannerView : public QWidget {
    Q_OBJECT
public:
    explicit ScreenRecordingPermissionBannerView(const QString& message, QWidget* parent = nullptr);

    std::function<void()> onClick;

    QString message() const;
    QPushButton* openButton() const { return button_; }
    SettingsSelectableLabel* messageLabel() const { return label_; }
    bool isHovered() const { return hovered_; }
    void handleOpenPermissionSettings();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    SettingsSelectableLabel* label_;
    QPushButton* button_;
    bool hovered_ = false;
};

}  // namespace tavrel
