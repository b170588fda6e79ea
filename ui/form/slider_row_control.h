#pragma once

// The control column of a slider row: a slider and an editable value field sharing one
// normalised value (SliderModel). The slider works in fine integer ticks; arrows move it by the
// row's step, or by a hundredth of the range when the row has none.

#include <QLineEdit>
#include <QSlider>
#include <QWidget>

#include "core/form/form_content.h"
#include "core/form/slider_model.h"

namespace tavrel {

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

private:
    void sliderChanged(int tick);
    void fieldCommitted();
    void show(const SliderUpdate& update);
    int tickFor(double value) const;

    SliderModel model_;
    std::function<void(double)> action_;
    QSlider* slider_;
    QLineEdit* field_;
    bool updating_ = false;
};

}  // namespace tavrel
