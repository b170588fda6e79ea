#pragma once

// Runs programs of the suite as child processes and reads their output line by line.

#include <chrono>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>

namespace tavrel::e2e {

std::string toolPath(const std::string& name);

class Child {
public:
    explicit Child(const std::string& program, const std::vector<std::string>& arguments = {});
    ~Child();

    // The next line of standard output, waiting at most `timeout`.
    std::optional<std::string> readLine(
        std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Reads lines until one parses as JSON with this "name"; gives that object.
    std::optional<nlohmann::json> awaitNotification(
        const std::string& name, std::chrono::milliseconds timeout = std::chrono::seconds(10));
    void write(const std::string& text);
    QProcess& process() { return *process_; }

private:
    std::unique_ptr<QProcess> process_;
};

// Runs a program to completion; gives its exit code (or -1) and standard output.
struct Completed {
    int exitCode = -1;
    std::string standardOutput;
    std::string standardError;
};
Completed runToEnd(const std::string& program, const std::vector<std::string>& arguments);

}  // namespace tavrel::e2e
