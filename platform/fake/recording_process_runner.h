#pragma once

// A process runner for tests: records every request and answers from a script instead of
// starting anything. Queued results answer first, in order; once the queue is empty the
// responder (if any) answers; with neither, the run fails to start with an error naming the
// command, so an unscripted call is visible in the test's output. Safe to use from any thread.

#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/process.h"

namespace tavrel::platform {

class RecordingProcessRunner final : public ProcessRunner {
public:
    using Responder = std::function<ProcessResult(const ProcessRequest&)>;

    ProcessResult run(const ProcessRequest& request) override;

    void enqueue(ProcessResult result);
    // Called outside the runner's lock, so it may block or use the runner itself.
    void setResponder(Responder responder);

    std::vector<ProcessRequest> requests() const;
    // Each request as executable followed by its arguments.
    std::vector<std::vector<std::string>> commandLines() const;
    void clear();

    // Results for scripts.
    static ProcessResult exited(int status, std::string standardOutput = {},
                                std::string standardError = {});
    static ProcessResult signalled(int signal);
    static ProcessResult timedOut(std::string standardOutput = {}, std::string standardError = {});
    static ProcessResult failedToStart(std::string error);

private:
    mutable std::mutex mutex_;
    std::vector<ProcessRequest> requests_;
    std::deque<ProcessResult> queued_;
    Responder responder_;
};

}  // namespace tavrel::platform
