// How MPRIS player state becomes the bridge's now-playing answers: the choice of player, the
// info entries and which commands a player is sent.

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <QDBusObjectPath>
#include <QStringList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include "platform/linux/mpris/mpris_player_info.h"
#include "platform/linux/mpris/now_playing_choice.h"

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
    return {{"Metadata", metadata},
            {"PlaybackStatus", status},
            {"Rate", rate},
            {"Position", qlonglong(2'500'000)}};
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
                 {"mpris:trackid", QVariant::fromValue(QDBusObjectPath("/t/1"))}},
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
         player({{"mpris:length", qulonglong(1'000'000)},
                 {"xesam:artist", "Solo"},
                 {"xesam:album", QStringList()}},
                "Stopped"),
         {{name("Duration"), 1.0},
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
        EXPECT_EQ(nowPlayingInfoFromProperties(c.properties, true, artwork), c.expected) << c.name;
    }
}

TEST(MprisInfoTest, WithoutAFreshPositionElapsedTimeIsLeftOut) {
    ArtworkCache artwork;
    const auto info = nowPlayingInfoFromProperties(player({}, "Playing"), false, artwork);
    EXPECT_FALSE(info.contains(nowPlayingInfoEntryName("ElapsedTime")));
    EXPECT_TRUE(info.contains(nowPlayingInfoEntryName("PlaybackRate")));
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
