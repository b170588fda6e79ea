#include "ui/form/settings_accessibility.h"

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QCheckBox>
#include <QMetaObject>
#include <QPointer>
#include <QWidget>
#include <QWindow>

#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"

namespace tavrel {

namespace {

// Dynamic properties: the sidebar rows live in another library, and QCheckBox is Qt's.
constexpr char pageRowProperty[] = "tavrelAccessiblePageRow";
constexpr char pageRowShownProperty[] = "tavrelAccessiblePageRowShown";
constexpr char describedCheckBoxProperty[] = "tavrelAccessibleCheckBox";

// Runs an assistive technology's request once the event loop turns again, unless `context`
// has gone meanwhile (the call is dropped with it).
void later(QObject* context, std::function<void()> request) {
    QMetaObject::invokeMethod(context, std::move(request), Qt::QueuedConnection);
}

// The button's own name, else its text without mnemonic markers.
QString buttonName(const QAbstractButton* button) {
    if (!button->accessibleName().isEmpty()) return button->accessibleName();
    QString text = button->text();
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text;
}

// One segment of a SettingsSegmentedControl. Segments are no widgets of their own, so the
// control's interface makes one of these per segment and registers it with Qt's cache.
class SegmentAccessible final : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    SegmentAccessible(SettingsSegmentedControl* control, int index)
        : control_(control), index_(index) {}

    bool isValid() const override { return control_ && index_ < control_->segmentCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override {
        return control_ ? control_->window()->windowHandle() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return control_ ? QAccessible::queryAccessibleInterface(control_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override {
        if (!isValid() || t != QAccessible::Name) return {};
        return control_->labels().at(index_);
    }
    void setText(QAccessible::Text, const QString&) override {}

    QRect rect() const override {
        if (!isValid()) return {};
        const QRect local = control_->segmentRect(index_).toAlignedRect();
        return QRect(control_->mapToGlobal(local.topLeft()), local.size());
    }

    QAccessible::Role role() const override {
        return control_ && control_->isTabRow() ? QAccessible::PageTab : QAccessible::RadioButton;
    }

    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        const bool chosen = control_->selectedSegment() == index_;
        state.selectable = true;
        state.selected = chosen;
        state.checkable = true;
        state.checked = chosen;
        state.focusable = control_->focusPolicy() != Qt::NoFocus;
        state.focused = chosen && control_->hasFocus();
        state.disabled = !control_->isEnabled();
        state.invisible = !control_->isVisible();
        return state;
    }

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return nullptr;
    }

    QStringList actionNames() const override {
        if (!isValid() || !control_->isEnabled()) return {};
        return {pressAction()};
    }
    void doAction(const QString& name) override {
        if (name != pressAction() || !isValid() || !control_->isEnabled()) return;
        later(control_, [control = control_, index = index_] {
            if (control && control->isEnabled()) control->clickSegment(index);
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<SettingsSegmentedControl> control_;
    int index_;
};

class SegmentedControlAccessible final : public QAccessibleWidget {
public:
    explicit SegmentedControlAccessible(SettingsSegmentedControl* control)
        : QAccessibleWidget(control, QAccessible::Grouping) {}
    ~SegmentedControlAccessible() override {
        for (QAccessible::Id id : children_) {
            if (id) QAccessible::deleteAccessibleInterface(id);
        }
    }

    QAccessible::Role role() const override {
        return control()->isTabRow() ? QAccessible::PageTabList : QAccessible::Grouping;
    }
    int childCount() const override { return control()->segmentCount(); }

    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= childCount()) return nullptr;
        if (children_.size() < static_cast<std::size_t>(childCount()))
            children_.resize(static_cast<std::size_t>(childCount()), 0);
        QAccessible::Id& id = children_[static_cast<std::size_t>(index)];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new SegmentAccessible(control(), index));
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        for (std::size_t i = 0; i < children_.size(); ++i) {
            if (children_[i] && QAccessible::accessibleInterface(children_[i]) == child)
                return static_cast<int>(i);
        }
        return -1;
    }

    QAccessibleInterface* focusChild() const override {
        if (control()->hasFocus() && control()->selectedSegment() >= 0)
            return child(control()->selectedSegment());
        return QAccessibleWidget::focusChild();
    }

private:
    SettingsSegmentedControl* control() const {
        return static_cast<SettingsSegmentedControl*>(widget());
    }

    mutable std::vector<QAccessible::Id> children_;
};

// The slider of a slider row in the row's units. Qt's own interface would report the slider's
// ticks (0…10000), which mean nothing to the user.
class SliderAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(SliderRowSlider* slider)
        : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Value) {
            if (SliderRowControl* control = row()) return control->valueText();
        }
        return QAccessibleWidget::text(t);
    }

    QVariant currentValue() const override {
        if (SliderRowControl* control = row()) return control->value();
        return slider()->value();
    }
    QVariant minimumValue() const override {
        if (SliderRowControl* control = row()) return control->range().min;
        return slider()->minimum();
    }
    QVariant maximumValue() const override {
        if (SliderRowControl* control = row()) return control->range().max;
        return slider()->maximum();
    }
    QVariant minimumStepSize() const override {
        if (SliderRowControl* control = row()) return control->minimumStep();
        return slider()->singleStep();
    }

    void setCurrentValue(const QVariant& value) override {
        bool ok = false;
        const double requested = value.toDouble(&ok);
        // A value from outside the process: anything but a finite number is refused.
        if (!ok || !std::isfinite(requested) || !slider()->isEnabled()) return;
        SliderRowControl* control = row();
        if (!control) return;
        later(control, [control = QPointer<SliderRowControl>(control), requested] {
            if (control && control->isEnabled()) control->moveSlider(requested);
        });
    }

private:
    QSlider* slider() const { return static_cast<QSlider*>(widget()); }
    SliderRowControl* row() const {
        return qobject_cast<SliderRowControl*>(widget()->parentWidget());
    }
};

// Switches and described check boxes. Toggling clicks the button, so a handler of clicked()
// runs as it would for the pointer (Qt's own toggle action only emits toggled()).
class ToggleAccessible final : public QAccessibleWidget {
public:
    explicit ToggleAccessible(QAbstractButton* button)
        : QAccessibleWidget(button, QAccessible::CheckBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return buttonName(button());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        const auto* checkBox = qobject_cast<const QCheckBox*>(button());
        if (checkBox && checkBox->checkState() == Qt::PartiallyChecked) {
            state.checkStateMixed = true;
        } else {
            state.checked = button()->isChecked();
        }
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (button()->isEnabled()) names << toggleAction();
        return names << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != toggleAction()) return QAccessibleWidget::doAction(name);
        if (!button()->isEnabled()) return;
        later(button(), [button = QPointer<QAbstractButton>(button())] {
            if (button && button->isEnabled()) button->click();
        });
    }

private:
    QAbstractButton* button() const { return static_cast<QAbstractButton*>(widget()); }
};

class PageRowAccessible final : public QAccessibleWidget {
public:
    explicit PageRowAccessible(QAbstractButton* row)
        : QAccessibleWidget(row, QAccessible::PageTab) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return buttonName(row());
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        const bool shown = isPageRowShown(row());
        state.selectable = true;
        state.selected = shown;
        state.checkable = true;
        state.checked = shown;
        return state;
    }

    QStringList actionNames() const override {
        QStringList names;
        if (row()->isEnabled()) names << pressAction();
        return names << QAccessibleWidget::actionNames();
    }
    void doAction(const QString& name) override {
        if (name != pressAction()) return QAccessibleWidget::doAction(name);
        if (!row()->isEnabled()) return;
        later(row(), [row = QPointer<QAbstractButton>(row())] {
            if (row && row->isEnabled()) row->click();
        });
    }

private:
    QAbstractButton* row() const { return static_cast<QAbstractButton*>(widget()); }
};

// Qt makes an interface for a widget as soon as anything about it is announced (setText() and
// setAccessibleName() are): one made before the widget was marked is Qt's own. It is dropped,
// so that the next request gets this library's.
void dropQtsInterface(QWidget* widget) {
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    if (iface && !dynamic_cast<ToggleAccessible*>(iface))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(iface));
}

QAccessibleInterface* settingsAccessibleFactory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return nullptr;
    // Asked first with the object's own class name: marked buttons are recognised whatever
    // their class.
    if (className == QLatin1String(object->metaObject()->className())) {
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            if (button->property(pageRowProperty).toBool()) return new PageRowAccessible(button);
            if (button->property(describedCheckBoxProperty).toBool())
                return new ToggleAccessible(button);
        }
    }
    if (className == QLatin1String(SettingsSegmentedControl::staticMetaObject.className())) {
        if (auto* control = qobject_cast<SettingsSegmentedControl*>(widget))
            return new SegmentedControlAccessible(control);
    }
    if (className == QLatin1String(SliderRowSlider::staticMetaObject.className())) {
        if (auto* slider = qobject_cast<SliderRowSlider*>(widget))
            return new SliderAccessible(slider);
    }
    if (className == QLatin1String(SettingsSwitch::staticMetaObject.className())) {
        if (auto* toggle = qobject_cast<SettingsSwitch*>(widget))
            return new ToggleAccessible(toggle);
    }
    return nullptr;
}

}  // namespace

void installSettingsAccessibility() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(settingsAccessibleFactory);
}

QString sliderFieldNameSuffix() {
    return QStringLiteral(" 数值");
}

void describeControl(QWidget* control, const QString& title, const QString& help) {
    if (!control) return;
    installSettingsAccessibility();
    if (auto* slider = qobject_cast<SliderRowSlider*>(control)) {
        if (auto* row = qobject_cast<SliderRowControl*>(slider->parentWidget())) control = row;
    }
    if (auto* row = qobject_cast<SliderRowControl*>(control)) {
        row->slider()->setAccessibleName(title);
        row->slider()->setAccessibleDescription(help);
        row->field()->setAccessibleName(title + sliderFieldNameSuffix());
        row->field()->setAccessibleDescription(help);
        return;
    }
    if (qobject_cast<QCheckBox*>(control)) {
        control->setProperty(describedCheckBoxProperty, true);
        dropQtsInterface(control);
    }
    control->setAccessibleName(title);
    control->setAccessibleDescription(help);
}

void markPageRow(QAbstractButton* row) {
    if (!row) return;
    installSettingsAccessibility();
    row->setProperty(pageRowProperty, true);
}

bool isPageRowShown(const QAbstractButton* row) {
    return row && row->property(pageRowShownProperty).toBool();
}

void setPageRowShown(QAbstractButton* row, bool shown) {
    if (!row || isPageRowShown(row) == shown) return;
    row->setProperty(pageRowShownProperty, shown);
    // Only a running assistive technology listens; otherwise the interface need not exist.
    if (!QAccessible::isActive()) return;
    QAccessible::State changed;
    changed.selected = true;
    changed.checked = true;
    QAccessibleStateChangeEvent event(row, changed);
    QAccessible::updateAccessibility(&event);
}

void notifySegmentSelectionChanged(SettingsSegmentedControl* control, int previous, int current) {
    if (!control || !QAccessible::isActive()) return;
    QAccessible::State changed;
    changed.selected = true;
    changed.checked = true;
    for (const int index : {previous, current}) {
        if (index < 0 || index >= control->segmentCount()) continue;
        QAccessibleStateChangeEvent event(control, changed);
        event.setChild(index);
        QAccessible::updateAccessibility(&event);
    }
    if (control->hasFocus()) notifySegmentFocus(control);
}

void notifySegmentFocus(SettingsSegmentedControl* control) {
    if (!control || !QAccessible::isActive()) return;
    const int selected = control->selectedSegment();
    if (selected < 0) return;
    QAccessibleEvent event(control, QAccessible::Focus);
    event.setChild(selected);
    QAccessible::updateAccessibility(&event);
}

}  // namespace tavrel
