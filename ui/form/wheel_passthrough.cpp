#include "ui/form/wheel_passthrough.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QWidget>

namespace tavrel {

namespace {

// Filtering (rather than subclassing) reaches controls of any class. The event is marked
// ignored and reported handled, so the control's own handler never runs and the application
// hands the event on to the control's parent, up to the scroll area.
class WheelPassthrough final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Wheel) return false;
        event->ignore();
        return true;
    }
};

QObject* sharedPassthrough() {
    // One filter for all controls, living as long as the application.
    static QPointer<WheelPassthrough> filter;
    if (!filter) filter = new WheelPassthrough(QCoreApplication::instance());
    return filter;
}

}  // namespace

void passWheelToPage(QWidget* control) {
    if (!control) return;
    // Qt::WheelFocus (QComboBox's default) would move the focus to the control under a
    // scrolling pointer; keep the rest of its focus policy.
    const int wheelOnly = Qt::WheelFocus & ~Qt::StrongFocus;
    if (control->focusPolicy() & wheelOnly) {
        control->setFocusPolicy(Qt::FocusPolicy(control->focusPolicy() & ~wheelOnly));
    }
    // Installing the same filter again only moves it to the front.
    control->installEventFilter(sharedPassthrough());
}

}  // namespace tavrel
