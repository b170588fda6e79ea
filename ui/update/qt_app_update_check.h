#pragma once

// The settings application's update check: one checker for the process over the QtNetwork
// transport, each check answering with message boxes on the window that was the settings window
// when "检查更新" was pressed (held weakly: gone or hidden by then, the alert is
// application-modal).

#include <functional>
#include <memory>
#include <string>

#include <QWidget>

#include "core/settings_pages/page_services.h"
#include "core/update/manual_app_update_checker.h"
#include "platform/workspace.h"
#include "ui/update/qt_update_transport.h"

namespace tavrel {

class QtAppUpdateCheck final : public AppUpdateCheck {
public:
    struct Options {
        // The settings window, or nothing when there is none.
        std::function<QWidget*()> window;
        // The application's CFBundleShortVersionString, when it has one.
        std::optional<std::string> infoVersion;
        QtUpdateTransport::Options transport;
        ManualAppUpdateChecker::Addresses addresses = ManualAppUpdateChecker::builtInAddresses();
    };

    QtAppUpdateCheck(platform::Workspace& workspace, Options options);
    ~QtAppUpdateCheck() override;

    std::string currentVersion() const override { return checker_.currentVersion(); }
    void check() override;

    const ManualAppUpdateChecker& checker() const { return checker_; }

private:
    std::function<QWidget*()> window_;
    QtUpdateTransport transport_;
    ManualAppUpdateChecker checker_;
};

}  // namespace tavrel
