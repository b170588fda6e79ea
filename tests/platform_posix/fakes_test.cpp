#include <thread>

#include <gtest/gtest.h>

#include "platform/fake/in_memory_preference_domains.h"
#include "platform/fake/manual_clock.h"
#include "platform/fake/recording_process_runner.h"

namespace tavrel::platform {
namespace {

using namespace std::chrono_literals;

ProcessRequest command(std::string executable, std::vector<std::string> arguments) {
    ProcessRequest request;
    request.executable = std::move(executable);
    request.arguments = std::move(arguments);
    return request;
}

TEST(RecordingProcessRunner, AnswersFromTheQueueThenTheResponderAndRecordsEverything) {
    RecordingProcessRunner runner;
    runner.enqueue(RecordingProcessRunner::exited(1, "",
                                                  "The domain/default pair of (com.apple.dock, "
                                                  "no-bouncing) does not exist\n"));
    runner.enqueue(RecordingProcessRunner::timedOut());
    runner.setResponder([](const ProcessRequest& request) {
        return request.arguments.at(0) == "read" ? RecordingProcessRunner::exited(0, "1\n")
                                                 : RecordingProcessRunner::exited(0);
    });

    const auto read = command("/usr/bin/defaults", {"read", "com.apple.dock", "no-bouncing"});
    const auto kill = command("/usr/bin/killall", {"Dock"});
    const ProcessResult first = runner.run(read);
    EXPECT_EQ(first.exitStatus, 1);
    EXPECT_NE(first.standardError.find("does not exist"), std::string::npos);
    EXPECT_EQ(runner.run(kill).outcome, ProcessResult::Outcome::timedOut);
    EXPECT_EQ(runner.run(read).standardOutput, "1\n");
    EXPECT_TRUE(runner.run(kill).succeeded());

    EXPECT_EQ(runner.commandLines(),
              (std::vector<std::vector<std::string>>{
                  {"/usr/bin/defaults", "read", "com.apple.dock", "no-bouncing"},
                  {"/usr/bin/killall", "Dock"},
                  {"/usr/bin/defaults", "read", "com.apple.dock", "no-bouncing"},
                  {"/usr/bin/killall", "Dock"}}));
    EXPECT_EQ(runner.requests().at(1).timeLimit, 3000ms);
}

TEST(RecordingProcessRunner, AnUnscriptedRunFailsVisibly) {
    RecordingProcessRunner runner;
    const ProcessResult result = runner.run(command("/usr/bin/killall", {"Dock"}));
    EXPECT_EQ(result.outcome, ProcessResult::Outcome::failedToStart);
    EXPECT_NE(result.error.find("/usr/bin/killall Dock"), std::string::npos);
}

TEST(RecordingProcessRunner, ServesSeveralThreadsEachResultOnce) {
    RecordingProcessRunner runner;
    for (int i = 0; i < 400; ++i) runner.enqueue(RecordingProcessRunner::exited(i));
    std::vector<std::vector<int>> statuses(4);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i) {
                statuses[t].push_back(runner.run(command("/bin/true", {})).exitStatus);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    std::vector<int> all;
    for (const auto& list : statuses) all.insert(all.end(), list.begin(), list.end());
    std::sort(all.begin(), all.end());
    for (int i = 0; i < 400; ++i) ASSERT_EQ(all[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(runner.requests().size(), 400u);
}

TEST(ManualClock, MovesOnlyWhenTold) {
    const auto start = std::chrono::system_clock::time_point{} + 1000h;
    ManualClock clock(5s, start);
    EXPECT_EQ(clock.uptime(), 5s);
    clock.advance(20ms);
    EXPECT_EQ(clock.uptime(), 5020ms);
    EXPECT_EQ(clock.now(), start + 20ms);
    clock.setNow(start - 1h);  // the wall clock may jump back; uptime does not follow
    EXPECT_EQ(clock.uptime(), 5020ms);
    EXPECT_EQ(clock.now(), start - 1h);
    clock.setUptime(1s);
    EXPECT_EQ(clock.uptime(), 1s);
}

TEST(InMemoryPreferenceDomains, SetReplaceAndRemoveValues) {
    InMemoryPreferenceDomains domains;
    EXPECT_EQ(domains.value("com.apple.dock", "orientation"), std::nullopt);
    domains.set("com.apple.dock", "orientation", std::string("left"));
    domains.set("com.apple.dock", "tilesize", std::int64_t{48});
    EXPECT_EQ(domains.value("com.apple.dock", "orientation"), PreferenceValue{"left"});
    domains.set("com.apple.dock", "orientation", std::string("bottom"));
    EXPECT_EQ(domains.value("com.apple.dock", "orientation"), PreferenceValue{"bottom"});
    EXPECT_EQ(domains.value("com.apple.finder", "orientation"), std::nullopt);

    domains.remove("com.apple.dock", "orientation");
    EXPECT_EQ(domains.value("com.apple.dock", "orientation"), std::nullopt);
    EXPECT_EQ(domains.value("com.apple.dock", "tilesize"), PreferenceValue{std::int64_t{48}});

    domains.setDomain("com.apple.dock", {{"autohide", true}});
    EXPECT_EQ(domains.value("com.apple.dock", "tilesize"), std::nullopt);
    EXPECT_EQ(domains.value("com.apple.dock", "autohide"), PreferenceValue{true});
    domains.removeDomain("com.apple.dock");
    EXPECT_EQ(domains.value("com.apple.dock", "autohide"), std::nullopt);
}

}  // namespace
}  // namespace tavrel::platform
