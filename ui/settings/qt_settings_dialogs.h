#pragma once

// The window's questions as Qt dialogs: alerts as message boxes (application-modal, or
// window-modal for a sheet), a text input as a small dialog, the open panel, the beep.

#include <functional>

#include <QPointer>
#include <QWidget>

#include "core/settings_pages/settings_dialogs.h"

namespace tavrel {

class QtSettingsDialogs final : public SettingsDialogs {
public:
    // `window` gives the settings window (nothing when there is none).
    explicit QtSettingsDialogs(std::function<QWidget*()> window = {});

    ModalAlertResponse runModal(const ModalAlert& alert) override;
    ModalAlertResponse runSheet(const ModalAlert& alert) override;
    std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) override;
    void beep() override;

private:
    ModalAlertResponse run(const ModalAlert& alert, QWidget* sheetParent);
    std::function<QWidget*()> window_;
};

}  // namespace tavrel
