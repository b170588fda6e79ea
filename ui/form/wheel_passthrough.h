#pragma once

// Scrolling over a control scrolls the page. A control given to passWheelToPage() never sees a
// wheel event: the event goes on to the enclosing scroll area as if the control were not
// there, and a wheel never gives the control focus. Sliders, segments, pop-ups and check boxes
// then change only by click, drag or keyboard; a page is scrolled past them without editing
// anything on the way.

class QWidget;

namespace tavrel {

// Idempotent. For widgets whose class this library does not own (QComboBox, QCheckBox, …);
// the form controls here ignore the wheel themselves.
void passWheelToPage(QWidget* control);

}  // namespace tavrel
