#pragma once

// A first instance of the settings application in the test process, holding the
// single-instance lock like the program does, with scripted dialogs and a notification monitor
// on the private bus. End-to-end tests derive from it and add what they start beside it.

#include <memory>
#include <optional>
#include <string_view>

#include <gtest/gtest.h>

#include "apps/settings/settings_application.h"
#include "platform/single_instance.h"
#include "tests/settings_app/bus_processes.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel::test {

class NoPrivacySettings final : public PrivacySettingsOpener {
public:
    void open(std::string_view) override {}
};

class SettingsInstanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        widgetApplication();
        auto acquired = platform::SingleInstanceLock::acquire(settingsSingleInstanceName);
        ASSERT_TRUE(acquired.ok());
        ASSERT_TRUE(acquired->has_value());
        lock.emplace(std::move(**acquired));

        monitor.emplace();
        ASSERT_TRUE(monitor->awaitListening());
        startBesideTheApplication();
        if (::testing::Test::HasFatalFailure()) return;

        SettingsApplication::Options options;
        options.privacy = std::make_unique<NoPrivacySettings>();
        auto scripted = std::make_unique<ScriptedSettingsDialogs>();
        dialogs = scripted.get();
        options.dialogs = std::move(scripted);
        configure(options);
        auto made = SettingsApplication::make(std::move(options));
        ASSERT_TRUE(made.ok()) << made.error().message;
        application = std::move(made).value();
        application->start();
        settle();
        ASSERT_NE(application->panel(), nullptr);
    }

    // What a test needs running before the application starts (after the monitor listens).
    virtual void startBesideTheApplication() {}
    // Options beyond the scripted dialogs and the silent privacy opener.
    virtual void configure(SettingsApplication::Options&) {}

    SettingsPanelController& panel() { return *application->panel(); }

    std::optional<platform::SingleInstanceLock> lock;
    std::optional<BusMonitor> monitor;
    ScriptedSettingsDialogs* dialogs = nullptr;
    std::unique_ptr<SettingsApplication> application;
};

}  // namespace tavrel::test
