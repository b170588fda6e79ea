#include "ui/form/alert_box.h"

#include <QLabel>

namespace tavrel {

QMessageBox::Icon messageBoxIcon(platform::ModalAlert::Style style) {
    switch (style) {
        case platform::ModalAlert::Style::informational:
            return QMessageBox::Information;
        case platform::ModalAlert::Style::warning:
            return QMessageBox::Warning;
        case platform::ModalAlert::Style::critical:
            return QMessageBox::Critical;
    }
    return QMessageBox::Warning;
}

QLabel* plainLabel(QLabel* label) {
    label->setTextFormat(Qt::PlainText);
    label->setOpenExternalLinks(false);
    return label;
}

void makeLabelsPlain(QMessageBox& box) {
    for (QLabel* label : box.findChildren<QLabel*>()) plainLabel(label);
}

}  // namespace tavrel
