#pragma once

// The Qt application as the Dock sees it. Termination requests from outside (SIGTERM, SIGINT,
// SIGHUP) arrive through a self-pipe on the main loop and quit like any other terminate().

#include <functional>
#include <memory>

#include <QObject>
#include <QSocketNotifier>

#include "platform/dock_tile.h"
#include "platform/linux/dock_tile/x11_activation_watcher.h"

namespace tavrel::platform {

class QtDockApplication final : public QObject, public DockApplication {
public:
    QtDockApplication();
    ~QtDockApplication() override;

    std::vector<std::string> arguments() const override;
    void terminate() override;
    bool isTerminating() const override { return terminating_; }
    void setWillTerminateHandler(std::function<void()> handler) override;
    // A tray icon never takes the keyboard focus, so there is nothing to give back.
    void deactivate() override {}
    // Reported on X11 (see X11ActivationWatcher); elsewhere never.
    void setApplicationActivatedHandler(std::function<void()> handler) override;
    DockPoint mouseLocation() const override;
    // Not known on this platform: X11 keeps no history of button releases a process started
    // after the click could read.
    std::optional<double> secondsSinceLastMouseUp() const override { return std::nullopt; }
    // File managers here keep no per-directory icon a program can set reliably.
    Status setBundleIcon(const std::filesystem::path& bundle, const DockTileImage& image) override;

private:
    bool terminating_ = false;
    std::function<void()> willTerminate_;
    std::unique_ptr<X11ActivationWatcher> activationWatcher_;
    std::unique_ptr<QSocketNotifier> signalNotifier_;
};

}  // namespace tavrel::platform
