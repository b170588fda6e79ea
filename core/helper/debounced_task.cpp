#include "core/helper/debounced_task.h"

#include <utility>

namespace tavrel {

DebouncedTask::DebouncedTask(platform::MainQueue& queue, std::chrono::nanoseconds delay)
    : queue_(queue), delay_(delay) {}

DebouncedTask::~DebouncedTask() {
    cancel();
}

void DebouncedTask::schedule(std::function<void()> work) {
    cancel();
    pending_ = queue_.asyncAfter(delay_, [this, work = std::move(work)] {
        pending_.reset();
        work();
    });
}

void DebouncedTask::cancel() {
    if (pending_) queue_.cancel(*pending_);
    pending_.reset();
}

}  // namespace tavrel
