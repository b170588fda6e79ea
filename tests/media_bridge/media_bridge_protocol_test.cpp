// The bridge's line protocol against a scripted now-playing source and a main queue whose time
// moves only when the test says so.

#include <cstdint>
#include <functional>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/media_bridge/bridge_command.h"
#include "core/media_bridge/bridge_line_reader.h"
#include "core/media_bridge/media_bridge.h"
#include "core/media_bridge/now_playing_report.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/now_playing.h"

namespace tavrel {
namespace {

using nlohmann::json;
using platform::NowPlayingInfo;
using std::chrono::milliseconds;

// Answers with the state as it was when asked, at once, on the next queue turn, or when the
// test releases the held answers (in either order), so that requests can overlap.
class ScriptedSource final : public platform::NowPlayingSource {
public:
    enum class Answer { immediately, onNextTurn, whenReleased };

    explicit ScriptedSource(platform::ManualMainQueue& queue) : queue_(queue) {}

    std::optional<NowPlayingInfo> info;
    bool playing = false;
    std::int64_t pid = 0;
    bool acceptCommands = true;
    Answer answer = Answer::onNextTurn;
    std::vector<int> sent;
    ChangeObserver observer;

    void getNowPlayingInfo(InfoCallback done) override {
        reply([done, snapshot = info] { done(snapshot); });
    }
    void getNowPlayingApplicationIsPlaying(IsPlayingCallback done) override {
        reply([done, snapshot = playing] { done(snapshot); });
    }
    void getNowPlayingApplicationPID(PidCallback done) override {
        reply([done, snapshot = pid] { done(snapshot); });
    }
    bool sendCommand(int command) override {
        sent.push_back(command);
        return acceptCommands;
    }
    void registerForNowPlayingNotifications(ChangeObserver changes) override {
        observer = std::move(changes);
    }
    // Commands count as delivered when the test says so.
    void whenCommandsDelivered(std::function<void()> done) override {
        deliveryWaiting.push_back(std::move(done));
    }
    void deliverCommands() {
        auto waiting = std::move(deliveryWaiting);
        deliveryWaiting.clear();
        for (auto& done : waiting) done();
    }
    std::vector<std::function<void()>> deliveryWaiting;

    void releaseHeld(bool newestFirst = false) {
        auto held = std::move(held_);
        held_.clear();
        if (newestFirst) std::reverse(held.begin(), held.end());
        for (auto& answer : held) answer();
    }
    void dropHeld() { held_.clear(); }

private:
    void reply(std::function<void()> answerNow) {
        switch (answer) {
            case Answer::immediately:
                answerNow();
                break;
            case Answer::onNextTurn:
                queue_.async(std::move(answerNow));
                break;
            case Answer::whenReleased:
                held_.push_back(std::move(answerNow));
                break;
        }
    }

    platform::ManualMainQueue& queue_;
    std::vector<std::function<void()>> held_;
};

NowPlayingInfo titled(const std::string& title) {
    return {{platform::nowPlayingInfoEntryName("Title"), title}};
}

class BridgeFixture : public ::testing::Test {
protected:
    std::vector<json> takeOutput() {
        std::vector<json> lines;
        for (const auto& line : output_) {
            EXPECT_EQ(line.find('\n'), std::string::npos) << line;
            lines.push_back(json::parse(line));
        }
        output_.clear();
        return lines;
    }

    platform::ManualMainQueue queue_;
    ScriptedSource source_{queue_};
    std::vector<std::string> output_;
    MediaBridge bridge_{source_, queue_,
                        [this](std::string_view line) { output_.emplace_back(line); }};
};

// --- reading command lines --------------------------------------------------------------------

TEST(BridgeCommandTest, LeadingIntegerIsReadLikeThePlatformDoes) {
    constexpr auto kMax = std::numeric_limits<std::int64_t>::max();
    constexpr auto kMin = std::numeric_limits<std::int64_t>::min();
    const struct {
        std::string text;
        std::int64_t value;
    } cases[] = {
        {"4", 4},
        {"4 and more", 4},
        {" \t+5x", 5},
        {"-4", -4},
        {"0004", 4},
        {"4.9", 4},
        {"", 0},
        {"refresh", 0},
        {"- 4", 0},
        {"0x4", 0},
        {"9223372036854775807", kMax},
        {"9223372036854775808", kMax},
        {"123456789012345678901234567890", kMax},
        {"-9223372036854775808", kMin},
        {"-9223372036854775809", kMin},
    };
    for (const auto& c : cases) EXPECT_EQ(leadingIntegerValue(c.text), c.value) << c.text;
}

TEST(BridgeLineReaderTest, SplitsChunksIntoLinesAndCutsEndlessOnes) {
    const std::string longRefresh = "refresh" + std::string(10000, 'x');
    // "é" straddles the cut: the kept part must not end in half a character.
    const std::string straddling = std::string(BridgeLineReader::kMaxLineBytes - 1, 'a') + "é";
    const struct {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> lines;
    } cases[] = {
        {"one chunk", {"refresh\n5\n"}, {"refresh", "5"}},
        {"line split over chunks", {"ref", "re", "sh now\n4"}, {"refresh now", "4"}},
        {"empty lines stay lines", {"\n\n"}, {"", ""}},
        {"last line without line feed", {"5"}, {"5"}},
        {"carriage return kept", {"5\r\n"}, {"5\r"}},
        {"long line cut",
         {longRefresh + "\n5\n"},
         {longRefresh.substr(0, BridgeLineReader::kMaxLineBytes), "5"}},
        {"cut inside a character",
         {straddling + "\n"},
         {std::string(BridgeLineReader::kMaxLineBytes - 1, 'a')}},
    };
    for (const auto& c : cases) {
        BridgeLineReader reader;
        std::vector<std::string> lines;
        const auto collect = [&](std::string_view line) { lines.emplace_back(line); };
        for (const auto& chunk : c.chunks) reader.feed(chunk, collect);
        reader.finish(collect);
        EXPECT_EQ(lines, c.lines) << c.name;
    }
}

// --- building reports ---------------------------------------------------------------------------

TEST(NowPlayingReportTest, CopiesStringsAndNumbersAndLeavesOutTheRest) {
    using platform::NowPlayingBytes;
    using platform::OtherNowPlayingValue;
    const auto entry = [](const char* key) { return platform::nowPlayingInfoEntryName(key); };
    const struct {
        const char* name;
        std::optional<NowPlayingInfo> info;
        json expected;
    } cases[] = {
        {"no info: only the two fixed keys", std::nullopt, {{"isPlaying", true}, {"pid", 42}}},
        {"every key",
         NowPlayingInfo{{entry("Title"), std::string("Blue in Green")},
                        {entry("Artist"), std::string("Miles Davis, Bill Evans")},
                        {entry("Album"), std::string("Kind of Blue")},
                        {entry("Duration"), 337.5},
                        {entry("ElapsedTime"), std::int64_t{12}},
                        {entry("PlaybackRate"), 1.0},
                        {entry("ArtworkIdentifier"), std::string("file:///a.png")},
                        {std::string(platform::kNowPlayingInfoArtworkData),
                         NowPlayingBytes{'P', 'N', 'G', 0, 255}}},
         {{"Title", "Blue in Green"},
          {"Artist", "Miles Davis, Bill Evans"},
          {"Album", "Kind of Blue"},
          {"Duration", 337.5},
          {"ElapsedTime", 12},
          {"PlaybackRate", 1.0},
          {"ArtworkIdentifier", "file:///a.png"},
          {"ArtworkData", "UE5HAP8="},
          {"isPlaying", true},
          {"pid", 42}}},
        {"a number where text is usual is still copied",
         NowPlayingInfo{{entry("Title"), std::int64_t{7}}},
         {{"Title", 7}, {"isPlaying", true}, {"pid", 42}}},
        {"other types, unusable numbers and broken text are left out",
         NowPlayingInfo{
             {entry("Title"), OtherNowPlayingValue{}},
             {entry("Album"), NowPlayingBytes{1, 2}},
             {entry("Duration"), std::numeric_limits<double>::quiet_NaN()},
             {entry("ElapsedTime"), std::numeric_limits<double>::infinity()},
             {entry("Artist"), std::string("\xff\xfe")},
             {std::string(platform::kNowPlayingInfoArtworkData), std::string("not bytes")},
             {entry("PlaybackRate"), 0.0}},
         {{"PlaybackRate", 0.0}, {"isPlaying", true}, {"pid", 42}}},
        {"entries under other names are not reported",
         NowPlayingInfo{{"Title", std::string("bare")}, {entry("Genre"), std::string("jazz")}},
         {{"isPlaying", true}, {"pid", 42}}},
    };
    for (const auto& c : cases) {
        const json report = makeNowPlayingReport(c.info, true, 42);
        EXPECT_EQ(report, c.expected) << c.name;
        auto line = encodeBridgeRecord(report);
        ASSERT_TRUE(line.ok()) << c.name;
        EXPECT_EQ(json::parse(*line), c.expected) << c.name;
    }
}

TEST(NowPlayingReportTest, FixedRecordsAreCompactLines) {
    EXPECT_EQ(*encodeBridgeRecord(makeStartupFailureRecord()),
              R"({"error":"media-symbols-unavailable"})");
    EXPECT_EQ(json::parse(*encodeBridgeRecord(makeCommandAnswer(5, true))),
              json({{"command", 5}, {"accepted", true}}));
}

// --- the protocol -------------------------------------------------------------------------------

TEST_F(BridgeFixture, EachLineProducesItsOutput) {
    source_.info = titled("Song");
    source_.playing = true;
    source_.pid = 321;
    const json report = {{"Title", "Song"}, {"isPlaying", true}, {"pid", 321}};
    const auto answer = [](int n, bool accepted) {
        return json{{"command", n}, {"accepted", accepted}};
    };
    const struct {
        std::string line;
        bool accept;
        std::vector<json> atOnce;
        std::vector<json> after250ms;
        std::vector<int> sent;
    } cases[] = {
        {"refresh", true, {report}, {}, {}},
        {"refresh now", true, {report}, {}, {}},
        {"refreshing", true, {report}, {}, {}},
        {"Refresh", true, {}, {}, {}},
        {" refresh", true, {}, {}, {}},
        {"3", true, {}, {}, {}},
        {"0", true, {}, {}, {}},
        {"", true, {}, {}, {}},
        {"-4", true, {}, {}, {}},
        {"42", true, {}, {}, {}},
        {"18446744073709551620", true, {}, {}, {}},
        {"5\xff", true, {}, {}, {}},
        {"5", true, {answer(5, true)}, {report}, {5}},
        {"4 and more", true, {answer(4, true)}, {report}, {4}},
        {" +2", true, {answer(2, true)}, {report}, {2}},
        {"04.7", true, {answer(4, true)}, {report}, {4}},
        {"5\r", true, {answer(5, true)}, {report}, {5}},
        {"2", false, {answer(2, false)}, {report}, {2}},
    };
    for (const auto& c : cases) {
        source_.acceptCommands = c.accept;
        source_.sent.clear();
        bridge_.handleLine(c.line);
        queue_.runReady();
        EXPECT_EQ(takeOutput(), c.atOnce) << '"' << c.line << '"';
        queue_.advanceBy(milliseconds(249));
        EXPECT_EQ(takeOutput(), std::vector<json>{}) << '"' << c.line << '"';
        queue_.advanceBy(milliseconds(1));
        queue_.runReady();
        EXPECT_EQ(takeOutput(), c.after250ms) << '"' << c.line << '"';
        EXPECT_EQ(source_.sent, c.sent) << '"' << c.line << '"';
        EXPECT_EQ(queue_.pendingCount(), 0u) << '"' << c.line << '"';
    }
}

TEST_F(BridgeFixture, StartReportsAndEveryChangeNotificationAsksForAReport) {
    source_.pid = 7;
    bridge_.start();
    queue_.runReady();
    EXPECT_EQ(takeOutput(), std::vector<json>({{{"isPlaying", false}, {"pid", 7}}}));
    ASSERT_TRUE(source_.observer);

    for (auto change :
         {platform::NowPlayingChange::infoDidChange, platform::NowPlayingChange::isPlayingDidChange,
          platform::NowPlayingChange::applicationDidChange}) {
        source_.info = titled(std::string(platform::nowPlayingChangeName(change)));
        source_.observer(change);
        queue_.runReady();
        const auto output = takeOutput();
        ASSERT_EQ(output.size(), 1u);
        EXPECT_EQ(output[0].value("Title", ""), platform::nowPlayingChangeName(change));
    }
}

TEST_F(BridgeFixture, OverlappingRequestsWriteOnlyTheLatestState) {
    source_.answer = ScriptedSource::Answer::whenReleased;
    for (bool newestFirst : {false, true}) {
        for (const char* title : {"first", "second", "third"}) {
            source_.info = titled(title);
            bridge_.handleLine("refresh");
        }
        source_.releaseHeld(newestFirst);
        const auto output = takeOutput();
        ASSERT_EQ(output.size(), 1u) << "newest first: " << newestFirst;
        EXPECT_EQ(output[0]["Title"], "third") << "newest first: " << newestFirst;
    }
}

TEST_F(BridgeFixture, CommandReportIsDroppedWhenARefreshOvertakesIt) {
    source_.info = titled("before");
    bridge_.handleLine("4");
    EXPECT_EQ(takeOutput(), std::vector<json>({{{"command", 4}, {"accepted", true}}}));
    source_.answer = ScriptedSource::Answer::whenReleased;
    queue_.advanceBy(milliseconds(250));  // the delayed request goes out…
    source_.info = titled("after");
    source_.answer = ScriptedSource::Answer::immediately;
    bridge_.handleLine("refresh");  // …and a newer one overtakes it
    source_.releaseHeld();
    queue_.runReady();
    const auto output = takeOutput();
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0]["Title"], "after");
}

TEST_F(BridgeFixture, AnUnansweredRequestDoesNotBlockLaterOnes) {
    source_.answer = ScriptedSource::Answer::whenReleased;
    bridge_.handleLine("refresh");
    source_.dropHeld();  // the source never answers this one
    source_.answer = ScriptedSource::Answer::onNextTurn;
    source_.info = titled("later");
    bridge_.handleLine("refresh");
    queue_.runReady();
    const auto output = takeOutput();
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0]["Title"], "later");
}

// At the end of input the bridge is done only once the commands have reached the application and
// the reports the last lines asked for are out, whatever order those arrive in.
TEST_F(BridgeFixture, EndOfInputIsDoneOnceWhatTheLinesAskedForIsOut) {
    source_.info = titled("Song");
    const json report = {{"Title", "Song"}, {"isPlaying", false}, {"pid", 0}};
    const json answer = {{"command", 4}, {"accepted", true}};
    const struct {
        const char* name;
        std::vector<std::string> lines;
        bool answersLate;
        bool delayedReport;
        std::vector<json> output;
    } cases[] = {
        {"no lines", {}, false, false, {}},
        {"ignored lines", {"3", "0"}, false, false, {}},
        {"refresh answered on the next turn", {"refresh"}, false, false, {report}},
        {"refresh answered late", {"refresh"}, true, false, {report}},
        {"command: its answer, then the delayed report", {"4"}, false, true, {answer, report}},
        {"refresh and command", {"refresh", "4"}, false, true, {answer, report, report}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        source_.answer = c.answersLate ? ScriptedSource::Answer::whenReleased
                                       : ScriptedSource::Answer::onNextTurn;
        for (const auto& line : c.lines) bridge_.handleLine(line);
        bool done = false;
        bridge_.finishInput([&done] { done = true; });
        queue_.runReady();
        EXPECT_FALSE(done) << "before the commands were delivered";
        source_.deliverCommands();
        if (c.answersLate) {
            EXPECT_FALSE(done) << "before the source answered";
            source_.releaseHeld();
        }
        if (c.delayedReport) {
            EXPECT_FALSE(done) << "before the delayed report";
            queue_.advanceBy(MediaBridge::kReportDelayAfterCommand);
            queue_.runReady();
        }
        EXPECT_TRUE(done);
        EXPECT_EQ(takeOutput(), c.output);
        EXPECT_EQ(queue_.pendingCount(), 0u);
    }
}

TEST(MediaBridgeLifetimeTest, AnswersAndTimersAfterTheBridgeIsGoneDoNothing) {
    platform::ManualMainQueue queue;
    ScriptedSource source(queue);
    source.answer = ScriptedSource::Answer::whenReleased;
    std::vector<std::string> output;
    {
        MediaBridge bridge(source, queue,
                           [&](std::string_view line) { output.emplace_back(line); });
        bridge.start();
        bridge.handleLine("5");
    }
    output.clear();  // the command answer
    source.releaseHeld();
    queue.advanceBy(std::chrono::seconds(1));
    if (source.observer) source.observer(platform::NowPlayingChange::infoDidChange);
    EXPECT_TRUE(output.empty());
    EXPECT_EQ(queue.pendingCount(), 0u);
}

}  // namespace
}  // namespace tavrel
