// The settings application end to end on a private session bus: the real program as a process,
// the taskbar stand-in and the notification monitor as processes, and the first instance in
// this process (offscreen) where the test can look at its window.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QToolButton>

#include <gtest/gtest.h>

#include "apps/settings/settings_application.h"
#include "core/notifications/notification_names.h"
#include "core/settings_transfer/settings_export.h"
#include "platform/single_instance.h"
#include "tests/platform_qt/bus_flood.h"
#include "tests/settings_app/bus_processes.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "tests/settings_app/settings_instance_fixture.h"
#include "ui/form/form_renderer.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

using test::BusMonitor;
using Json = nlohmann::json;

std::filesystem::path settingsFile() {
    return std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Tavrel" / "settings.json";
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A first instance in this process, holding the single-instance lock like the program does.
class RunningInstance : public test::SettingsInstanceTest {
protected:
    // A marker from this process: everything this process posted before it is ahead of it.
    // Gives what was seen up to the marker, without the permission queries (the window asks
    // whenever it is built or activated) and the stand-in's own announcements.
    std::vector<Json> postedUntilMarker(const std::string& marker) {
        EXPECT_TRUE(application->notifications().post(Notification{marker, std::nullopt, {}}).ok());
        auto seen = monitor->until(marker);
        EXPECT_TRUE(seen.has_value()) << marker;
        std::vector<Json> settingsMessages;
        for (Json& message : seen.value_or(std::vector<Json>{})) {
            const std::string name = message.value("name", "");
            if (name == TavrelDistributedNotification::permissionQuery ||
                name == TavrelDistributedNotification::mainAppSettingsChanged) {
                continue;
            }
            settingsMessages.push_back(std::move(message));
        }
        return settingsMessages;
    }

    void commitField(const char* title, const char* text) {
        QWidget* row = findFormRow(panel().pageFormView(), QString::fromUtf8(title));
        ASSERT_TRUE(row) << title;
        auto* slider = row->findChild<SliderRowControl*>();
        slider->field()->setText(QString::fromUtf8(text));
        emit slider->field()->editingFinished();
    }
};

struct SecondStartCase {
    const char* name;
    std::vector<std::string> arguments;
    Json userInfo;
    FeaturePage shown;
};

void PrintTo(const SecondStartCase& c, std::ostream* out) {
    *out << c.name;
}

class SecondStartTest : public RunningInstance,
                        public ::testing::WithParamInterface<SecondStartCase> {};

TEST_P(SecondStartTest, HandsItsPageToTheRunningInstanceAndExitsWithoutAWindow) {
    const SecondStartCase& c = GetParam();
    // No display at all: a second start that tried to open a window could not.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    const auto second = test::runProgram(test::settingsProgramPath(), c.arguments, environment);
    EXPECT_EQ(second.exitCode, 0) << second.standardError;
    EXPECT_EQ(second.standardOutput, "");
    EXPECT_EQ(second.standardError, "");

    const auto seen = monitor->until(std::string(TavrelDistributedNotification::settingsReopen));
    ASSERT_TRUE(seen);
    EXPECT_EQ(seen->back()["object"], nullptr);
    EXPECT_EQ(seen->back()["userInfo"], c.userInfo);

    EXPECT_TRUE(test::runUntil([&] { return panel().selectedFeaturePage() == c.shown; }));
    EXPECT_TRUE(panel().isWindowVisible());
    EXPECT_TRUE(panel().featureButton(c.shown)->isSelectedPage());
}

INSTANTIATE_TEST_SUITE_P(Cases, SecondStartTest,
                         ::testing::Values(SecondStartCase{"Switcher",
                                                           {"--switcher"},
                                                           Json{{"page", "switcher"}},
                                                           FeaturePage::switcher},
                                           SecondStartCase{"StartMenuWins",
                                                           {"--switcher", "--start-menu"},
                                                           Json{{"page", "startMenu"}},
                                                           FeaturePage::startMenu},
                                           SecondStartCase{
                                               "NoPage", {}, Json::object(), FeaturePage::taskbar}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(RunningInstance, EditPathPostsExactlyWhenTheFileChanged) {
    const std::string changed(TavrelDistributedNotification::settingsChanged);

    // Same stored values: nothing written, nothing posted.
    const std::string before = fileBytes(settingsFile());
    panel().notifyChange();
    EXPECT_EQ(BusMonitor::names(postedUntilMarker("test.same")),
              std::vector<std::string>{"test.same"});
    EXPECT_EQ(fileBytes(settingsFile()), before);

    // A real edit through the window: saved and announced once.
    commitField("任务栏厚度", "44");
    const auto edit = postedUntilMarker("test.edit");
    EXPECT_EQ(BusMonitor::names(edit), (std::vector<std::string>{changed, "test.edit"}));
    EXPECT_EQ(edit.front()["userInfo"], Json({{"reason", "settings-helper-change"}}));
    EXPECT_NE(fileBytes(settingsFile()), before);

    // The stand-in rewrites the file; an edit made before its announcement arrives is dropped,
    // the window shows the file's values and nothing is posted.
    ASSERT_EQ(test::runProgramBlocking(test::programPath("tavrel-taskbar-sim"),
                                       {"set", "taskbarEnabled", "false"})
                  .exitCode,
              0);
    const std::string external = fileBytes(settingsFile());
    ASSERT_TRUE(panel().settings().taskbarEnabled);
    panel().settings().launchAtLogin = !panel().settings().launchAtLogin;
    panel().notifyChange();
    EXPECT_FALSE(panel().settings().taskbarEnabled);  // resynchronised from the file
    EXPECT_EQ(fileBytes(settingsFile()), external);
    EXPECT_EQ(BusMonitor::names(postedUntilMarker("test.external")),
              std::vector<std::string>{"test.external"});
    auto* taskbarSwitch = panel().featureButton(FeaturePage::taskbar)->featureSwitch();
    EXPECT_FALSE(taskbarSwitch->isChecked());
}

TEST_F(RunningInstance, MenuItemsAreTheWindowsAndTheBarFollowsItsFirstFrame) {
    QWidget* window = panel().window();
    QStringList items;
    for (QAction* action : window->actions()) {
        items << action->text() + " " + action->shortcut().toString();
    }
    EXPECT_EQ(items, (QStringList{"撤销 Ctrl+Z", "重做 Ctrl+Shift+Z", "剪切 Ctrl+X", "复制 Ctrl+C",
                                  "粘贴 Ctrl+V", "全选 Ctrl+A", "退出 Tavrel 设置 Ctrl+Q"}));

    // Made once the window has been drawn, with the same items in its two menus.
    QMenuBar* bar = nullptr;
    ASSERT_TRUE(test::runUntil([&] { return (bar = window->findChild<QMenuBar*>()) != nullptr; }));
    const QList<QAction*> menus = bar->actions();
    ASSERT_EQ(menus.size(), 3);
    EXPECT_EQ(menus[0]->menu()->actions(), QList<QAction*>{window->actions().back()});
    const auto titlesOf = [](QMenu* menu) {
        QStringList titles;
        for (QAction* action : menu->actions()) {
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
        }
        return titles;
    };
    EXPECT_EQ(menus[1]->text(), "文件");
    EXPECT_EQ(titlesOf(menus[1]->menu()), (QStringList{"导出设置…", "导入设置…", "恢复备份"}));
    // The same menu behind the sidebar's button, for desktops without a menu bar.
    ASSERT_NE(panel().windowMenuButton(), nullptr);
    EXPECT_EQ(panel().windowMenu(), menus[1]->menu());
    EXPECT_EQ(panel().windowMenuButton()->accessibleName(), "更多");
    EXPECT_EQ(menus[2]->text(), "编辑");
    EXPECT_EQ(titlesOf(menus[2]->menu()),
              (QStringList{"撤销", "重做", "-", "剪切", "复制", "粘贴", "全选"}));
    // No global menu here: the bar stays out of the window, the items work by their keys.
    EXPECT_FALSE(bar->isVisible());
}

TEST_F(RunningInstance, AnImportFromTheMenuIsShownAndAnnouncedOnce) {
    // An export of other settings, made by the same code as the menu's "导出设置…".
    const std::filesystem::path other =
        std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "other" / "Tavrel";
    TaskbarSettings exported;
    exported.theme = TaskbarTheme::windows;
    exported.windowsProfile.taskbarHeight = 61;
    SettingsEnvironment environment;
    environment.directory = other;
    ASSERT_TRUE(exported.save(environment).ok());
    const std::filesystem::path file = other.parent_path() / "export.json";
    {
        const auto bytes = readSettingsExport({other}, "2.8.0", std::chrono::system_clock::now())
                               .envelope.encode();
        ASSERT_TRUE(bytes.ok());
        std::ofstream(file, std::ios::binary) << *bytes;
    }
    ASSERT_NE(panel().settings().theme, TaskbarTheme::windows);

    dialogs->answerOpenFile(file);
    dialogs->answer("导入");
    // The menu comes after the window's first frame.
    ASSERT_TRUE(test::runUntil([&] { return panel().windowMenu() != nullptr; }));
    QAction* import = nullptr;
    for (QAction* action : panel().windowMenu()->actions()) {
        if (action->text() == "导入设置…") import = action;
    }
    ASSERT_NE(import, nullptr);
    import->trigger();
    ASSERT_TRUE(test::runUntil([&] { return panel().settings().theme == TaskbarTheme::windows; }));
    EXPECT_TRUE(dialogs->allAnswersUsed());
    EXPECT_EQ(panel().settings().windowsProfile.taskbarHeight, 61);
    EXPECT_EQ(fileBytes(settingsFile()), fileBytes(other / "settings.json"));
    const auto seen = postedUntilMarker("test.import");
    EXPECT_EQ(BusMonitor::names(seen),
              (std::vector<std::string>{std::string(TavrelDistributedNotification::settingsChanged),
                                        "test.import"}));
    EXPECT_EQ(seen.front()["userInfo"], Json({{"reason", "settings-helper-change"}}));

    // An edit right after is saved over the imported file as any edit (no stale signature).
    commitField("任务栏厚度", "44");
    EXPECT_EQ(BusMonitor::names(postedUntilMarker("test.edit")),
              (std::vector<std::string>{std::string(TavrelDistributedNotification::settingsChanged),
                                        "test.edit"}));
}

TEST_F(RunningInstance, CloseIsAnnouncedOnceAndLaterEditsAreNotSaved) {
    const std::string before = fileBytes(settingsFile());
    SettingsPanelController* closing = application->panel();
    closing->performClose();
    // Still inside the close: an edit arriving now is not saved.
    closing->settings().taskbarEnabled = !closing->settings().taskbarEnabled;
    closing->notifyChange();
    closing->performClose();
    test::settle();
    EXPECT_EQ(application->panel(), nullptr);
    const auto seen = postedUntilMarker("test.closed");
    EXPECT_EQ(BusMonitor::names(seen),
              (std::vector<std::string>{
                  std::string(TavrelDistributedNotification::settingsWillClose), "test.closed"}));
    EXPECT_EQ(seen.front()["userInfo"], Json({{"reason", "settings-window-will-close"}}));
    EXPECT_EQ(fileBytes(settingsFile()), before);
}

TEST_F(RunningInstance, AccessibilityBannerFollowsTheStandInsAnswers) {
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QString::fromStdString(test::programPath("tavrel-taskbar-sim")),
              {"--accessibility=false"});
    ASSERT_TRUE(sim.waitForStarted(10000));
    const auto bannerShown = [&] {
        const auto banners = panel().accessibilityPermissionBanners();
        return !banners.empty() && banners.front()->isVisible();
    };
    // Ask until the stand-in is listening and has answered.
    bool shown = false;
    for (int attempt = 0; attempt < 50 && !shown; ++attempt) {
        panel().refreshAccessibilityPermissionBanner();
        shown = test::runUntil(bannerShown, std::chrono::milliseconds(200));
    }
    ASSERT_TRUE(shown);

    // Granted meanwhile; coming back to the application asks again and hides the banner.
    sim.write("grants true true\n");
    ASSERT_TRUE(sim.waitForBytesWritten(3000));
    bool hidden = false;
    for (int attempt = 0; attempt < 50 && !hidden; ++attempt) {
        emit qGuiApp->applicationStateChanged(Qt::ApplicationActive);
        hidden = test::runUntil([&] { return !bannerShown(); }, std::chrono::milliseconds(200));
    }
    EXPECT_TRUE(hidden);
    sim.write("quit\n");
    sim.waitForFinished(3000);
}

// The program on its own.
class SettingsProgram : public ::testing::Test {
protected:
    void SetUp() override { test::widgetApplication(); }
};

TEST_F(SettingsProgram, RunsAsFirstInstanceHandsOverAndClosesOnRequest) {
    BusMonitor monitor;
    ASSERT_TRUE(monitor.awaitListening());
    QProcess first;
    first.setProcessChannelMode(QProcess::ForwardedChannels);
    first.start(QString::fromStdString(test::settingsProgramPath()), {});
    ASSERT_TRUE(first.waitForStarted(10000));
    // Ready once it answers: its first permission query goes out when the window is built.
    ASSERT_TRUE(monitor.until(std::string(TavrelDistributedNotification::permissionQuery)));

    EXPECT_EQ(test::runProgram(test::settingsProgramPath(), {"--switcher"}).exitCode, 0);
    ASSERT_TRUE(monitor.until(std::string(TavrelDistributedNotification::settingsReopen)));
    EXPECT_EQ(first.state(), QProcess::Running);

    EXPECT_EQ(test::runProgram(test::programPath("tavrel-taskbar-sim"), {"close"}).exitCode, 0);
    const auto seen = monitor.until(std::string(TavrelDistributedNotification::settingsWillClose));
    ASSERT_TRUE(seen);
    EXPECT_TRUE(test::runUntil([&] { return first.state() == QProcess::NotRunning; }));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(first.exitCode(), 0);
}

// Another program on the bus sends one very large signal, or a backlog of valid notifications
// the window asked to act on: the program works them off and still hears the close after them.
TEST_F(SettingsProgram, HearsTheCloseAfterALargeSignalAndAfterABacklog) {
    const std::string folders(nativeDockFoldersChangedNotification);
    const struct {
        const char* name;
        std::function<bool(pid_t)> flood;
    } cases[] = {
        {"one large signal",
         [&](pid_t) {
             return testing::sendLargeSignal([&](const QString& text) {
                 return testing::notificationSignal({QString::fromStdString(folders), text});
             });
         }},
        {"a backlog of valid notifications",
         [&](pid_t pid) {
             return testing::sendBacklogTo(pid, [&](const QString& text) {
                 return testing::notificationSignal({QString::fromStdString(folders), false,
                                                     QString(),
                                                     QVariantMap{{QStringLiteral("blob"), text}}});
             });
         }},
    };
    for (const auto& c : cases) {
        BusMonitor monitor;
        ASSERT_TRUE(monitor.awaitListening()) << c.name;
        QProcess first;
        first.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        first.start(QString::fromStdString(test::settingsProgramPath()), {});
        ASSERT_TRUE(first.waitForStarted(10000)) << c.name;
        // Ready once it answers: its first permission query goes out when the window is built.
        ASSERT_TRUE(monitor.until(std::string(TavrelDistributedNotification::permissionQuery)))
            << c.name;

        ASSERT_TRUE(c.flood(static_cast<pid_t>(first.processId()))) << c.name;
        EXPECT_EQ(test::runProgram(test::programPath("tavrel-taskbar-sim"), {"close"}).exitCode, 0);
        EXPECT_TRUE(monitor.until(std::string(TavrelDistributedNotification::settingsWillClose)))
            << c.name;
        EXPECT_TRUE(test::runUntil([&] { return first.state() == QProcess::NotRunning; },
                                   std::chrono::seconds(60)))
            << c.name;
        EXPECT_EQ(first.exitStatus(), QProcess::NormalExit) << c.name;
        EXPECT_EQ(first.exitCode(), 0) << c.name;
        if (first.state() != QProcess::NotRunning) {
            first.kill();
            first.waitForFinished();
        }
    }
}

TEST_F(SettingsProgram, ExplainsItselfAndFailsClearlyWithoutDisplayOrBus) {
    const auto help = test::runProgram(test::settingsProgramPath(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.standardOutput.find("--switcher"), std::string::npos);

    QProcessEnvironment noDisplay = QProcessEnvironment::systemEnvironment();
    noDisplay.remove("DISPLAY");
    noDisplay.remove("WAYLAND_DISPLAY");
    noDisplay.remove("QT_QPA_PLATFORM");
    const auto withoutDisplay = test::runProgram(test::settingsProgramPath(), {}, noDisplay);
    EXPECT_EQ(withoutDisplay.exitCode, 1);
    EXPECT_NE(withoutDisplay.standardError.find("no display"), std::string::npos)
        << withoutDisplay.standardError;

    QProcessEnvironment noBus = QProcessEnvironment::systemEnvironment();
    noBus.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tavrel-test-bus");
    const auto withoutBus = test::runProgram(test::settingsProgramPath(), {}, noBus);
    EXPECT_EQ(withoutBus.exitCode, 1);
    EXPECT_NE(withoutBus.standardError.find("session bus"), std::string::npos)
        << withoutBus.standardError;
}

}  // namespace
}  // namespace tavrel
