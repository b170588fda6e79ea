#include "ui/settings/qt_settings_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/form/alert_box.h"
#include "ui/form/settings_fonts.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/settings/application_chooser_dialog.h"

namespace tavrel {

namespace {

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

}  // namespace

QtSettingsDialogs::QtSettingsDialogs(std::function<QWidget*()> window)
    : window_(std::move(window)) {}

platform::ModalAlertResponse QtSettingsDialogs::runModal(const platform::ModalAlert& alert) {
    return run(alert, nullptr);
}

platform::ModalAlertResponse QtSettingsDialogs::runSheet(const platform::ModalAlert& alert) {
    return run(alert, window_ ? window_() : nullptr);
}

platform::ModalAlertResponse QtSettingsDialogs::run(const platform::ModalAlert& alert,
                                                    QWidget* sheetParent) {
    platform::ModalAlertResponse response;
    QWidget* parent = sheetParent ? sheetParent : (window_ ? window_() : nullptr);

    if (alert.textField) {
        QDialog dialog(parent);
        dialog.setWindowModality(sheetParent ? Qt::WindowModal : Qt::ApplicationModal);
        dialog.setWindowTitle(qtext(alert.message));
        auto* layout = new QVBoxLayout(&dialog);
        auto* message = plainLabel(new QLabel(qtext(alert.message), &dialog));
        QFont bold = message->font();
        bold.setBold(true);
        message->setFont(bold);
        message->setWordWrap(true);
        layout->addWidget(message);
        if (!alert.informativeText.empty()) {
            auto* informative = plainLabel(new QLabel(qtext(alert.informativeText), &dialog));
            informative->setWordWrap(true);
            layout->addWidget(informative);
        }
        // The accessory: the field alone (256 × 24), or the field over the warning in a stack
        // of 360 × 58 (field 340 × 24, warning 340 wide, spacing 8).
        QLineEdit* field = nullptr;
        if (alert.textFieldWarning) {
            auto* accessory = new QWidget(&dialog);
            accessory->setFixedSize(360, 58);
            auto* stack = new QVBoxLayout(accessory);
            stack->setContentsMargins(0, 0, 0, 0);
            stack->setSpacing(8);
            field = new QLineEdit(qtext(*alert.textField), accessory);
            field->setFixedSize(340, 24);
            stack->addWidget(field, 0, Qt::AlignLeft);
            auto* warning = new SettingsSelectableLabel(QString(), accessory);
            plainLabel(warning)->setText(qtext(*alert.textFieldWarning));
            warning->setObjectName(QStringLiteral("textFieldWarning"));
            warning->setWordWrap(true);
            warning->setFixedWidth(340);
            QPalette pal = warning->palette();
            pal.setColor(QPalette::WindowText, QColor(255, 59, 48));
            warning->setPalette(pal);
            warning->setFont(settingsFont(11));
            stack->addWidget(warning, 0, Qt::AlignLeft);
            stack->addStretch(1);
            layout->addWidget(accessory);
        } else {
            field = new QLineEdit(qtext(*alert.textField), &dialog);
            field->setFixedSize(256, 24);
            layout->addWidget(field);
        }
        auto* buttons = new QDialogButtonBox(&dialog);
        std::vector<QPushButton*> pushButtons;
        for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
            QPushButton* button =
                buttons->addButton(qtext(alert.buttons[i]), i == 0 ? QDialogButtonBox::AcceptRole
                                                                   : QDialogButtonBox::RejectRole);
            if (i == 0) button->setDefault(true);
            pushButtons.push_back(button);
        }
        QObject::connect(buttons, &QDialogButtonBox::clicked, &dialog,
                         [&](QAbstractButton* clicked) {
                             for (std::size_t i = 0; i < pushButtons.size(); ++i) {
                                 if (pushButtons[i] == clicked) response.button = i;
                             }
                             dialog.done(0);
                         });
        layout->addWidget(buttons);
        dialog.exec();
        response.text = field->text().toStdString();
        return response;
    }

    QMessageBox box(parent);
    box.setWindowModality(sheetParent ? Qt::WindowModal : Qt::ApplicationModal);
    box.setIcon(messageBoxIcon(alert.style));
    box.setTextFormat(Qt::PlainText);
    box.setText(qtext(alert.message));
    if (!alert.informativeText.empty()) box.setInformativeText(qtext(alert.informativeText));
    // Qt 6.4 applies the text format to the message only; the informative text's label would
    // still guess from its content and take markup.
    makeLabelsPlain(box);
    std::vector<QPushButton*> pushButtons;
    for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
        pushButtons.push_back(box.addButton(
            qtext(alert.buttons[i]), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    }
    if (!pushButtons.empty()) box.setDefaultButton(pushButtons.front());
    if (pushButtons.size() > 1) box.setEscapeButton(pushButtons.back());
    box.exec();
    for (std::size_t i = 0; i < pushButtons.size(); ++i) {
        if (box.clickedButton() == pushButtons[i]) response.button = i;
    }
    return response;
}

std::optional<std::filesystem::path> QtSettingsDialogs::openFile(
    const platform::OpenFileRequest& request) {
    QString filter;
    if (!request.allowedExtensions.empty()) {
        QStringList patterns;
        for (const std::string& extension : request.allowedExtensions) {
            patterns << QStringLiteral("*.") + qtext(extension);
        }
        filter = patterns.join(QLatin1Char(' '));
    }
    QWidget* parent = window_ ? window_() : nullptr;
    // The home folder, not the working directory of whoever started the program.
    QFileDialog dialog(parent, qtext(request.title), QDir::homePath(), filter);
    dialog.setWindowModality(Qt::ApplicationModal);
    if (request.canChooseDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
    } else {
        dialog.setFileMode(QFileDialog::ExistingFile);  // one file, no folders
    }
    if (!request.prompt.empty()) dialog.setLabelText(QFileDialog::Accept, qtext(request.prompt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // The file system's own bytes for the name, not its UTF-8 rendering.
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

std::optional<std::filesystem::path> QtSettingsDialogs::saveFile(
    const platform::SaveFileRequest& request) {
    QWidget* parent = window_ ? window_() : nullptr;
    QFileDialog dialog(parent, qtext(request.title),
                       QDir::home().filePath(qtext(request.suggestedName)));
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(qtext(request.defaultExtension));
        dialog.setNameFilter(QStringLiteral("*.") + qtext(request.defaultExtension));
    }
    // The panel asks before it returns a file that exists (QFileDialog's own confirmation).
    if (!request.prompt.empty()) dialog.setLabelText(QFileDialog::Accept, qtext(request.prompt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return std::filesystem::path(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
}

void QtSettingsDialogs::beep() {
    QApplication::beep();
}

std::optional<std::size_t> QtSettingsDialogs::chooseApplication(
    const platform::ApplicationChoiceRequest& request) {
    ApplicationChooserDialog dialog(request, window_ ? window_() : nullptr);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.chosenIndex();
}

}  // namespace tavrel
