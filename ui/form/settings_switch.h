#pragma once

// An on/off switch. Focusable; Space toggles it, like any button.

#include <QAbstractButton>

namespace tavrel {

class SettingsSwitch : public QAbstractButton {
    Q_OBJECT
public:
    enum class Size { regular, small };
    explicit SettingsSwitch(Size size = Size::regular, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Size size_;
};

}  // namespace tavrel
