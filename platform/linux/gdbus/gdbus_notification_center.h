#pragma once

// Distributed notifications over GLib's GDBus, for code that lives in a GLib program and must
// not load Qt (the Nautilus extension). Same bus signal and value rules as the Qt centre, so
// both meet on the session bus.
//
// Each observed name (and "every name") has one bus subscription; the observers of that name
// are called in the order they were added, in the thread-default main context of the thread
// that made the centre. Make, observe with and destroy the centre on that thread; `post` may
// be called from any thread.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gio/gio.h>

#include "platform/notifications.h"

namespace tavrel::platform {

class GDBusNotificationCenter final : public NotificationCenter {
public:
    // Takes a reference to `connection`.
    explicit GDBusNotificationCenter(GDBusConnection* connection);
    ~GDBusNotificationCenter() override;
    GDBusNotificationCenter(const GDBusNotificationCenter&) = delete;
    GDBusNotificationCenter& operator=(const GDBusNotificationCenter&) = delete;

    Status post(const Notification& notification) override;
    ObserverId observe(std::optional<std::string> name, Handler handler) override;
    void removeObserver(ObserverId id) override;

    // Returns once the bus daemon has routed everything posted so far, so that a process may
    // exit right after posting.
    Status flush();
    // A round trip to the bus daemon: afterwards every post and every observe made before it
    // has reached the daemon.
    Status synchronize();

    struct Subscription;

private:
    struct Observer {
        std::optional<std::string> name;
        std::shared_ptr<Handler> handler;
    };

    static void receive(GDBusConnection* connection, const gchar* sender, const gchar* path,
                        const gchar* interface, const gchar* member, GVariant* parameters,
                        gpointer data);
    void dispatch(const std::optional<std::string>& name, const Notification& notification);
    void unsubscribe(const std::optional<std::string>& name);

    GDBusConnection* connection_;
    std::map<ObserverId, Observer> observers_;
    std::map<std::optional<std::string>, Subscription*> subscriptions_;
    ObserverId nextId_ = 1;
    int dispatchDepth_ = 0;
};

// A centre on the session bus (GLib's shared connection); an error when there is none.
Result<std::unique_ptr<GDBusNotificationCenter>> makeGDBusNotificationCenter();

}  // namespace tavrel::platform
