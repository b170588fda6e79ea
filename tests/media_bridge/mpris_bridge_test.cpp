// The bridge program end to end on a private session bus, against scripted MPRIS players that
// run as processes of their own.

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QUrl>

#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "tests/media_bridge/line_process.h"
#include "tests/platform_qt/bus_flood.h"

namespace tavrel::testing {
namespace {

using nlohmann::json;
namespace fs = std::filesystem;

class MprisBridgeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "mpris_bridge_test";
        static char* argv[] = {name, nullptr};
        if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
    }

    void SetUp() override {
        directory_ = fs::path(std::getenv("HOME")) /
                     ::testing::UnitTest::GetInstance()->current_test_info()->name();
        fs::create_directories(directory_);
    }

    std::unique_ptr<FakePlayer> startPlayer(const std::string& name,
                                            const std::vector<std::string>& commands) {
        auto player = std::make_unique<FakePlayer>(name);
        EXPECT_TRUE(player->ready()) << name;
        for (const auto& command : commands) EXPECT_TRUE(player->command(command)) << command;
        return player;
    }

    static std::string fileUrl(const fs::path& path) {
        return QUrl::fromLocalFile(QString::fromStdString(path.string())).toEncoded().toStdString();
    }

    fs::path directory_;
};

std::function<bool(const json&)> reportWith(const std::string& key, const json& value) {
    return [key, value](const json& record) {
        return isReport(record) && record.contains(key) && record[key] == value;
    };
}

bool isAnswer(const json& record) {
    return record.contains("command");
}

TEST_F(MprisBridgeTest, ReportCarriesThePlayersValuesAndPid) {
    const std::string artwork("\x89PNG\r\n\x1a\n\0\x01\x02", 11);
    const fs::path artPath = directory_ / "cover art.png";
    std::ofstream(artPath, std::ios::binary) << artwork;
    const std::string artUrl = fileUrl(artPath);
    auto player = startPlayer(
        "alpha", {"title Blue in Green", "artist Miles Davis|Bill Evans", "album Kind of Blue",
                  "length 337500000", "trackid /org/tavrel/track/1", "position 12250000",
                  "rate 1.5", "arturl " + artUrl, "status Paused"});

    BridgeProcess bridge;
    auto report = bridge.waitForRecord(isReport);
    ASSERT_TRUE(report);
    // Paused: the position stands still, so the rate is 0.
    EXPECT_EQ(*report, json({{"Title", "Blue in Green"},
                             {"Artist", "Miles Davis, Bill Evans"},
                             {"Album", "Kind of Blue"},
                             {"Duration", 337.5},
                             {"ElapsedTime", 12.25},
                             {"PlaybackRate", 0.0},
                             {"ArtworkIdentifier", artUrl},
                             {"ArtworkData", base64::encode(artwork)},
                             {"isPlaying", false},
                             {"pid", player->pid()}}));

    ASSERT_TRUE(player->command("status Playing"));
    report = bridge.waitForRecord(reportWith("isPlaying", true));
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["PlaybackRate"], 1.5);
    EXPECT_GE((*report)["ElapsedTime"].get<double>(), 12.25);
    EXPECT_EQ((*report)["Title"], "Blue in Green");
    EXPECT_EQ((*report)["pid"], player->pid());
}

TEST_F(MprisBridgeTest, ArtworkIsReadOnlyFromSmallRegularFiles) {
    const fs::path small = directory_ / "small.jpg";
    std::ofstream(small, std::ios::binary) << "JFIF";
    const fs::path large = directory_ / "large.jpg";
    std::ofstream(large, std::ios::binary) << std::string(4 * 1024 * 1024 + 1, 'x');
    const fs::path fifo = directory_ / "fifo.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);

    auto player = startPlayer("alpha", {"title Song", "trackid /org/tavrel/track/7"});
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.waitForRecord(isReport));

    const struct {
        const char* name;
        std::string artUrl;
        json identifier;
        std::optional<std::string> data;
    } cases[] = {
        {"small file", fileUrl(small), fileUrl(small), base64::encode(std::string("JFIF"))},
        {"file over the size cap", fileUrl(large), fileUrl(large), std::nullopt},
        {"FIFO (would block a plain read)", fileUrl(fifo), fileUrl(fifo), std::nullopt},
        {"directory", fileUrl(directory_), fileUrl(directory_), std::nullopt},
        {"missing file", fileUrl(directory_ / "none.png"), fileUrl(directory_ / "none.png"),
         std::nullopt},
        {"not a local file", "https://example.com/a.png", "https://example.com/a.png",
         std::nullopt},
        {"no art URL: the track id names the artwork", "", "/org/tavrel/track/7", std::nullopt},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(player->command("arturl " + c.artUrl)) << c.name;
        auto report = bridge.waitForRecord(reportWith("ArtworkIdentifier", c.identifier));
        ASSERT_TRUE(report) << c.name;
        if (c.data) {
            EXPECT_EQ(report->value("ArtworkData", ""), *c.data) << c.name;
        } else {
            EXPECT_FALSE(report->contains("ArtworkData")) << c.name;
        }
    }
}

TEST_F(MprisBridgeTest, CommandsReachThePlayer) {
    auto player = startPlayer("alpha", {"title Song", "status Playing"});
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.waitForRecord(isReport));

    const struct {
        std::string line;
        int command;
        std::string method;
    } cases[] = {
        {"2", 2, "PlayPause"},
        {"4", 4, "Next"},
        {"5", 5, "Previous"},
        {"4 and more", 4, "Next"},
    };
    for (const auto& c : cases) {
        bridge.writeLine(c.line);
        EXPECT_EQ(bridge.waitForRecord(isAnswer),
                  json({{"command", c.command}, {"accepted", true}}))
            << c.line;
        EXPECT_TRUE(player->waitForCall(c.method)) << c.line;
        EXPECT_TRUE(bridge.waitForRecord(isReport)) << "report after " << c.line;
    }

    // A player that says it cannot skip is not asked to.
    ASSERT_TRUE(player->command("can CanGoNext false"));
    // Signals from one sender arrive in order: once the bridge reports the new title, it knows.
    ASSERT_TRUE(player->command("title Last"));
    ASSERT_TRUE(bridge.waitForRecord(reportWith("Title", "Last")));
    bridge.writeLine("4");
    EXPECT_TRUE(bridge.waitForRecord(isAnswer) == json({{"command", 4}, {"accepted", false}}));
    bridge.writeLine("5");
    EXPECT_TRUE(player->waitForCall("Previous"));
    for (const auto& line : player->unread()) EXPECT_NE(line, "called Next");
}

TEST_F(MprisBridgeTest, ChangesProduceReportsWithoutBeingAsked) {
    auto player = startPlayer("alpha", {"title First", "length 100000000", "status Playing"});
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.waitForRecord(reportWith("Title", "First")));

    ASSERT_TRUE(player->command("title Second"));
    EXPECT_TRUE(bridge.waitForRecord(reportWith("Title", "Second")));
    ASSERT_TRUE(player->command("status Paused"));
    EXPECT_TRUE(bridge.waitForRecord(reportWith("isPlaying", false)));
    ASSERT_TRUE(player->command("seek 30000000"));
    EXPECT_TRUE(bridge.waitForRecord(reportWith("ElapsedTime", 30.0)));
}

// Another program on the bus sends one very large PropertiesChanged signal, or a backlog of
// them: the bridge works them off and still reports the player's next change.
TEST_F(MprisBridgeTest, FollowsThePlayerAfterALargeSignalAndAfterABacklog) {
    const struct {
        const char* name;
        std::function<bool(pid_t)> flood;
    } cases[] = {
        {"one large signal",
         [](pid_t) {
             return sendLargeSignal([](const QString& text) {
                 return signalWith("/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                                   "PropertiesChanged", {text, QVariantMap{}, QStringList{}});
             });
         }},
        {"a backlog of property changes",
         [](pid_t pid) {
             return sendBacklogTo(pid, [](const QString& text) {
                 return signalWith("/org/mpris/MediaPlayer2", "org.freedesktop.DBus.Properties",
                                   "PropertiesChanged",
                                   {QStringLiteral("org.mpris.MediaPlayer2.Player"),
                                    QVariantMap{{QStringLiteral("Metadata"),
                                                 QVariant::fromValue(QVariantMap{
                                                     {QStringLiteral("xesam:title"), text}})}},
                                    QStringList{}});
             });
         }},
    };
    int round = 0;
    for (const auto& c : cases) {
        const std::string before = "Before " + std::to_string(round);
        const std::string after = "After " + std::to_string(round++);
        auto player = startPlayer("alpha", {"title " + before, "status Playing"});
        BridgeProcess bridge;
        ASSERT_TRUE(bridge.waitForRecord(reportWith("Title", before))) << c.name;
        ASSERT_TRUE(c.flood(static_cast<pid_t>(bridge.pid()))) << c.name;
        ASSERT_TRUE(player->command("title " + after)) << c.name;
        EXPECT_TRUE(bridge.waitForRecord(reportWith("Title", after), nullptr, 60000)) << c.name;
    }
}

TEST_F(MprisBridgeTest, ThePositionFollowsThePlayer) {
    auto player = startPlayer("alpha", {"title Song", "length 300000000", "trackid /t/1",
                                        "position 5000000", "status Paused"});
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.waitForRecord(reportWith("ElapsedTime", 5.0)));

    // A new track starts at its beginning.
    ASSERT_TRUE(player->command("position 50000000"));
    ASSERT_TRUE(player->command("trackid /t/2"));
    EXPECT_TRUE(bridge.waitForRecord([](const json& r) {
        return isReport(r) && r.value("ArtworkIdentifier", "") == "/t/2" &&
               r.value("ElapsedTime", -1.0) == 0.0;
    }));

    // A player that moved without saying so is caught up with after the next report.
    ASSERT_TRUE(player->command("position 100000000"));
    bridge.writeLine("refresh");
    EXPECT_TRUE(bridge.waitForRecord(reportWith("ElapsedTime", 100.0)));
}

TEST_F(MprisBridgeTest, ThePlayingPlayerIsChosenElseTheLastChanged) {
    auto alpha = startPlayer("alpha", {"title A", "status Paused"});
    auto beta = startPlayer("beta", {"title B", "status Playing"});
    ASSERT_TRUE(alpha->command("title A2"));  // changed last, but paused

    BridgeProcess bridge;
    auto report = bridge.waitForRecord(isReport);
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["Title"], "B");
    EXPECT_EQ((*report)["pid"], beta->pid());

    // Nothing plays: the player that changed last is the now-playing one.
    ASSERT_TRUE(beta->command("status Paused"));
    report = bridge.waitForRecord(reportWith("isPlaying", false));
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["pid"], beta->pid());
    ASSERT_TRUE(alpha->command("title A3"));
    report = bridge.waitForRecord(reportWith("Title", "A3"));
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["pid"], alpha->pid());

    // Playing beats changing: beta stays chosen while alpha keeps changing. Each command's
    // announcement reaches the bridge before the next one's, so by the report of B2 the bridge
    // has seen A4.
    ASSERT_TRUE(beta->command("status Playing"));
    ASSERT_TRUE(bridge.waitForRecord(reportWith("pid", beta->pid())));
    ASSERT_TRUE(alpha->command("title A4"));
    ASSERT_TRUE(beta->command("title B2"));
    std::vector<json> between;
    report = bridge.waitForRecord(reportWith("Title", "B2"), &between);
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["pid"], beta->pid());
    for (const auto& record : between) EXPECT_EQ(record["pid"], beta->pid()) << record;
}

TEST_F(MprisBridgeTest, PlayersAppearingAndLeavingAreFollowed) {
    auto alpha = startPlayer("alpha", {"title A", "status Paused"});
    BridgeProcess bridge;
    ASSERT_TRUE(bridge.waitForRecord(reportWith("Title", "A")));

    auto beta = startPlayer("beta", {"title B", "status Playing"});
    auto report = bridge.waitForRecord(reportWith("Title", "B"));
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["pid"], beta->pid());

    beta->writeLine("quit");
    ASSERT_EQ(beta->waitForExit(), 0);
    report = bridge.waitForRecord(reportWith("Title", "A"));
    ASSERT_TRUE(report);
    EXPECT_EQ((*report)["pid"], alpha->pid());

    alpha->closeInput();
    ASSERT_EQ(alpha->waitForExit(), 0);
    EXPECT_EQ(bridge.waitForRecord(reportWith("pid", 0)), json({{"isPlaying", false}, {"pid", 0}}));

    // Still serving after its last player left.
    bridge.writeLine("2");
    EXPECT_EQ(bridge.waitForRecord(isAnswer), json({{"command", 2}, {"accepted", false}}));
}

TEST_F(MprisBridgeTest, LinesAreAnsweredInProtocolOrderAndClosingInputEndsTheBridge) {
    BridgeProcess bridge;
    EXPECT_EQ(bridge.nextRecord(), json({{"isPlaying", false}, {"pid", 0}}));

    // Ignored lines leave no trace: the next line out belongs to the refresh after them.
    bridge.writeLine("3");
    bridge.writeLine("0");
    bridge.writeLine("refresh now");
    EXPECT_EQ(bridge.nextRecord(), json({{"isPlaying", false}, {"pid", 0}}));

    bridge.writeLine("5");
    EXPECT_EQ(bridge.nextRecord(), json({{"command", 5}, {"accepted", false}}));
    EXPECT_EQ(bridge.nextRecord(), json({{"isPlaying", false}, {"pid", 0}}));

    bridge.closeInput();
    EXPECT_EQ(bridge.waitForExit(), 0);
}

// A client that writes its lines and closes its end at once (`echo 4 | tavrel-media-bridge`):
// the lines are still carried out, their commands reach the player and the reports they asked
// for are written before the bridge ends with status 0.
TEST_F(MprisBridgeTest, LinesWrittenJustBeforeTheEndOfInputAreCarriedOut) {
    auto player = startPlayer("alpha", {"title Song", "status Playing"});
    const auto records = [](const BridgeProcess& bridge) {
        std::vector<json> parsed;
        for (const auto& line : bridge.unread()) parsed.push_back(json::parse(line));
        return parsed;
    };

    {
        BridgeProcess bridge;
        bridge.writeLine("refresh");
        bridge.closeInput();
        ASSERT_EQ(bridge.waitForExit(), 0);
        const auto output = records(bridge);
        ASSERT_FALSE(output.empty());
        for (const auto& record : output) {
            EXPECT_TRUE(isReport(record) && record.value("Title", "") == "Song" &&
                        record.value("isPlaying", false))
                << record;
        }
    }

    const struct {
        std::string line;
        std::string method;
        bool playingAfter;  // the fake player toggles on PlayPause, and ignores Next
    } commands[] = {{"4", "Next", true}, {"2", "PlayPause", false}};
    for (const auto& c : commands) {
        SCOPED_TRACE(c.line);
        BridgeProcess bridge;
        bridge.writeLine(c.line);
        bridge.closeInput();
        ASSERT_EQ(bridge.waitForExit(), 0);
        EXPECT_TRUE(player->waitForCall(c.method));
        // The answer, and after it the report of the player's state after the command.
        const auto output = records(bridge);
        const auto answer = std::find_if(output.begin(), output.end(), isAnswer);
        ASSERT_NE(answer, output.end());
        EXPECT_EQ(*answer, json({{"command", std::stoi(c.line)}, {"accepted", true}}));
        ASSERT_TRUE(std::any_of(answer, output.end(), isReport));
        EXPECT_EQ(output.back().value("isPlaying", !c.playingAfter), c.playingAfter)
            << output.back();
    }
}

TEST_F(MprisBridgeTest, WithoutASessionBusTheBridgeReportsFailureAndEndsWithStatusOne) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(
        QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
        QStringLiteral("unix:path=") + QString::fromStdString((directory_ / "no-bus").string()));
    BridgeProcess bridge(environment);
    EXPECT_EQ(bridge.waitForExit(), 1);
    EXPECT_EQ(std::vector<std::string>(bridge.unread().begin(), bridge.unread().end()),
              std::vector<std::string>{R"({"error":"media-symbols-unavailable"})"});
}

TEST(MediaBridgeLibraryTest, ExportsOnlyItsEntryPoint) {
    FILE* nm =
        ::popen("nm -D --defined-only " TAVREL_BINARY_DIR "/lib/libTavrelMediaBridge.so", "r");
    ASSERT_NE(nm, nullptr);
    std::vector<std::string> symbols;
    std::array<char, 512> line{};
    while (std::fgets(line.data(), int(line.size()), nm)) {
        std::string text(line.data());
        symbols.push_back(text.substr(text.find_last_of(' ') + 1));
    }
    ASSERT_EQ(::pclose(nm), 0);
    EXPECT_EQ(symbols, std::vector<std::string>{"TavrelMediaBridgeRun\n"});
}

}  // namespace
}  // namespace tavrel::testing
