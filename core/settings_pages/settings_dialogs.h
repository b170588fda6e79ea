#pragma once

// The questions the settings window asks the user, behind one interface so that every rule that
// depends on an answer (a cancelled confirmation included) is tested with scripted answers. The
// alert description is the suite's shared ModalAlert; its first button confirms.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/native_dock/modal_alert.h"

namespace tavrel {

struct OpenFileRequest {
    std::string title;
    // File name extensions without the dot; empty: any file.
    std::vector<std::string> allowedExtensions;
    bool canChooseDirectories = false;
    // The confirming button's title; empty: the platform's.
    std::string prompt;
};

class SettingsDialogs : public ModalAlertPresenter {
public:
    // runModal (inherited): an application-modal alert; a text input is an alert with a text
    // field.

    // The same as a sheet on the settings window; application-modal when there is no window.
    virtual ModalAlertResponse runSheet(const ModalAlert& alert) = 0;

    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) = 0;

    virtual void beep() = 0;
};

}  // namespace tavrel
