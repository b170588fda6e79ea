#include "apps/new_file_extension/glib_main_queue.h"

#include <algorithm>
#include <utility>

namespace tavrel {

struct GLibMainQueue::Pending {
    GLibMainQueue* queue;
    Task task;
    TaskId id = 0;
};

GLibMainQueue::GLibMainQueue() : context_(g_main_context_ref_thread_default()) {}

GLibMainQueue::~GLibMainQueue() {
    std::set<TaskId> pending;
    {
        std::lock_guard lock(mutex_);
        pending.swap(pending_);
    }
    for (TaskId id : pending) {
        if (GSource* source = g_main_context_find_source_by_id(context_, static_cast<guint>(id))) {
            g_source_destroy(source);
        }
    }
    g_main_context_unref(context_);
}

platform::MainQueue::TaskId GLibMainQueue::async(Task task) {
    return attach(g_idle_source_new(), std::move(task));
}

platform::MainQueue::TaskId GLibMainQueue::asyncAfter(std::chrono::nanoseconds delay, Task task) {
    const auto milliseconds =
        std::chrono::ceil<std::chrono::milliseconds>(std::max(delay, std::chrono::nanoseconds(0)));
    return attach(g_timeout_source_new(static_cast<guint>(milliseconds.count())), std::move(task));
}

void GLibMainQueue::cancel(TaskId id) {
    {
        std::lock_guard lock(mutex_);
        if (pending_.erase(id) == 0) return;  // ran already, or never was
    }
    if (GSource* source = g_main_context_find_source_by_id(context_, static_cast<guint>(id))) {
        g_source_destroy(source);
    }
}

platform::MainQueue::TaskId GLibMainQueue::attach(GSource* source, Task task) {
    auto* pending = new Pending{this, std::move(task)};
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, &GLibMainQueue::run, pending,
                          [](gpointer data) { delete static_cast<Pending*>(data); });
    std::lock_guard lock(mutex_);
    pending->id = g_source_attach(source, context_);
    pending_.insert(pending->id);
    g_source_unref(source);
    return pending->id;
}

gboolean GLibMainQueue::run(gpointer data) {
    auto* pending = static_cast<Pending*>(data);
    {
        std::lock_guard lock(pending->queue->mutex_);
        pending->queue->pending_.erase(pending->id);
    }
    pending->task();
    return G_SOURCE_REMOVE;
}

}  // namespace tavrel
