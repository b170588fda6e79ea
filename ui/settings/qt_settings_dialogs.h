#pragma once

// The window's questions as Qt dialogs: alerts as message boxes (application-modal, or
// window-modal for a sheet), a text input as a small dialog, the open panel, the beep.

#include <functional>

#include <QPointer>
#include <QWidget>

#include "platform/dialogs.h"

namespace tavrel {

class QtSettingsDialogs final : public platform::Dialogs {
public:
    // `window` gives the settings window (nothing when there is none).
    explicit QtSettingsDialogs(std::function<QWidget*()> window = {});

    platform::ModalAlertResponse runModal(const platform::ModalAlert& alert) override;
    platform::ModalAlertResponse runSheet(const platform::ModalAlert& alert) override;
    std::optional<std::filesystem::path> openFile(
        const platform::OpenFileRequest& request) override;
    std::optional<std::filesystem::path> saveFile(
        const platform::SaveFileRequest& request) override;
    void beep() override;
    // The installed applications in the application chooser, application-modal.
    std::optional<std::size_t> chooseApplication(
        const platform::ApplicationChoiceRequest& request) override;

private:
    platform::ModalAlertResponse run(const platform::ModalAlert& alert, QWidget* sheetParent);
    std::function<QWidget*()> window_;
};

}  // namespace tavrel
