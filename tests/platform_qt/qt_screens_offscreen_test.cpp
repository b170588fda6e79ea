// The Qt displays over the offscreen platform configured with two and three screens. A start of
// the settings application is a run of tavrel-screens-probe (a QGuiApplication printing what
// the settings application would see), so "across a restart" means across two processes. The
// offscreen screens report no EDID, so their identity is their connector name.

#include <set>
#include <string>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "core/settings/taskbar_display_selection.h"
#include "core/settings_pages/feature_pages.h"
#include "platform/linux/qt_screens.h"
#include "tests/settings_app/form_model_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel::platform {
namespace {

using Ids = std::vector<std::string>;

// Screens side by side, 1920 × 1080 each, the first primary.
QString writeConfiguration(const QTemporaryDir& directory, const QString& fileName,
                           const std::vector<std::string>& connectors) {
    QJsonArray screens;
    int x = 0;
    for (const std::string& connector : connectors) {
        screens.append(QJsonObject{{"name", QString::fromStdString(connector)},
                                   {"x", x},
                                   {"y", 0},
                                   {"width", 1920},
                                   {"height", 1080},
                                   {"logicalDpi", 96},
                                   {"logicalBaseDpi", 96},
                                   {"dpr", 1}});
        x += 1920;
    }
    const QString path = directory.filePath(fileName);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(QJsonObject{{"screens", screens}}).toJson());
    return path;
}

// One start of the application with this screen configuration.
std::vector<ScreenInfo> displaysOfOneStart(const QString& configuration) {
    QProcess probe;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen:configfile=" + configuration);
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(TAVREL_SCREENS_PROBE), {});
    // The deadline only stops a hang.
    EXPECT_TRUE(probe.waitForFinished(60000)) << "the probe did not end";
    EXPECT_EQ(probe.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(probe.exitCode(), 0) << probe.readAllStandardError().toStdString();
    std::vector<ScreenInfo> displays;
    for (const QByteArray& line : probe.readAllStandardOutput().split('\n')) {
        if (line.isEmpty()) continue;
        const QList<QByteArray> fields = line.split('\t');
        EXPECT_EQ(fields.size(), 3) << line.toStdString();
        if (fields.size() != 3) continue;
        displays.push_back(
            {fields[0].toStdString(), fields[2].toStdString(), fields[1] == "primary"});
    }
    return displays;
}

std::string idOf(const std::vector<ScreenInfo>& displays, std::string_view name) {
    for (const ScreenInfo& display : displays) {
        if (display.name == name) return display.identifier;
    }
    ADD_FAILURE() << "no display named " << name;
    return {};
}

Ids identifiersOf(const std::vector<ScreenInfo>& displays) {
    Ids ids;
    for (const ScreenInfo& display : displays) ids.push_back(display.identifier);
    return ids;
}

// Exactly one display is primary, and it comes first; which one the offscreen platform makes
// primary is its own affair.
void expectPrimaryFirst(const std::vector<ScreenInfo>& displays) {
    ASSERT_FALSE(displays.empty());
    EXPECT_TRUE(displays.front().isPrimary);
    for (std::size_t i = 1; i < displays.size(); ++i) EXPECT_FALSE(displays[i].isPrimary);
}

std::set<std::string> namesOf(const std::vector<ScreenInfo>& displays) {
    std::set<std::string> names;
    for (const ScreenInfo& display : displays) names.insert(display.name);
    return names;
}

TEST(QtScreensOffscreen, IdentifiersStayTheSameAcrossARestart) {
    const QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString two = writeConfiguration(directory, "two.json", {"DP-1", "HDMI-A-1"});
    const std::vector<ScreenInfo> first = displaysOfOneStart(two);
    ASSERT_EQ(first.size(), 2u);
    expectPrimaryFirst(first);
    EXPECT_EQ(namesOf(first), (std::set<std::string>{"DP-1", "HDMI-A-1"}));
    EXPECT_NE(first[0].identifier, first[1].identifier);
    // Without EDID the connector is the identity, by the same rule as for any description.
    for (const char* connector : {"DP-1", "HDMI-A-1"}) {
        EXPECT_EQ(idOf(first, connector),
                  identifyScreens({{"", "", "", connector, false}})[0].identifier);
    }

    EXPECT_EQ(displaysOfOneStart(two), first);

    // Started again with a third display plugged in, in another order: the two known displays
    // keep their identifiers.
    const QString three =
        writeConfiguration(directory, "three.json", {"HDMI-A-1", "eDP-1", "DP-1"});
    const std::vector<ScreenInfo> later = displaysOfOneStart(three);
    ASSERT_EQ(later.size(), 3u);
    expectPrimaryFirst(later);
    EXPECT_EQ(idOf(later, "DP-1"), idOf(first, "DP-1"));
    EXPECT_EQ(idOf(later, "HDMI-A-1"), idOf(first, "HDMI-A-1"));
    const std::set<std::string> unique{later[0].identifier, later[1].identifier,
                                       later[2].identifier};
    EXPECT_EQ(unique.size(), 3u);
    EXPECT_EQ(displaysOfOneStart(three), later);
}

// Three displays where the window system names one connector twice: each still has an
// identifier of its own, the same on every start, so switching one off never takes the taskbar
// off every display.
TEST(QtScreensOffscreen, DuplicatesAreMadeUniqueAndTheSelectionRulesHold) {
    const QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    const QString configuration =
        writeConfiguration(directory, "duplicates.json", {"DP-1", "DP-1", "DP-2"});
    const std::vector<ScreenInfo> displays = displaysOfOneStart(configuration);
    ASSERT_EQ(displays.size(), 3u);
    const Ids online = identifiersOf(displays);
    EXPECT_EQ(std::set<std::string>(online.begin(), online.end()).size(), 3u);
    EXPECT_EQ(identifiersOf(displaysOfOneStart(configuration)), online);

    namespace selection = TaskbarDisplaySelection;
    const std::string& a = online[0];
    const std::string& b = online[1];
    const std::string& c = online[2];
    const struct {
        const char* name;
        std::string toggled;
        Ids excluded;
        Ids expected;
    } toggles[] = {
        {"the first DP-1 off", a, {}, {a}}, {"the second DP-1 off", b, {}, {b}},
        {"both DP-1 off", b, {a}, {a, b}},  {"the last showing display stays", c, {a, b}, {a, b}},
        {"on again", a, {a, b}, {b}},
    };
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.name);
        const Ids result = selection::togglingExclusion(toggle.toggled, toggle.excluded, online);
        EXPECT_EQ(result, toggle.expected);
        EXPECT_NE(selection::ensuringOnlineSelection(result, online, a).size(), online.size());
    }
    // A document that excludes all three shows the first (the primary) again.
    EXPECT_EQ(selection::shownExclusions(Ids{c, b, a}, {}, {}, online), (Ids{c, b}));
}

// The displays page over the live screens of this process: one switch per screen, addressed
// by its identifier.
class LiveScreenServices final : public PageServices {
public:
    LiveScreenServices(PageServices& others, Screens& screens)
        : others_(others), screens_(screens) {}
    Dialogs& dialogs() override { return others_.dialogs(); }
    Workspace& workspace() override { return others_.workspace(); }
    Screens& screens() override { return screens_; }
    NotificationCenter& notifications() override { return others_.notifications(); }
    NativeDockVisibilitySwitch& nativeDockVisibility() override {
        return others_.nativeDockVisibility();
    }
    NativeDockFolderSettingsStore& nativeDockFolders() override {
        return others_.nativeDockFolders();
    }
    NewFileFeatureSwitch& newFile() override { return others_.newFile(); }
    AppUpdateCheck& updateCheck() override { return others_.updateCheck(); }

private:
    PageServices& others_;
    Screens& screens_;
};

TEST(QtScreensOffscreen, TheDisplaysPageHasOneSwitchPerScreen) {
    const QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    ASSERT_EQ(QCoreApplication::instance(), nullptr) << "run this test in a process of its own";
    const QString configuration =
        writeConfiguration(directory, "page.json", {"DP-1", "HDMI-A-1", "DP-2"});
    qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + configuration).toUtf8());
    static int argc = 1;
    static char name[] = "tavrel-screens-page-test";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    ASSERT_EQ(QGuiApplication::screens().size(), 3);

    const auto screens = makeQtScreens();
    test::RecordingPageHost host;
    LiveScreenServices services(host.fakes, *screens);
    host.servicesOverride = &services;
    const auto form = makeMultipleDisplaySettingsView(host);
    const std::vector<std::string> rows = test::layout(*form);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows.front(), "任务栏所在显示器（多选） / 选择所有显示器");
    EXPECT_EQ(rows.back(), "窗口打开位置 / 窗口打开位置跟随操作屏幕");
    // The primary display's row first, then the others.
    EXPECT_EQ(rows[1], "任务栏所在显示器（多选） / " +
                           QGuiApplication::primaryScreen()->name().toStdString());
    const std::set<std::string> displayRows(rows.begin() + 1, rows.end() - 1);
    EXPECT_EQ(displayRows, (std::set<std::string>{"任务栏所在显示器（多选） / DP-1",
                                                  "任务栏所在显示器（多选） / HDMI-A-1",
                                                  "任务栏所在显示器（多选） / DP-2"}));

    test::control<SwitchControl>(*form, "HDMI-A-1").action(false);
    const std::vector<ScreenInfo> online = screens->onlineScreens();
    EXPECT_EQ(host.settings().taskbarExcludedDisplayIdentifiers, Ids{idOf(online, "HDMI-A-1")});
    EXPECT_EQ(host.rebuilds, 1);
}

}  // namespace
}  // namespace tavrel::platform
