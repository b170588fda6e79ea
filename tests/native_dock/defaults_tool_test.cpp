// tavrel-defaults in-process, and the preference domain writer under it.

#include "tools/defaults/defaults_tool.h"

#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/preferences.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

ToolRun run(const std::filesystem::path& directory, std::vector<std::string> arguments) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runDefaultsTool(arguments, directory, out, err);
    return {status, out.str(), err.str()};
}

struct ToolCase {
    std::vector<std::string> arguments;
    int status;
    std::string out;
    std::string err;  // expected start of standard error
};

// One session on a fresh directory, each step seeing what the earlier ones did.
TEST(DefaultsTool, BehavesLikeTheMacToolForTheDockCommands) {
    TemporaryDirectory directory;
    const std::string dock = "com.apple.dock";
    const std::vector<ToolCase> steps{
        {{"read", dock, "no-bouncing"},
         1,
         "",
         "The domain/default pair of (com.apple.dock, no-bouncing) does not exist\n"},
        {{"read", dock}, 1, "", "Domain com.apple.dock does not exist\n"},
        {{"delete", dock, "tilesize"},
         1,
         "",
         "Domain (com.apple.dock) not found.\nDefaults have not been changed.\n"},
        {{"write", dock, "no-bouncing", "-bool", "TRUE"}, 0, "", ""},
        {{"read", dock, "no-bouncing"}, 0, "1\n", ""},
        {{"write", dock, "magnification", "-boolean", "no"}, 0, "", ""},
        {{"read", dock, "magnification"}, 0, "0\n", ""},
        {{"write", dock, "autohide-delay", "-float", "15"}, 0, "", ""},
        {{"read", dock, "autohide-delay"}, 0, "15\n", ""},
        {{"write", dock, "autohide-delay", "-float", "0.1"}, 0, "", ""},
        {{"read", dock, "autohide-delay"}, 0, "0.1\n", ""},
        {{"write", dock, "tilesize", "-int", "-15"}, 0, "", ""},
        {{"read", dock, "tilesize"}, 0, "-15\n", ""},
        {{"write", dock, "orientation", "-string", "bottom"}, 0, "", ""},
        {{"write", dock, "label", "底部 \"x\""}, 0, "", ""},
        {{"read", dock},
         0,
         "{\n    \"autohide-delay\" = 0.1;\n    label = \"底部 \\\"x\\\"\";\n"
         "    magnification = 0;\n    \"no-bouncing\" = 1;\n    orientation = bottom;\n"
         "    tilesize = -15;\n}\n",
         ""},
        {{"delete", dock, "largesize"},
         1,
         "",
         "The domain/default pair of (com.apple.dock, largesize) does not exist\n"},
        {{"delete", dock, "no-bouncing"}, 0, "", ""},
        {{"read", dock, "no-bouncing"},
         1,
         "",
         "The domain/default pair of (com.apple.dock, no-bouncing) does not exist\n"},
        {{"write", dock, "tilesize", "-int", "1.5"}, 1, "", "tavrel-defaults: '1.5' is not"},
        {{"write", dock, "tilesize", "-int", "99999999999999999999"}, 1, "", "tavrel-defaults:"},
        {{"write", dock, "autohide-delay", "-float", "nan"}, 1, "", "tavrel-defaults:"},
        {{"write", dock, "autohide", "-bool", "maybe"}, 1, "", "tavrel-defaults:"},
        {{"write", dock, "autohide", "-date", "now"}, 1, "", "tavrel-defaults: unknown type"},
        {{"write", "../escape", "k", "v"}, 1, "", "tavrel-defaults: '../escape' is not"},
        {{"write", dock, "", "v"}, 1, "", "tavrel-defaults: could not write"},
        {{"write", dock, "autohide"}, 2, "", "tavrel-defaults: write takes"},
        {{"delete", dock}, 2, "", "tavrel-defaults: delete takes"},
        {{"rename", dock}, 2, "", "tavrel-defaults: unknown command"},
        {{}, 2, "", "tavrel-defaults: no command given"},
    };
    for (const auto& step : steps) {
        std::string line;
        for (const auto& argument : step.arguments) line += argument + " ";
        const ToolRun result = run(directory.path(), step.arguments);
        EXPECT_EQ(result.status, step.status) << line;
        EXPECT_EQ(result.out, step.out) << line;
        EXPECT_TRUE(result.err.starts_with(step.err)) << line << "\n" << result.err;
    }
    const ToolRun help = run(directory.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, defaultsToolUsage());
}

TEST(DefaultsTool, WritingKeepsEntriesOfOtherTypesAndNeverReplacesABrokenDomain) {
    TemporaryDirectory directory;
    const auto file = directory / "com.apple.dock.plist";
    ASSERT_TRUE(
        platform::writeFileAtomically(file,
                                      "<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                      "<key>persistent-apps</key><array><string>x</string></array>"
                                      "<key>mod-count</key><date>2024-01-02T03:04:05Z</date>"
                                      "<key>tilesize</key><integer>48</integer></dict></plist>"));
    EXPECT_EQ(run(directory.path(), {"write", "com.apple.dock", "tilesize", "-int", "15"}).status,
              0);
    EXPECT_EQ(run(directory.path(), {"delete", "com.apple.dock", "persistent-apps"}).status, 0);
    EXPECT_EQ(run(directory.path(), {"delete", "com.apple.dock", "persistent-apps"}).status, 1);
    auto bytes = platform::readFile(file, 1 << 20);
    ASSERT_TRUE(bytes);
    EXPECT_TRUE(bytes->starts_with("bplist00"));
    // The date survived, though no command can read it; the array went only when deleted.
    EXPECT_NE(bytes->find("mod-count"), std::string::npos);
    EXPECT_EQ(bytes->find("persistent-apps"), std::string::npos);
    EXPECT_EQ(run(directory.path(), {"read", "com.apple.dock", "tilesize"}).out, "15\n");

    ASSERT_TRUE(platform::writeFileAtomically(file, "not a property list"));
    const ToolRun refused =
        run(directory.path(), {"write", "com.apple.dock", "tilesize", "-int", "15"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("Defaults have not been changed."), std::string::npos);
    EXPECT_EQ(run(directory.path(), {"delete", "com.apple.dock", "tilesize"}).status, 1);
    EXPECT_EQ(platform::readFile(file, 1 << 20).value(), "not a property list");
}

TEST(PreferenceWriter, ConcurrentWritersKeepEveryKey) {
    TemporaryDirectory directory;
    constexpr int kWriters = 6;
    constexpr int kKeysEach = 15;
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w) {
        writers.emplace_back([&directory, w] {
            for (int k = 0; k < kKeysEach; ++k) {
                const std::string key = "key-" + std::to_string(w) + "-" + std::to_string(k);
                EXPECT_TRUE(platform::setPreferenceValue(directory.path(), "shared.domain", key,
                                                         std::int64_t{w * 100 + k}));
            }
        });
    }
    for (auto& writer : writers) writer.join();
    const auto domain = platform::readPreferenceDomain(directory.path(), "shared.domain");
    ASSERT_TRUE(domain);
    ASSERT_TRUE(domain->has_value());
    EXPECT_EQ((*domain)->size(), static_cast<std::size_t>(kWriters * kKeysEach));
    EXPECT_EQ((*domain)->at("key-5-14"), platform::PreferenceValue{std::int64_t{514}});
}

}  // namespace
}  // namespace tavrel
