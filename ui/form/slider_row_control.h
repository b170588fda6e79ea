#pragma once

// The control column of a slider row: a slider and an editable value field sharing one
// normalised value (SliderModel). The slider works in fine integer ticks; arrows move it by the
// row's step, or by a hundredth of the range when the row has none. Assistive technologies see
// the value in the row's units, not in ticks (settings_accessibility.h). The wheel scrolls the
// page, never the slider.

#include <functional>

#include <QLineEdit>
#include <QSlider>
#include <QWidget>

#include "core/form/form_content.h"
#include "core/form/slider_model.h"

namespace tavrel {

// The slider of a slider row: ignores the wheel, so that scrolling the page over it edits
// nothing.
class SliderRowSlider : public QSlider {
    Q_OBJECT
public:
    explicit SliderRowSlider(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};

class SliderRowControl : public QWidget {
    Q_OBJECT
public:
    static constexpr int ticks = 10000;

    SliderRowControl(const SliderControl& control, QWidget* parent = nullptr);

    QSlider* slider() const { return slider_; }
    QLineEdit* field() const { return field_; }
    double value() const { return model_.value(); }
    // The slider's position as a value of the range.
    double sliderValue() const;
    const SliderRange& range() const { return model_.range(); }
    // The smallest change the arrows make, in the row's units.
    double minimumStep() const;
    // The text the field shows for the current value.
    QString valueText() const;
    // Moves the slider to `value` as a drag there would: normalised, validated, then the row's
    // action (assistive technologies set values through this).
    void moveSlider(double value);

private:
    void sliderChanged(int tick);
    void fieldCommitted();
    void offer(const std::function<SliderUpdate()>& change);
    void show(const SliderUpdate& update);
    int tickFor(double value) const;

    SliderModel model_;
    std::function<void(double)> action_;
    SliderRowSlider* slider_;
    QLineEdit* field_;
    bool updating_ = false;
};

}  // namespace tavrel
