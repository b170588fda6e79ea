#pragma once

// A select-one segmented control: one segment per label, 30 high, 8-point corners. A click on a
// segment selects it and reports it (also when it already was selected). With focus, Left and
// Right move the selection. The wheel scrolls the page, never the selection.
//
// Assistive technologies see a group named like the control whose children are the segments
// (radio buttons, or page tabs when the control switches pages), each with its label, its
// selected state and a press action that selects it as a click does (settings_accessibility.h).

#include <optional>

#include <QStringList>
#include <QWidget>

#include "core/form/form_layout.h"

namespace tavrel {

class SettingsSegmentedControl : public QWidget {
    Q_OBJECT
public:
    explicit SettingsSegmentedControl(const QStringList& labels, int selected,
                                      QWidget* parent = nullptr);

    // The width rule measured in the 13-point system font; the control takes that width.
    static SegmentLayout measuredLayout(const QStringList& labels);
    // measuredLayout() of this control's labels, measured once (again after a font change):
    // layouts ask for the size hints many times while a page is built.
    const SegmentLayout& measured() const;

    int selectedSegment() const { return selected_; }
    int segmentCount() const { return static_cast<int>(labels_.size()); }
    const QStringList& labels() const { return labels_; }
    // Selects as a click would, reporting the change.
    void clickSegment(int index);
    void setSelectedSegment(int index);
    // Fixed segment width (0: share the control's width evenly).
    void setSegmentWidth(qreal width);
    QRectF segmentRect(int index) const;

    // A control that switches what the page below shows (sub-page selectors, tab rows) reports
    // its segments as page tabs rather than radio buttons.
    void setTabRow(bool tabRow);
    bool isTabRow() const { return tabRow_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void segmentSelected(int index);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    int segmentAt(QPointF point) const;
    void select(int index);

    QStringList labels_;
    int selected_ = -1;
    std::optional<int> pressed_;
    qreal segmentWidth_ = 0;
    bool tabRow_ = false;
    mutable std::optional<SegmentLayout> measured_;
};

}  // namespace tavrel
