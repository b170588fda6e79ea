#pragma once

// An on/off switch. Focusable; Space toggles it, like any button. Assistive technologies see a
// check box whose toggle action flips it as a click does. The wheel scrolls the page.

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
    void wheelEvent(QWheelEvent* event) override;

private:
    Size size_;
};

}  // namespace tavrel
