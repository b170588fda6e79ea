// The "隐藏原生dock" change: confirmation, the in-progress guard, background work, the settings
// command and the completion on the main thread.

#include "core/native_dock/native_dock_visibility_controller.h"

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/native_dock/native_dock_alerts.h"
#include "core/notifications/notification_names.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/fake/recording_process_runner.h"
#include "tests/native_dock/native_dock_fakes.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

using platform::ProcessRequest;
using platform::RecordingProcessRunner;

class RecordingHost final : public NativeDockVisibilityHost {
public:
    TaskbarSettings settings;
    std::vector<std::string> calls;

    TaskbarSettings& panelSettings() override { return settings; }
    void applyLiveChange(bool rebuild) override {
        calls.push_back(rebuild ? "applyLiveChange(rebuild)" : "applyLiveChange");
    }
    void rebuildContentViewBody() override { calls.push_back("rebuildContentViewBody"); }
};

class NativeDockVisibilityControllerTest : public ::testing::Test {
protected:
    NativeDockVisibilityControllerTest() {
        // Every command succeeds; the bounce read answers what the last bounce write stored.
        runner.setResponder([this](const ProcessRequest& request) {
            if (commandsFail) return RecordingProcessRunner::exited(1, "", "failed");
            const auto& a = request.arguments;
            if (a.size() == 3 && a[0] == "read") {
                return RecordingProcessRunner::exited(0, bouncing ? "1\n" : "0\n");
            }
            if (a.size() == 5 && a[2] == "no-bouncing") bouncing = a[4] == "true";
            return RecordingProcessRunner::exited(0);
        });
        host.settings.hideNativeDock = false;
        host.settings.nativeDockEnhancementsEnabled = true;
        controller = NativeDockVisibilityController::make(
            {runner, notifications, mainQueue, workQueue, alerts,
             directory / "native-dock-bounce-backup.json"},
            host);
    }

    std::vector<Notification> settingsCommands() const { return notifications.posted(); }

    static Notification visibilityChanged() {
        Notification notification;
        notification.name = TavrelDistributedNotification::settingsCommand;
        notification.userInfo["command"] = std::string("nativeDockVisibilityChanged");
        return notification;
    }

    TemporaryDirectory directory;
    bool bouncing = false;
    bool commandsFail = false;
    RecordingProcessRunner runner;
    platform::ManualMainQueue mainQueue;
    platform::FakeNotificationCenter notifications{mainQueue};
    ManualBackgroundWorkQueue workQueue;
    ScriptedModalAlertPresenter alerts;
    RecordingHost host;
    std::shared_ptr<NativeDockVisibilityController> controller;
};

TEST_F(NativeDockVisibilityControllerTest, CancellingEitherConfirmationChangesNothing) {
    for (const bool hidden : {true, false}) {
        alerts.answerButton(1);  // "取消"
        controller->changeNativeDockHidden(hidden);
        alerts.answerClosed();
        controller->changeNativeDockHidden(hidden);
    }
    ASSERT_EQ(alerts.shown().size(), 4u);
    EXPECT_EQ(alerts.shown()[0], NativeDockAlerts::confirmEnableNativeDockHiding());
    EXPECT_EQ(alerts.shown()[2], NativeDockAlerts::confirmDisableNativeDockHiding());
    EXPECT_EQ(host.calls, std::vector<std::string>(4, "rebuildContentViewBody"));
    EXPECT_FALSE(controller->nativeDockChangeInProgress());
    EXPECT_EQ(workQueue.pending(), 0u);
    EXPECT_TRUE(runner.requests().empty());
    EXPECT_TRUE(settingsCommands().empty());
}

struct CompletionCase {
    std::string name;
    bool hidden;
    bool commandsFail;
    bool expectedHideNativeDock;
    bool expectedEnhancements;
    std::vector<std::string> expectedCalls;
    std::size_t expectedFailureAlerts;
};

class NativeDockVisibilityCompletion : public NativeDockVisibilityControllerTest,
                                       public ::testing::WithParamInterface<CompletionCase> {};

TEST_P(NativeDockVisibilityCompletion, StoresTheChoiceOnlyAfterTheCommandsSucceeded) {
    const CompletionCase& c = GetParam();
    host.settings.hideNativeDock = !c.hidden;
    commandsFail = c.commandsFail;
    alerts.answerFirstButton();
    controller->changeNativeDockHidden(c.hidden);

    // Running: a second click is ignored without a dialog, and nothing is stored yet.
    EXPECT_TRUE(controller->nativeDockChangeInProgress());
    controller->changeNativeDockHidden(!c.hidden);
    EXPECT_EQ(alerts.shown().size(), 1u);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(runner.requests().empty());

    ASSERT_EQ(workQueue.runAll(), 1u);
    // The taskbar hears of the change before the settings carry it, failures included.
    EXPECT_EQ(settingsCommands(), std::vector<Notification>{visibilityChanged()});
    EXPECT_EQ(host.settings.hideNativeDock, !c.hidden);
    EXPECT_TRUE(controller->nativeDockChangeInProgress());

    mainQueue.runReady();
    EXPECT_FALSE(controller->nativeDockChangeInProgress());
    EXPECT_EQ(host.settings.hideNativeDock, c.expectedHideNativeDock);
    EXPECT_EQ(host.settings.nativeDockEnhancementsEnabled, c.expectedEnhancements);
    EXPECT_EQ(host.calls, c.expectedCalls);
    std::size_t failureAlerts = 0;
    for (const auto& alert : alerts.shown()) {
        if (alert == NativeDockAlerts::nativeDockCommandFailure()) ++failureAlerts;
    }
    EXPECT_EQ(failureAlerts, c.expectedFailureAlerts);

    // Free again: the next click asks again.
    alerts.answerButton(1);
    controller->changeNativeDockHidden(c.hidden);
    EXPECT_EQ(alerts.shown().size(), 2u + c.expectedFailureAlerts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NativeDockVisibilityCompletion,
    ::testing::Values(
        CompletionCase{"HideSucceeds", true, false, true, false, {"applyLiveChange(rebuild)"}, 0},
        CompletionCase{
            "RestoreSucceeds", false, false, false, true, {"applyLiveChange(rebuild)"}, 0},
        CompletionCase{"HideFails", true, true, false, true, {"rebuildContentViewBody"}, 1},
        CompletionCase{"RestoreFails", false, true, true, true, {"rebuildContentViewBody"}, 1}),
    [](const auto& test) { return test.param.name; });

TEST_F(NativeDockVisibilityControllerTest, ACompletionAfterTheControllerIsGoneDoesNothing) {
    alerts.answerFirstButton();
    controller->changeNativeDockHidden(true);
    controller.reset();
    workQueue.runAll();
    EXPECT_EQ(settingsCommands().size(), 1u);  // the work item itself still finished
    mainQueue.runReady();
    EXPECT_TRUE(host.calls.empty());
    EXPECT_FALSE(host.settings.hideNativeDock);
    EXPECT_EQ(alerts.shown().size(), 1u);
}

TEST(SerialBackgroundWorkQueue, RunsItemsInOrderAndFinishesThemBeforeItIsDestroyed) {
    std::vector<int> order;
    std::thread::id worker;
    {
        SerialBackgroundWorkQueue queue;
        for (int i = 0; i < 50; ++i) {
            queue.submit([&order, &worker, i] {
                order.push_back(i);
                worker = std::this_thread::get_id();
            });
        }
    }
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[i], i);
    EXPECT_NE(worker, std::this_thread::get_id());
}

}  // namespace
}  // namespace tavrel
