// The settings search in the window (Qt offscreen): every bound row the window shows (and every
// row of the New File page) is found by its title and, opened from the results, lands on its page
// and tab, scrolled into view and highlighted; the keyboard in the field; hidden rows with their
// reason and where they lead; the results follow a change of the settings.

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextDocument>

#include <gtest/gtest.h>

#include "core/settings_pages/new_file_page.h"
#include "core/settings_pages/revealing_looks.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "tests/settings_app/fake_window_services.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/settings_panel_controller.h"
#include "ui/settings/settings_search_view.h"

namespace tavrel {
namespace {

class SettingsSearchWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::widgetApplication(); }

    void open(TaskbarSettings settings) {
        controller = std::make_unique<SettingsPanelController>(
            std::move(settings), SettingsWindowCallbacks{}, services, views);
        controller->showWindow();
        test::settle();
    }

    static TaskbarSettings withTheme(TaskbarTheme theme) {
        TaskbarSettings settings;
        settings.theme = theme;
        return settings;
    }

    SettingsSearch& search() const { return *controller->settingsSearch(); }
    void type(const std::string& text) const {
        search().field()->setText(QString::fromStdString(text));
    }

    SettingsSearchResultButton* resultFor(const SettingsSearchEntry& wanted) const {
        for (SettingsSearchResultButton* button : search().shownResults()) {
            const SettingsSearchEntry& entry = button->entry();
            if (entry.location == wanted.location && entry.rowIndex == wanted.rowIndex &&
                entry.title == wanted.title) {
                return button;
            }
        }
        return nullptr;
    }

    QWidget* rowOf(const SettingsSearchEntry& entry) const {
        return findSettingsSearchRow(controller->pageFormView(), *controller->forms().front(),
                                     entry);
    }

    // The row lies inside the page's viewport (its top, and its bottom unless it is taller).
    ::testing::AssertionResult inViewport(QWidget* row) const {
        QWidget* viewport = controller->pageScrollView()->viewport();
        const QRect shown(row->mapTo(viewport, QPoint(0, 0)), row->size());
        const bool fits = shown.top() >= 0 && (shown.bottom() < viewport->height() ||
                                               shown.height() > viewport->height());
        if (fits && shown.top() < viewport->height()) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "row at y " << shown.top() << "…" << shown.bottom()
                                             << ", viewport height " << viewport->height();
    }

    // The label of the tab selected on the page shown: the taskbar page's sub-page selector, else
    // the centred segment that switches a page's tabs. Empty without tabs.
    QString selectedTab() const {
        QWidget* page = controller->pageFormView();
        auto* tabs = page->findChild<SettingsSegmentedControl*>("subpageSelector");
        if (!tabs) {
            if (QWidget* centred = page->findChild<QWidget*>(FormWidgetNames::centeredSegment)) {
                tabs = centred->findChild<SettingsSegmentedControl*>();
            }
        }
        if (!tabs || tabs->selectedSegment() < 0) return {};
        return tabs->labels().value(tabs->selectedSegment());
    }

    static SettingsSearchHighlight* highlightOn(QWidget* row) {
        return row->findChild<SettingsSearchHighlight*>(SettingsSearchHighlight::name,
                                                        Qt::FindDirectChildrenOnly);
    }

    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    PermissionProbe screenRecordingProbe{center, PermissionKind::screenRecording,
                                         [] { return std::string("S"); }};
    PermissionProbe accessibilityProbe{center, PermissionKind::accessibility,
                                       [] { return std::string("A"); }};
    test::ScriptedSettingsDialogs dialogs;
    class : public PrivacySettingsOpener {
    public:
        void open(std::string_view) override {}
    } privacy;
    NewFileFeature newFile{NewFileEnvironment{}};
    test::RecordingNativeDockVisibility nativeDock;
    SettingsImageLookup images;
    test::FakeWindowServices services{{dialogs, center, screenRecordingProbe, accessibilityProbe,
                                       privacy, newFile, nativeDock, images, nullptr}};
    CustomViewRegistry views = [] {
        CustomViewRegistry registry;
        addStandardSettingsViews(registry);
        return registry;
    }();
    std::unique_ptr<SettingsPanelController> controller;
};

// One window per look (both themes, and the values that show the rows the defaults hide), every
// bound row it shows searched for and opened from the results; the New File page lists its
// document.
TEST_F(SettingsSearchWindowTest, EveryShownBoundRowOpensOnItsPageAndTabInViewAndHighlighted) {
    std::vector<SettingsLook> looks{
        {"windows", [](TaskbarSettings& s) { s.theme = TaskbarTheme::windows; }},
        {"liquid glass", [](TaskbarSettings& s) { s.theme = TaskbarTheme::liquidGlass; }},
    };
    looks.insert(looks.end(), rowRevealingLooks().begin(), rowRevealingLooks().end());
    std::size_t opened = 0;
    std::size_t newFileRows = 0;
    for (const SettingsLook& look : looks) {
        SCOPED_TRACE(look.name);
        TaskbarSettings settings;
        look.apply(settings);
        open(settings);
        const std::vector<SettingsSearchEntry> entries(search().index().entries().begin(),
                                                       search().index().entries().end());
        for (const SettingsSearchEntry& entry : entries) {
            // Bound rows edit settings; the New File page's rows edit its own document.
            const bool bound = !entry.keys.empty() || entry.location.page == FeaturePage::newFile;
            if (!bound || entry.hiddenReason) continue;
            SCOPED_TRACE(entry.pageTitle + " / " + entry.tabTitle + " / " + entry.title);
            type(entry.title);
            SettingsSearchResultButton* result = resultFor(entry);
            ASSERT_NE(result, nullptr) << "not among the results shown";
            result->click();
            ++opened;
            if (entry.location.page == FeaturePage::newFile) ++newFileRows;

            EXPECT_EQ(controller->selectedFeaturePage(), entry.location.page);
            if (entry.location.page == FeaturePage::taskbar) {
                EXPECT_EQ(controller->selectedPage(), entry.location.subpage);
            }
            if (entry.location.page == FeaturePage::nativeDock) {
                EXPECT_EQ(controller->pageState().nativeDockSettingsTab,
                          entry.location.nativeDockTab);
            }
            EXPECT_EQ(selectedTab().toStdString(), entry.tabTitle);
            if (FeatureSidebarButton* button = controller->featureButton(entry.location.page)) {
                EXPECT_TRUE(button->isSelectedPage());
            }
            QWidget* row = rowOf(entry);
            ASSERT_NE(row, nullptr) << "the page has no such row";
            EXPECT_EQ(row->property(FormWidgetNames::rowTitleProperty).toString(),
                      QString::fromStdString(entry.title));
            EXPECT_TRUE(inViewport(row));
            EXPECT_NE(highlightOn(row), nullptr);
            // The field keeps the query, the results stay.
            EXPECT_EQ(search().field()->text().toStdString(), entry.title);
            EXPECT_TRUE(search().resultsView()->isVisible());
        }
    }
    EXPECT_GT(opened, 1000u);
    EXPECT_GT(newFileRows, 0u);
}

TEST_F(SettingsSearchWindowTest, TheHighlightFadesAndGoes) {
    open(withTheme(TaskbarTheme::windows));
    type("任务栏厚度");
    ASSERT_FALSE(search().shownResults().empty());
    search().shownResults().front()->click();
    QWidget* row = findFormRow(controller->pageFormView(), "任务栏厚度");
    ASSERT_NE(row, nullptr);
    QPointer<SettingsSearchHighlight> highlight = highlightOn(row);
    ASSERT_TRUE(highlight);
    EXPECT_TRUE(highlight->isVisible());
    EXPECT_EQ(highlight->geometry(), row->rect());
    EXPECT_TRUE(highlight->testAttribute(Qt::WA_TransparentForMouseEvents));
    highlight->fadeOut();
    ASSERT_TRUE(test::runUntil([&] { return highlight.isNull(); }));
}

TEST_F(SettingsSearchWindowTest, KeyboardMovesThroughTheResultsOpensAndClears) {
    open(withTheme(TaskbarTheme::windows));
    QLineEdit* field = search().field();
    EXPECT_EQ(field->accessibleName(), "搜索设置");
    EXPECT_EQ(field->placeholderText(), "搜索设置");
    EXPECT_FALSE(search().resultsView()->isVisible());
    EXPECT_TRUE(controller->featureSidebarScrollView()->isVisible());

    QTest::keyClicks(field, QStringLiteral("dOCK"));
    const auto results = search().shownResults();
    ASSERT_GE(results.size(), 3u);
    EXPECT_TRUE(search().resultsView()->isVisible());
    EXPECT_FALSE(controller->featureSidebarScrollView()->isVisible());
    // Field, then the results in order: the sidebar rows are hidden while searching.
    EXPECT_EQ(field->nextInFocusChain(), results[0]);
    EXPECT_EQ(results[0]->nextInFocusChain(), results[1]);
    EXPECT_EQ(search().currentResult(), 0);

    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Up);
    EXPECT_EQ(search().currentResult(), 1);
    EXPECT_TRUE(results[1]->isCurrent());
    EXPECT_FALSE(results[0]->isCurrent());
    const SettingsSearchEntry chosen = results[1]->entry();
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(controller->selectedFeaturePage(), chosen.location.page);
    QWidget* row = rowOf(chosen);
    ASSERT_NE(row, nullptr);
    EXPECT_NE(highlightOn(row), nullptr);
    EXPECT_EQ(field->text(), "dOCK");

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_FALSE(search().resultsView()->isVisible());
    EXPECT_TRUE(controller->featureSidebarScrollView()->isVisible());
    EXPECT_TRUE(search().shownResults().empty());

    // Escape on a result clears the field too; Enter on one opens it.
    type("任务栏厚度");
    ASSERT_FALSE(search().shownResults().empty());
    QTest::keyClick(search().shownResults().front(), Qt::Key_Return);
    EXPECT_NE(highlightOn(findFormRow(controller->pageFormView(), "任务栏厚度")), nullptr);
    QTest::keyClick(search().shownResults().front(), Qt::Key_Escape);
    EXPECT_TRUE(field->text().isEmpty());
    EXPECT_FALSE(search().resultsView()->isVisible());

    // Nothing found says so; a blank query is no query.
    type("没有这样的设置项");
    EXPECT_TRUE(search().shownResults().empty());
    EXPECT_TRUE(search().resultsView()->isVisible());
    type("  ");
    EXPECT_FALSE(search().resultsView()->isVisible());
}

TEST_F(SettingsSearchWindowTest, ResultsNameTheRowAndSayWhereItIs) {
    open(withTheme(TaskbarTheme::windows));
    type("任务栏厚度");
    ASSERT_FALSE(search().shownResults().empty());
    SettingsSearchResultButton* result = search().shownResults().front();
    EXPECT_EQ(result->accessibleName(), "任务栏厚度");
    const SettingsSearchEntry& entry = result->entry();
    EXPECT_EQ(result->accessibleDescription().toStdString(), settingsSearchLocationText(entry));
    EXPECT_EQ(settingsSearchLocationText(entry),
              entry.pageTitle + " · " + entry.tabTitle + " · " + entry.section);
}

// A title from outside (an imported New File kind is named after its file) stays text.
TEST_F(SettingsSearchWindowTest, AResultShowsItsTitleAsPlainText) {
    SettingsSearchResultButton result;
    SettingsSearchEntry entry;
    entry.pageTitle = "右键新建文件";
    entry.section = "自定义类型";
    entry.title = "<b>周报</b> &amp;（.md）";
    result.showEntry(entry);
    EXPECT_EQ(result.accessibleName().toStdString(), entry.title);
    EXPECT_EQ(result.text().toStdString(), entry.title);
    QTextDocument tip;
    tip.setHtml(result.toolTip());
    EXPECT_EQ(tip.toPlainText().toStdString(), entry.title + "\n右键新建文件 · 自定义类型");
}

TEST_F(SettingsSearchWindowTest, HiddenRowsSayWhyAndOpenWhereTheyCanBeShown) {
    TaskbarSettings settings = withTheme(TaskbarTheme::windows);
    settings.windowsProfile.alignment = 1;  // centred: the left-edge distance is hidden
    open(settings);

    // Shown by a choice of its own page: that row is scrolled to and highlighted.
    type("距离左侧边缘距离");
    ASSERT_FALSE(search().shownResults().empty());
    SettingsSearchResultButton* result = search().shownResults().front();
    const std::string reason = settingsSearchShownBySegment("图标对齐", "靠左");
    EXPECT_EQ(result->entry().hiddenReason, reason);
    EXPECT_TRUE(result->accessibleDescription().endsWith(QString::fromStdString(reason)));
    result->click();
    QWidget* revealing = findFormRow(controller->pageFormView(), "图标对齐");
    ASSERT_NE(revealing, nullptr);
    EXPECT_EQ(rowOf(result->entry()), revealing);
    EXPECT_TRUE(inViewport(revealing));
    EXPECT_NE(highlightOn(revealing), nullptr);

    // A row of the other theme: its page and tab, from the top, nothing highlighted.
    type("任务栏背景材质");
    ASSERT_FALSE(search().shownResults().empty());
    result = search().shownResults().front();
    EXPECT_EQ(result->entry().hiddenReason, "仅液态玻璃主题");
    controller->pageScrollView()->verticalScrollBar()->setValue(200);
    result->click();
    EXPECT_EQ(controller->selectedFeaturePage(), result->entry().location.page);
    EXPECT_EQ(controller->pageScrollOffset(), 0);
    EXPECT_TRUE(controller->pageFormView()
                    ->findChildren<SettingsSearchHighlight*>(SettingsSearchHighlight::name)
                    .isEmpty());
}

TEST_F(SettingsSearchWindowTest, ResultsFollowAChangeOfTheSettings) {
    TaskbarSettings settings = withTheme(TaskbarTheme::windows);
    settings.windowsProfile.alignment = 1;
    open(settings);
    type("距离左侧边缘距离");
    ASSERT_FALSE(search().shownResults().empty());
    EXPECT_TRUE(search().shownResults().front()->entry().hiddenReason);

    // The alignment set to the left, as the page's segment does.
    controller->settings().windowsProfile.alignment = 0;
    controller->applyLiveChange(true);
    ASSERT_TRUE(test::runUntil([&] {
        const auto shown = search().shownResults();
        return !shown.empty() && !shown.front()->entry().hiddenReason;
    }));
    EXPECT_EQ(search().field()->text(), "距离左侧边缘距离");
}

}  // namespace
}  // namespace tavrel
