#pragma once

// A QCoreApplication for the whole test program, and waiting on its event loop. Deadlines only
// stop a broken test from hanging; nothing asserts on how long anything took. To show that
// something does NOT happen, tests wait for a later event that must come after it.

#include <chrono>
#include <functional>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace tavrel::testing {

inline QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "tavrel-platform-qt-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    return *QCoreApplication::instance();
}

// Runs the event loop until `done` holds or the deadline passes; gives `done()`.
inline bool runUntil(const std::function<bool()>& done,
                     std::chrono::milliseconds deadline = std::chrono::seconds(15)) {
    application();
    QDeadlineTimer timer(deadline);
    // Keeps the blocking wait below from sleeping past the deadline.
    QTimer tick;
    tick.start(std::chrono::milliseconds(5));
    while (!done()) {
        if (timer.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace tavrel::testing
