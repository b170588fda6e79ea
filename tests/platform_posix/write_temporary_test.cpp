// The temporaries of atomic writes: a writer that dies halfway leaves its temporary behind, and
// the next write into that directory removes it; a writer still at work keeps its own.

#include "platform/linux/write_temporary.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/directory.h"
#include "platform/files.h"
#include "tests/platform_posix/temporary_directory.h"

extern char** environ;

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

// The helper in a process of its own, read line by line, until killed.
class Writer {
public:
    explicit Writer(const std::vector<std::string>& arguments) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        std::vector<const char*> argv{TAVREL_POSIX_HELPER};
        for (const auto& argument : arguments) argv.push_back(argument.c_str());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        if (::posix_spawn(&pid_, TAVREL_POSIX_HELPER, &actions, nullptr,
                          const_cast<char**>(argv.data()), environ) != 0) {
            pid_ = -1;
        }
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        output_ = ends[0];
    }
    ~Writer() {
        killNow();
        if (output_ >= 0) ::close(output_);
    }
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // The next line; empty at the end of the output.
    std::string readLine() {
        for (;;) {
            if (const auto end = pending_.find('\n'); end != std::string::npos) {
                std::string line = pending_.substr(0, end);
                pending_.erase(0, end + 1);
                return line;
            }
            char buffer[256];
            const ssize_t got = ::read(output_, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return {};
            pending_.append(buffer, static_cast<std::size_t>(got));
        }
    }

    // Dies without any chance to clean up; returns once it is gone.
    void killNow() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    int output_ = -1;
    std::string pending_;
};

std::vector<std::string> temporariesIn(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name.find(".tmp-") != std::string::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> entriesOf(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(WriteTemporary, OnlyItsOwnNamesCountAsTemporaries) {
    const struct {
        const char* name;
        bool temporary;
    } cases[] = {
        {".settings.json.tmp-0123456789ab-4242", true},
        {".a.tmp-ffffffffffff-1", true},
        {".a.tmp-b.tmp-000000000000-77", true},  // a target whose own name holds the marker
        {".settings.json.tmp-0123456789ab-", false},
        {".settings.json.tmp-0123456789AB-4242", false},
        {".settings.json.tmp-0123456789a-4242", false},
        {".settings.json.tmp-0123456789ab-42x", false},
        {".settings.json.tmp-0123456789ab_4242", false},
        {"settings.json.tmp-0123456789ab-4242", false},  // not hidden
        {"..tmp-0123456789ab-4242", false},              // no target name
        {".tmp-0123456789ab-4242", false},
        {".settings.json", false},
        {".settings.json.tmp-notes", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(detail::isWriteTemporaryName(c.name), c.temporary);
    }
}

// Whichever writer runs next cleans up: the leftovers of dead writers go, whatever pid they
// name (the test's own, which is alive, included); a live writer's temporary and everything
// that only looks similar stay.
TEST(WriteTemporary, TheNextWriteRemovesDeadWritersTemporariesOnly) {
    const std::string ownPid = std::to_string(::getpid());
    const std::vector<std::string> dead = {
        ".settings.json.tmp-0123456789ab-1",
        ".settings.json.tmp-aaaaaaaaaaaa-" + ownPid,
        ".other.json.tmp-bbbbbbbbbbbb-999999",
    };
    const std::vector<std::string> lookalikes = {
        ".settings.json.tmp-notes",
        "settings.json.tmp-0123456789ab-1",
        ".settings.json.tmp-0123456789AB-1",
    };
    const std::vector<std::pair<const char*, std::function<Status(const fs::path&)>>> writers = {
        {"writeFileAtomically",
         [](const fs::path& dir) { return writeFileAtomically(dir / "settings.json", "new"); }},
        {"Directory::writeAtomically",
         [](const fs::path& dir) {
             auto directory = Directory::open(dir, Directory::Create::no);
             return directory ? directory->writeAtomically("settings.json", "new")
                              : Status(directory.error());
         }},
        {"Directory::createExclusively",
         [](const fs::path& dir) {
             auto directory = Directory::open(dir, Directory::Create::no);
             return directory ? directory->createExclusively("fresh.json", "new")
                              : Status(directory.error());
         }},
    };
    for (const auto& [label, write] : writers) {
        SCOPED_TRACE(label);
        TemporaryDirectory dir;
        for (const auto& name : dead) std::ofstream(dir / name) << "half a document";
        for (const auto& name : lookalikes) std::ofstream(dir / name) << "someone's file";
        fs::create_directory(dir / ".folder.tmp-cccccccccccc-5");
        fs::create_symlink(dir / "settings.json.tmp-0123456789ab-1",
                           dir / ".link.tmp-dddddddddddd-5");
        Writer live({"hold-temporary", dir.path().string(), "settings.json"});
        const std::string held = live.readLine();
        ASSERT_TRUE(held.starts_with("held ")) << held;
        const std::string liveTemporary = held.substr(5);
        // The live writer's own start already cleaned up: what it found was dead.
        for (const auto& name : dead) EXPECT_FALSE(fs::exists(dir / name)) << name;
        for (const auto& name : dead) std::ofstream(dir / name) << "half a document";

        ASSERT_TRUE(write(dir.path()).ok());

        std::vector<std::string> expected = lookalikes;
        expected.insert(expected.end(),
                        {".folder.tmp-cccccccccccc-5", ".link.tmp-dddddddddddd-5", liveTemporary,
                         std::string(label) == "Directory::createExclusively" ? "fresh.json"
                                                                              : "settings.json"});
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(entriesOf(dir.path()), expected);
        for (const auto& name : lookalikes) {
            EXPECT_EQ(*readFile(dir / name, 100), "someone's file");
        }
    }
}

// A hundred writers killed halfway through their save: each new writer's save removes what the
// previous one left, never the temporary of the writer still running, and the save after the
// last kill leaves none at all.
TEST(WriteTemporary, WritersKilledHalfwayLeaveNothingForTheNextSave) {
    TemporaryDirectory dir;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        Writer writer({"hold-temporary", dir.path().string(), "settings.json"});
        const std::string held = writer.readLine();
        ASSERT_TRUE(held.starts_with("held ")) << held;
        EXPECT_EQ(temporariesIn(dir.path()), std::vector<std::string>{held.substr(5)});
        writer.killNow();
    }
    ASSERT_EQ(temporariesIn(dir.path()).size(), 1u);
    ASSERT_TRUE(writeFileAtomically(dir / "settings.json", "after the kills").ok());
    EXPECT_TRUE(temporariesIn(dir.path()).empty());
    EXPECT_EQ(*readFile(dir / "settings.json", 100), "after the kills");
}

// The same with whole saves killed wherever the kill lands (creating, writing, syncing,
// renaming): the file is always one complete save, and the next save leaves no temporary.
TEST(WriteTemporary, SavesKilledAnywhereLeaveOneWholeFileAndNoTemporary) {
    TemporaryDirectory dir;
    const fs::path target = dir / "settings.json";
    constexpr std::size_t kBytes = 256 * 1024;
    for (int round = 0; round < 100; ++round) {
        SCOPED_TRACE(round);
        Writer writer({"save-loop", target.string(), std::to_string(kBytes)});
        // Kill after a varying number of finished saves, so the kill meets the next save at
        // varying points.
        for (int saves = 0; saves <= round % 3; ++saves) ASSERT_EQ(writer.readLine(), "saved");
        writer.killNow();
        EXPECT_LE(temporariesIn(dir.path()).size(), 1u) << "earlier leftovers were removed";
        EXPECT_EQ(fs::file_size(target), kBytes);
    }
    ASSERT_TRUE(writeFileAtomically(target, "after the kills").ok());
    EXPECT_TRUE(temporariesIn(dir.path()).empty());
}

}  // namespace
}  // namespace tavrel::platform
