#include "tests/e2e/process_fixture.h"

#include <QElapsedTimer>
#include <QStringList>

namespace tavrel::e2e {

namespace {

QStringList toQt(const std::vector<std::string>& arguments) {
    QStringList list;
    for (const auto& argument : arguments) list << QString::fromStdString(argument);
    return list;
}

}  // namespace

std::string toolPath(const std::string& name) {
    return std::string(TAVREL_BINARY_DIR) + "/bin/" + name;
}

Child::Child(const std::string& program, const std::vector<std::string>& arguments)
    : process_(std::make_unique<QProcess>()) {
    process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_->start(QString::fromStdString(program), toQt(arguments));
    process_->waitForStarted(10000);
}

Child::~Child() {
    if (process_->state() != QProcess::NotRunning) {
        process_->terminate();
        if (!process_->waitForFinished(3000)) {
            process_->kill();
            process_->waitForFinished(3000);
        }
    }
}

std::optional<std::string> Child::readLine(std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (!process_->canReadLine()) {
        const auto left = timeout.count() - timer.elapsed();
        if (left <= 0 || !process_->waitForReadyRead(static_cast<int>(left))) {
            if (!process_->canReadLine()) return std::nullopt;
        }
    }
    QByteArray line = process_->readLine();
    if (line.endsWith('\n')) line.chop(1);
    return line.toStdString();
}

std::optional<nlohmann::json> Child::awaitNotification(const std::string& name,
                                                       std::chrono::milliseconds timeout) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeout.count()) {
        auto line = readLine(timeout - std::chrono::milliseconds(timer.elapsed()));
        if (!line) return std::nullopt;
        auto json = nlohmann::json::parse(*line, nullptr, false);
        if (json.is_object() && json.value("name", "") == name) return json;
    }
    return std::nullopt;
}

void Child::write(const std::string& text) {
    process_->write(text.data(), static_cast<qint64>(text.size()));
    process_->waitForBytesWritten(3000);
}

Completed runToEnd(const std::string& program, const std::vector<std::string>& arguments) {
    QProcess process;
    process.start(QString::fromStdString(program), toQt(arguments));
    Completed result;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.exitCode = process.exitCode();
    result.standardOutput = process.readAllStandardOutput().toStdString();
    result.standardError = process.readAllStandardError().toStdString();
    return result;
}

}  // namespace tavrel::e2e
