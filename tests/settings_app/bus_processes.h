#pragma once

// Programs of the suite as child processes, read through the event loop so that the settings
// application running in the test process keeps receiving its notifications meanwhile.

#include <deque>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>

#include "tests/settings_app/widget_test_support.h"

namespace tavrel::test {

inline std::string programPath(const std::string& name) {
    return std::string(TAVREL_BINARY_DIR) + "/bin/" + name;
}

inline std::string settingsProgramPath() {
    return std::string(TAVREL_BINARY_DIR) +
           "/bundles/TavrelSettings.app/Contents/MacOS/TavrelSettings";
}

inline QStringList qtArguments(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments) list << QString::fromStdString(argument);
    return list;
}

struct Finished {
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};

// Runs a program to its end while the event loop keeps turning.
inline Finished runProgram(const std::string& program, const std::vector<std::string>& arguments,
                           std::optional<QProcessEnvironment> environment = std::nullopt) {
    QProcess process;
    if (environment) process.setProcessEnvironment(*environment);
    process.start(QString::fromStdString(program), qtArguments(arguments));
    Finished result;
    if (!runUntil([&] { return process.state() == QProcess::NotRunning; },
                  std::chrono::seconds(30)) ||
        process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput().toStdString();
    result.standardError = process.readAllStandardError().toStdString();
    return result;
}

// Runs a program to its end without turning the event loop of this process (so nothing this
// process observes is delivered before it returns).
inline Finished runProgramBlocking(const std::string& program,
                                   const std::vector<std::string>& arguments) {
    QProcess process;
    process.start(QString::fromStdString(program), qtArguments(arguments));
    Finished result;
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput().toStdString();
    return result;
}

// "tavrel-notify monitor": every notification on the bus as one JSON line.
class BusMonitor {
public:
    BusMonitor() : process_(std::make_unique<QProcess>()) {
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process_.get(), &QProcess::readyReadStandardOutput, [this] { read(); });
        process_->start(QString::fromStdString(programPath("tavrel-notify")), {"monitor"});
        process_->waitForStarted(10000);
    }
    ~BusMonitor() {
        process_->terminate();
        if (!process_->waitForFinished(3000)) process_->kill();
        process_->waitForFinished(3000);
    }

    // Posts probes until the monitor shows one, so its bus match is in place.
    bool awaitListening() {
        for (int attempt = 0; attempt < 50; ++attempt) {
            runProgram(programPath("tavrel-notify"), {"post", "test.ready"});
            if (runUntil([&] { return contains("test.ready"); }, std::chrono::milliseconds(200))) {
                lines_.clear();
                return true;
            }
        }
        return false;
    }

    // Waits for a notification of this name and gives every notification seen up to and
    // including it, then forgets them.
    std::optional<std::vector<nlohmann::json>> until(const std::string& name) {
        if (!runUntil([&] { return contains(name); })) return std::nullopt;
        std::vector<nlohmann::json> seen;
        while (!lines_.empty()) {
            seen.push_back(lines_.front());
            lines_.pop_front();
            if (seen.back().value("name", "") == name) break;
        }
        return seen;
    }

    static std::vector<std::string> names(const std::vector<nlohmann::json>& notifications) {
        std::vector<std::string> result;
        for (const auto& n : notifications) result.push_back(n.value("name", ""));
        return result;
    }

private:
    bool contains(const std::string& name) const {
        for (const auto& line : lines_) {
            if (line.value("name", "") == name) return true;
        }
        return false;
    }
    void read() {
        while (process_->canReadLine()) {
            QByteArray line = process_->readLine();
            auto json = nlohmann::json::parse(line.toStdString(), nullptr, false);
            if (json.is_object()) lines_.push_back(std::move(json));
        }
    }

    std::unique_ptr<QProcess> process_;
    std::deque<nlohmann::json> lines_;
};

}  // namespace tavrel::test
