#include "platform/files.h"

#include <fstream>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/platform_posix/temporary_directory.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

void writePlain(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string contents(const fs::path& path) {
    auto bytes = readFile(path, 1 << 20);
    return bytes ? *bytes : "<unreadable: " + bytes.error().message + ">";
}

mode_t permissionBits(const fs::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

// Nothing but the named files: a failed or finished write leaves no temporary file behind.
std::vector<std::string> entries(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(ReadFile, ReadsUpToTheLimitAndRefusesMore) {
    TemporaryDirectory dir;
    writePlain(dir / "ten", "0123456789");
    writePlain(dir / "empty", "");

    struct Case {
        const char* name;
        std::size_t limit;
        bool ok;
    } cases[] = {{"ten", 10, true}, {"ten", 9, false}, {"ten", 0, false}, {"empty", 0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
        auto bytes = readFile(dir / c.name, c.limit);
        ASSERT_EQ(bytes.ok(), c.ok);
        if (c.ok) {
            EXPECT_EQ(bytes->size(), fs::file_size(dir / c.name));
        }
    }
}

TEST(ReadFile, ReadsFilesThatReportNoSize) {
    // /proc files claim size 0; their content must still arrive, within the limit.
    auto status = readFile("/proc/self/status", 1 << 20);
    ASSERT_TRUE(status.ok()) << status.error().message;
    EXPECT_NE(status->find("Pid:"), std::string::npos);
    EXPECT_FALSE(readFile("/proc/self/status", 16).ok());
}

TEST(ReadFile, ReportsWhatCannotBeRead) {
    TemporaryDirectory dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const auto& path : {dir / "missing", dir.path(), dir / "fifo"}) {
        SCOPED_TRACE(path);
        auto bytes = readFile(path, 1024);
        ASSERT_FALSE(bytes.ok());
        EXPECT_NE(bytes.error().message.find(path.string()), std::string::npos);
    }
}

TEST(WriteFileAtomically, CreatesAndReplacesWholeFiles) {
    TemporaryDirectory dir;
    const auto target = dir / "settings.json";
    for (auto durability : {Durability::durable, Durability::fast}) {
        for (const std::string& bytes :
             std::vector<std::string>{"{\"a\":1}", "", std::string(300000, 'z'), "{}"}) {
            ASSERT_TRUE(writeFileAtomically(target, bytes, durability).ok());
            EXPECT_EQ(contents(target), bytes);
        }
    }
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"settings.json"});
}

TEST(WriteFileAtomically, NewFilesFollowTheUmaskAndExistingFilesKeepTheirMode) {
    TemporaryDirectory dir;
    const mode_t previous = ::umask(027);
    ASSERT_TRUE(writeFileAtomically(dir / "new", "x").ok());
    EXPECT_EQ(permissionBits(dir / "new"), 0640u);
    ::umask(previous);

    writePlain(dir / "private", "old");
    ASSERT_EQ(::chmod((dir / "private").c_str(), 0600), 0);
    ASSERT_TRUE(writeFileAtomically(dir / "private", "new").ok());
    EXPECT_EQ(permissionBits(dir / "private"), 0600u);
    EXPECT_EQ(contents(dir / "private"), "new");
}

TEST(WriteFileAtomically, LongFileNamesStillGetATemporaryFile) {
    TemporaryDirectory dir;
    const auto target = dir / std::string(255, 'n');
    ASSERT_TRUE(writeFileAtomically(target, "long").ok());
    EXPECT_EQ(contents(target), "long");
}

TEST(WriteFileAtomically, RefusedWritesLeaveEverythingAsItWas) {
    TemporaryDirectory dir;
    fs::create_directory(dir / "folder");
    writePlain(dir / "folder" / "inside", "kept");
    writePlain(dir / "old", "old content");

    for (const auto& target : {dir / "folder", dir / "missing" / "file", dir.path() / ""}) {
        SCOPED_TRACE(target);
        EXPECT_FALSE(writeFileAtomically(target, "new").ok());
    }
    EXPECT_EQ(contents(dir / "folder" / "inside"), "kept");
    EXPECT_EQ(contents(dir / "old"), "old content");
    EXPECT_EQ(entries(dir.path()), (std::vector<std::string>{"folder", "old"}));
}

TEST(WriteFileAtomically, AFailedWriteKeepsTheOldFileAndRemovesTheTemporary) {
    TemporaryDirectory dir;
    const auto target = dir / "document";
    writePlain(target, "old content");

    // A file size limit makes the write itself fail, even for root.
    struct sigaction ignore {};
    struct sigaction previousAction {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previousAction), 0);
    rlimit previousLimit{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previousLimit), 0);
    rlimit small = previousLimit;
    small.rlim_cur = 64;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);

    const Status status = writeFileAtomically(target, std::string(4096, 'n'));

    ::setrlimit(RLIMIT_FSIZE, &previousLimit);
    ::sigaction(SIGXFSZ, &previousAction, nullptr);
    ASSERT_FALSE(status.ok());
    EXPECT_NE(status.error().message.find("document"), std::string::npos);
    EXPECT_EQ(contents(target), "old content");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"document"});
}

}  // namespace
}  // namespace tavrel::platform
