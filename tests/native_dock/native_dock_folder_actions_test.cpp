// The folder actions of the "应用分组" tab over a scripted alert presenter.

#include "core/native_dock/native_dock_folder_actions.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/native_dock/native_dock_alerts.h"
#include "core/notifications/notification_names.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/files.h"
#include "tests/native_dock/native_dock_fakes.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

using platform::Uuid;

const Uuid kWork = *Uuid::parse("6F9619FF-8B86-D011-B42D-00C04FC964FF");
const Uuid kHome = *Uuid::parse("0B3C2A8E-1D2F-4E5A-9B6C-7D8E9F0A1B2C");

class NativeDockFolderActionsTest : public ::testing::Test {
protected:
    // What another process (the taskbar) writes.
    void otherWriterSaves(std::vector<SettingsNativeDockFolder> folders) {
        NativeDockFolderSettingsStore other(url);
        other.folders = std::move(folders);
        ASSERT_TRUE(other.save());
    }
    std::vector<SettingsNativeDockFolder> onDisk() const {
        NativeDockFolderSettingsStore reader(url);
        reader.reload();
        return reader.folders;
    }
    std::size_t changeNotifications() const {
        std::size_t count = 0;
        for (const auto& notification : notifications.posted()) {
            EXPECT_EQ(notification.name, nativeDockFoldersChangedNotification);
            EXPECT_FALSE(notification.object.has_value());
            EXPECT_TRUE(notification.userInfo.empty());
            ++count;
        }
        return count;
    }

    TemporaryDirectory directory;
    std::filesystem::path url = directory / "Tavrel/native-dock-folders.json";
    NativeDockFolderSettingsStore store{url};
    ScriptedModalAlertPresenter alerts;
    platform::ManualMainQueue mainQueue;
    platform::FakeNotificationCenter notifications{mainQueue};
    int rebuilds = 0;
    NativeDockFolderActions actions{store, alerts, notifications, [this] { ++rebuilds; }};

    const SettingsNativeDockFolder work{
        kWork, "Work", {{"com.apple.Safari", "Safari", "com.apple.Safari", std::nullopt}}, true};
    const SettingsNativeDockFolder home{kHome, "Home", {}, false};
};

TEST_F(NativeDockFolderActionsTest, CreateWithoutAFileWritesOneEmptyEnabledFolder) {
    alerts.answerFirstButton("  新建文件夹 ");
    actions.createNativeDockFolderFromSettings();

    ASSERT_EQ(alerts.shown().size(), 1u);
    EXPECT_EQ(alerts.shown()[0], NativeDockAlerts::createFolder());
    EXPECT_EQ(alerts.shown()[0].textField, "新建文件夹");
    const auto folders = onDisk();
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].name, "新建文件夹");
    EXPECT_TRUE(folders[0].applications.empty());
    EXPECT_TRUE(folders[0].isEnabled);
    const auto bytes = platform::readFile(url, 4096);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "[{\"id\":\"" + folders[0].id.string() +
                          "\",\"name\":\"新建文件夹\",\"applications\":[],\"isEnabled\":true}]");
    EXPECT_EQ(changeNotifications(), 1u);
    EXPECT_EQ(rebuilds, 1);
}

TEST_F(NativeDockFolderActionsTest, CancelledDialogsChangeAndPostNothing) {
    otherWriterSaves({work, home});
    const auto before = platform::readFile(url, 4096);
    alerts.answerButton(1);
    actions.createNativeDockFolderFromSettings();
    alerts.answerClosed();
    actions.renameNativeDockFolderFromSettings(work);
    alerts.answerButton(1);
    actions.deleteNativeDockFolderFromSettings(work);

    EXPECT_EQ(alerts.shown().size(), 3u);
    EXPECT_EQ(platform::readFile(url, 4096).value(), before.value());
    EXPECT_EQ(changeNotifications(), 0u);
    EXPECT_EQ(rebuilds, 0);
}

struct RenameCase {
    std::string typed;
    std::string expectedName;
};

TEST_F(NativeDockFolderActionsTest, RenameKeepsTheIdAndAvoidsOtherFoldersNames) {
    const std::vector<RenameCase> cases{
        {"work", "work"},    // its own name in another case
        {"HOME", "HOME 2"},  // another folder's name
        {" Projects ", "Projects"},
        {"", "新建文件夹"},
    };
    for (const auto& c : cases) {
        otherWriterSaves({work, home});
        alerts.answerFirstButton(c.typed);
        actions.renameNativeDockFolderFromSettings(work);
        EXPECT_EQ(alerts.shown().back(), NativeDockAlerts::renameFolder("Work"));
        SettingsNativeDockFolder expected = work;
        expected.name = c.expectedName;
        EXPECT_EQ(onDisk(), (std::vector{expected, home})) << c.typed;
    }
    EXPECT_EQ(alerts.shown().back().textFieldWarning,
              "重命名后会生成新文件夹，需要手动移除程序坞中的旧文件夹！");
    EXPECT_EQ(changeNotifications(), cases.size());
    EXPECT_EQ(rebuilds, static_cast<int>(cases.size()));
}

TEST_F(NativeDockFolderActionsTest, DeletingTheLastFolderWritesAnEmptyArray) {
    otherWriterSaves({work});
    alerts.answerFirstButton();
    actions.deleteNativeDockFolderFromSettings(work);
    EXPECT_EQ(alerts.shown()[0].informativeText, "将从原生 Dock 移除“Work”及其中的应用分组。");
    EXPECT_EQ(platform::readFile(url, 4096).value(), "[]");
    EXPECT_TRUE(actions.reloadFolderRows().empty());
    EXPECT_EQ(changeNotifications(), 1u);
}

TEST_F(NativeDockFolderActionsTest, EnablingWritesTheRowValueAndSurvivesARemovalElsewhere) {
    otherWriterSaves({work, home});
    const auto rows = actions.reloadFolderRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (NativeDockFolderRow{work, "Work", "1 个应用", true, "从 Dock 移除"}));
    EXPECT_EQ(rows[1], (NativeDockFolderRow{home, "Home", "0 个应用", false, "显示在 Dock"}));

    // The taskbar removed "Home" and added a member to "Work" without announcing it.
    SettingsNativeDockFolder workWithMoreMembers = work;
    workWithMoreMembers.applications.push_back(
        {"k", "Mail", std::nullopt, "/Applications/Mail.app"});
    otherWriterSaves({workWithMoreMembers});

    actions.setNativeDockFolderEnabled(rows[1].folder, true);
    SettingsNativeDockFolder homeEnabled = home;
    homeEnabled.isEnabled = true;
    EXPECT_EQ(onDisk(), (std::vector{workWithMoreMembers, homeEnabled}));

    // The row's value as read at build time wins over the unannounced member change.
    actions.setNativeDockFolderEnabled(rows[0].folder, false);
    SettingsNativeDockFolder workDisabled = work;
    workDisabled.isEnabled = false;
    EXPECT_EQ(onDisk(), (std::vector{workDisabled, homeEnabled}));
    EXPECT_TRUE(alerts.shown().empty());
    EXPECT_EQ(changeNotifications(), 2u);
    EXPECT_EQ(rebuilds, 2);
}

TEST_F(NativeDockFolderActionsTest, AnUnreadableFileCountsAsEmptyAndTheNotificationStillGoes) {
    std::filesystem::create_directories(url.parent_path());
    ASSERT_TRUE(platform::writeFileAtomically(url, "{broken"));
    alerts.answerFirstButton("A");
    actions.createNativeDockFolderFromSettings();
    ASSERT_EQ(onDisk().size(), 1u);
    EXPECT_EQ(onDisk()[0].name, "A");

    // A write that fails is silent; the change is still announced.
    std::filesystem::remove(url);
    std::filesystem::create_directories(url);
    alerts.answerFirstButton("B");
    actions.createNativeDockFolderFromSettings();
    EXPECT_EQ(changeNotifications(), 2u);
    EXPECT_EQ(rebuilds, 2);
}

}  // namespace
}  // namespace tavrel
