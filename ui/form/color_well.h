#pragma once

// A colour well: shows a colour; a click opens the colour chooser (alpha included). The wheel
// scrolls the page.

#include <QAbstractButton>
#include <QColor>

namespace tavrel {

class ColorWell : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColorWell(const QColor& color, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    // Takes a colour as the chooser would, reporting it.
    void chooseColor(const QColor& color);
    QSize sizeHint() const override { return {52, 28}; }

signals:
    void colorChosen(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void openChooser();
    QColor color_;
};

}  // namespace tavrel
