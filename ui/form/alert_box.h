#pragma once

// What every alert box of the settings application shares: the icon of an alert's style, and
// labels that show their text as plain text. Alert texts carry names from outside
// (applications, folders, an update service's answer): never markup, never a link.

#include <QMessageBox>

#include "platform/dialogs.h"

class QLabel;

namespace tavrel {

QMessageBox::Icon messageBoxIcon(platform::ModalAlert::Style style);

// `label`, set to show its text as plain text with no link opened.
QLabel* plainLabel(QLabel* label);

// Every label of `box` as plain text: a message box applies its text format to the message only,
// and its other labels would guess from their content and take markup.
void makeLabelsPlain(QMessageBox& box);

}  // namespace tavrel
