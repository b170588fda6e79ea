#pragma once

// A label whose text can be selected and which can also act on a plain click: a single click
// whose press and release are at most 3 points apart calls onSimpleClick; a drag that selects
// text, or a double click, does not.

#include <functional>

#include <QLabel>
#include <QPointF>

namespace tavrel {

// The click rule on its own: one click, and the pointer moved at most 3 points.
bool isSimpleClick(int clickCount, QPointF pressed, QPointF released);

class SettingsSelectableLabel : public QLabel {
    Q_OBJECT
public:
    explicit SettingsSelectableLabel(const QString& text = {}, QWidget* parent = nullptr);

    std::function<void()> onSimpleClick;

    // Turns text selection on (done by the first hover or press).
    void makeSelectable();

protected:
    void enterEvent(QEnterEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QPointF pressed_;
    int clickCount_ = 0;
};

}  // namespace tavrel
