#pragma once

// Where the blocking native Dock work runs: off the main thread, one item at a time.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace tavrel {

class BackgroundWorkQueue {
public:
    using Work = std::function<void()>;
    virtual ~BackgroundWorkQueue() = default;
    // Runs `work` later on another thread. May be called from any thread.
    virtual void submit(Work work) = 0;
};

// One worker thread, items in submission order. The destructor lets the queued items finish
// and joins the thread, so whatever the items use must outlive the queue.
class SerialBackgroundWorkQueue final : public BackgroundWorkQueue {
public:
    SerialBackgroundWorkQueue();
    ~SerialBackgroundWorkQueue() override;
    SerialBackgroundWorkQueue(const SerialBackgroundWorkQueue&) = delete;
    SerialBackgroundWorkQueue& operator=(const SerialBackgroundWorkQueue&) = delete;

    void submit(Work work) override;

private:
    void runLoop();

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Work> items_;
    bool stopping_ = false;
    std::thread worker_;
};

}  // namespace tavrel
