#pragma once

// The orange banner shown while a permission is missing (one class for both permissions). A
// click on its background or on its button calls onClick; selecting the message text does not.
// A page is built with its banners hidden until the taskbar answers, so a banner makes its
// contents only when it is first shown (or asked for them).

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

    QString message() const { return message_; }
    QPushButton* openButton();
    SettingsSelectableLabel* messageLabel();
    bool isHovered() const { return hovered_; }
    void handleOpenPermissionSettings();
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void makeContents();

    QString message_;
    SettingsSelectableLabel* label_ = nullptr;
    QPushButton* button_ = nullptr;
    bool hovered_ = false;
};

}  // namespace tavrel
