#pragma once

// The main queue of a GLib program (the file manager hosting the extension, the command-line
// front end): work runs in the thread-default main context of the thread that made the queue,
// at default priority, so it comes after the bus signals already waiting in that context.

#include <mutex>
#include <set>

#include <glib.h>

#include "platform/main_queue.h"

namespace tavrel {

class GLibMainQueue final : public platform::MainQueue {
public:
    GLibMainQueue();
    // Work not yet run is dropped.
    ~GLibMainQueue() override;
    GLibMainQueue(const GLibMainQueue&) = delete;
    GLibMainQueue& operator=(const GLibMainQueue&) = delete;

    TaskId async(Task task) override;
    TaskId asyncAfter(std::chrono::nanoseconds delay, Task task) override;
    void cancel(TaskId id) override;

private:
    struct Pending;
    TaskId attach(GSource* source, Task task);
    static gboolean run(gpointer data);

    GMainContext* context_;
    std::mutex mutex_;
    std::set<TaskId> pending_;
};

}  // namespace tavrel
