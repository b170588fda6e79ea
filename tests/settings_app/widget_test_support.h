#pragma once

// A QApplication for the widget tests (offscreen), and waiting on its event loop. Deadlines only
// stop a broken test from hanging; nothing asserts on how long anything took.

#include <chrono>
#include <functional>

#include <QApplication>
#include <QDeadlineTimer>
#include <QIcon>
#include <QTimer>

namespace tavrel::test {

inline QApplication& widgetApplication() {
    static int argc = 1;
    static char name[] = "tavrel-settings-app-test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) {
        auto* app = new QApplication(argc, argv);
        (void)app;
        if (QIcon::themeName().isEmpty()) QIcon::setThemeName(QStringLiteral("Adwaita"));
    }
    return *static_cast<QApplication*>(QApplication::instance());
}

inline bool runUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds deadline = std::chrono::seconds(15)) {
    widgetApplication();
    QDeadlineTimer timer(deadline);
    QTimer tick;
    tick.start(std::chrono::milliseconds(5));
    while (!done()) {
        if (timer.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Runs what is queued now (posted events, deferred deletes, zero timers).
inline void settle() {
    widgetApplication();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

}  // namespace tavrel::test
