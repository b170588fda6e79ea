#include "platform/linux/gdbus/gdbus_notification_center.h"

#include <algorithm>
#include <utility>

#include "platform/linux/gdbus/gdbus_wire.h"

namespace tavrel::platform {

namespace {

constexpr int kRoundTripTimeoutMs = 5000;

// Only plain printable ASCII goes into a match rule; other names are matched here instead.
bool isPlainMatchText(const std::string& text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c >= 0x20 && c <= 0x7E && c != '\'' && c != '\\'; });
}

Error glibError(const std::string& what, GError* error) {
    Error result{what + ": " + (error && error->message ? error->message : "unknown error")};
    if (error) g_error_free(error);
    return result;
}

}  // namespace

// Lives until GDBus lets go of the subscription; `center` is cleared first, so a signal still
// queued for it is dropped.
struct GDBusNotificationCenter::Subscription {
    GDBusNotificationCenter* center = nullptr;
    std::optional<std::string> name;
    guint id = 0;
    std::vector<ObserverId> observers;
};

GDBusNotificationCenter::GDBusNotificationCenter(GDBusConnection* connection)
    : connection_(G_DBUS_CONNECTION(g_object_ref(connection))) {}

GDBusNotificationCenter::~GDBusNotificationCenter() {
    while (!subscriptions_.empty()) unsubscribe(subscriptions_.begin()->first);
    (void)flush();
    g_object_unref(connection_);
}

Status GDBusNotificationCenter::post(const Notification& notification) {
    auto parameters = gdbus_wire::toParameters(notification);
    if (!parameters) return parameters.error();
    GError* error = nullptr;
    if (!g_dbus_connection_emit_signal(connection_, nullptr, gdbus_wire::kPath,
                                       gdbus_wire::kInterface, gdbus_wire::kMember, *parameters,
                                       &error)) {
        return glibError("cannot send notification \"" + notification.name + "\"", error);
    }
    return Status::success();
}

Status GDBusNotificationCenter::flush() {
    GError* error = nullptr;
    if (!g_dbus_connection_flush_sync(connection_, nullptr, &error)) {
        return glibError("cannot flush the session bus connection", error);
    }
    return synchronize();
}

Status GDBusNotificationCenter::synchronize() {
    // The daemon handles one connection's messages in order, so its answer to a call sent after
    // the posts and match rules means they have all been handled.
    GError* error = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        connection_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer",
        "Ping", nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, kRoundTripTimeoutMs, nullptr, &error);
    if (!reply) return glibError("the session bus did not answer", error);
    g_variant_unref(reply);
    return Status::success();
}

NotificationCenter::ObserverId GDBusNotificationCenter::observe(std::optional<std::string> name,
                                                                Handler handler) {
    const ObserverId id = nextId_++;
    Subscription*& subscription = subscriptions_[name];
    if (!subscription) {
        subscription = new Subscription{this, name, 0, {}};
        const char* argument0 = name && isPlainMatchText(*name) ? name->c_str() : nullptr;
        subscription->id = g_dbus_connection_signal_subscribe(
            connection_, nullptr, gdbus_wire::kInterface, gdbus_wire::kMember, gdbus_wire::kPath,
            argument0, G_DBUS_SIGNAL_FLAGS_NONE, &GDBusNotificationCenter::receive, subscription,
            [](gpointer data) { delete static_cast<Subscription*>(data); });
    }
    subscription->observers.push_back(id);
    observers_.emplace(id,
                       Observer{std::move(name), std::make_shared<Handler>(std::move(handler))});
    return id;
}

void GDBusNotificationCenter::removeObserver(ObserverId id) {
    auto observer = observers_.find(id);
    if (observer == observers_.end()) return;
    const std::optional<std::string> name = observer->second.name;
    observers_.erase(observer);
    auto subscription = subscriptions_.find(name);
    if (subscription == subscriptions_.end()) return;
    std::erase(subscription->second->observers, id);
    // While handlers run, an emptied subscription stays until the dispatch ends.
    if (subscription->second->observers.empty() && dispatchDepth_ == 0) unsubscribe(name);
}

void GDBusNotificationCenter::unsubscribe(const std::optional<std::string>& name) {
    auto subscription = subscriptions_.find(name);
    if (subscription == subscriptions_.end()) return;
    Subscription* state = subscription->second;
    subscriptions_.erase(subscription);
    state->center = nullptr;
    // GDBus frees `state` through the destroy notify once nothing refers to it any more.
    g_dbus_connection_signal_unsubscribe(connection_, state->id);
}

void GDBusNotificationCenter::receive(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                      const gchar*, GVariant* parameters, gpointer data) {
    auto* subscription = static_cast<Subscription*>(data);
    GDBusNotificationCenter* center = subscription->center;
    if (!center) return;
    auto notification = gdbus_wire::fromParameters(parameters);
    // A foreign or malformed signal is dropped whole; a name subscription also sees other
    // names when the bus could not filter them.
    if (!notification) return;
    if (subscription->name && notification->name != *subscription->name) return;
    center->dispatch(subscription->name, *notification);
}

void GDBusNotificationCenter::dispatch(const std::optional<std::string>& name,
                                       const Notification& notification) {
    auto subscription = subscriptions_.find(name);
    if (subscription == subscriptions_.end()) return;
    // Handlers may add or remove observers: walk a copy, and skip those removed meanwhile.
    const std::vector<ObserverId> ids = subscription->second->observers;
    ++dispatchDepth_;
    for (ObserverId id : ids) {
        auto observer = observers_.find(id);
        if (observer == observers_.end()) continue;
        const std::shared_ptr<Handler> handler = observer->second.handler;
        (*handler)(notification);
    }
    if (--dispatchDepth_ > 0) return;
    std::vector<std::optional<std::string>> emptied;
    for (const auto& [key, state] : subscriptions_) {
        if (state->observers.empty()) emptied.push_back(key);
    }
    for (const auto& key : emptied) unsubscribe(key);
}

Result<std::unique_ptr<GDBusNotificationCenter>> makeGDBusNotificationCenter() {
    GError* error = nullptr;
    GDBusConnection* connection = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (!connection) return glibError("no D-Bus session bus", error);
    auto center = std::make_unique<GDBusNotificationCenter>(connection);
    g_object_unref(connection);
    return center;
}

}  // namespace tavrel::platform
