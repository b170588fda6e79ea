#pragma once

// Work for the main thread: on its next turn, after a delay, or not at all once cancelled.
// `async` and `asyncAfter` may be called from any thread; the work always runs on the main thread.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

namespace tavrel::platform {

class MainQueue {
public:
    using TaskId = std::uint64_t;
    using Task = std::function<void()>;

    virtual ~MainQueue() = default;

    virtual TaskId async(Task task) = 0;
    virtual TaskId asyncAfter(std::chrono::nanoseconds delay, Task task) = 0;
    // Cancelling a task that already ran, or an unknown id, does nothing.
    virtual void cancel(TaskId id) = 0;
};

// The queue of the Qt event loop of the thread that owns the QCoreApplication.
std::unique_ptr<MainQueue> makeMainQueue();

}  // namespace tavrel::platform
