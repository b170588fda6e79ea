#include "platform/fake/manual_main_queue.h"

#include <algorithm>

namespace tavrel::platform {

MainQueue::TaskId ManualMainQueue::async(Task task) {
    return asyncAfter(Duration::zero(), std::move(task));
}

MainQueue::TaskId ManualMainQueue::asyncAfter(Duration delay, Task task) {
    std::lock_guard lock(mutex_);
    const TaskId id = nextId_++;
    const Key key{now_ + std::max(delay, Duration::zero()), id};
    tasks_.emplace(key, std::move(task));
    keys_.emplace(id, key);
    return id;
}

void ManualMainQueue::cancel(TaskId id) {
    std::lock_guard lock(mutex_);
    auto key = keys_.find(id);
    if (key == keys_.end()) return;
    tasks_.erase(key->second);
    keys_.erase(key);
}

ManualMainQueue::Duration ManualMainQueue::now() const {
    std::lock_guard lock(mutex_);
    return now_;
}

std::size_t ManualMainQueue::pendingCount() const {
    std::lock_guard lock(mutex_);
    return tasks_.size();
}

bool ManualMainQueue::takeNext(Duration limit, Task& task) {
    std::lock_guard lock(mutex_);
    if (tasks_.empty()) return false;
    auto next = tasks_.begin();
    if (next->first.first > limit) return false;
    now_ = std::max(now_, next->first.first);
    task = std::move(next->second);
    keys_.erase(next->first.second);
    tasks_.erase(next);
    return true;
}

std::size_t ManualMainQueue::runReady() {
    std::size_t ran = 0;
    Task task;
    // The task runs without the lock held, so it may add or cancel work.
    while (takeNext(now(), task)) {
        ++ran;
        if (task) task();
    }
    return ran;
}

std::size_t ManualMainQueue::advanceBy(Duration duration) {
    const Duration target = now() + std::max(duration, Duration::zero());
    std::size_t ran = 0;
    Task task;
    while (takeNext(target, task)) {
        ++ran;
        if (task) task();
    }
    std::lock_guard lock(mutex_);
    now_ = std::max(now_, target);
    return ran;
}

}  // namespace tavrel::platform
