// The screen-corner preview drawn and probed by pixel, its two copies following the radius
// slider without a rebuild, the close-protection table as rendered, and the application chooser
// over described and over real desktop entries.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>

#include <gtest/gtest.h>

#include "core/settings_pages/close_protection_list.h"
#include "platform/collation.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/linux/desktop_workspace.h"
#include "tests/platform_posix/scoped_variable.h"
#include "tests/settings_app/fake_window_services.h"
#include "tests/settings_app/recording_page_host.h"
#include "tests/settings_app/scripted_settings_dialogs.h"
#include "tests/settings_app/settings_delegate_fixture.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/settings/application_chooser_dialog.h"
#include "ui/settings/close_protection_list_view.h"
#include "ui/settings/mini_preview_view.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/screen_corners_preview_view.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// --- The drawing

bool isBlack(QRgb pixel) {
    return qRed(pixel) < 16 && qGreen(pixel) < 16 && qBlue(pixel) < 16 && qAlpha(pixel) > 240;
}

struct Corners {
    bool top = true;
    bool bottom = true;
    bool notchHidden = false;
    double radius = 19;
};

class Drawn {
public:
    Drawn(Corners corners, bool compact = false, QSize size = {600, 210}) : view_(compact) {
        view_.resize(size);
        view_.setTopCornersEnabled(corners.top);
        view_.setBottomCornersEnabled(corners.bottom);
        view_.setNotchHidden(corners.notchHidden);
        view_.setCornerRadius(corners.radius);
        image_ = view_.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        image_.setDevicePixelRatio(1);
    }
    const ScreenCornersPreviewView& view() const { return view_; }
    QRectF screen() const { return view_.screenRect(); }
    // The pixel at (dx, dy) from the screen's top-left corner (negative: from the right or
    // bottom edge).
    bool blackAt(double dx, double dy) const {
        const QRectF s = screen();
        const double x = dx >= 0 ? s.left() + dx : s.right() + dx;
        const double y = dy >= 0 ? s.top() + dy : s.bottom() + dy;
        return isBlack(image_.pixel(static_cast<int>(x), static_cast<int>(y)));
    }

private:
    bool application_ = (test::widgetApplication(), true);
    ScreenCornersPreviewView view_;
    QImage image_;
};

TEST(ScreenCornersPreviewTest, CornersAreBlackToTheScaledRadius) {
    // The detailed screen is 128 high: its largest corner is min(128 / 3, 28) = 28.
    struct Case {
        double radius;
        double displayed;
    };
    std::vector<int> runs;
    for (const Case& c : {Case{19, 19.0 / 80 * 28}, Case{80, 28}, Case{200, 28}}) {
        SCOPED_TRACE(c.radius);
        const Drawn drawn({true, true, false, c.radius});
        const double r = drawn.view().displayedRadius();
        EXPECT_NEAR(r, c.displayed, 1e-9);
        // Each of the four corners: black in the very corner, the wallpaper or the menu bar well
        // inside the curve.
        for (const auto& [sx, sy] :
             std::vector<std::pair<int, int>>{{1, 1}, {-1, 1}, {1, -1}, {-1, -1}}) {
            EXPECT_TRUE(drawn.blackAt(sx * 0.5, sy * 0.5)) << sx << "," << sy;
            EXPECT_FALSE(drawn.blackAt(sx * (0.6 * r + 2), sy * (0.6 * r + 2))) << sx << "," << sy;
        }
        // The black run along the second row from the bottom, from either side: it grows with
        // the radius and stays within the curve's reach along the edge.
        for (const int side : {1, -1}) {
            int run = 0;
            while (run < 200 && drawn.blackAt(side * (run + 0.5), -1.5)) ++run;
            EXPECT_GE(run, 1);
            EXPECT_LE(run, 1.6 * r);
            if (side == 1) runs.push_back(run);
        }
        // Along an edge, beyond the curve's reach, nothing is black.
        EXPECT_FALSE(drawn.blackAt(1.6 * r + 3, -1.5));
        EXPECT_FALSE(drawn.blackAt(1.5, -(1.6 * r + 3)));
    }
    EXPECT_LT(runs[0], runs[1]) << "19 draws a smaller corner than 80";
    EXPECT_EQ(runs[1], runs[2]) << "80 and above draw the largest corner";
}

TEST(ScreenCornersPreviewTest, NoCornerAtRadiusZeroAndNoneWhereSwitchedOff) {
    const Drawn none({true, true, false, 0});
    EXPECT_FALSE(none.blackAt(0.5, -0.5));
    EXPECT_FALSE(none.blackAt(-0.5, -0.5));
    EXPECT_FALSE(none.blackAt(1.5, -1.5));
    EXPECT_EQ(none.view().displayedRadius(), 0);

    const Drawn topOnly({true, false, false, 40});
    EXPECT_TRUE(topOnly.blackAt(1.5, 1.5));
    EXPECT_FALSE(topOnly.blackAt(1.5, -1.5));
    const Drawn bottomOnly({false, true, false, 40});
    EXPECT_TRUE(bottomOnly.blackAt(-1.5, -1.5));
    // The top-left corner is the menu bar's translucent white over the wallpaper.
    EXPECT_FALSE(bottomOnly.blackAt(1.5, 1.5));
}

TEST(ScreenCornersPreviewTest, HiddenNotchBlackensTheBarAndRoundsTheScreenBelowIt) {
    const Drawn shown({false, false, false, 40});
    const Drawn hidden({false, false, true, 40});
    const double bar = shown.view().menuBarHeight();
    const double g = shown.screen().width();
    // The notch: black in the middle of the top edge, the bar beside it is not.
    EXPECT_TRUE(shown.blackAt(g / 2, bar / 2));
    EXPECT_FALSE(shown.blackAt(g * 0.75, bar / 2));
    EXPECT_FALSE(shown.blackAt(1.5, bar + 0.5));
    // Hidden: the whole bar is black (away from its words), and the screen just below the bar
    // has black rounded corners; there is no notch reaching below the bar.
    EXPECT_TRUE(hidden.blackAt(g * 0.75, bar / 2));
    EXPECT_TRUE(hidden.blackAt(-3, bar / 2));
    EXPECT_TRUE(hidden.blackAt(1.5, bar + 0.5));
    EXPECT_TRUE(hidden.blackAt(-1.5, bar + 0.5));
    EXPECT_FALSE(hidden.blackAt(g / 2, bar + 2));
    EXPECT_FALSE(hidden.blackAt(1.5, bar + 0.6 * hidden.view().displayedRadius() + 8));
}

TEST(ScreenCornersPreviewTest, CompactScreenFillsTheCardAndScalesItsCorner) {
    const Drawn compact({true, true, false, 80}, /*compact=*/true, {168, 54});
    EXPECT_EQ(compact.screen(), QRectF(11, 7, 146, 40));
    EXPECT_NEAR(compact.view().displayedRadius(), 40.0 / 3, 1e-9);
    EXPECT_TRUE(compact.blackAt(1.5, -1.5));
    EXPECT_FALSE(compact.blackAt(compact.screen().width() / 2, -2));
}

TEST(ScreenCornersPreviewTest, StatusLineNamesEachSettingAndTheWholeRadius) {
    test::widgetApplication();
    ScreenCornersPreviewView view(false);
    view.setTopCornersEnabled(true);
    view.setBottomCornersEnabled(false);
    view.setNotchHidden(true);
    view.setCornerRadius(18.9);
    EXPECT_EQ(
        view.statusLine(),
        QStringLiteral("顶部：开启    ·    底部：关闭    ·    隐藏刘海：开启    ·    半径 18"));
}

// --- The window: both pictures follow the radius slider, the page is not rebuilt

class ScreenCornersWindowTest : public ::testing::Test {
protected:
    void SetUp() override { test::widgetApplication(); }

    void open(TaskbarSettings settings = {}) {
        SettingsWindowCallbacks callbacks;
        callbacks.onChange = [this](const TaskbarSettings& edited) { changes.push_back(edited); };
        controller = std::make_unique<SettingsPanelController>(
            std::move(settings), std::move(callbacks), services, views);
        controller->showWindow();
        test::settle();
    }
    template <class W>
    W* rowControl(const char* title) const {
        QWidget* row = findFormRow(controller->pageFormView(), QString::fromUtf8(title));
        EXPECT_NE(row, nullptr) << title;
        return row ? row->findChild<W*>() : nullptr;
    }
    ScreenCornersPreviewView* preview(const char* name) const {
        return controller->pageFormView()->findChild<ScreenCornersPreviewView*>(
            QString::fromUtf8(name));
    }

    class NoPrivacy final : public PrivacySettingsOpener {
    public:
        void open(std::string_view) override {}
    } privacy;
    SettingsImageLookup images;
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    PermissionProbe screenRecordingProbe{center, PermissionKind::screenRecording,
                                         [] { return "S"; }};
    PermissionProbe accessibilityProbe{center, PermissionKind::accessibility, [] { return "A"; }};
    test::ScriptedSettingsDialogs dialogs;
    test::RecordingNewFileSwitch newFile;
    test::RecordingNativeDockVisibility nativeDock;
    std::vector<TaskbarSettings> changes;
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

TEST_F(ScreenCornersWindowTest, HeaderCardShowsTheCompactScreenAndThePageTheDetailedOne) {
    TaskbarSettings settings;
    settings.screenTopCornersEnabled = false;
    settings.hideMenuBarNotch = true;
    settings.hideNotchCornerRadius = 33;
    open(settings);
    controller->selectFeaturePage(FeaturePage::hideNotch);
    test::settle();
    QWidget* card =
        controller->pageFormView()->findChild<QWidget*>(QStringLiteral("featureHeaderCard"));
    ASSERT_TRUE(card);
    auto* mini = card->findChild<ScreenCornersPreviewView*>();
    ASSERT_TRUE(mini) << "the header card shows the screen, not the taskbar drawing";
    EXPECT_TRUE(mini->compact());
    EXPECT_EQ(mini->size(), QSize(168, 54));
    ScreenCornersPreviewView* detail = preview("screenCornersDetailPreview");
    ASSERT_TRUE(detail);
    EXPECT_FALSE(detail->compact());
    EXPECT_EQ(detail->height(), 210);
    for (ScreenCornersPreviewView* view : {mini, detail}) {
        EXPECT_FALSE(view->topCornersEnabled());
        EXPECT_TRUE(view->bottomCornersEnabled());
        EXPECT_TRUE(view->notchHidden());
        EXPECT_EQ(view->cornerRadius(), 33);
    }
    // The mini preview of the other pages is not there.
    EXPECT_FALSE(card->findChild<MiniPreviewView*>());
}

TEST_F(ScreenCornersWindowTest, RadiusSliderRedrawsBothPicturesWithoutARebuild) {
    open();
    controller->selectFeaturePage(FeaturePage::hideNotch);
    test::settle();
    QPointer<FormView> page = controller->pageFormView();
    QPointer<ScreenCornersPreviewView> mini = preview("screenCornersMiniPreview");
    QPointer<ScreenCornersPreviewView> detail = preview("screenCornersDetailPreview");
    ASSERT_TRUE(mini && detail);
    const QImage before = detail->grab().toImage();

    auto* radius = rowControl<SliderRowControl>("圆角半径");
    ASSERT_TRUE(radius);
    radius->moveSlider(80.4);
    test::settle();
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes.back().hideNotchCornerRadius, 80);
    // Still the same page and the same two pictures, now at the new radius.
    EXPECT_EQ(controller->pageFormView(), page.data());
    ASSERT_TRUE(mini && detail);
    EXPECT_EQ(mini->cornerRadius(), 80);
    EXPECT_EQ(detail->cornerRadius(), 80);
    EXPECT_NE(detail->grab().toImage(), before);

    radius->moveSlider(18.6);
    test::settle();
    EXPECT_EQ(controller->settings().hideNotchCornerRadius, 19);
    EXPECT_EQ(mini->cornerRadius(), 19);
    EXPECT_EQ(detail->cornerRadius(), 19);
    EXPECT_EQ(controller->pageFormView(), page.data());

    // A switch of the page rebuilds; the new pictures show the new value.
    auto* bottom = rowControl<SettingsSwitch>("底部屏幕圆角");
    ASSERT_TRUE(bottom);
    bottom->click();
    test::settle();
    EXPECT_NE(controller->pageFormView(), page.data());
    ASSERT_TRUE(preview("screenCornersDetailPreview"));
    EXPECT_FALSE(preview("screenCornersDetailPreview")->bottomCornersEnabled());
    EXPECT_FALSE(preview("screenCornersMiniPreview")->bottomCornersEnabled());
}

// --- The close-protection table

struct ListEvents {
    std::vector<std::optional<CloseProtectionApp>> selected;
    int adds = 0;
    std::vector<CloseProtectionApp> removed;
};

CloseProtectionListSpec listSpec(std::vector<CloseProtectionApp> apps, ListEvents& events,
                                 std::optional<std::size_t> selectedRow = std::nullopt) {
    CloseProtectionListSpec spec;
    spec.apps = std::move(apps);
    spec.selectedRow = selectedRow;
    spec.onSelect = [&events](const std::optional<CloseProtectionApp>& app) {
        events.selected.push_back(app);
    };
    spec.onAdd = [&events] { ++events.adds; };
    spec.onRemove = [&events](const CloseProtectionApp& app) { events.removed.push_back(app); };
    return spec;
}

std::vector<CloseProtectionApp> someApps(int count) {
    std::vector<CloseProtectionApp> apps;
    for (int i = 0; i < count; ++i) {
        apps.push_back(
            {"App " + std::to_string(i), "app" + std::to_string(i) + ".desktop", std::nullopt});
    }
    return apps;
}

TEST(CloseProtectionListViewTest, EmptyTableSaysSoAndRemovingNeedsASelection) {
    test::widgetApplication();
    platform::FakeWorkspace workspace;
    ListEvents events;
    CloseProtectionListView view(listSpec({}, events), workspace);
    view.resize(560, 240);
    view.show();
    test::settle();
    ASSERT_TRUE(view.emptyLabel());
    EXPECT_EQ(view.emptyLabel()->text(), QStringLiteral("暂无白名单应用"));
    EXPECT_TRUE(view.emptyLabel()->isVisible());
    EXPECT_EQ(view.addButton()->text(), QStringLiteral("添加应用"));
    EXPECT_EQ(view.removeButton()->text(), QStringLiteral("移除选中"));
    EXPECT_EQ(view.addButton()->size(), QSize(92, 30));
    EXPECT_FALSE(view.removeButton()->isEnabled());
    view.addButton()->click();
    EXPECT_EQ(events.adds, 1);
}

TEST(CloseProtectionListViewTest, TableScrollsOnceItsRowsAreTallerThanItIs) {
    test::widgetApplication();
    platform::FakeWorkspace workspace;
    struct Case {
        int rows;
        bool scrolls;
    };
    // 150 high: three rows of 42 fit, four do not.
    for (const Case& c : {Case{3, false}, Case{4, true}, Case{5, true}}) {
        ListEvents events;
        CloseProtectionListView view(listSpec(someApps(c.rows), events), workspace);
        view.resize(560, 240);
        view.show();
        test::settle();
        EXPECT_EQ(view.table()->rowHeight(0), 42);
        EXPECT_EQ(view.table()->verticalScrollBar()->maximum() > 0, c.scrolls) << c.rows;
        EXPECT_FALSE(view.emptyLabel());
    }
}

TEST(CloseProtectionListViewTest, SelectingEnablesRemovalOfThatEntry) {
    test::widgetApplication();
    platform::FakeWorkspace workspace;
    ListEvents events;
    CloseProtectionListView view(listSpec(someApps(3), events), workspace);
    view.show();
    test::settle();
    view.removeButton()->click();  // nothing selected: nothing happens
    EXPECT_TRUE(events.removed.empty());
    view.table()->selectRow(2);
    EXPECT_TRUE(view.removeButton()->isEnabled());
    ASSERT_EQ(events.selected.size(), 1u);
    EXPECT_EQ(events.selected.back(), someApps(3)[2]);
    view.removeButton()->click();
    ASSERT_EQ(events.removed.size(), 1u);
    EXPECT_EQ(events.removed.front(), someApps(3)[2]);
    view.table()->clearSelection();
    EXPECT_FALSE(view.removeButton()->isEnabled());
    EXPECT_EQ(events.selected.back(), std::nullopt);
}

TEST(CloseProtectionListViewTest, ShowsTheSelectionItWasGivenAndNamesAsPlainText) {
    test::widgetApplication();
    platform::FakeWorkspace workspace;
    ListEvents events;
    std::vector<CloseProtectionApp> apps{{"<b>Bold</b>", std::nullopt, "/opt/x.desktop"},
                                         {"Plain", std::nullopt, std::nullopt}};
    CloseProtectionListView view(listSpec(apps, events, 1), workspace);
    view.resize(560, 240);
    view.show();
    test::settle();
    EXPECT_EQ(view.selectedApp(), apps[1]);
    EXPECT_TRUE(view.removeButton()->isEnabled());
    EXPECT_TRUE(events.selected.empty()) << "showing the selection is not a new choice";
    std::vector<QString> texts;
    for (QLabel* label : view.table()->findChildren<QLabel*>()) {
        if (label->textFormat() != Qt::PlainText && !label->text().isEmpty() &&
            label->pixmap().isNull()) {
            ADD_FAILURE() << "a label that may read markup: " << label->text().toStdString();
        }
        texts.push_back(label->text());
    }
    EXPECT_NE(std::find(texts.begin(), texts.end(), QStringLiteral("<b>Bold</b>")), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), QStringLiteral("/opt/x.desktop")), texts.end());
    EXPECT_NE(std::find(texts.begin(), texts.end(), QStringLiteral("未记录 Bundle ID")),
              texts.end());
    EXPECT_EQ(view.table()->item(0, 0)->data(Qt::AccessibleTextRole).toString(),
              QStringLiteral("<b>Bold</b>"));
}

// --- The application chooser

TEST(ApplicationChooserTest, OffersEveryApplicationAndConfirmsOnlyAChoice) {
    test::widgetApplication();
    platform::ApplicationChoiceRequest request{
        "添加关闭保护应用",
        "添加",
        {{"a.desktop", "Alpha", "/apps/a.desktop", {}},
         {"b.desktop", "<i>Beta</i>", "/apps/b.desktop", {}}}};
    ApplicationChooserDialog dialog(request);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("添加关闭保护应用"));
    ASSERT_EQ(dialog.list()->count(), 2);
    EXPECT_EQ(dialog.list()->item(1)->text(), QStringLiteral("<i>Beta</i>"));
    EXPECT_FALSE(dialog.list()->item(0)->icon().isNull())
        << "an application without icon shows the generic one";
    EXPECT_EQ(dialog.confirmButton()->text(), QStringLiteral("添加"));
    EXPECT_FALSE(dialog.confirmButton()->isEnabled());
    EXPECT_FALSE(dialog.chosenIndex());
    dialog.list()->setCurrentRow(1);
    EXPECT_TRUE(dialog.confirmButton()->isEnabled());
    EXPECT_EQ(dialog.chosenIndex(), std::optional<std::size_t>(1));
    dialog.confirmButton()->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

// The installed applications of a private desktop, through the desktop's own workspace.
TEST(ApplicationChooserTest, AddingOffersTheDesktopsInstalledApplications) {
    test::widgetApplication();
    const fs::path root = test::scratchDirectory("desktop-entries");
    const auto entry = [&](const fs::path& file, const std::string& keys) {
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "[Desktop Entry]\nType=Application\nExec=true\n" << keys;
    };
    entry(root / "home/applications/editor-10.desktop", "Name=Editor 10\n");
    entry(root / "data/applications/editor-2.desktop",
          "Name=Editor 2\nIcon=accessories-text-editor\n");
    entry(root / "data/applications/tools/mail.desktop", "Name=Mail\nName[zh_CN]=邮件\n");
    entry(root / "data/applications/hidden.desktop", "Name=Hidden\nNoDisplay=true\n");
    const ScopedVariable home("XDG_DATA_HOME", (root / "home").string());
    const ScopedVariable dirs("XDG_DATA_DIRS", (root / "data").string());

    const std::unique_ptr<platform::Workspace> desktop = platform::makeDesktopWorkspace();
    class DesktopServices final : public PageServices {
    public:
        DesktopServices(PageServices& base, platform::Workspace& workspace)
            : base_(base), workspace_(workspace) {}
        platform::Dialogs& dialogs() override { return base_.dialogs(); }
        platform::Workspace& workspace() override { return workspace_; }
        platform::Screens& screens() override { return base_.screens(); }
        platform::NotificationCenter& notifications() override { return base_.notifications(); }
        NativeDockVisibilitySwitch& nativeDockVisibility() override {
            return base_.nativeDockVisibility();
        }
        NativeDockFolderSettingsStore& nativeDockFolders() override {
            return base_.nativeDockFolders();
        }
        NewFileFeatureSwitch& newFile() override { return base_.newFile(); }
        AppUpdateCheck& updateCheck() override { return base_.updateCheck(); }

    private:
        PageServices& base_;
        platform::Workspace& workspace_;
    };
    test::RecordingPageHost host;
    DesktopServices services(host.fakes, *desktop);
    host.servicesOverride = &services;
    // In the users' own locale.
    const QLocale previous;
    QLocale::setDefault(QLocale(QStringLiteral("zh_CN")));
    host.scriptedDialogs().answerApplicationChoice("Editor 2");
    addCloseProtectionApp(host);
    QLocale::setDefault(previous);

    ASSERT_EQ(host.scriptedDialogs().applicationRequests.size(), 1u);
    std::vector<std::string> offered;
    for (const auto& application :
         host.scriptedDialogs().applicationRequests.front().applications) {
        offered.push_back(application.name);
    }
    EXPECT_EQ(offered, (std::vector<std::string>{"邮件", "Editor 2", "Editor 10"}));
    const CloseProtectionApp expected{"Editor 2", "editor-2.desktop",
                                      (root / "data/applications/editor-2.desktop").string()};
    EXPECT_EQ(host.settings().closeProtectionApps, (std::vector<CloseProtectionApp>{expected}));

    // An entry in a subdirectory has the id its path makes.
    host.scriptedDialogs().answerApplicationChoice("邮件");
    addCloseProtectionApp(host);
    ASSERT_EQ(host.settings().closeProtectionApps.size(), 2u);
    for (const CloseProtectionApp& added : host.settings().closeProtectionApps) {
        if (added.appName == "邮件") {
            EXPECT_EQ(added.bundleIdentifier, "tools-mail.desktop");
        }
    }
}

// --- The desktop's name order

TEST(NameOrderTest, FollowsTheLocalesCollationWithNumbersByValue) {
    test::widgetApplication();
    struct Case {
        const char* locale;
        const char* before;
        const char* after;
    };
    const std::vector<Case> cases{
        {"en_US", "Editor 2", "Editor 10"},
        {"en_US", "editor", "Editor 2"},
        {"en_US", "Émile", "Eva"},
        {"en_US", "Zoom", "计算器"},
        {"zh_CN", "Editor 9", "Editor 10"},
        // Chinese names before Latin ones.
        {"zh_CN", "计算器", "Zoom"},
        // Pinyin order (ān before zhōng), not the order of the code points.
        {"zh_CN", "安装器", "中文输入法"},
        {"zh_CN", "计算器", "邮件"},
    };
    const QLocale previous;
    for (const Case& c : cases) {
        QLocale::setDefault(QLocale(QString::fromUtf8(c.locale)));
        EXPECT_LT(platform::compareNamesForDisplay(c.before, c.after), 0)
            << c.locale << ": " << c.before << " before " << c.after;
        EXPECT_GT(platform::compareNamesForDisplay(c.after, c.before), 0);
    }
    QLocale::setDefault(QLocale::c());
    EXPECT_LT(platform::compareNamesForDisplay("App 2", "App 10"), 0)
        << "no locale: numbers by value";
    QLocale::setDefault(previous);
}

}  // namespace
}  // namespace tavrel
