#pragma once

// A strip that moves its window like a title bar does.

#include <QWidget>

namespace tavrel {

class SettingsWindowDragArea : public QWidget {
    Q_OBJECT
public:
    explicit SettingsWindowDragArea(QWidget* parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tavrel
