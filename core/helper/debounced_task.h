#pragma once

// Runs work once after a quiet period: every schedule() replaces the pending run, so a burst of
// triggers causes one run, `delay` after the last trigger.

#include <chrono>
#include <functional>
#include <optional>

#include "platform/main_queue.h"

namespace tavrel {

class DebouncedTask {
public:
    DebouncedTask(platform::MainQueue& queue, std::chrono::nanoseconds delay);
    // Cancels a pending run: the work may refer to the owner being destroyed.
    ~DebouncedTask();
    DebouncedTask(const DebouncedTask&) = delete;
    DebouncedTask& operator=(const DebouncedTask&) = delete;

    void schedule(std::function<void()> work);
    void cancel();
    bool isPending() const { return pending_.has_value(); }

private:
    platform::MainQueue& queue_;
    std::chrono::nanoseconds delay_;
    std::optional<platform::MainQueue::TaskId> pending_;
};

}  // namespace tavrel
