// The long-running programs and the end of their session: a bus daemon of the test's own is
// killed under them, and each must end by itself (cleanly) instead of living on without a bus.
// A later session's first start of the settings application then shows its window.

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include "tests/e2e/process_fixture.h"

namespace tavrel::e2e {
namespace {

const std::string kNotify = toolPath("tavrel-notify");
const std::string kSim = toolPath("tavrel-taskbar-sim");
const std::string kBridge = toolPath("tavrel-media-bridge");
const std::string kNewFile = toolPath("tavrel-new-file");
const std::string kSettings =
    std::string(TAVREL_BINARY_DIR) + "/bundles/TavrelSettings.app/Contents/MacOS/TavrelSettings";
const std::string kHelper = std::string(TAVREL_BINARY_DIR) +
                            "/bundles/TavrelHelperLauncher.app/Contents/MacOS/TavrelHelperLauncher";

// A copy of the helper's bundle in the widget role, as the taskbar prepares one: started without
// "--tavrel-widget-sync", it asks for its widget to be shown once it is ready.
std::string makeWidgetCopy() {
    const std::filesystem::path bundle =
        std::filesystem::path(TAVREL_BINARY_DIR) / "bundles" / "TavrelHelperLauncher.app";
    const auto copy = std::filesystem::path(std::getenv("HOME")) / "copies" / "time.app";
    std::filesystem::remove_all(copy);
    std::filesystem::create_directories(copy.parent_path());
    std::filesystem::copy(bundle, copy, std::filesystem::copy_options::recursive);
    const auto plist = copy / "Contents" / "Info.plist";
    std::stringstream text;
    text << std::ifstream(plist, std::ios::binary).rdbuf();
    std::string document = text.str();
    document.insert(document.rfind("</dict>"),
                    "\t<key>TavrelWidgetIdentifier</key>\n\t<string>time</string>\n");
    std::ofstream(plist, std::ios::binary | std::ios::trunc) << document;
    return (copy / "Contents" / "MacOS" / "TavrelHelperLauncher").string();
}

// A session bus daemon of the test's own; the programs started while it runs talk over it.
class SessionBus {
public:
    SessionBus() {
        daemon_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        daemon_.start(QStringLiteral("dbus-daemon"),
                      {QStringLiteral("--session"), QStringLiteral("--nofork"),
                       QStringLiteral("--print-address=1")});
        if (!daemon_.waitForStarted(10000)) return;
        while (!daemon_.canReadLine()) {
            if (!daemon_.waitForReadyRead(10000)) return;
        }
        address_ = daemon_.readLine().trimmed().toStdString();
        ::setenv("DBUS_SESSION_BUS_ADDRESS", address_.c_str(), 1);
    }
    ~SessionBus() { kill(); }

    bool ok() const { return !address_.empty(); }
    // The session ends: the daemon is gone at once, as when the session's bus is killed.
    void kill() {
        if (daemon_.state() == QProcess::NotRunning) return;
        daemon_.kill();
        daemon_.waitForFinished(10000);
    }

private:
    QProcess daemon_;
    std::string address_;
};

class SessionEndE2E : public ::testing::Test {
protected:
    int argc = 1;
    char arg0[8] = "e2e";
    char* argv[1] = {arg0};
    QCoreApplication app{argc, argv};
};

// Posts a probe until `listener` prints it: its match is in place then.
bool awaitListening(Child& listener, const std::string& probe) {
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (runToEnd(kNotify, {"post", probe}).exitCode != 0) return false;
        if (listener.awaitNotification(probe, std::chrono::milliseconds(200))) return true;
    }
    return false;
}

TEST_F(SessionEndE2E, EveryProgramEndsWithItsBusAndTheNextSessionShowsTheWindow) {
    std::map<std::string, std::unique_ptr<Child>> programs;
    {
        SessionBus bus;
        ASSERT_TRUE(bus.ok());

        programs["tavrel-notify monitor"] =
            std::make_unique<Child>(kNotify, std::vector<std::string>{"monitor"});
        Child& monitor = *programs["tavrel-notify monitor"];
        ASSERT_TRUE(awaitListening(monitor, "test.ready"));

        programs["tavrel-taskbar-sim"] = std::make_unique<Child>(kSim);
        ASSERT_TRUE(
            awaitListening(*programs["tavrel-taskbar-sim"], "com.local.tavrel.settingsChanged"));

        programs["TavrelSettings"] = std::make_unique<Child>(kSettings);
        // Its first permission query goes out once the window is built.
        ASSERT_TRUE(monitor.awaitNotification("com.local.tavrel.permissionQuery",
                                              std::chrono::seconds(30)));

        programs["TavrelHelperLauncher (time widget copy)"] =
            std::make_unique<Child>(makeWidgetCopy());
        ASSERT_TRUE(monitor.awaitNotification("com.tavrel.nativeDockWidget.show",
                                              std::chrono::seconds(30)));

        programs["tavrel-new-file listen"] =
            std::make_unique<Child>(kNewFile, std::vector<std::string>{"listen"});
        ASSERT_EQ(programs["tavrel-new-file listen"]->readLine(std::chrono::seconds(30)),
                  "listening");

        programs["tavrel-media-bridge"] = std::make_unique<Child>(kBridge);
        // The bridge reads its input once it knows the bus's players: an answer means it runs.
        programs["tavrel-media-bridge"]->write("refresh\n");
        ASSERT_TRUE(programs["tavrel-media-bridge"]->readLine(std::chrono::seconds(30)));

        QElapsedTimer sinceKill;
        sinceKill.start();
        bus.kill();
        for (auto& [name, program] : programs) {
            QProcess& process = program->process();
            EXPECT_TRUE(process.waitForFinished(30000)) << name << " lives on without its bus";
            // Read in turn, so a figure is when this program was seen to have ended.
            std::printf("%s had ended %lld ms after its bus\n", name.c_str(),
                        static_cast<long long>(sinceKill.elapsed()));
            EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << name;
            EXPECT_EQ(process.exitCode(), 0) << name;
        }
    }

    // A new session: nothing of the old one stands in the way of the window.
    SessionBus next;
    ASSERT_TRUE(next.ok());
    QProcess settings;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT"),
                       QStringLiteral("1"));
    settings.setProcessEnvironment(environment);
    settings.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    settings.start(QString::fromStdString(kSettings), {});
    ASSERT_TRUE(settings.waitForFinished(60000));
    EXPECT_EQ(settings.exitCode(), 0);
    EXPECT_EQ(settings.readAllStandardOutput().trimmed().toStdString(), "first window painted");
}

}  // namespace
}  // namespace tavrel::e2e
