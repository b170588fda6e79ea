#pragma once

// A 3-point scroller drawn over the right edge of a scroll view: no track, a gray rounded knob
// while the content is taller than the view, shown while scrolling and hidden again after a
// moment. It takes no clicks; the wheel and the keyboard scroll the view.

#include <QPointer>
#include <QWidget>

class QAbstractScrollArea;
class QTimer;

namespace tavrel {

class ThinOverlayScroller : public QWidget {
    Q_OBJECT
public:
    explicit ThinOverlayScroller(QAbstractScrollArea* area);

    // The knob's rectangle in this widget, empty when everything is visible.
    QRectF knobRect() const;
    void reposition();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void reveal();

    QPointer<QAbstractScrollArea> area_;
    QTimer* hideTimer_;
};

}  // namespace tavrel
