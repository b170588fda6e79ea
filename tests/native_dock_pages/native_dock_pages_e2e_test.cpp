// The "隐藏原生dock" sidebar toggle end to end on a private session bus: the settings application
// in this process (offscreen, clicked through its sidebar), the Dock commands run by the real
// stand-ins for "/usr/bin/defaults" and "/usr/bin/killall" on the test's private preference
// domains, and the notification monitor watching what the taskbar would hear.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <QTest>

#include <gtest/gtest.h>

#include "apps/settings/settings_application.h"
#include "core/notifications/notification_names.h"
#include "tests/settings_app/bus_processes.h"
#include "tests/settings_app/settings_instance_fixture.h"
#include "ui/form/settings_switch.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

nlohmann::json storedSettings() {
    const fs::path file = fs::path(std::getenv("XDG_DATA_HOME")) / "Tavrel/settings.json";
    std::ifstream in(file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return nlohmann::json::parse(bytes.str(), nullptr, /*allow_exceptions=*/false);
}

// "tavrel-defaults read com.apple.dock <key>": the value as the tool prints it, or nothing when
// the key is missing.
std::optional<std::string> dockPreference(const std::string& key) {
    const auto read =
        test::runProgram(test::programPath("tavrel-defaults"), {"read", "com.apple.dock", key});
    if (read.exitCode != 0) return std::nullopt;
    std::string value = read.standardOutput;
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

class HideNativeDockEndToEnd : public test::SettingsInstanceTest {
protected:
    SettingsSwitch& sidebarSwitch() {
        return *panel().featureButton(FeaturePage::hideNativeDock)->featureSwitch();
    }

    // Clicks the sidebar toggle, confirms with `answer`, and waits until the change is stored.
    void toggleAndConfirm(const std::string& answer, bool hidden) {
        dialogs->answer(answer);
        QTest::mouseClick(&sidebarSwitch(), Qt::LeftButton);
        ASSERT_TRUE(test::runUntil([&] { return panel().settings().hideNativeDock == hidden; },
                                   std::chrono::seconds(30)));
        test::settle();
    }

    // The settings commands on the bus up to a marker from this process.
    std::vector<std::string> settingsCommandsUntilMarker(const std::string& marker) {
        EXPECT_TRUE(application->notifications().post(Notification{marker, std::nullopt, {}}).ok());
        std::vector<std::string> commands;
        for (const auto& message : monitor->until(marker).value_or(std::vector<nlohmann::json>{})) {
            if (message.value("name", "") == TavrelDistributedNotification::settingsCommand) {
                commands.push_back(message["userInfo"].value("command", ""));
            }
        }
        return commands;
    }
};

TEST_F(HideNativeDockEndToEnd, SidebarToggleHidesAndRestoresTheDockThroughTheStandIns) {
    ASSERT_EQ(test::runProgram(test::programPath("tavrel-defaults"),
                               {"write", "com.apple.dock", "no-bouncing", "-bool", "false"})
                  .exitCode,
              0);
    EXPECT_FALSE(sidebarSwitch().isChecked());

    toggleAndConfirm("确认开启", true);

    EXPECT_EQ(dockPreference("autohide"), "1");
    EXPECT_EQ(dockPreference("autohide-delay"), "15");
    EXPECT_EQ(dockPreference("tilesize"), "15");
    EXPECT_EQ(dockPreference("orientation"), "bottom");
    EXPECT_EQ(dockPreference("magnification"), "0");
    EXPECT_EQ(dockPreference("no-bouncing"), "1");
    const nlohmann::json hidden = storedSettings();
    EXPECT_EQ(hidden.value("hideNativeDock", false), true);
    EXPECT_EQ(hidden.value("nativeDockEnhancementsEnabled", true), false);
    EXPECT_TRUE(sidebarSwitch().isChecked());
    EXPECT_EQ(
        settingsCommandsUntilMarker("test.hidden"),
        std::vector<std::string>{std::string(SettingsCommandName::nativeDockVisibilityChanged)});

    toggleAndConfirm("确认关闭", false);

    EXPECT_EQ(dockPreference("autohide"), "0");
    EXPECT_EQ(dockPreference("autohide-delay"), std::nullopt);
    EXPECT_EQ(dockPreference("tilesize"), std::nullopt);
    EXPECT_EQ(dockPreference("no-bouncing"), "0") << "the bounce setting as it was before hiding";
    // Restoring leaves the orientation and magnification the hide wrote.
    EXPECT_EQ(dockPreference("orientation"), "bottom");
    EXPECT_EQ(storedSettings().value("hideNativeDock", true), false);
    EXPECT_FALSE(sidebarSwitch().isChecked());
    EXPECT_EQ(
        settingsCommandsUntilMarker("test.restored"),
        std::vector<std::string>{std::string(SettingsCommandName::nativeDockVisibilityChanged)});
    EXPECT_TRUE(dialogs->allAnswersUsed());
    EXPECT_EQ(dialogs->asked.size(), 2u) << "two confirmations, no failure alert";
}

}  // namespace
}  // namespace tavrel
