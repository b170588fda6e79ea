#include "platform/fake/recording_process_runner.h"

#include <csignal>
#include <utility>

namespace tavrel::platform {

ProcessResult RecordingProcessRunner::run(const ProcessRequest& request) {
    Responder responder;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        if (!queued_.empty()) {
            ProcessResult result = std::move(queued_.front());
            queued_.pop_front();
            return result;
        }
        responder = responder_;
    }
    if (responder) return responder(request);
    std::string command = request.executable;
    for (const auto& argument : request.arguments) command += " " + argument;
    return failedToStart("RecordingProcessRunner: no scripted result for: " + command);
}

void RecordingProcessRunner::enqueue(ProcessResult result) {
    std::lock_guard lock(mutex_);
    queued_.push_back(std::move(result));
}

void RecordingProcessRunner::setResponder(Responder responder) {
    std::lock_guard lock(mutex_);
    responder_ = std::move(responder);
}

std::vector<ProcessRequest> RecordingProcessRunner::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<std::vector<std::string>> RecordingProcessRunner::commandLines() const {
    std::lock_guard lock(mutex_);
    std::vector<std::vector<std::string>> lines;
    lines.reserve(requests_.size());
    for (const auto& request : requests_) {
        std::vector<std::string> line{request.executable};
        line.insert(line.end(), request.arguments.begin(), request.arguments.end());
        lines.push_back(std::move(line));
    }
    return lines;
}

void RecordingProcessRunner::clear() {
    std::lock_guard lock(mutex_);
    requests_.clear();
    queued_.clear();
    responder_ = nullptr;
}

ProcessResult RecordingProcessRunner::exited(int status, std::string standardOutput,
                                             std::string standardError) {
    ProcessResult result;
    result.outcome = ProcessResult::Outcome::exited;
    result.exitStatus = status;
    result.standardOutput = std::move(standardOutput);
    result.standardError = std::move(standardError);
    return result;
}

ProcessResult RecordingProcessRunner::signalled(int signal) {
    ProcessResult result;
    result.outcome = ProcessResult::Outcome::signalled;
    result.signal = signal;
    return result;
}

ProcessResult RecordingProcessRunner::timedOut(std::string standardOutput,
                                               std::string standardError) {
    ProcessResult result;
    result.outcome = ProcessResult::Outcome::timedOut;
    result.signal = SIGTERM;
    result.standardOutput = std::move(standardOutput);
    result.standardError = std::move(standardError);
    return result;
}

ProcessResult RecordingProcessRunner::failedToStart(std::string error) {
    ProcessResult result;
    result.outcome = ProcessResult::Outcome::failedToStart;
    result.error = std::move(error);
    return result;
}

}  // namespace tavrel::platform
