#include "core/native_dock/background_work_queue.h"

#include <utility>

namespace tavrel {

SerialBackgroundWorkQueue::SerialBackgroundWorkQueue() : worker_([this] { runLoop(); }) {}

SerialBackgroundWorkQueue::~SerialBackgroundWorkQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
}

void SerialBackgroundWorkQueue::submit(Work work) {
    {
        std::lock_guard lock(mutex_);
        items_.push_back(std::move(work));
    }
    wake_.notify_one();
}

void SerialBackgroundWorkQueue::runLoop() {
    for (;;) {
        Work work;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !items_.empty(); });
            if (items_.empty()) return;  // stopping, and nothing left
            work = std::move(items_.front());
            items_.pop_front();
        }
        work();
    }
}

}  // namespace tavrel
