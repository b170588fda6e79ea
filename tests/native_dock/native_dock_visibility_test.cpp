// Hiding and restoring the native Dock over a recording process runner that plays the defaults
// tool on an in-memory Dock domain.

#include "core/native_dock/native_dock_visibility.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_commands.h"
#include "core/native_dock/native_dock_defaults_errors.h"
#include "platform/fake/recording_process_runner.h"
#include "platform/files.h"
#include "platform/log.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

using namespace std::chrono_literals;
using platform::ProcessRequest;
using platform::ProcessResult;
using platform::RecordingProcessRunner;

const std::string kRead = "/usr/bin/defaults read com.apple.dock no-bouncing";
const std::string kHide1 = "/usr/bin/defaults write com.apple.dock autohide -bool true";
const std::string kHide2 = "/usr/bin/defaults write com.apple.dock autohide-delay -float 15";
const std::string kHide3 = "/usr/bin/defaults write com.apple.dock tilesize -int 15";
const std::string kHide4 = "/usr/bin/defaults write com.apple.dock orientation -string bottom";
const std::string kHide5 = "/usr/bin/defaults write com.apple.dock magnification -bool false";
const std::string kHide6 = "/usr/bin/defaults write com.apple.dock no-bouncing -bool true";
const std::string kRestart = "/usr/bin/killall Dock";
const std::string kRestore1 = "/usr/bin/defaults write com.apple.dock autohide -bool false";
const std::string kRestore2 = "/usr/bin/defaults delete com.apple.dock autohide-delay";
const std::string kRestore3 = "/usr/bin/defaults delete com.apple.dock tilesize";
const std::string kRestore4 = "/usr/bin/defaults delete com.apple.dock largesize";
const std::string kRestoreDeleteBounce = "/usr/bin/defaults delete com.apple.dock no-bouncing";
const std::string kRestoreBounceFalse =
    "/usr/bin/defaults write com.apple.dock no-bouncing -bool false";
const std::string kRestoreBounceTrue =
    "/usr/bin/defaults write com.apple.dock no-bouncing -bool true";

const std::string kMissingPair =
    "2025-01-01 10:00:00.000 defaults[4242:8080] \nThe domain/default pair of "
    "(com.apple.dock, no-bouncing) does not exist\n";

std::string line(const ProcessRequest& request) {
    std::string text = request.executable;
    for (const auto& argument : request.arguments) text += " " + argument;
    return text;
}

// Plays the defaults tool and killall on one in-memory "com.apple.dock" domain. A command line
// may be given results for its first, second, … run; an empty entry means "behave normally".
class FakeDock {
public:
    std::map<std::string, std::string> values;  // key → what `defaults read` prints
    std::map<std::string, std::deque<std::optional<ProcessResult>>> overrides;

    ProcessResult operator()(const ProcessRequest& request) {
        const std::string command = line(request);
        if (auto found = overrides.find(command);
            found != overrides.end() && !found->second.empty()) {
            auto scripted = found->second.front();
            found->second.pop_front();
            if (scripted) return *scripted;
        }
        const auto& a = request.arguments;
        if (request.executable == "/usr/bin/killall") return RecordingProcessRunner::exited(0);
        if (a.size() >= 3 && a[1] != "com.apple.dock") return RecordingProcessRunner::exited(1);
        const auto missing = [&](const std::string& key) {
            return RecordingProcessRunner::exited(
                1, "", NativeDockDefaultsErrors::missingPairText("com.apple.dock", key) + "\n");
        };
        if (a.size() == 3 && a[0] == "read") {
            const auto found = values.find(a[2]);
            if (found == values.end()) return missing(a[2]);
            return RecordingProcessRunner::exited(0, found->second + "\n");
        }
        if (a.size() == 3 && a[0] == "delete") {
            if (values.erase(a[2]) == 0) return missing(a[2]);
            return RecordingProcessRunner::exited(0);
        }
        if (a.size() == 5 && a[0] == "write") {
            std::string printed = a[4];
            if (a[3] == "-bool") printed = a[4] == "true" ? "1" : "0";
            values[a[2]] = printed;
            return RecordingProcessRunner::exited(0);
        }
        return RecordingProcessRunner::exited(1, "", "unexpected command");
    }
};

class LogLines {
public:
    LogLines() = default;
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
    platform::ScopedLogCapture capture_{
        [this](std::string_view text) { lines_.emplace_back(text); }};
};

struct ApplyCase {
    std::string name{};
    bool hidden = true;
    std::optional<std::string> backupBefore{};  // the file's bytes; nothing: no file
    std::map<std::string, std::string> dockBefore{};
    std::map<std::string, std::deque<std::optional<ProcessResult>>> overrides{};
    bool expectedOk = true;
    std::vector<std::string> expectedCommands{};
    std::optional<std::string> expectedBackupAfter{};
    std::vector<std::string> expectedLog{};
};

std::optional<ProcessResult> normal() {
    return std::nullopt;
}

std::vector<ApplyCase> applyCases() {
    const std::string backupMissing = R"({"value":"missing"})";
    const std::string backupTrue = R"({"value":"true"})";
    const std::string backupFalse = R"({"value":"false"})";
    const std::vector<std::string> fullHide{kRead,  kHide1, kHide2, kHide3,  kHide4,
                                            kHide5, kHide6, kRead,  kRestart};
    const std::string failed = "Tavrel: Dock visibility command failed: ";
    const std::string invalidBackup = "Tavrel: cannot restore Dock bouncing: invalid backup";
    const std::string readbackFailed = "Tavrel: Dock bounce preference readback failed";
    return {
        {.name = "HideWithoutBounceKeyBacksUpMissing",
         .expectedCommands = fullHide,
         .expectedBackupAfter = backupMissing},
        {.name = "HideReadingOneBacksUpTrue",
         .dockBefore = {{"no-bouncing", "1"}},
         .expectedCommands = fullHide,
         .expectedBackupAfter = backupTrue},
        {.name = "HideReadingPaddedUpperCaseTrueBacksUpTrue",
         .overrides = {{kRead, {RecordingProcessRunner::exited(0, " TRUE\n")}}},
         .expectedCommands = fullHide,
         .expectedBackupAfter = backupTrue},
        {.name = "HideReadingZeroBacksUpFalse",
         .dockBefore = {{"no-bouncing", "0"}},
         .expectedCommands = fullHide,
         .expectedBackupAfter = backupFalse},
        {.name = "SecondHideKeepsTheFirstBackup",
         .backupBefore = backupFalse,
         .dockBefore = {{"no-bouncing", "1"}},
         .expectedCommands = fullHide,
         .expectedBackupAfter = backupFalse},
        {.name = "HideRefusesAnUnsupportedBounceValue",
         .overrides = {{kRead, {RecordingProcessRunner::exited(0, "yes\n")}}},
         .expectedOk = false,
         .expectedCommands = {kRead},
         .expectedLog = {"Tavrel: unsupported Dock bounce preference value"}},
        {.name = "HideStopsWhenTheBounceReadTimesOut",
         .overrides = {{kRead, {RecordingProcessRunner::timedOut()}}},
         .expectedOk = false,
         .expectedCommands = {kRead},
         .expectedLog = {"Tavrel: reading Dock bounce preference timed out"}},
        {.name = "HideRefusesToOverwriteAnInvalidBackup",
         .backupBefore = "not json",
         .expectedOk = false,
         .expectedCommands = {kRead},
         .expectedBackupAfter = "not json",
         .expectedLog = {"Tavrel: refusing to overwrite invalid Dock bounce backup"}},
        {.name = "HideStopsAtATimedOutWriteAndKeepsTheBackup",
         .overrides = {{kHide3, {RecordingProcessRunner::timedOut()}}},
         .expectedOk = false,
         .expectedCommands = {kRead, kHide1, kHide2, kHide3},
         .expectedBackupAfter = backupMissing,
         .expectedLog = {failed + kHide3}},
        {.name = "HideFailsWhenTheReadbackDiffers",
         .overrides = {{kRead, {normal(), RecordingProcessRunner::exited(0, "0\n")}}},
         .expectedOk = false,
         .expectedCommands = {kRead, kHide1, kHide2, kHide3, kHide4, kHide5, kHide6, kRead},
         .expectedBackupAfter = backupMissing,
         .expectedLog = {readbackFailed}},
        {.name = "HideCountsAMissingKeyTextAsFailure",
         .overrides = {{kHide2, {RecordingProcessRunner::exited(1, "", kMissingPair)}}},
         .expectedOk = false,
         .expectedCommands = {kRead, kHide1, kHide2},
         .expectedBackupAfter = backupMissing,
         .expectedLog = {failed + kHide2}},
        {.name = "RestoreWithoutBackupRunsFiveCommands",
         .hidden = false,
         .dockBefore = {{"autohide", "1"}, {"autohide-delay", "15"}, {"tilesize", "15"}},
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestart}},
        {.name = "RestoreOfMissingDeletesTheBounceKey",
         .hidden = false,
         .backupBefore = backupMissing,
         .dockBefore = {{"no-bouncing", "1"}, {"autohide-delay", "15"}},
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestoreDeleteBounce,
                              kRead, kRestart}},
        {.name = "RestoreOfFalseWritesFalse",
         .hidden = false,
         .backupBefore = backupFalse,
         .dockBefore = {{"no-bouncing", "1"}},
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestoreBounceFalse,
                              kRead, kRestart}},
        {.name = "RestoreOfTrueWritesTrue",
         .hidden = false,
         .backupBefore = backupTrue,
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestoreBounceTrue, kRead,
                              kRestart}},
        {.name = "RestoreCountsEachMissingKeyText",
         .hidden = false,
         .overrides =
             {{kRestore2,
               {RecordingProcessRunner::exited(
                   1, "", "Could not find key 'autohide-delay' in domain 'com.apple.dock'.")}},
              {kRestore3,
               {RecordingProcessRunner::exited(1, "", "Domain (com.apple.dock) not found.")}}},
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestart}},
        {.name = "RestoreRefusesABackupWithAnotherValue",
         .hidden = false,
         .backupBefore = R"({"value":"maybe"})",
         .expectedOk = false,
         .expectedBackupAfter = R"({"value":"maybe"})",
         .expectedLog = {invalidBackup}},
        {.name = "RestoreRefusesABackupThatIsNotJson",
         .hidden = false,
         .backupBefore = "{\"value\":",
         .expectedOk = false,
         .expectedBackupAfter = "{\"value\":",
         .expectedLog = {invalidBackup}},
        {.name = "RestoreStopsAtAnotherDeleteError",
         .hidden = false,
         .backupBefore = backupFalse,
         .dockBefore = {{"autohide-delay", "15"}},
         .overrides = {{kRestore2, {RecordingProcessRunner::exited(1, "", "Permission denied")}}},
         .expectedOk = false,
         .expectedCommands = {kRestore1, kRestore2},
         .expectedBackupAfter = backupFalse,
         .expectedLog = {failed + kRestore2}},
        {.name = "RestoreKeepsTheBackupWhenTheRestartTimesOut",
         .hidden = false,
         .backupBefore = backupMissing,
         .overrides = {{kRestart, {RecordingProcessRunner::timedOut()}}},
         .expectedOk = false,
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestoreDeleteBounce,
                              kRead, kRestart},
         .expectedBackupAfter = backupMissing,
         .expectedLog = {failed + kRestart}},
        {.name = "RestoreFailsWhenTheReadbackDiffers",
         .hidden = false,
         .backupBefore = backupFalse,
         .overrides = {{kRead, {RecordingProcessRunner::exited(0, "1\n")}}},
         .expectedOk = false,
         .expectedCommands = {kRestore1, kRestore2, kRestore3, kRestore4, kRestoreBounceFalse,
                              kRead},
         .expectedBackupAfter = backupFalse,
         .expectedLog = {readbackFailed}},
    };
}

class ApplyNativeDockHidden : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(ApplyNativeDockHidden, RunsTheCommandsAndKeepsTheBackup) {
    const ApplyCase& c = GetParam();
    TemporaryDirectory directory;
    const auto backupURL = NativeDockBounceBackup::urlBeside(directory / "Tavrel/settings.json");
    if (c.backupBefore) {
        std::filesystem::create_directories(backupURL.parent_path());
        ASSERT_TRUE(platform::writeFileAtomically(backupURL, *c.backupBefore));
    }
    FakeDock dock{c.dockBefore, c.overrides};
    RecordingProcessRunner runner;
    runner.setResponder([&dock](const ProcessRequest& request) { return dock(request); });

    LogLines log;
    EXPECT_EQ(applyNativeDockHidden(c.hidden, runner, backupURL), c.expectedOk);

    std::vector<std::string> commands;
    for (const auto& request : runner.requests()) {
        commands.push_back(line(request));
        EXPECT_EQ(request.timeLimit, 3000ms) << line(request);
    }
    EXPECT_EQ(commands, c.expectedCommands);
    const auto backup = platform::readFile(backupURL, 4096);
    EXPECT_EQ(backup ? std::optional<std::string>(*backup) : std::nullopt, c.expectedBackupAfter);
    EXPECT_EQ(log.lines(), c.expectedLog);
}

INSTANTIATE_TEST_SUITE_P(Cases, ApplyNativeDockHidden, ::testing::ValuesIn(applyCases()),
                         [](const auto& test) { return test.param.name; });

TEST(ApplyNativeDockHidden, HideThenRestoreGivesEachBounceStateBack) {
    for (const std::optional<std::string>& before :
         {std::optional<std::string>{}, std::optional<std::string>{"1"},
          std::optional<std::string>{"0"}}) {
        TemporaryDirectory directory;
        const auto backupURL = directory / "native-dock-bounce-backup.json";
        FakeDock dock;
        if (before) dock.values["no-bouncing"] = *before;
        RecordingProcessRunner runner;
        runner.setResponder([&dock](const ProcessRequest& request) { return dock(request); });

        ASSERT_TRUE(applyNativeDockHidden(true, runner, backupURL));
        ASSERT_TRUE(applyNativeDockHidden(true, runner, backupURL));  // hidden twice
        EXPECT_EQ(dock.values.at("no-bouncing"), "1");
        ASSERT_TRUE(applyNativeDockHidden(false, runner, backupURL));

        const auto after = dock.values.find("no-bouncing");
        EXPECT_EQ(after == dock.values.end() ? std::nullopt : std::optional(after->second), before);
        EXPECT_FALSE(nativeDockBounceBackupExists(backupURL));
    }
}

struct RunCase {
    std::string name;
    NativeDockCommand command;
    bool allowMissingDefaultKey;
    ProcessResult result;
    bool expected;
};

std::vector<RunCase> runCases() {
    const NativeDockCommand deleteDelay{"/usr/bin/defaults", "delete", "com.apple.dock",
                                        "autohide-delay"};
    const std::string missingDelay =
        "The domain/default pair of (com.apple.dock, autohide-delay) does not exist\n";
    return {
        {"ExitZeroSucceeds", deleteDelay, false, RecordingProcessRunner::exited(0), true},
        {"MissingKeyDeleteWhileRestoring", deleteDelay, true,
         RecordingProcessRunner::exited(1, "", missingDelay), true},
        {"MissingKeyDeleteWhileHiding", deleteDelay, false,
         RecordingProcessRunner::exited(1, "", missingDelay), false},
        {"MissingTextOfAnotherKey", deleteDelay, true,
         RecordingProcessRunner::exited(1, "", kMissingPair), false},
        {"MissingTextThatIsNotUtf8", deleteDelay, true,
         RecordingProcessRunner::exited(1, "", "\xff" + missingDelay), false},
        {"OtherDeleteError", deleteDelay, true,
         RecordingProcessRunner::exited(1, "", "Permission denied"), false},
        {"MissingTextOfAWrite",
         {"/usr/bin/defaults", "write", "com.apple.dock", "autohide-delay", "-float", "15"},
         true,
         RecordingProcessRunner::exited(1, "", missingDelay),
         false},
        {"MissingTextOfAnotherProgram",
         {"/usr/bin/killall", "delete", "com.apple.dock", "autohide-delay"},
         true,
         RecordingProcessRunner::exited(1, "", missingDelay),
         false},
        {"TimedOutDelete", deleteDelay, true, RecordingProcessRunner::timedOut("", missingDelay),
         false},
        {"KilledBySignal", deleteDelay, true, RecordingProcessRunner::signalled(9), false},
        {"CannotStart", deleteDelay, true, RecordingProcessRunner::failedToStart("ENOENT"), false},
    };
}

class RunNativeDockCommand : public ::testing::TestWithParam<RunCase> {};

TEST_P(RunNativeDockCommand, SucceedsOnlyOnExitZeroOrAnAllowedMissingKey) {
    const RunCase& c = GetParam();
    RecordingProcessRunner runner;
    runner.enqueue(c.result);
    LogLines log;
    EXPECT_EQ(runNativeDockCommand(runner, c.command, c.allowMissingDefaultKey), c.expected);
    ASSERT_EQ(runner.commandLines().size(), 1u);
    EXPECT_EQ(runner.commandLines()[0], c.command);
    EXPECT_EQ(runner.requests()[0].standardError, platform::OutputMode::capture);
    EXPECT_TRUE(log.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, RunNativeDockCommand, ::testing::ValuesIn(runCases()),
                         [](const auto& test) { return test.param.name; });

TEST(RunNativeDockCommand, AnEmptyCommandStartsNothing) {
    RecordingProcessRunner runner;
    EXPECT_FALSE(runNativeDockCommand(runner, {}, true));
    EXPECT_TRUE(runner.requests().empty());
}

struct ReadCase {
    std::string name;
    ProcessResult result;
    std::optional<std::string> expected;
    std::vector<std::string> expectedLog;
};

std::vector<ReadCase> readCases() {
    const std::string unsupported = "Tavrel: unsupported Dock bounce preference value";
    return {
        {"One", RecordingProcessRunner::exited(0, "1\n"), "true", {}},
        {"PaddedUpperCaseTrue", RecordingProcessRunner::exited(0, " TRUE\n"), "true", {}},
        {"ZeroWithUnicodeSpaces",
         RecordingProcessRunner::exited(0, "\u3000 0\r\n\u00a0"),
         "false",
         {}},
        {"FalseWord", RecordingProcessRunner::exited(0, "False"), "false", {}},
        {"MissingPairText", RecordingProcessRunner::exited(1, "", kMissingPair), "missing", {}},
        {"MissingKeyText",
         RecordingProcessRunner::exited(
             1, "", "Could not find key 'no-bouncing' in domain 'com.apple.dock'."),
         "missing",
         {}},
        {"MissingDomainText",
         RecordingProcessRunner::exited(4, "", "\xff Domain (com.apple.dock) not found.\n"),
         "missing",
         {}},
        {"OtherValue", RecordingProcessRunner::exited(0, "2\n"), std::nullopt, {unsupported}},
        {"EmptyOutput", RecordingProcessRunner::exited(0, ""), std::nullopt, {unsupported}},
        {"NotUtf8", RecordingProcessRunner::exited(0, "1\xff"), std::nullopt, {unsupported}},
        {"OtherError",
         RecordingProcessRunner::exited(3, "", "boom"),
         std::nullopt,
         {"Tavrel: reading Dock bounce preference failed (3)"}},
        {"TimedOut",
         RecordingProcessRunner::timedOut("1\n"),
         std::nullopt,
         {"Tavrel: reading Dock bounce preference timed out"}},
        {"CannotStart",
         RecordingProcessRunner::failedToStart("No such file or directory"),
         std::nullopt,
         {"Tavrel: cannot read Dock bounce preference: No such file or directory"}},
    };
}

class ReadNativeDockBouncePreference : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadNativeDockBouncePreference, MapsTheOutputToAValue) {
    const ReadCase& c = GetParam();
    RecordingProcessRunner runner;
    runner.enqueue(c.result);
    LogLines log;
    EXPECT_EQ(readNativeDockBouncePreference(runner), c.expected);
    EXPECT_EQ(log.lines(), c.expectedLog);
    ASSERT_EQ(runner.requests().size(), 1u);
    EXPECT_EQ(line(runner.requests()[0]), kRead);
    EXPECT_EQ(runner.requests()[0].standardOutput, platform::OutputMode::capture);
    EXPECT_EQ(runner.requests()[0].timeLimit, 3000ms);
}

INSTANTIATE_TEST_SUITE_P(Cases, ReadNativeDockBouncePreference, ::testing::ValuesIn(readCases()),
                         [](const auto& test) { return test.param.name; });

TEST(NativeDockDefaultsErrors, RecognisesTheThreeTextsExactly) {
    struct Case {
        std::string output;
        bool expected;
    };
    const std::vector<Case> cases{
        {kMissingPair, true},
        {"Could not find key 'no-bouncing' in domain 'com.apple.dock'.", true},
        {"Domain (com.apple.dock) not found.\nDefaults have not been changed.", true},
        {"domain (com.apple.dock) not found.", false},
        {"The domain/default pair of (com.apple.dock, tilesize) does not exist", false},
        {"The domain/default pair of (com.apple.dockx, no-bouncing) does not exist", false},
        {"Could not find key 'no-bouncing' in domain 'com.apple.dock'", false},
        {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(NativeDockDefaultsErrors::isMissingKey(c.output, "com.apple.dock", "no-bouncing"),
                  c.expected)
            << c.output;
    }
}

TEST(NativeDockBounceBackup, LoadsOnlyTheThreeValuesAndSavesCompactly) {
    const std::vector<std::pair<std::string, std::optional<std::string>>> cases{
        {R"({"value":"true"})", "true"},
        {R"( { "value" : "missing", "other": 1 } )", "missing"},
        {R"({"value":"TRUE"})", std::nullopt},
        {R"({"value":true})", std::nullopt},
        {R"(["value","false"])", std::nullopt},
        {R"({})", std::nullopt},
        {"", std::nullopt},
        {std::string(5000, ' ') + R"({"value":"false"})", std::nullopt},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(NativeDockBounceBackup::decode(bytes), expected) << bytes;
    }
    EXPECT_EQ(NativeDockBounceBackup::encode("false"), R"({"value":"false"})");
    EXPECT_EQ(NativeDockBounceBackup::urlBeside("/d/Tavrel/settings.json"),
              "/d/Tavrel/native-dock-bounce-backup.json");
}

TEST(NativeDockBounceBackup, SaveCreatesTheDirectoryAndClearToleratesAMissingFile) {
    TemporaryDirectory directory;
    const auto url = directory / "a/b/native-dock-bounce-backup.json";
    LogLines log;
    EXPECT_TRUE(saveNativeDockBouncePreference("missing", url));
    EXPECT_EQ(loadNativeDockBouncePreference(url), "missing");
    EXPECT_TRUE(saveNativeDockBouncePreference("true", url));  // keeps the first value
    EXPECT_EQ(loadNativeDockBouncePreference(url), "missing");
    EXPECT_TRUE(clearNativeDockBouncePreference(url));
    EXPECT_TRUE(clearNativeDockBouncePreference(url));
    EXPECT_FALSE(nativeDockBounceBackupExists(url));

    // Something that cannot be removed as a file is reported.
    std::filesystem::create_directories(url / "inside");
    EXPECT_FALSE(clearNativeDockBouncePreference(url));
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(log.lines()[0].starts_with("Tavrel: cannot remove Dock bounce backup: "));
}

TEST(NativeDockCommands, ListsAreExactlyAsTheDockExpects) {
    const auto describe = [](const std::vector<NativeDockCommand>& commands) {
        std::vector<std::string> lines;
        for (const auto& command : commands) lines.push_back(NativeDockCommands::describe(command));
        return lines;
    };
    EXPECT_EQ(describe(NativeDockCommands::hideList()),
              (std::vector<std::string>{kHide1, kHide2, kHide3, kHide4, kHide5, kHide6, kRestart}));
    EXPECT_EQ(describe(NativeDockCommands::restoreList(std::nullopt)),
              (std::vector<std::string>{kRestore1, kRestore2, kRestore3, kRestore4, kRestart}));
    EXPECT_EQ(describe(NativeDockCommands::restoreList("missing")),
              (std::vector<std::string>{kRestore1, kRestore2, kRestore3, kRestore4,
                                        kRestoreDeleteBounce, kRestart}));
    // Arguments stay separate elements: a value is never split or joined.
    EXPECT_EQ(NativeDockCommands::restoreList("false")[4],
              (NativeDockCommand{"/usr/bin/defaults", "write", "com.apple.dock", "no-bouncing",
                                 "-bool", "false"}));
}

}  // namespace
}  // namespace tavrel
