#pragma once

// A main queue for tests that runs nothing by itself: time is virtual and moves only when the
// test says so. Tasks run in the order of their due time, then in the order they were added.

#include <chrono>
#include <cstddef>
#include <map>
#include <mutex>
#include <utility>

#include "platform/main_queue.h"

namespace tavrel::platform {

class ManualMainQueue final : public MainQueue {
public:
    using Duration = std::chrono::nanoseconds;

    TaskId async(Task task) override;
    TaskId asyncAfter(Duration delay, Task task) override;
    void cancel(TaskId id) override;

    // Virtual time since the queue was made.
    Duration now() const;

    // Runs every task that is due now, including those the tasks themselves make due now.
    // A task that keeps adding `async` work makes this run forever, as it would keep a real
    // main thread busy. Returns how many tasks ran.
    std::size_t runReady();

    // Moves time forward by `duration`, running each task that falls due on the way at its due
    // time (now() reads that time inside the task), in time order. Returns how many ran.
    std::size_t advanceBy(Duration duration);

    // Tasks not yet run or cancelled.
    std::size_t pendingCount() const;

private:
    // Due time, then the order of adding.
    using Key = std::pair<Duration, TaskId>;

    // Takes the next task due at or before `limit`, moving now() to its due time.
    bool takeNext(Duration limit, Task& task);

    mutable std::mutex mutex_;
    Duration now_{0};
    TaskId nextId_ = 1;
    std::map<Key, Task> tasks_;
    std::map<TaskId, Key> keys_;
};

}  // namespace tavrel::platform
