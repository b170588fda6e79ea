#pragma once

// The application chooser: the installed applications by name and icon in the order given, one
// to choose. The confirming button is enabled while a row is selected; a double click on a row
// or Return chooses it.

#include <optional>

#include <QDialog>

#include "platform/dialogs.h"

class QListWidget;
class QPushButton;

namespace tavrel {

class ApplicationChooserDialog final : public QDialog {
    Q_OBJECT
public:
    explicit ApplicationChooserDialog(const platform::ApplicationChoiceRequest& request,
                                      QWidget* parent = nullptr);

    QListWidget* list() const { return list_; }
    QPushButton* confirmButton() const { return confirm_; }
    // The index of the selected row in the request's list.
    std::optional<std::size_t> chosenIndex() const;

private:
    QListWidget* list_ = nullptr;
    QPushButton* confirm_ = nullptr;
};

}  // namespace tavrel
