#pragma once

// The one help popup of the process: a borderless panel above normal windows that never takes
// focus or clicks, showing a row's help text beside its help button.

#include <QPointer>
#include <QRect>
#include <QWidget>

class QLabel;

namespace tavrel {

class HelpPopupWindow : public QWidget {
    Q_OBJECT
public:
    // Created on first use.
    static HelpPopupWindow& shared();
    // The popup if it was ever created (for tests), else nothing.
    static HelpPopupWindow* existing();

    // Shows `text` beside `anchor` (global coordinates), on the screen that holds the anchor.
    void show(const QString& text, const QRect& anchor);
    QString text() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    HelpPopupWindow();
    QLabel* label_;
};

}  // namespace tavrel
