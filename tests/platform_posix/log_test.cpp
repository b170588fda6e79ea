#include "platform/log.h"

#include <mutex>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/process.h"

namespace tavrel::platform {
namespace {

TEST(Log, CaptureSeesEachLineExactlyAsGiven) {
    std::vector<std::string> lines;
    {
        ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
        log("Tavrel: cannot save Dock bounce backup: 100% full");
        log("");
        log("Tavrel FinderSync: 新建文件");
    }
    log("after the capture ended");
    EXPECT_EQ(lines, (std::vector<std::string>{"Tavrel: cannot save Dock bounce backup: 100% full",
                                               "", "Tavrel FinderSync: 新建文件"}));
}

// Text from outside reaches a line as it is when it is UTF-8 without line breaks; otherwise only
// the offending bytes are escaped, so a line never carries raw bytes or forges a second line.
TEST(Log, BytesThatWouldGarbleALineAreEscaped) {
    const struct {
        std::string given;
        std::string written;
    } cases[] = {
        {"Tavrel: 设置\t100%", "Tavrel: 设置\t100%"},
        {"not UTF-8: \"\xFF\"", "not UTF-8: \"\\xFF\""},
        {"cut short: \xE6\x96", "cut short: \\xE6\\x96"},
        {"overlong: \xC0\xAF", "overlong: \\xC0\\xAF"},
        {"surrogate: \xED\xA0\x80", "surrogate: \\xED\\xA0\\x80"},
        {"two\nlines\r", "two\\nlines\\r"},
        {std::string("nul \0 bell \a del \x7F", sizeof "nul \0 bell \a del \x7F" - 1),
         "nul \\x00 bell \\x07 del \\x7F"},
        {"mixed 新\xFF建", "mixed 新\\xFF建"},
    };
    std::vector<std::string> lines;
    {
        ScopedLogCapture capture([&](std::string_view line) { lines.emplace_back(line); });
        for (const auto& c : cases) log(c.given);
    }
    ASSERT_EQ(lines.size(), std::size(cases));
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], cases[i].written);
}

TEST(Log, CaptureCollectsFromEveryThread) {
    std::mutex mutex;
    std::multiset<std::string> lines;
    {
        ScopedLogCapture capture([&](std::string_view line) {
            std::lock_guard lock(mutex);
            lines.emplace(line);
        });
        std::vector<std::thread> threads;
        for (int t = 0; t < 4; ++t) {
            threads.emplace_back([t] {
                for (int i = 0; i < 50; ++i) log("line " + std::to_string(t));
            });
        }
        for (auto& thread : threads) thread.join();
    }
    ASSERT_EQ(lines.size(), 200u);
    for (int t = 0; t < 4; ++t) EXPECT_EQ(lines.count("line " + std::to_string(t)), 50u);
}

TEST(Log, LinesFromManyThreadsReachStandardErrorWhole) {
    ProcessRequest request;
    request.executable = TAVREL_POSIX_HELPER;
    request.arguments = {"log", "4", "300"};
    request.maxCapturedBytes = 4 << 20;
    const ProcessResult result = makeProcessRunner()->run(request);
    ASSERT_TRUE(result.succeeded()) << result.error;

    const std::string tail(200, 'x');
    std::istringstream stream(result.standardError);
    std::string line;
    std::set<std::string> seen;
    while (std::getline(stream, line)) {
        ASSERT_TRUE(line.rfind("Tavrel: thread ", 0) == 0 && line.ends_with(tail)) << line;
        seen.insert(line);
    }
    EXPECT_EQ(seen.size(), 1200u);
    EXPECT_TRUE(result.standardError.ends_with("\n"));
}

}  // namespace
}  // namespace tavrel::platform
