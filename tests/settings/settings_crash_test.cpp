// A save killed at any moment leaves settings.json whole: the old document or the new one.

#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings_crash_documents.h"
#include "settings_test_support.h"

extern char** environ;

namespace tavrel {
namespace {

namespace fs = std::filesystem;

struct Writer {
    pid_t pid = -1;
    int output = -1;  // one byte per completed save
};

Writer startWriter(const fs::path& directory, const char* durability) {
    int pipeEnds[2];
    EXPECT_EQ(::pipe2(pipeEnds, O_CLOEXEC), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    const std::string program = TAVREL_BINARY_DIR "/tests/settings/settings_crash_writer";
    const std::string argument = directory.string();
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                    const_cast<char*>(durability), nullptr};
    Writer writer;
    EXPECT_EQ(::posix_spawn(&writer.pid, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    writer.output = pipeEnds[0];
    return writer;
}

TEST(SettingsCrashSafety, KilledSavesLeaveOneOfTheTwoDocuments) {
    const test::ScratchDirectory scratch;
    const fs::path directory = scratch.path() / "Tavrel";
    const std::string documents[] = {test::crashDocument(0).encoded().value(),
                                     test::crashDocument(1).encoded().value()};
    SettingsEnvironment environment;
    environment.directory = directory;
    ASSERT_TRUE(test::crashDocument(0).save(environment).ok());

    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> delayMicroseconds(0, 3000);
    int sawSecondDocument = 0;
    // The first kills hit saves that fsync, as the application's do; the rest skip the fsyncs,
    // which changes nothing for a killed process and lets many more kills run.
    constexpr int kDurableKills = 100;
    constexpr int kKills = 600;
    for (int kill = 0; kill < kKills; ++kill) {
        Writer writer = startWriter(directory, kill < kDurableKills ? "durable" : "fast");
        ASSERT_GT(writer.pid, 0);
        // Wait until the writer is inside its loop, then let it run a random short while.
        char saved = 0;
        ASSERT_EQ(::read(writer.output, &saved, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        ASSERT_EQ(::kill(writer.pid, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(::waitpid(writer.pid, &status, 0), writer.pid);
        ::close(writer.output);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself";

        const std::string bytes = test::readText(directory / "settings.json");
        const bool first = bytes == documents[0];
        const bool second = bytes == documents[1];
        ASSERT_TRUE(first || second) << "after kill " << kill << ": " << bytes.size() << " bytes";
        ASSERT_TRUE(StoredSettings::decode(bytes).ok());
        sawSecondDocument += second ? 1 : 0;

        // Temporary files of interrupted saves are left behind; clear them between rounds.
        for (const auto& entry : fs::directory_iterator(directory)) {
            if (entry.path().filename() != "settings.json") fs::remove(entry.path());
        }
    }
    RecordProperty("kills", kKills);
    RecordProperty("killsLeavingTheLargeDocument", sawSecondDocument);
}

}  // namespace
}  // namespace tavrel
