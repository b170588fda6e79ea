#pragma once

// The update check's alerts as message boxes: a sheet (window-modal) on the settings window when
// it still exists and is visible, else application-modal with the application in front. The
// alert never blocks the event loop; its end is reported when the user closed it. Every text
// is plain text, never markup: parts of it come from the update service.

#include <QPointer>
#include <QString>
#include <QWidget>

#include "core/update/manual_app_update_checker.h"
#include "core/update/release_notes.h"

class QPlainTextEdit;

namespace tavrel {

class QtUpdateAlertPresenter final : public UpdateAlertPresenter {
public:
    explicit QtUpdateAlertPresenter(QPointer<QWidget> window);

    UpdateAlertPresentation present(const UpdateAlert& alert, Finished finished) override;

    // The alert's object name, for whoever looks for it among the top-level widgets.
    static QString alertObjectName();

private:
    QPointer<QWidget> window_;
};

// The notes box: 520 × 230, read-only but selectable, plain text in the system font at 13,
// inset 10 on each side, wrapping at its width, scrolling vertically, with a sunken border.
QPlainTextEdit* makeUpdateNotesBox(const QString& text, QWidget* parent);

// The local time zone's offset from UTC at a moment, as the system's zone rules give it.
UtcOffsetAt systemUtcOffsetAt();

}  // namespace tavrel
