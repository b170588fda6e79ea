#pragma once

// Reports that another application became active, on X11: the window manager names the active
// window in the root window's _NET_ACTIVE_WINDOW property (EWMH), and a change to a window of
// another process (by _NET_WM_PID) is an application activation. Elsewhere (Wayland, offscreen)
// there is no such report.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include <QAbstractNativeEventFilter>

namespace tavrel::platform {

class X11ActivationWatcher final : public QAbstractNativeEventFilter {
public:
    // Nothing when the application does not run on an X11 display. Changes are reported from
    // the moment this returns.
    static std::unique_ptr<X11ActivationWatcher> create(std::function<void()> activated);
    ~X11ActivationWatcher() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    struct Connection;
    X11ActivationWatcher(std::unique_ptr<Connection> connection, std::function<void()> activated);
    void activeWindowChanged();

    std::unique_ptr<Connection> connection_;
    std::function<void()> activated_;
    std::optional<std::uint32_t> lastWindow_;
    std::optional<std::uint32_t> lastPid_;
};

}  // namespace tavrel::platform
