#pragma once

// A QApplication for the control tests (offscreen) and running what its event loop has queued.

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>

namespace tavrel::test {

inline QApplication& controlsApplication() {
    static int argc = 1;
    static char name[] = "tavrel-form-controls-test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        new QApplication(argc, argv);
        if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    return *static_cast<QApplication*>(QApplication::instance());
}

// Runs what is queued now: posted events, deferred deletes, zero timers.
inline void runQueued() {
    controlsApplication();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

}  // namespace tavrel::test
