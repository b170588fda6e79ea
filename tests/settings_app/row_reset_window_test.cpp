// Changed-value markers and resets in the settings window (Qt offscreen), with the application
// delegate saving every edit to a private settings.json on the fake bus: over every bound row of
// every page, sub-page and tab, a change through the row's control shows the marker and the
// row's "恢复默认值" gives the default back in the file with one settingsChanged; the keyboard
// paths to the reset; and the page reset with its confirmation, within the shown theme.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QAction>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/form/slider_model.h"
#include "core/notifications/notification_names.h"
#include "core/settings_pages/page_registry.h"
#include "core/settings_transfer/page_settings_keys.h"
#include "core/settings_transfer/row_defaults.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings/settings_test_support.h"
#include "tests/settings_app/every_shown_page.h"
#include "tests/settings_app/fake_window_services.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "tests/settings_app/settings_delegate_fixture.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

using test::changeOnce;
using test::everythingShown;
using test::Shown;

class RecordingPrivacyOpener final : public PrivacySettingsOpener {
public:
    void open(std::string_view address) override { opened.emplace_back(address); }
    std::vector<std::string> opened;
};

class RowResetWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::widgetApplication();
        dialogs.confirmUnscriptedAlerts = true;  // a row that asks first changes as confirmed
    }

    // A window over a document holding `settings`, its edits saved by the application delegate.
    void open(const TaskbarSettings& settings, const Shown& shown) {
        controller.reset();
        test::settle();
        directory = test::scratchDirectory("row-reset");
        harness = std::make_unique<test::DelegateHarness>(directory, center, queue);
        ASSERT_TRUE(settings.save(harness->environment).ok());
        harness->delegate->applicationDidFinishLaunching();
        queue.runReady();
        SettingsWindowCallbacks callbacks;
        callbacks.onChange = [this](const TaskbarSettings& edited) {
            harness->window->callbacks.onChange(edited);
            queue.runReady();
        };
        controller = std::make_unique<SettingsPanelController>(
            *harness->window->panel, std::move(callbacks), services, views);
        controller->pageState().nativeDockSettingsTab = shown.dockTab;
        controller->showWindow();
        if (shown.page != FeaturePage::taskbar) {
            controller->selectFeaturePage(shown.page);
        } else if (shown.subpage != Page::taskbar) {
            controller->selectSubpage(subpageIndex(shown.subpage));
        }
        test::settle();
        center.clearPosted();
    }

    TaskbarSettings stored() const {
        TaskbarSettings settings;
        settings.load(harness->environment);
        return settings;
    }
    std::string storedText() const {
        return test::fileBytes(harness->settingsFile()).value_or(std::string());
    }
    std::size_t settingsChangedPosts() const {
        std::size_t count = 0;
        for (const Notification& n : center.posted()) {
            if (n.name == TavrelDistributedNotification::settingsChanged) ++count;
        }
        return count;
    }

    // The rows of the page shown that offer a reset, in page order, with their widgets.
    std::vector<std::pair<const FormRow*, QWidget*>> resettableRows() const {
        std::vector<std::pair<const FormRow*, QWidget*>> rows;
        FormView* view = controller->pageFormView();
        std::vector<QWidget*> widgets;
        for (QWidget* row : view->findChildren<QWidget*>(FormWidgetNames::row)) {
            if (row->property(FormRowDefaults::markerName).isValid()) widgets.push_back(row);
        }
        std::size_t next = 0;
        for (const FormRow* row : view->form()->rows()) {
            if (!resettableRowKey(*row) || std::holds_alternative<InfoBlockControl>(row->control) ||
                std::holds_alternative<CardBlockControl>(row->control)) {
                continue;
            }
            if (next < widgets.size()) rows.emplace_back(row, widgets[next++]);
        }
        EXPECT_EQ(rows.size(), widgets.size()) << "every resettable row offers its reset";
        return rows;
    }
    static bool marked(QWidget* row) {
        auto* marker = row->findChild<QWidget*>(FormRowDefaults::markerName);
        const bool shown = marker && !marker->isHidden();
        EXPECT_EQ(shown, row->property(FormRowDefaults::markerName).toBool());
        return shown;
    }

    // Opens the row's context menu as a right click does and returns it.
    QMenu* contextMenu(QWidget* row) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                row->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(row, &event);
        return qobject_cast<QMenu*>(QApplication::activePopupWidget());
    }
    static QAction* resetAction(QMenu* menu) {
        for (QAction* action : menu->actions()) {
            if (action->text() == QString::fromUtf8(FormRowDefaults::resetTitle)) return action;
        }
        return nullptr;
    }
    QPushButton* pageResetButton() const {
        return controller->pageFormView()->findChild<QPushButton*>("pageResetButton");
    }

    void everyRowResetsThroughItsMenu(const TaskbarSettings& start, std::size_t least);

    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    std::filesystem::path directory;
    std::unique_ptr<test::DelegateHarness> harness;

    SettingsImageLookup images = [](std::string_view) { return QImage(); };
    int tokenCounter = 0;
    PermissionProbe screenRecordingProbe{center, PermissionKind::screenRecording,
                                         [this] { return "S" + std::to_string(++tokenCounter); }};
    PermissionProbe accessibilityProbe{center, PermissionKind::accessibility,
                                       [this] { return "A" + std::to_string(++tokenCounter); }};
    test::ScriptedSettingsDialogs dialogs;
    RecordingPrivacyOpener privacy;
    test::RecordingNewFileSwitch newFile;
    test::RecordingNativeDockVisibility nativeDock;
    test::FakeWindowServices services{{dialogs,
                                       center,
                                       screenRecordingProbe,
                                       accessibilityProbe,
                                       privacy,
                                       newFile,
                                       nativeDock,
                                       images,
                                       {}}};
    CustomViewRegistry views = [] {
        CustomViewRegistry registry;
        addStandardSettingsViews(registry);
        return registry;
    }();
    std::unique_ptr<SettingsPanelController> controller;
};

void RowResetWindowTest::everyRowResetsThroughItsMenu(const TaskbarSettings& start,
                                                      std::size_t least) {
    std::size_t checked = 0;
    for (const Shown& shown : everythingShown()) {
        SCOPED_TRACE(shown.name());
        open(start, shown);
        const std::size_t count = resettableRows().size();
        for (std::size_t i = 0; i < count; ++i) {
            open(start, shown);
            auto rows = resettableRows();
            if (i >= rows.size()) break;
            const FormRow& row = *rows[i].first;
            const std::string title = row.title;
            const FormKeyReference key = *resettableRowKey(row);
            SCOPED_TRACE(title + " (" + key.name + ")");
            if (rowDiffersFromDefault(row, controller->settings())) {
                ASSERT_TRUE(marked(rows[i].second)) << "a value away from its default is marked";
                continue;  // starts changed: the look sets it
            }
            EXPECT_FALSE(marked(rows[i].second));
            if (!changeOnce(row)) continue;
            test::settle();
            rows = resettableRows();
            ASSERT_LT(i, rows.size());
            ASSERT_EQ(rows[i].first->title, title);
            ASSERT_TRUE(rowDiffersFromDefault(*rows[i].first, stored()))
                << "the change is saved away from the default";
            EXPECT_TRUE(marked(rows[i].second));

            center.clearPosted();
            QMenu* menu = contextMenu(rows[i].second);
            ASSERT_TRUE(menu);
            QAction* reset = resetAction(menu);
            ASSERT_TRUE(reset);
            EXPECT_TRUE(reset->isEnabled());
            reset->trigger();
            menu->close();
            test::settle();

            FormRow judged;
            judged.keys = {key};
            const TaskbarSettings saved = stored();
            EXPECT_FALSE(rowDiffersFromDefault(judged, saved)) << "the file holds the default";
            EXPECT_EQ(settingsChangedPosts(), 1u);
            rows = resettableRows();
            ASSERT_LT(i, rows.size());
            EXPECT_FALSE(marked(rows[i].second));
            ++checked;
        }
    }
    EXPECT_GE(checked, least);
    RecordProperty("rowsChecked", static_cast<int>(checked));
}

TEST_F(RowResetWindowTest, EveryBoundRowUnderWindowsResetsThroughItsMenu) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::windows;
    everyRowResetsThroughItsMenu(start, 150);
}

TEST_F(RowResetWindowTest, EveryBoundRowUnderLiquidGlassResetsThroughItsMenu) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::liquidGlass;
    everyRowResetsThroughItsMenu(start, 150);
}

TEST_F(RowResetWindowTest, MenuIsOfferedDisabledWhileTheRowIsAtItsDefault) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::windows;
    open(start, {FeaturePage::taskbarIcons});
    const auto rows = resettableRows();
    ASSERT_FALSE(rows.empty());
    QMenu* menu = contextMenu(rows.front().second);
    ASSERT_TRUE(menu);
    QAction* reset = resetAction(menu);
    ASSERT_TRUE(reset);
    EXPECT_FALSE(reset->isEnabled());
    menu->close();
    test::settle();
    EXPECT_EQ(settingsChangedPosts(), 0u);
}

TEST_F(RowResetWindowTest, KeyboardResetsTheFocusedRowAndOpensItsMenu) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::windows;
    start.windowsProfile.showTaskbarSeparator =
        !TaskbarSettings{}.windowsProfile.showTaskbarSeparator;
    start.windowsProfile.taskbarItemGap = 19;
    open(start, {FeaturePage::taskbarIcons});
    controller->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));

    // A switch row: Shift+F10 opens its menu, the shortcut resets it.
    QWidget* separator = findFormRow(controller->pageFormView(), "显示黑色分割线");
    ASSERT_TRUE(separator);
    ASSERT_TRUE(marked(separator));
    auto* toggle = separator->findChild<SettingsSwitch*>();
    ASSERT_TRUE(toggle);
    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_F10, Qt::ShiftModifier);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu) << "Shift+F10 opens the row's menu";
    ASSERT_TRUE(resetAction(menu));
    EXPECT_TRUE(resetAction(menu)->isEnabled());
    menu->close();
    test::settle();
    controller->window()->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(controller->window()));
    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
    test::settle();
    EXPECT_EQ(stored().windowsProfile.showTaskbarSeparator,
              TaskbarSettings{}.windowsProfile.showTaskbarSeparator);
    EXPECT_EQ(settingsChangedPosts(), 1u);
    EXPECT_EQ(stored().windowsProfile.taskbarItemGap, 19) << "only the focused row";

    // A slider row's value field keeps its own text keys; the shortcut still resets the row.
    center.clearPosted();
    QWidget* gap = findFormRow(controller->pageFormView(), "图标间距");
    ASSERT_TRUE(gap);
    EXPECT_TRUE(marked(gap));
    auto* slider = gap->findChild<SliderRowControl*>();
    ASSERT_TRUE(slider);
    slider->field()->setFocus();
    QTest::keyClick(slider->field(), Qt::Key_Backspace, Qt::ControlModifier | Qt::ShiftModifier);
    test::settle();
    EXPECT_EQ(stored().windowsProfile.taskbarItemGap,
              TaskbarSettings{}.windowsProfile.taskbarItemGap);
    EXPECT_EQ(settingsChangedPosts(), 1u);
    EXPECT_FALSE(marked(findFormRow(controller->pageFormView(), "图标间距")));
}

TEST_F(RowResetWindowTest, MarkerFollowsALiveChangeWithoutARebuild) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::windows;
    open(start, {FeaturePage::taskbarIcons});
    QWidget* gap = findFormRow(controller->pageFormView(), "图标间距");
    ASSERT_TRUE(gap);
    EXPECT_FALSE(marked(gap));
    auto* slider = gap->findChild<SliderRowControl*>();
    ASSERT_TRUE(slider);
    slider->field()->setText("21");
    emit slider->field()->editingFinished();
    test::settle();
    QWidget* after = findFormRow(controller->pageFormView(), "图标间距");
    ASSERT_TRUE(after);
    EXPECT_TRUE(marked(after));
}

TEST_F(RowResetWindowTest, PageResetAsksWithTheCountAndKeepsTheOtherThemesRecordByteForByte) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::liquidGlass;
    start.windowsProfile.showClock = !start.windowsProfile.showClock;
    start.windowsProfile.taskbarHeight = start.windowsProfile.taskbarHeight + 7;
    start.liquidGlassProfile.showClock = !start.liquidGlassProfile.showClock;
    open(start, {FeaturePage::clockCalendar});
    const std::string windowsRecord = test::storedMember(storedText(), "windowsSettings");
    ASSERT_FALSE(windowsRecord.empty());
    // Change two more of the page's values through its rows.
    std::size_t changed = 0;
    for (int round = 0; round < 2; ++round) {
        for (const auto& [row, widget] : resettableRows()) {
            if (rowDiffersFromDefault(*row, controller->settings())) continue;
            if (!std::holds_alternative<SegmentControl>(row->control) &&
                !std::holds_alternative<SliderControl>(row->control)) {
                continue;
            }
            if (changeOnce(*row)) {
                ++changed;
                test::settle();
                break;
            }
        }
    }
    ASSERT_EQ(changed, 2u);
    const std::size_t expected =
        pageResetChangeCount(FeaturePage::clockCalendar, controller->settings());
    ASSERT_GE(expected, 3u);
    const std::string before = storedText();

    // Cancelled: nothing changes.
    center.clearPosted();
    dialogs.confirmUnscriptedAlerts = false;
    dialogs.answer(std::string(PageResetTexts::cancelButton));
    ASSERT_TRUE(pageResetButton());
    EXPECT_EQ(pageResetButton()->accessibleName(),
              QString::fromUtf8(PageResetTexts::buttonTitle.data()));
    QTest::mouseClick(pageResetButton(), Qt::LeftButton);
    test::settle();
    ASSERT_FALSE(dialogs.asked.empty());
    EXPECT_EQ(dialogs.asked.back().message,
              "将 " + std::to_string(expected) + " 项设置恢复为默认值？");
    EXPECT_EQ(storedText(), before);
    EXPECT_EQ(settingsChangedPosts(), 0u);

    // Confirmed: every value of the page back, announced once, the Windows record untouched.
    dialogs.answer(std::string(PageResetTexts::confirmButton));
    QTest::mouseClick(pageResetButton(), Qt::LeftButton);
    test::settle();
    EXPECT_EQ(settingsChangedPosts(), 1u);
    EXPECT_EQ(test::storedMember(storedText(), "windowsSettings"), windowsRecord);
    EXPECT_EQ(pageResetChangeCount(FeaturePage::clockCalendar, stored()), 0u);
    for (const auto& [row, widget] : resettableRows()) {
        EXPECT_FALSE(marked(widget)) << row->title;
    }

    // Nothing left: a notice, no write.
    center.clearPosted();
    const std::string reset = storedText();
    dialogs.answer(std::string(PageResetTexts::nothingButton));
    QTest::mouseClick(pageResetButton(), Qt::LeftButton);
    test::settle();
    EXPECT_EQ(dialogs.asked.back().message, PageResetTexts::nothingToReset);
    EXPECT_EQ(storedText(), reset);
    EXPECT_EQ(settingsChangedPosts(), 0u);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

TEST_F(RowResetWindowTest, TaskbarPageResetsTheSubPageItShows) {
    TaskbarSettings start;
    start.theme = TaskbarTheme::windows;
    start.windowsProfile.taskbarItemGap = 19;                                     // 任务栏图标
    start.windowsProfile.taskbarHeight = start.windowsProfile.taskbarHeight + 6;  // 任务栏
    open(start, {FeaturePage::taskbar, Page::icons});
    ASSERT_TRUE(pageResetButton()) << "the taskbar page has the button at its top";
    dialogs.confirmUnscriptedAlerts = false;
    dialogs.answer(std::string(PageResetTexts::confirmButton));
    QTest::mouseClick(pageResetButton(), Qt::LeftButton);
    test::settle();
    EXPECT_EQ(stored().windowsProfile.taskbarItemGap,
              TaskbarSettings{}.windowsProfile.taskbarItemGap);
    EXPECT_EQ(stored().windowsProfile.taskbarHeight, start.windowsProfile.taskbarHeight);
    EXPECT_EQ(stored().theme, TaskbarTheme::windows) << "the shown theme stays";
    EXPECT_EQ(controller->selectedPage(), Page::icons);
    EXPECT_EQ(settingsChangedPosts(), 1u);
}

}  // namespace
}  // namespace tavrel
