#pragma once

// The main queue over the Qt event loop of the QCoreApplication's thread.

#include <chrono>
#include <map>
#include <mutex>

#include <QObject>
#include <QPointer>
#include <QTimer>

#include "platform/main_queue.h"

namespace tavrel::platform {

// Tasks are kept here and the event loop only carries their ids, so `cancel` from any thread
// takes effect at once. Create and destroy it on the main thread.
class QtMainQueue final : public MainQueue {
public:
    QtMainQueue();
    ~QtMainQueue() override;

    TaskId async(Task task) override;
    TaskId asyncAfter(std::chrono::nanoseconds delay, Task task) override;
    void cancel(TaskId id) override;

private:
    using SteadyTime = std::chrono::steady_clock::time_point;
    struct Pending {
        Task task;
        SteadyTime due;
    };

    bool onMainThread() const;
    TaskId add(Task task, SteadyTime due);
    void run(TaskId id);
    void arm(TaskId id);
    void timerFired(TaskId id);

    QObject* anchor_;
    std::mutex mutex_;
    std::map<TaskId, Pending> pending_;          // guarded by mutex_
    TaskId nextId_ = 1;                          // guarded by mutex_
    std::map<TaskId, QPointer<QTimer>> timers_;  // main thread only
};

}  // namespace tavrel::platform
