// The taskbar stand-in and the notification tool, as separate processes on a private bus.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>

#include <gtest/gtest.h>

#include "tests/e2e/process_fixture.h"

namespace tavrel::e2e {
namespace {

const std::string kNotify = toolPath("tavrel-notify");
const std::string kSim = toolPath("tavrel-taskbar-sim");

std::filesystem::path settingsPath() {
    return std::filesystem::path(std::getenv("XDG_DATA_HOME")) / "Tavrel" / "settings.json";
}

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// Posts a probe until `listener` shows it, so that the listener's bus match is in place before
// the test's own messages go out.
void awaitListening(Child& listener, const std::string& probeName) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        ASSERT_EQ(runToEnd(kNotify, {"post", probeName}).exitCode, 0);
        if (listener.awaitNotification(probeName, std::chrono::milliseconds(200))) return;
    }
    FAIL() << "listener never saw " << probeName;
}

class TaskbarSimE2E : public ::testing::Test {
protected:
    int argc = 1;
    char arg0[8] = "e2e";
    char* argv[1] = {arg0};
    QCoreApplication app{argc, argv};
};

TEST_F(TaskbarSimE2E, MonitorSeesTheReopenAndCloseRequestsOfTheStandIn) {
    Child monitor(kNotify, {"monitor"});
    awaitListening(monitor, "test.ready");

    ASSERT_EQ(runToEnd(kSim, {"reopen", "switcher"}).exitCode, 0);
    auto reopen = monitor.awaitNotification("com.local.tavrel.settings.reopen");
    ASSERT_TRUE(reopen);
    EXPECT_EQ((*reopen)["object"], nullptr);
    EXPECT_EQ((*reopen)["userInfo"], nlohmann::json({{"page", "switcher"}}));

    ASSERT_EQ(runToEnd(kSim, {"reopen"}).exitCode, 0);
    reopen = monitor.awaitNotification("com.local.tavrel.settings.reopen");
    ASSERT_TRUE(reopen);
    EXPECT_EQ((*reopen)["userInfo"], nlohmann::json::object());

    ASSERT_EQ(runToEnd(kSim, {"close"}).exitCode, 0);
    EXPECT_TRUE(monitor.awaitNotification("com.local.tavrel.settings.close"));
}

TEST_F(TaskbarSimE2E, StandInPrintsSettingsMessagesAndAnswersPermissionQueriesWithTheSameToken) {
    Child monitor(kNotify, {"monitor", "com.local.tavrel.permissionReply", "test.ready"});
    awaitListening(monitor, "test.ready");
    Child sim(kSim, {"--screen-recording=false"});
    awaitListening(sim, "com.local.tavrel.settingsChanged");

    ASSERT_EQ(runToEnd(kNotify, {"post", "com.local.tavrel.settingsCommand", "--string",
                                 "command=restartTaskbar"})
                  .exitCode,
              0);
    auto command = sim.awaitNotification("com.local.tavrel.settingsCommand");
    ASSERT_TRUE(command);
    EXPECT_EQ((*command)["userInfo"], nlohmann::json({{"command", "restartTaskbar"}}));

    const std::string token = "0F3C2C48-51D8-4E0C-9A5B-3B8F1F2A9C10";
    ASSERT_EQ(runToEnd(kNotify,
                       {"post", "com.local.tavrel.permissionQuery", "--string", "token=" + token})
                  .exitCode,
              0);
    auto reply = monitor.awaitNotification("com.local.tavrel.permissionReply");
    ASSERT_TRUE(reply);
    EXPECT_EQ(
        (*reply)["userInfo"],
        nlohmann::json({{"token", token}, {"screenRecording", false}, {"accessibility", true}}));

    // New grants apply to the next query; a query without a token is not answered.
    sim.write("grants true false\n");
    ASSERT_EQ(runToEnd(kNotify, {"post", "com.local.tavrel.permissionQuery"}).exitCode, 0);
    ASSERT_EQ(
        runToEnd(kNotify, {"post", "com.local.tavrel.permissionQuery", "--string", "token=second"})
            .exitCode,
        0);
    reply = monitor.awaitNotification("com.local.tavrel.permissionReply");
    ASSERT_TRUE(reply);
    EXPECT_EQ(
        (*reply)["userInfo"],
        nlohmann::json({{"token", "second"}, {"screenRecording", true}, {"accessibility", false}}));
}

TEST_F(TaskbarSimE2E, StandInRewritesSettingsWholeAndAnnouncesIt) {
    Child monitor(kNotify, {"monitor", "com.local.tavrel.mainAppSettingsChanged", "test.ready"});
    awaitListening(monitor, "test.ready");

    ASSERT_EQ(runToEnd(kSim, {"set", "showClock", "false"}).exitCode, 0);
    EXPECT_TRUE(monitor.awaitNotification("com.local.tavrel.mainAppSettingsChanged"));
    ASSERT_EQ(runToEnd(kSim, {"set", "taskbarHeight", "44"}).exitCode, 0);
    EXPECT_TRUE(monitor.awaitNotification("com.local.tavrel.mainAppSettingsChanged"));
    // The whole document, as the settings model writes it: a per-theme key lands in the current
    // theme's record and its top-level copy.
    auto document = nlohmann::json::parse(readAll(settingsPath()));
    EXPECT_EQ(document["showClock"], false);
    const char* current = document["theme"] == 1 ? "liquidGlassSettings" : "windowsSettings";
    const char* other = document["theme"] == 1 ? "windowsSettings" : "liquidGlassSettings";
    EXPECT_EQ(document[current]["taskbarHeight"], 44);
    EXPECT_EQ(document["taskbarHeight"], 44);
    EXPECT_NE(document[other]["taskbarHeight"], 44);

    // write-settings copies the bytes exactly, even a document no reader would accept.
    const auto source = std::filesystem::path(std::getenv("HOME")) / "broken.json";
    std::ofstream(source) << "{\"taskbarOpacity\": ";
    ASSERT_EQ(runToEnd(kSim, {"write-settings", source.string()}).exitCode, 0);
    EXPECT_TRUE(monitor.awaitNotification("com.local.tavrel.mainAppSettingsChanged"));
    EXPECT_EQ(readAll(settingsPath()), "{\"taskbarOpacity\": ");
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(settingsPath().parent_path())) {
        if (entry.path().filename() == ".migration-complete") continue;
        EXPECT_EQ(entry.path().filename(), "settings.json") << "left behind: " << entry.path();
    }

    // A document that is not an object is not silently replaced by "set".
    EXPECT_NE(runToEnd(kSim, {"set", "showClock", "true"}).exitCode, 0);
    EXPECT_EQ(readAll(settingsPath()), "{\"taskbarOpacity\": ");
}

// The stand-in and tavrel-settings refuse the same edits with the same message and status, and
// neither writes anything for them.
TEST_F(TaskbarSimE2E, StandInRefusesTheEditsTavrelSettingsRefuses) {
    ASSERT_EQ(runToEnd(kSim, {"set", "showClock", "false"}).exitCode, 0);
    const std::string before = readAll(settingsPath());
    const std::vector<std::vector<std::string>> refused = {
        {"taskbarOpacity", "0.8"},                   // no such key
        {"showClock", "1"},                          // not a boolean
        {"showClock", "yes"},                        // not JSON
        {"taskbarHeight", "\"tall\""},               // not a number
        {"windowsSettings.hideNativeDock", "true"},  // no key of a theme
        {"themeIsolationVersion", "2"},              // always written by the model
    };
    for (const auto& edit : refused) {
        SCOPED_TRACE(edit[0] + " " + edit[1]);
        const auto sim = runToEnd(kSim, {"set", edit[0], edit[1]});
        const auto tool = runToEnd(toolPath("tavrel-settings"), {"set", edit[0], edit[1]});
        EXPECT_EQ(sim.exitCode, 2);
        EXPECT_EQ(tool.exitCode, 2);
        const std::string reason = tool.standardError.substr(tool.standardError.find(": ") + 2);
        EXPECT_EQ(sim.standardError, "tavrel-taskbar-sim: " + reason);
        EXPECT_EQ(readAll(settingsPath()), before);
    }
    // What tavrel-settings normalises, the stand-in normalises too, and says so.
    const auto capped = runToEnd(kSim, {"set", "previewSnapshotCacheLimit", "500"});
    EXPECT_EQ(capped.exitCode, 0);
    EXPECT_NE(capped.standardError.find("previewSnapshotCacheLimit was stored as 100"),
              std::string::npos)
        << capped.standardError;
    EXPECT_EQ(nlohmann::json::parse(readAll(settingsPath()))["previewSnapshotCacheLimit"], 100);
}

// "set" edits a document the application would read. Anything else (too deep, too large, not
// UTF-8, not a document at all) is refused with the reason and left exactly as it is: nothing
// archived, nothing replaced, nothing announced.
TEST_F(TaskbarSimE2E, StandInSetLeavesADocumentItCannotReadAsItIs) {
    std::string deepObject;
    for (int i = 0; i < 100000; ++i) deepObject += "{\"a\":";
    deepObject += "1" + std::string(100000, '}');
    std::string oversized = "{\"taskbarDisplayIdentifier\": \"";
    oversized.append(5 * 1024 * 1024, 'x');
    oversized += "\"}";
    const struct {
        const char* name;
        std::string bytes;
        const char* reason;
    } cases[] = {
        {"nested objects", deepObject, "it does not decode"},
        {"nested lists", std::string(100000, '['), "it does not decode"},
        {"oversized", oversized, "it is larger than"},
        {"not UTF-8", "{\"taskbarDisplayIdentifier\": \"\xFF\"}", "it does not decode"},
        {"empty", "", "it does not decode"},
    };
    const auto directory = settingsPath().parent_path();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(directory);
        std::filesystem::create_directories(directory);
        std::ofstream(settingsPath(), std::ios::binary) << c.bytes;

        const auto set = runToEnd(kSim, {"set", "showClock", "false"});
        EXPECT_EQ(set.exitCode, 2);
        EXPECT_NE(set.standardError.find("tavrel-taskbar-sim: settings.json left as it is: "),
                  std::string::npos)
            << set.standardError;
        EXPECT_NE(set.standardError.find(c.reason), std::string::npos) << set.standardError;
        EXPECT_TRUE(readAll(settingsPath()) == c.bytes) << "the document is untouched";
        std::vector<std::string> entries;
        for (const auto& entry : std::filesystem::directory_iterator(directory)) {
            entries.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(entries, std::vector<std::string>{"settings.json"});
    }

    // Not a file that can be read at all.
    std::filesystem::remove_all(directory);
    std::filesystem::create_directories(settingsPath());
    const auto set = runToEnd(kSim, {"set", "showClock", "false"});
    EXPECT_EQ(set.exitCode, 2);
    EXPECT_NE(set.standardError.find("it cannot be read"), std::string::npos) << set.standardError;
    EXPECT_TRUE(std::filesystem::is_directory(settingsPath()));
    EXPECT_TRUE(std::filesystem::is_empty(settingsPath()));
}

TEST_F(TaskbarSimE2E, ToolsExplainThemselvesAndFailClearlyWithoutABus) {
    auto help = runToEnd(kSim, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.standardOutput.find("reopen [PAGE]"), std::string::npos);

    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    auto noBus = runToEnd(kSim, {"close"});
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
    EXPECT_EQ(noBus.exitCode, 1);
    EXPECT_NE(noBus.standardError.find("session bus"), std::string::npos) << noBus.standardError;
}

}  // namespace
}  // namespace tavrel::e2e
