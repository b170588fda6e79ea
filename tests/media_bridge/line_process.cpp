#include "tests/media_bridge/line_process.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace tavrel::testing {

LineProcess::LineProcess(const QString& program, const QStringList& arguments,
                         const QProcessEnvironment& environment) {
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(program, arguments);
    started_ = process_.waitForStarted(kEventuallyMs);
}

LineProcess::~LineProcess() {
    if (process_.state() == QProcess::NotRunning) return;
    process_.closeWriteChannel();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(kEventuallyMs);
    }
}

void LineProcess::writeLine(const std::string& line) {
    process_.write(QByteArray::fromStdString(line + "\n"));
    process_.waitForBytesWritten(kEventuallyMs);
}

void LineProcess::closeInput() {
    process_.closeWriteChannel();
}

bool LineProcess::readMore(int timeoutMs) {
    if (process_.bytesAvailable() == 0 && !process_.waitForReadyRead(timeoutMs)) return false;
    partial_ += process_.readAllStandardOutput().toStdString();
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    return true;
}

std::optional<std::string> LineProcess::waitForLine(
    const std::function<bool(const std::string&)>& matches, bool dropEarlier, int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    std::size_t checked = 0;
    while (true) {
        for (; checked < lines_.size(); ++checked) {
            if (!matches(lines_[checked])) continue;
            std::string line = lines_[checked];
            if (dropEarlier) {
                lines_.erase(lines_.begin(), lines_.begin() + checked + 1);
            } else {
                lines_.erase(lines_.begin() + checked);
            }
            return line;
        }
        if (deadline.hasExpired() ||
            !readMore(int(std::max<qint64>(1, deadline.remainingTime())))) {
            return std::nullopt;
        }
    }
}

std::optional<std::string> LineProcess::nextLine(int timeoutMs) {
    return waitForLine([](const std::string&) { return true; }, true, timeoutMs);
}

std::optional<int> LineProcess::waitForExit(int timeoutMs) {
    if (!process_.waitForFinished(timeoutMs) && process_.state() != QProcess::NotRunning) {
        return std::nullopt;
    }
    partial_ += process_.readAllStandardOutput().toStdString();
    std::size_t end;
    while ((end = partial_.find('\n')) != std::string::npos) {
        lines_.push_back(partial_.substr(0, end));
        partial_.erase(0, end + 1);
    }
    if (process_.exitStatus() != QProcess::NormalExit) return std::nullopt;
    return process_.exitCode();
}

BridgeProcess::BridgeProcess(const QProcessEnvironment& environment)
    : LineProcess(QStringLiteral(TAVREL_BINARY_DIR "/bin/tavrel-media-bridge"), {}, environment) {}

std::optional<nlohmann::json> BridgeProcess::waitForRecord(
    const std::function<bool(const nlohmann::json&)>& matches, std::vector<nlohmann::json>* skipped,
    int timeoutMs) {
    auto line = waitForLine(
        [&](const std::string& text) {
            auto record = nlohmann::json::parse(text, nullptr, false);
            if (!record.is_discarded() && matches(record)) return true;
            if (skipped) skipped->push_back(std::move(record));
            return false;
        },
        true, timeoutMs);
    if (!line) return std::nullopt;
    return nlohmann::json::parse(*line);
}

std::optional<nlohmann::json> BridgeProcess::nextRecord(int timeoutMs) {
    auto line = nextLine(timeoutMs);
    if (!line) return std::nullopt;
    auto record = nlohmann::json::parse(*line, nullptr, false);
    if (record.is_discarded()) return nlohmann::json("not JSON: " + *line);
    return record;
}

bool isReport(const nlohmann::json& record) {
    return record.is_object() && record.contains("isPlaying") && record.contains("pid");
}

FakePlayer::FakePlayer(const std::string& name)
    : LineProcess(QStringLiteral(TAVREL_FAKE_MPRIS_PLAYER),
                  {QStringLiteral("--name"), QString::fromStdString(name)}),
      name_(name) {
    ready_ = started() &&
             waitForLine([](const std::string& line) { return line.starts_with("ready "); }, false)
                 .has_value();
}

bool FakePlayer::command(const std::string& line) {
    writeLine(line);
    return waitForLine([](const std::string& answer) { return answer == "ok"; }, false).has_value();
}

bool FakePlayer::waitForCall(const std::string& method) {
    return waitForLine([&](const std::string& line) { return line == "called " + method; }, false)
        .has_value();
}

}  // namespace tavrel::testing
