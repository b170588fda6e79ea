#pragma once

// User decisions as modal alerts, described as data so the logic that asks is tested with a
// scripted presenter and the window renders the same description with real widgets.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tavrel {

struct ModalAlert {
    enum class Style { informational, warning, critical };

    Style style = Style::warning;
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
    // Shows the alert application-modally and returns once the user answered. Main thread only.
    virtual ModalAlertResponse runModal(const ModalAlert& alert) = 0;
};

}  // namespace tavrel
