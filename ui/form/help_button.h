#pragma once

// The "info.circle" button beside a row's title. Hovering it shows the row's help text in the
// shared help popup; leaving hides it. Clicking (or Space with focus) shows it too, so the text
// is reachable without a pointer.

#include <QAbstractButton>

namespace tavrel {

class HelpButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit HelpButton(QString helpText, QWidget* parent = nullptr);

    const QString& helpText() const { return helpText_; }
    QSize sizeHint() const override { return {18, 18}; }

    void showHelp();
    void hideHelp();

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString helpText_;
};

}  // namespace tavrel
