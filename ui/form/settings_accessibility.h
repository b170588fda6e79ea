#pragma once

// What assistive technologies see of the settings controls: on Linux over AT-SPI, through Qt's
// accessibility bridge, which Orca and the other screen readers use. Every control carries its
// row's title as its name and the row's help text as its description; and
// - a slider row's slider gives and takes its value in the row's units (a value set through it
//   is normalised, validated and acted on as a drag to it); its value field is named
//   "<title> 数值";
// - switches and check boxes are check boxes with their state and a toggle action that flips
//   them as a click does;
// - a segmented control is a group (a page tab list when it switches pages) whose children are
//   the segments: radio buttons (page tabs), each named by its label, checked and selected
//   while chosen, with a press action that selects it as a click does;
// - a sidebar row is a page tab, selected and checked while its page is shown, with a press
//   action.
//
// Actions an assistive technology asks for run on the next turn of the event loop: a row's
// action may ask a modal question, and the technology's call must not wait for the answer.

#include <QString>

class QAbstractButton;
class QWidget;

namespace tavrel {

class SettingsSegmentedControl;

// Installs the interfaces above with Qt, once; later calls do nothing. The controls of this
// library call it when they are made, so nothing of theirs is ever asked for before. The
// application calls it at start too, after making its QApplication: the interface for a
// QCheckBox is asked of the factories installed last first, so this one must come after Qt's.
void installSettingsAccessibility();

// The suffix of a slider row's value field name: "<title> 数值".
QString sliderFieldNameSuffix();

// Names a row's control: accessible name = the row's title, description = its help text. A
// SliderRowControl names its slider and its value field; a QCheckBox also gets the toggle
// action that clicks it (so handlers of clicked() run too). Call before the control is shown.
void describeControl(QWidget* control, const QString& title, const QString& help);

// A button that shows a page when pressed (the sidebar's rows): a page tab with a press
// action, selected and checked while its page is shown. The name is the button's accessible
// name, else its text. Mark the row before its text or name is set: Qt makes an interface of
// its own as soon as either is announced.
void markPageRow(QAbstractButton* row);
void setPageRowShown(QAbstractButton* row, bool shown);
bool isPageRowShown(const QAbstractButton* row);

// The segmented control reports its own changes through these.
void notifySegmentSelectionChanged(SettingsSegmentedControl* control, int previous, int current);
void notifySegmentFocus(SettingsSegmentedControl* control);

}  // namespace tavrel
