#include "ui/form/slider_row_control.h"

#include <algorithm>
#include <cmath>

#include <QHBoxLayout>
#include <QPointer>
#include <QWheelEvent>

#include "core/form/form_layout.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {

SliderRowSlider::SliderRowSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    installSettingsAccessibility();
}

void SliderRowSlider::wheelEvent(QWheelEvent* event) {
    event->ignore();
}

SliderRowControl::SliderRowControl(const SliderControl& control, QWidget* parent)
    : QWidget(parent),
      model_(control.range, control.value, control.valueFormatter, control.validateValue),
      action_(control.action) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(static_cast<int>(FormMetrics::controlColumnSpacing));

    slider_ = new SliderRowSlider(this);
    slider_->setFixedWidth(static_cast<int>(FormMetrics::sliderWidth));
    slider_->setRange(0, ticks);
    slider_->setFocusPolicy(Qt::StrongFocus);
    const SliderRange& range = model_.range();
    const double span = std::max(range.max - range.min, 1e-9);
    const int step = range.step > 0
                         ? std::max(1, static_cast<int>(std::lround(range.step / span * ticks)))
                         : ticks / 100;
    slider_->setSingleStep(step);
    slider_->setPageStep(step * 10);

    field_ = new QLineEdit(this);
    field_->setFixedWidth(static_cast<int>(FormMetrics::sliderFieldWidth));
    field_->setAlignment(Qt::AlignCenter);
    field_->setFont(settingsMonospacedDigitFont(13));

    layout->addWidget(slider_);
    layout->addWidget(field_);
    layout->addStretch(1);

    updating_ = true;
    slider_->setValue(tickFor(model_.value()));
    field_->setText(QString::fromStdString(model_.fieldText()));
    updating_ = false;

    connect(slider_, &QSlider::valueChanged, this, &SliderRowControl::sliderChanged);
    connect(field_, &QLineEdit::editingFinished, this, &SliderRowControl::fieldCommitted);
}

int SliderRowControl::tickFor(double value) const {
    const SliderRange& range = model_.range();
    const double span = range.max - range.min;
    if (span <= 0) return 0;
    return static_cast<int>(std::lround((value - range.min) / span * ticks));
}

double SliderRowControl::sliderValue() const {
    const SliderRange& range = model_.range();
    return range.min + (range.max - range.min) * slider_->value() / ticks;
}

double SliderRowControl::minimumStep() const {
    const SliderRange& range = model_.range();
    return range.step > 0 ? range.step : std::max(range.max - range.min, 0.0) / 100;
}

QString SliderRowControl::valueText() const {
    return QString::fromStdString(model_.fieldText());
}

void SliderRowControl::show(const SliderUpdate& update) {
    updating_ = true;
    if (std::fabs(sliderValue() - update.sliderValue) > 1e-9)
        slider_->setValue(tickFor(update.sliderValue));
    field_->setText(QString::fromStdString(update.fieldText));
    updating_ = false;
}

void SliderRowControl::offer(const std::function<SliderUpdate()>& change) {
    if (updating_) return;
    // The validator may run a modal question; this widget may be rebuilt away by the action.
    QPointer<SliderRowControl> self(this);
    updating_ = true;
    const SliderUpdate update = change();
    if (!self) return;
    updating_ = false;
    show(update);
    if (update.actionValue && action_) {
        const auto action = action_;
        action(*update.actionValue);
    }
}

void SliderRowControl::sliderChanged(int) {
    offer([this] { return model_.sliderMoved(sliderValue()); });
}

void SliderRowControl::moveSlider(double value) {
    offer([this, value] { return model_.sliderMoved(value); });
}

void SliderRowControl::fieldCommitted() {
    offer([this] { return model_.fieldCommitted(field_->text().toStdString()); });
}

}  // namespace tavrel
