#include "platform/linux/dock_tile/x11_activation_watcher.h"

#include <cstdlib>
#include <cstring>
#include <utility>

#include <xcb/xcb.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

namespace tavrel::platform {

struct X11ActivationWatcher::Connection {
    xcb_connection_t* xcb = nullptr;
    xcb_window_t root = 0;
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t windowPid = XCB_ATOM_NONE;
};

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const auto cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (!reply) return XCB_ATOM_NONE;
    const xcb_atom_t value = reply->atom;
    std::free(reply);
    return value;
}

// A 32-bit property holding one value (a window or a CARDINAL), or nothing.
std::optional<std::uint32_t> property32(xcb_connection_t* connection, xcb_window_t window,
                                        xcb_atom_t property, xcb_atom_t type) {
    const auto cookie = xcb_get_property(connection, 0, window, property, type, 0, 1);
    xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
    if (!reply) return std::nullopt;
    std::optional<std::uint32_t> value;
    if (reply->format == 32 && xcb_get_property_value_length(reply) >= 4) {
        value = *static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
    }
    std::free(reply);
    return value;
}

}  // namespace

std::unique_ptr<X11ActivationWatcher> X11ActivationWatcher::create(
    std::function<void()> activated) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection()) return nullptr;
    auto connection = std::make_unique<Connection>();
    connection->xcb = x11->connection();
    const xcb_setup_t* setup = xcb_get_setup(connection->xcb);
    const xcb_screen_iterator_t screen = xcb_setup_roots_iterator(setup);
    if (!screen.rem) return nullptr;
    connection->root = screen.data->root;
    connection->activeWindow = atom(connection->xcb, "_NET_ACTIVE_WINDOW");
    connection->windowPid = atom(connection->xcb, "_NET_WM_PID");
    if (connection->activeWindow == XCB_ATOM_NONE) return nullptr;

    // Property changes of the root window, keeping whatever else this client already selects
    // there (Qt watches it for screens and the tray manager).
    const auto attributesCookie = xcb_get_window_attributes(connection->xcb, connection->root);
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(connection->xcb, attributesCookie, nullptr);
    std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    if (attributes) {
        mask |= attributes->your_event_mask;
        std::free(attributes);
    }
    xcb_change_window_attributes(connection->xcb, connection->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection->xcb);

    std::unique_ptr<X11ActivationWatcher> watcher(
        new X11ActivationWatcher(std::move(connection), std::move(activated)));
    // What is active now is no activation. Its reply also means the server has applied the
    // selection above, so every change from here on is reported.
    watcher->lastWindow_ = property32(watcher->connection_->xcb, watcher->connection_->root,
                                      watcher->connection_->activeWindow, XCB_ATOM_WINDOW);
    QCoreApplication::instance()->installNativeEventFilter(watcher.get());
    return watcher;
}

X11ActivationWatcher::X11ActivationWatcher(std::unique_ptr<Connection> connection,
                                           std::function<void()> activated)
    : connection_(std::move(connection)), activated_(std::move(activated)) {}

X11ActivationWatcher::~X11ActivationWatcher() {
    if (QCoreApplication::instance()) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool X11ActivationWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !message) return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_PROPERTY_NOTIFY) return false;
    const auto* change = static_cast<const xcb_property_notify_event_t*>(message);
    if (change->window == connection_->root && change->atom == connection_->activeWindow) {
        activeWindowChanged();
    }
    return false;  // Qt handles the event as before
}

void X11ActivationWatcher::activeWindowChanged() {
    const auto window =
        property32(connection_->xcb, connection_->root, connection_->activeWindow, XCB_ATOM_WINDOW);
    if (!window || *window == 0 || window == lastWindow_) return;
    lastWindow_ = window;
    std::optional<std::uint32_t> pid;
    if (connection_->windowPid != XCB_ATOM_NONE) {
        pid = property32(connection_->xcb, *window, connection_->windowPid, XCB_ATOM_CARDINAL);
    }
    // Another window of the application already active is no activation.
    if (pid && pid == lastPid_) return;
    lastPid_ = pid;
    if (activated_) activated_();
}

}  // namespace tavrel::platform
