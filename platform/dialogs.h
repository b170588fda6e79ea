#pragma once

// The questions a program asks its user: modal alerts (a confirmation, a choice, a text input),
// an open panel and the audible refusal. Alerts are described as data, so every rule that
// depends on an answer — a cancelled confirmation included — is tested with scripted answers,
// and the window renders the same description with real widgets. The first button of an alert
// is its default and confirms. Main thread only.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/workspace.h"

namespace tavrel::platform {

struct ModalAlert {
    enum class Style { informational, warning, critical };

    Style style = Style::warning;
    // Both texts are shown as plain text: they may carry names that came from outside.
    std::string message;
    std::string informativeText;  // empty: none
    // The first button is the default one and confirms.
    std::vector<std::string> buttons;
    // An editable text field under the texts, prefilled with this text.
    std::optional<std::string> textField;
    // A selectable warning label (red, small system font) under the text field.
    std::optional<std::string> textFieldWarning;

    friend bool operator==(const ModalAlert&, const ModalAlert&) = default;
};

struct ModalAlertResponse {
    // The index of the pressed button; nothing when the alert ended otherwise (closed).
    std::optional<std::size_t> button;
    // The text field's content when the alert ended, when it has one.
    std::string text;

    bool isFirstButton() const { return button == std::size_t{0}; }
};

class ModalAlertPresenter {
public:
    virtual ~ModalAlertPresenter() = default;
    // Shows the alert application-modally and returns once the user answered.
    virtual ModalAlertResponse runModal(const ModalAlert& alert) = 0;
};

struct OpenFileRequest {
    std::string title;
    // File name extensions without the dot; empty: any file.
    std::vector<std::string> allowedExtensions;
    bool canChooseDirectories = false;
    // The confirming button's title; empty: the platform's.
    std::string prompt;
};

struct SaveFileRequest {
    std::string title;
    // The file name the panel proposes.
    std::string suggestedName;
    // The extension (without the dot) added to a name typed without one; empty: none.
    std::string defaultExtension;
    // The confirming button's title; empty: the platform's.
    std::string prompt;
};

// A choice among the installed applications, each shown by name and icon, in the given order.
struct ApplicationChoiceRequest {
    std::string title;
    // The confirming button's title.
    std::string prompt;
    std::vector<ApplicationInfo> applications;
};

class Dialogs : public ModalAlertPresenter {
public:
    // runModal (inherited): an application-modal alert; a text input is an alert with a text
    // field.

    // The same as a sheet on the program's window; application-modal when there is no window.
    virtual ModalAlertResponse runSheet(const ModalAlert& alert) = 0;

    // The chosen file, or nothing when the user cancelled.
    virtual std::optional<std::filesystem::path> openFile(const OpenFileRequest& request) = 0;

    // Where to write a new file, or nothing when the user cancelled. Replacing an existing file
    // has been confirmed by the user when a path is returned. Without a panel of its own a
    // presenter offers no place.
    virtual std::optional<std::filesystem::path> saveFile(const SaveFileRequest& request) {
        (void)request;
        return std::nullopt;
    }

    virtual void beep() = 0;

    // The index in `request.applications` of the one chosen, or nothing when the user
    // cancelled. Without a chooser of its own a presenter offers nothing to choose.
    virtual std::optional<std::size_t> chooseApplication(const ApplicationChoiceRequest& request) {
        (void)request;
        return std::nullopt;
    }
};

}  // namespace tavrel::platform
