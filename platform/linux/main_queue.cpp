#include "platform/linux/main_queue.h"

#include <algorithm>
#include <climits>
#include <utility>

#include <QCoreApplication>
#include <QThread>

namespace tavrel::platform {

namespace {

// Coarse timers may fire up to 5 % early or late; short delays (debounces, animation steps)
// need the precise kind. Long ones may be coarse because firing early is caught below.
constexpr std::chrono::nanoseconds kPreciseBelow = std::chrono::seconds(1);

std::chrono::milliseconds timerInterval(std::chrono::nanoseconds remaining) {
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(remaining);
    return std::clamp(milliseconds, std::chrono::milliseconds(0),
                      std::chrono::milliseconds(INT_MAX));
}

}  // namespace

QtMainQueue::QtMainQueue() : anchor_(new QObject) {
    if (QCoreApplication* application = QCoreApplication::instance()) {
        anchor_->moveToThread(application->thread());
    }
}

QtMainQueue::~QtMainQueue() {
    // Deleting the anchor drops its timers and every queued call still addressed to it.
    delete anchor_;
}

bool QtMainQueue::onMainThread() const {
    return QThread::currentThread() == anchor_->thread();
}

MainQueue::TaskId QtMainQueue::add(Task task, SteadyTime due) {
    std::lock_guard lock(mutex_);
    const TaskId id = nextId_++;
    pending_.emplace(id, Pending{std::move(task), due});
    return id;
}

MainQueue::TaskId QtMainQueue::async(Task task) {
    const TaskId id = add(std::move(task), std::chrono::steady_clock::now());
    QMetaObject::invokeMethod(
        anchor_, [this, id] { run(id); }, Qt::QueuedConnection);
    return id;
}

MainQueue::TaskId QtMainQueue::asyncAfter(std::chrono::nanoseconds delay, Task task) {
    if (delay <= std::chrono::nanoseconds::zero()) return async(std::move(task));
    const TaskId id = add(std::move(task), std::chrono::steady_clock::now() + delay);
    if (onMainThread()) {
        arm(id);
    } else {
        // Timers belong to the thread that runs them.
        QMetaObject::invokeMethod(
            anchor_, [this, id] { arm(id); }, Qt::QueuedConnection);
    }
    return id;
}

void QtMainQueue::cancel(TaskId id) {
    {
        std::lock_guard lock(mutex_);
        pending_.erase(id);
    }
    // From another thread the timer stays armed and finds nothing to run when it fires.
    if (!onMainThread()) return;
    auto timer = timers_.find(id);
    if (timer == timers_.end()) return;
    delete timer->second.data();
    timers_.erase(timer);
}

void QtMainQueue::run(TaskId id) {
    Task task;
    {
        std::lock_guard lock(mutex_);
        auto pending = pending_.find(id);
        if (pending == pending_.end()) return;
        task = std::move(pending->second.task);
        pending_.erase(pending);
    }
    if (task) task();
}

void QtMainQueue::arm(TaskId id) {
    std::chrono::nanoseconds remaining;
    {
        std::lock_guard lock(mutex_);
        auto pending = pending_.find(id);
        if (pending == pending_.end()) return;
        remaining = pending->second.due - std::chrono::steady_clock::now();
    }
    auto* timer = new QTimer(anchor_);
    timer->setSingleShot(true);
    timer->setTimerType(remaining < kPreciseBelow ? Qt::PreciseTimer : Qt::CoarseTimer);
    timer->setInterval(timerInterval(remaining));
    QObject::connect(timer, &QTimer::timeout, anchor_, [this, id] { timerFired(id); });
    timers_[id] = timer;
    timer->start();
}

void QtMainQueue::timerFired(TaskId id) {
    auto timer = timers_.find(id);
    QTimer* firing = timer != timers_.end() ? timer->second.data() : nullptr;
    Task task;
    {
        std::unique_lock lock(mutex_);
        auto pending = pending_.find(id);
        if (pending != pending_.end()) {
            const auto remaining = pending->second.due - std::chrono::steady_clock::now();
            if (remaining > std::chrono::nanoseconds::zero() && firing) {
                // Early (a coarse timer, or millisecond rounding): never run before the delay.
                lock.unlock();
                firing->setTimerType(Qt::PreciseTimer);
                firing->setInterval(
                    std::max(timerInterval(remaining), std::chrono::milliseconds(1)));
                firing->start();
                return;
            }
            task = std::move(pending->second.task);
            pending_.erase(pending);
        }
    }
    if (timer != timers_.end()) {
        timers_.erase(timer);
        // The timer is still emitting its timeout.
        if (firing) firing->deleteLater();
    }
    if (task) task();
}

std::unique_ptr<MainQueue> makeMainQueue() {
    return std::make_unique<QtMainQueue>();
}

}  // namespace tavrel::platform
