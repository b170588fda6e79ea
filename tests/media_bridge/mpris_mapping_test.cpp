// How MPRIS player state becomes the bridge's now-playing answers: the choice of player, the
// info entries and which commands a player is sent.

#include <chrono>
#include <cmath>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "platform/linux/mpris/mpris_player_info.h"
#include "platform/linux/mpris/now_playing_choice.h"
#include "platform/linux/mpris/playback_position.h"

namespace tavrel::platform::mpris {
namespace {

TEST(NowPlayingChoiceTest, PlayingWinsThenTheMostRecentChange) {
    const struct {
        const char* name;
        std::vector<PlayerCandidate> candidates;
        std::optional<std::size_t> chosen;
    } cases[] = {
        {"no players", {}, std::nullopt},
        {"one paused player", {{false, 3}}, 0},
        {"playing beats a later change", {{true, 1}, {false, 9}}, 0},
        {"playing beats a later change, either order", {{false, 9}, {true, 1}}, 1},
        {"of two playing, the later change", {{true, 4}, {true, 7}, {false, 8}}, 1},
        {"nothing plays: the later change", {{false, 5}, {false, 2}, {false, 6}}, 2},
    };
    for (const auto& c : cases) EXPECT_EQ(chooseNowPlaying(c.candidates), c.chosen) << c.name;
}

QVariantMap player(const QVariantMap& metadata, const QString& status, QVariant rate = 1.0) {
    return {{"Metadata", metadata}, {"PlaybackStatus", status}, {"Rate", rate}};
}

TEST(MprisInfoTest, PropertiesBecomeInfoEntries) {
    const auto name = [](const char* key) { return nowPlayingInfoEntryName(key); };
    const struct {
        const char* name;
        QVariantMap properties;
        NowPlayingInfo expected;
    } cases[] = {
        {"a plain track",
         player({{"xesam:title", "T"},
                 {"xesam:artist", QStringList{"A", "B"}},
                 {"xesam:album", "L"},
                 {"mpris:length", qlonglong(90'000'000)},
                 {"mpris:trackid", "/t/1"}},
                "Playing"),
         {{name("Title"), std::string("T")},
          {name("Artist"), std::string("A, B")},
          {name("Album"), std::string("L")},
          {name("Duration"), 90.0},
          {name("ElapsedTime"), 2.5},
          {name("PlaybackRate"), 1.0},
          {name("ArtworkIdentifier"), std::string("/t/1")}}},
        {"paused: rate 0 whatever the player's rate",
         player({{"xesam:title", "T"}}, "Paused", 2.0),
         {{name("Title"), std::string("T")},
          {name("ElapsedTime"), 2.5},
          {name("PlaybackRate"), 0.0}}},
        {"playing without a usable rate plays at 1",
         player({}, "Playing", std::numeric_limits<double>::quiet_NaN()),
         {{name("ElapsedTime"), 2.5}, {name("PlaybackRate"), 1.0}}},
        {"lengths in other integer types; a single artist string; a list is another type",
         player({{"mpris:length", qulonglong(10'000'000)},
                 {"xesam:artist", "Solo"},
                 {"xesam:album", QStringList()}},
                "Stopped"),
         {{name("Duration"), 10.0},
          {name("Artist"), std::string("Solo")},
          {name("Album"), OtherNowPlayingValue{}},
          {name("ElapsedTime"), 2.5},
          {name("PlaybackRate"), 0.0}}},
        {"negative lengths, empty artist lists and the no-track id are left out",
         player({{"mpris:length", qlonglong(-5)},
                 {"xesam:title", QStringList{"x"}},
                 {"xesam:artist", QVariantList{}},
                 {"mpris:trackid", "/org/mpris/MediaPlayer2/TrackList/NoTrack"}},
                "Stopped"),
         {{name("Title"), OtherNowPlayingValue{}},
          {name("ElapsedTime"), 2.5},
          {name("PlaybackRate"), 0.0}}},
    };
    for (const auto& c : cases) {
        ArtworkCache artwork;
        EXPECT_EQ(nowPlayingInfoFromProperties(c.properties, 2'500'000, artwork), c.expected)
            << c.name;
    }
}

TEST(MprisInfoTest, ElapsedTimeIsLeftOutWhenUnknownAndNeverPassesTheEnd) {
    const auto elapsed = nowPlayingInfoEntryName("ElapsedTime");
    const struct {
        const char* name;
        QVariantMap metadata;
        std::optional<std::int64_t> position;
        std::optional<NowPlayingValue> expected;
    } cases[] = {
        {"unknown position", {}, std::nullopt, std::nullopt},
        {"within the track", {{"mpris:length", qlonglong(10'000'000)}}, 4'000'000, 4.0},
        {"past the end", {{"mpris:length", qlonglong(10'000'000)}}, 12'000'000, 10.0},
        {"no length to stop at", {}, 12'000'000, 12.0},
        {"a zero length means unknown", {{"mpris:length", qlonglong(0)}}, 12'000'000, 12.0},
    };
    for (const auto& c : cases) {
        ArtworkCache artwork;
        const auto info =
            nowPlayingInfoFromProperties(player(c.metadata, "Playing"), c.position, artwork);
        const auto it = info.find(elapsed);
        EXPECT_EQ(it == info.end() ? std::nullopt : std::optional(it->second), c.expected)
            << c.name;
    }
}

TEST(PlaybackPositionTest, AdvancesAtTheRateBetweenAnnouncedChanges) {
    using std::chrono::seconds;
    const PlaybackPosition::Time t0{};
    const struct {
        const char* name;
        std::function<void(PlaybackPosition&)> events;
        PlaybackPosition::Time at;
        std::optional<std::int64_t> expected;
    } cases[] = {
        {"nothing known yet", [](auto&) {}, t0 + seconds(5), std::nullopt},
        {"paused: stands still", [&](auto& p) { p.set(3'000'000, t0); }, t0 + seconds(5),
         3'000'000},
        {"playing at 1.5",
         [&](auto& p) {
             p.changeRate(1.5, t0);
             p.set(3'000'000, t0);
         },
         t0 + seconds(2), 6'000'000},
        {"a pause keeps the position reached",
         [&](auto& p) {
             p.changeRate(1.0, t0);
             p.set(0, t0);
             p.changeRate(0, t0 + seconds(4));
         },
         t0 + seconds(60), 4'000'000},
        {"a seek while playing starts over from there",
         [&](auto& p) {
             p.changeRate(1.0, t0);
             p.set(0, t0);
             p.set(30'000'000, t0 + seconds(10));
         },
         t0 + seconds(11), 31'000'000},
        {"never negative (rewinding, or a negative position)",
         [&](auto& p) {
             p.changeRate(-2.0, t0);
             p.set(1'000'000, t0);
         },
         t0 + seconds(5), 0},
    };
    for (const auto& c : cases) {
        PlaybackPosition position;
        c.events(position);
        EXPECT_EQ(position.at(c.at), c.expected) << c.name;
    }
}

TEST(MprisInfoTest, NewTracksAreToldApartByIdElseByUrlAndTitle) {
    const struct {
        const char* name;
        QVariantMap before;
        QVariantMap after;
        bool isNew;
    } cases[] = {
        {"same id, new art",
         {{"mpris:trackid", "/t/1"}},
         {{"mpris:trackid", "/t/1"}, {"mpris:artUrl", "file:///a"}},
         false},
        {"new id", {{"mpris:trackid", "/t/1"}}, {{"mpris:trackid", "/t/2"}}, true},
        {"no ids, same title",
         {{"xesam:title", "A"}},
         {{"xesam:title", "A"}, {"xesam:album", "B"}},
         false},
        {"no ids, new title", {{"xesam:title", "A"}}, {{"xesam:title", "B"}}, true},
        {"no ids, new URL", {{"xesam:url", "file:///1"}}, {{"xesam:url", "file:///2"}}, true},
    };
    for (const auto& c : cases) EXPECT_EQ(isNewTrack(c.before, c.after), c.isNew) << c.name;
}

TEST(MprisInfoTest, BusValuesBecomePlainValues) {
    const QVariant onTheBus = QVariant::fromValue(QDBusVariant(QVariantMap{
        {"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/t/1"))},
        {"xesam:artist", QVariantList{QVariant::fromValue(QDBusVariant("A"))}},
        {"nested", QVariantMap{{"deeper", QVariant::fromValue(QDBusVariant(qlonglong(5)))}}}}));
    const QVariantMap plain = plainDBusMap(onTheBus);
    EXPECT_EQ(plain.value("mpris:trackid"), QVariant(QStringLiteral("/t/1")));
    EXPECT_EQ(plain.value("xesam:artist"), QVariant(QVariantList{QStringLiteral("A")}));
    EXPECT_EQ(plain.value("nested").toMap().value("deeper"), QVariant(qlonglong(5)));
    EXPECT_TRUE(plainDBusMap(QVariant(QStringLiteral("not a map"))).isEmpty());
}

TEST(MprisCommandTest, PlayersAreOnlyAskedWhatTheySayTheyCanDo) {
    const struct {
        const char* name;
        QVariantMap properties;
        int command;
        bool allowed;
    } cases[] = {
        {"nothing published: allowed", {}, 4, true},
        {"next with CanGoNext", {{"CanGoNext", true}}, 4, true},
        {"next without CanGoNext", {{"CanGoNext", false}}, 4, false},
        {"previous without CanGoPrevious", {{"CanGoPrevious", false}}, 5, false},
        {"no control at all", {{"CanControl", false}}, 2, false},
        {"pause a playing player that cannot pause",
         {{"PlaybackStatus", "Playing"}, {"CanPause", false}},
         2,
         false},
        {"play a paused player that cannot pause",
         {{"PlaybackStatus", "Paused"}, {"CanPause", false}},
         2,
         true},
        {"play a paused player that cannot play",
         {{"PlaybackStatus", "Paused"}, {"CanPlay", false}},
         2,
         false},
        {"a command the bridge never sends", {}, 3, false},
    };
    for (const auto& c : cases) EXPECT_EQ(canPerform(c.properties, c.command), c.allowed) << c.name;
    EXPECT_EQ(methodForCommand(2), "PlayPause");
    EXPECT_EQ(methodForCommand(4), "Next");
    EXPECT_EQ(methodForCommand(5), "Previous");
}

}  // namespace
}  // namespace tavrel::platform::mpris
