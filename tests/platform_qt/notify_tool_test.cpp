// Two processes on one session bus: this test and the built tavrel-notify, in both directions.

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/platform_qt/bus_test_support.h"

namespace tavrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;

const QString kTool = QStringLiteral(TAVREL_BINARY_DIR "/bin/tavrel-notify");

QStringList toQStrings(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromUtf8(argument);
    return list;
}

struct Finished {
    int exitCode = -1;
    std::string standardError;
    std::string standardOutput;
};

Finished runTool(const std::vector<std::string>& arguments,
                 const std::optional<QProcessEnvironment>& environment = std::nullopt) {
    QProcess process;
    if (environment) process.setProcessEnvironment(*environment);
    process.start(kTool, toQStrings(arguments));
    if (!process.waitForStarted() || !process.waitForFinished(30000)) return {};
    if (process.exitStatus() != QProcess::NormalExit) return {};
    return {process.exitCode(), process.readAllStandardError().toStdString(),
            process.readAllStandardOutput().toStdString()};
}

// `tavrel-notify monitor` as a child; ready once it says it listens.
class Monitor {
public:
    explicit Monitor(const std::vector<std::string>& names) {
        std::vector<std::string> arguments = {"monitor"};
        arguments.insert(arguments.end(), names.begin(), names.end());
        process_.start(kTool, toQStrings(arguments));
        process_.setReadChannel(QProcess::StandardError);
        while (!process_.readAll().contains("tavrel-notify: listening")) {
            if (!process_.waitForReadyRead(15000)) return;
        }
        process_.setReadChannel(QProcess::StandardOutput);
        ready_ = true;
    }
    ~Monitor() {
        process_.kill();
        process_.waitForFinished();
    }
    bool ready() const { return ready_; }
    bool running() const { return process_.state() == QProcess::Running; }

    std::optional<nlohmann::json> nextLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(15000)) return std::nullopt;
        }
        const QByteArray line = process_.readLine();
        return nlohmann::json::parse(line.toStdString(), nullptr, false);
    }

private:
    QProcess process_;
    bool ready_ = false;
};

struct PostCase {
    std::vector<std::string> arguments;
    Notification expected;
};

TEST(NotifyToolTest, PostReachesAnotherProcessWithEveryTypeAndObjectState) {
    const std::string name = "com.local.tavrel.test.tool";
    const std::vector<PostCase> cases = {
        {{}, {name, std::nullopt, {}}},
        {{"--object", ""}, {name, std::string(), {}}},
        {{"--object", "--string"}, {name, std::string("--string"), {}}},
        {{"--string", "s=a=b", "--string", "empty=", "--string", "zh=\xE6\x96\xB0"},
         {name,
          std::nullopt,
          {{"s", std::string("a=b")},
           {"empty", std::string()},
           {"zh", std::string("\xE6\x96\xB0")}}}},
        {{"--bool", "t=true", "--bool", "f=false"},
         {name, std::nullopt, {{"t", true}, {"f", false}}}},
        {{"--number", "d=0.1", "--number", "e=-2e300"},
         {name, std::nullopt, {{"d", 0.1}, {"e", -2e300}}}},
        {{"--int", "min=-9223372036854775808", "--int", "max=9223372036854775807"},
         {name,
          std::nullopt,
          {{"min", std::numeric_limits<std::int64_t>::min()},
           {"max", std::numeric_limits<std::int64_t>::max()}}}},
        {{"--bytes-base64", "b=AAF/gP8=", "--bytes-base64", "none="},
         {name,
          std::nullopt,
          {{"b", NotificationBytes{0, 1, 0x7F, 0x80, 0xFF}}, {"none", NotificationBytes{}}}}},
    };

    auto center = makeCenter();
    ASSERT_TRUE(center);
    Received received;
    center->observe(name, received.handler());
    ASSERT_TRUE(center->synchronize().ok());

    for (const PostCase& c : cases) {
        std::vector<std::string> arguments = {"post", name};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const Finished finished = runTool(arguments);
        ASSERT_EQ(finished.exitCode, 0) << finished.standardError;
    }
    ASSERT_TRUE(received.waitFor(cases.size()));
    ASSERT_EQ(received.notifications.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(received.notifications[i], cases[i].expected) << "case " << i;
    }
}

TEST(NotifyToolTest, MonitorPrintsWhatAnotherProcessPostsAsJsonLines) {
    Monitor monitor({});
    ASSERT_TRUE(monitor.ready());
    auto center = makeCenter();
    ASSERT_TRUE(center);

    ASSERT_TRUE(center->post({"test.plain", std::nullopt, {}}).ok());
    ASSERT_TRUE(center->post({"test.empty", std::string(), {}}).ok());
    ASSERT_TRUE(center
                    ->post({"test.all",
                            std::string("obj"),
                            {{"s", std::string("\xE6\x96\xB0")},
                             {"b", true},
                             {"d", 1.5},
                             {"i", std::numeric_limits<std::int64_t>::min()},
                             {"y", NotificationBytes{0, 1, 0xFF}}}})
                    .ok());

    EXPECT_EQ(monitor.nextLine(),
              nlohmann::json::parse(R"({"name":"test.plain","object":null,"userInfo":{}})"));
    EXPECT_EQ(monitor.nextLine(),
              nlohmann::json::parse(R"({"name":"test.empty","object":"","userInfo":{}})"));
    EXPECT_EQ(monitor.nextLine(), nlohmann::json::parse(R"({"name":"test.all","object":"obj",
        "userInfo":{"s":"新","b":true,"d":1.5,"i":-9223372036854775808,"y":"AAH/"}})"));
}

TEST(NotifyToolTest, MonitorWithNamesPrintsOnlyThoseNames) {
    Monitor monitor({"test.one", "caf\xC3\xA9", "test.one"});
    ASSERT_TRUE(monitor.ready());
    auto center = makeCenter();
    ASSERT_TRUE(center);
    for (const char* name : {"test.other", "test.one", "test.onex", "caf\xC3\xA9", "test.one"}) {
        ASSERT_TRUE(center->post({name, std::nullopt, {}}).ok());
    }
    std::vector<std::string> names;
    for (int i = 0; i < 3; ++i) {
        auto line = monitor.nextLine();
        ASSERT_TRUE(line);
        names.push_back((*line)["name"]);
    }
    EXPECT_THAT(names, ElementsAre("test.one", "caf\xC3\xA9", "test.one"));
}

TEST(NotifyToolTest, MonitorIgnoresForeignSignalsAndKeepsRunning) {
    const std::string name = "com.local.tavrel.test.foreign";
    Monitor monitor({name});
    ASSERT_TRUE(monitor.ready());
    auto center = makeCenter();
    ASSERT_TRUE(center);
    QDBusConnection bus = centerConnection();
    for (const auto& [label, message] : foreignPosts(QString::fromStdString(name))) {
        ASSERT_TRUE(bus.send(message)) << label;
    }
    const Notification valid{name, std::string("after"), {}};
    ASSERT_TRUE(center->post(valid).ok());

    auto line = monitor.nextLine();
    ASSERT_TRUE(line);
    EXPECT_EQ((*line)["object"], "after");
    EXPECT_TRUE(monitor.running());
}

TEST(NotifyToolTest, BadUsageExitsWithStatusTwoAndSaysWhy) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "missing command"},
        {{"frobnicate"}, "unknown command"},
        {{"post"}, "needs a notification name"},
        {{"post", "--string", "k=v"}, "needs a notification name"},
        {{"post", "n", "--string"}, "--string needs a value"},
        {{"post", "n", "--string", "novalue"}, "expects KEY=VALUE"},
        {{"post", "n", "--int", "=1"}, "empty key"},
        {{"post", "n", "--number", "x=abc"}, "--number expects"},
        {{"post", "n", "--number", "x=1.5kg"}, "--number expects"},
        {{"post", "n", "--number", "x=nan"}, "--number expects"},
        {{"post", "n", "--number", "x="}, "--number expects"},
        {{"post", "n", "--int", "x=1.5"}, "--int expects"},
        {{"post", "n", "--int", "x=9223372036854775808"}, "--int expects"},
        {{"post", "n", "--bool", "x=yes"}, "--bool expects"},
        {{"post", "n", "--bytes-base64", "x=@@@@"}, "--bytes-base64 expects"},
        {{"post", "n", "--bytes-base64", "x=AAE"}, "--bytes-base64 expects"},
        {{"post", "n", "--colour", "x=1"}, "unknown option"},
        {{"post", "n", "--object", "a", "--object", "b"}, "--object given twice"},
        {{"post", "n", "--int", "x=1", "--string", "x=2"}, "given twice"},
        {{"monitor", "--all"}, "unknown option"},
        {{"monitor", ""}, "empty"},
    };
    for (const auto& [arguments, message] : cases) {
        const Finished finished = runTool(arguments);
        EXPECT_EQ(finished.exitCode, 2) << message;
        EXPECT_THAT(finished.standardError, StartsWith("tavrel-notify: ")) << message;
        EXPECT_THAT(finished.standardError, HasSubstr(message));
    }
}

TEST(NotifyToolTest, ArgumentsThatAreNotUtf8AreBadUsage) {
    // QProcess would re-encode the bytes, so a shell hands them over.
    QProcess process;
    process.start("/bin/sh", {"-c", R"sh(exec "$0" post "$(printf 'com.test.\377')")sh", kTool});
    ASSERT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 2);
    EXPECT_THAT(process.readAllStandardError().toStdString(), HasSubstr("not UTF-8"));
}

TEST(NotifyToolTest, HelpExplainsBothCommands) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, {"post", "--help"}, {"monitor", "-h"}}) {
        const Finished finished = runTool(arguments);
        EXPECT_EQ(finished.exitCode, 0);
        EXPECT_THAT(finished.standardOutput, HasSubstr("tavrel-notify post NAME"));
        EXPECT_THAT(finished.standardOutput, HasSubstr("tavrel-notify monitor"));
        EXPECT_THAT(finished.standardOutput, HasSubstr("--bytes-base64"));
    }
}

TEST(NotifyToolTest, WithoutASessionBusExitsWithStatusOne) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tavrel-test-bus");
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"post", "test.nobus"}, {"monitor"}}) {
        const Finished finished = runTool(arguments, environment);
        EXPECT_EQ(finished.exitCode, 1);
        EXPECT_THAT(finished.standardError, StartsWith("tavrel-notify: no D-Bus session bus: "));
    }
}

}  // namespace
}  // namespace tavrel::testing
