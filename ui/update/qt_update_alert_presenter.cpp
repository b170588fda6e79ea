#include "ui/update/qt_update_alert_presenter.h"

#include <memory>
#include <utility>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include "ui/form/alert_box.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {

namespace {

constexpr int kNotesWidth = 520;
constexpr int kNotesHeight = 230;
constexpr int kNotesInset = 10;

QString qtext(const std::string& text) {
    return QString::fromStdString(text);
}

// Puts `accessory` under the texts, above the buttons, spanning the texts' column. The message
// box lays itself out once its texts are set; the buttons' row moves down by one.
void addAccessory(QMessageBox& box, QWidget* accessory) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    QWidget* buttons = box.findChild<QWidget*>(QStringLiteral("qt_msgbox_buttonbox"));
    const int buttonsIndex = grid && buttons ? grid->indexOf(buttons) : -1;
    if (buttonsIndex < 0) {
        // A layout of another shape: put the box last rather than lose it.
        if (grid) grid->addWidget(accessory, grid->rowCount(), 0, 1, grid->columnCount());
        return;
    }
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(buttonsIndex, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(buttons);
    // The texts sit in the last column; the icon's column stays empty under the icon.
    const int textColumn = grid->columnCount() - 1;
    grid->addWidget(accessory, row, textColumn, 1, 1);
    grid->addWidget(buttons, row + 1, column, rowSpan, columnSpan);
}

}  // namespace

QtUpdateAlertPresenter::QtUpdateAlertPresenter(QPointer<QWidget> window)
    : window_(std::move(window)) {}

QString QtUpdateAlertPresenter::alertObjectName() {
    return QStringLiteral("updateCheckAlert");
}

UpdateAlertPresentation QtUpdateAlertPresenter::present(const UpdateAlert& alert,
                                                        Finished finished) {
    QWidget* window = window_.data();
    const bool sheet = window != nullptr && window->isVisible();

    auto* box = new QMessageBox(sheet ? window : nullptr);
    box->setObjectName(alertObjectName());
    box->setWindowModality(sheet ? Qt::WindowModal : Qt::ApplicationModal);
    box->setIcon(messageBoxIcon(alert.alert.style));
    box->setTextFormat(Qt::PlainText);
    box->setText(qtext(alert.alert.message));
    if (!alert.alert.informativeText.empty()) {
        box->setInformativeText(qtext(alert.alert.informativeText));
    }
    makeLabelsPlain(*box);

    auto buttons = std::make_shared<std::vector<QPushButton*>>();
    for (std::size_t i = 0; i < alert.alert.buttons.size(); ++i) {
        buttons->push_back(
            box->addButton(qtext(alert.alert.buttons[i]),
                           i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole));
    }
    if (!buttons->empty()) {
        box->setDefaultButton(buttons->front());
        box->setEscapeButton(buttons->back());
    }
    if (alert.notes) addAccessory(*box, makeUpdateNotesBox(qtext(*alert.notes), box));

    QObject::connect(box, &QDialog::finished, box, [box, buttons, finished = std::move(finished)] {
        platform::ModalAlertResponse response;
        for (std::size_t i = 0; i < buttons->size(); ++i) {
            if (box->clickedButton() == (*buttons)[i]) response.button = i;
        }
        box->deleteLater();
        if (finished) finished(response);
    });

    if (sheet) {
        box->show();
        return UpdateAlertPresentation::sheet;
    }
    // No window to sit on: the application comes to the front with the alert.
    box->show();
    box->raise();
    box->activateWindow();
    return UpdateAlertPresentation::applicationModal;
}

QPlainTextEdit* makeUpdateNotesBox(const QString& text, QWidget* parent) {
    auto* notes = new QPlainTextEdit(parent);
    notes->setObjectName(QStringLiteral("updateNotes"));
    notes->setAccessibleName(QStringLiteral("更新说明"));
    notes->setFixedSize(kNotesWidth, kNotesHeight);
    notes->setReadOnly(true);
    notes->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    notes->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    notes->setBackgroundRole(QPalette::Base);
    notes->setFont(settingsFont(13));
    notes->document()->setDocumentMargin(kNotesInset);
    notes->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    notes->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    notes->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    notes->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    notes->setPlainText(text.isEmpty() ? QStringLiteral("暂无更新说明") : text);
    return notes;
}

UtcOffsetAt systemUtcOffsetAt() {
    return [](std::chrono::sys_seconds moment) {
        const QDateTime local = QDateTime::fromSecsSinceEpoch(moment.time_since_epoch().count());
        return std::chrono::seconds{local.offsetFromUtc()};
    };
}

}  // namespace tavrel
