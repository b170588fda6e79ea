#include <regex>
#include <set>

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

#include "platform/fake/fake_screens.h"
#include "platform/linux/qt_screens.h"

namespace tavrel::platform {
namespace {

using Description = ScreenDescription;

std::string idOf(const std::vector<ScreenInfo>& screens, std::string_view name) {
    for (const ScreenInfo& screen : screens) {
        if (screen.name == name) return screen.identifier;
    }
    ADD_FAILURE() << "no display named " << name;
    return {};
}

TEST(ScreenIdentifiers, AreVersion5NameBasedUuids) {
    // The example of RFC 4122's namespace for domain names, as every implementation gives it.
    const Uuid dns = *Uuid::parse("6ba7b810-9dad-11d1-80b4-00c04fd430c8");
    EXPECT_EQ(nameBasedUuid(dns, "python.org").lowercaseString(),
              "886313e1-3b8a-5372-9b90-0c9aee199e5d");

    const auto screens = identifyScreens({{"Dell Inc.", "U2720Q", "ABC123", "DP-1", true}});
    ASSERT_EQ(screens.size(), 1u);
    const std::regex form("[0-9A-F]{8}-[0-9A-F]{4}-5[0-9A-F]{3}-[89AB][0-9A-F]{3}-[0-9A-F]{12}");
    EXPECT_TRUE(std::regex_match(screens[0].identifier, form)) << screens[0].identifier;
    EXPECT_EQ(screens[0].name, "Dell Inc. U2720Q");
    EXPECT_TRUE(screens[0].isPrimary);
}

TEST(ScreenIdentifiers, OneMonitorKeepsItsIdentifierAcrossReconnects) {
    const Description dell{"Dell Inc.", "U2720Q", "ABC123", "DP-1", false};
    const Description laptop{"", "", "", "eDP-1", true};
    const std::string before = identifyScreens({laptop, dell})[1].identifier;

    // Unplugged, then plugged into another connector, listed first, made primary.
    Description moved = dell;
    moved.connector = "HDMI-A-1";
    moved.isPrimary = true;
    Description secondary = laptop;
    secondary.isPrimary = false;
    const auto after = identifyScreens({moved, secondary});
    EXPECT_EQ(after[0].identifier, before);
    EXPECT_EQ(identifyScreens({dell})[0].identifier, before);

    // Another unit of the same model is another display.
    Description other = dell;
    other.serialNumber = "XYZ789";
    EXPECT_NE(identifyScreens({other})[0].identifier, before);
}

TEST(ScreenIdentifiers, WithoutEdidTheConnectorIsTheIdentity) {
    const auto first = identifyScreens({{"", "", "", "VGA-1", true}, {"", " ", "", "DP-2", false}});
    ASSERT_EQ(first.size(), 2u);
    EXPECT_EQ(first[0].name, "VGA-1");
    EXPECT_EQ(first[1].name, "DP-2");
    EXPECT_NE(first[0].identifier, first[1].identifier);
    EXPECT_EQ(identifyScreens({{"", "", "", "VGA-1", false}})[0].identifier, first[0].identifier);
    // The same monitor on another connector cannot be recognised.
    EXPECT_NE(identifyScreens({{"", "", "", "VGA-2", false}})[0].identifier, first[0].identifier);
    // A display reporting EDID fields never takes the identifier of a connector.
    EXPECT_NE(identifyScreens({{"", "VGA-1", "", "VGA-1", false}})[0].identifier,
              first[0].identifier);
}

TEST(ScreenIdentifiers, IdenticalMonitorsWithoutSerialsAreMadeUnique) {
    const Description left{"Dell Inc.", "U2720Q", "", "DP-1", false};
    const Description right{"Dell Inc.", "U2720Q", "", "DP-2", true};
    const auto both = identifyScreens({left, right});
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].name, "Dell Inc. U2720Q (DP-2)");  // the primary first
    EXPECT_TRUE(both[0].isPrimary);
    EXPECT_EQ(both[1].name, "Dell Inc. U2720Q (DP-1)");
    EXPECT_NE(both[0].identifier, both[1].identifier);

    // The first by connector keeps the identifier it has alone; the order of the list and the
    // choice of primary change nothing.
    const std::string alone = identifyScreens({left})[0].identifier;
    EXPECT_EQ(idOf(both, "Dell Inc. U2720Q (DP-1)"), alone);
    Description leftPrimary = left;
    leftPrimary.isPrimary = true;
    Description rightSecondary = right;
    rightSecondary.isPrimary = false;
    const auto swapped = identifyScreens({rightSecondary, leftPrimary});
    EXPECT_EQ(idOf(swapped, "Dell Inc. U2720Q (DP-1)"), alone);
    EXPECT_EQ(idOf(swapped, "Dell Inc. U2720Q (DP-2)"), idOf(both, "Dell Inc. U2720Q (DP-2)"));

    // Even a window system that reports one connector twice gets unique identifiers.
    const auto confused = identifyScreens({left, left, left});
    const std::set<std::string> unique{confused[0].identifier, confused[1].identifier,
                                       confused[2].identifier};
    EXPECT_EQ(unique.size(), 3u);
}

TEST(ScreenIdentifiers, NamesFromManufacturerAndModel) {
    const auto screens = identifyScreens({{"DEL", "DELL U2720Q", "1", "DP-1", false},
                                          {"Goldstar", "", "2", "DP-2", false},
                                          {"", "Projector", "", "HDMI-1", false}});
    EXPECT_EQ(screens[0].name, "DELL U2720Q");
    EXPECT_EQ(screens[1].name, "Goldstar");
    EXPECT_EQ(screens[2].name, "Projector");
    EXPECT_FALSE(screens[0].isPrimary);  // none is primary: the window system's order stays
}

TEST(FakeScreens, TellsEveryObserverOnceAndForgetsRemovedOnes) {
    FakeScreens screens({{"A", "Built-in", true}});
    int first = 0;
    int second = 0;
    Screens::ObserverId secondId = 0;
    screens.observe([&] {
        ++first;
        screens.removeObserver(secondId);  // may remove another while being called
    });
    secondId = screens.observe([&] { ++second; });
    screens.setScreens({{"A", "Built-in", true}, {"B", "Projector", false}});
    EXPECT_EQ(first, 0);
    screens.fireChange();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(screens.onlineScreens().size(), 2u);
    EXPECT_EQ(screens.observerCount(), 1u);
}

TEST(QtScreens, ReportsTheScreensOfTheApplication) {
    static int argc = 1;
    static char name[] = "tavrel-screens-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);

    const auto screens = makeQtScreens();
    const auto online = screens->onlineScreens();
    ASSERT_EQ(online.size(), static_cast<std::size_t>(QGuiApplication::screens().size()));
    ASSERT_FALSE(online.empty());
    const QScreen* primary = QGuiApplication::primaryScreen();
    const auto expected = identifyScreens(
        {{primary->manufacturer().toStdString(), primary->model().toStdString(),
          primary->serialNumber().toStdString(), primary->name().toStdString(), true}});
    EXPECT_EQ(online.front(), expected.front());

    // The window system's signals without a change of the list: nobody is told. The marker is
    // queued after the report, so when it has run the report has been made (or skipped).
    int calls = 0;
    const auto id = screens->observe([&] { ++calls; });
    QScreen* screen = QGuiApplication::primaryScreen();
    emit qGuiApp->primaryScreenChanged(screen);
    emit qGuiApp->screenAdded(screen);
    bool marker = false;
    QMetaObject::invokeMethod(
        qGuiApp, [&] { marker = true; }, Qt::QueuedConnection);
    while (!marker) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    EXPECT_EQ(calls, 0);
    screens->removeObserver(id);
}

}  // namespace
}  // namespace tavrel::platform
