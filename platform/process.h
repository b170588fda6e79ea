#pragma once

// Child processes: an absolute executable path, separate arguments (no shell), captured output,
// the exit status, and a wall-clock limit after which the child is terminated by force.

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tavrel::platform {

enum class OutputMode {
    capture,  // read into the result
    inherit,  // the parent's stream
    discard,  // /dev/null
};

struct ProcessRequest {
    std::string executable;  // absolute path; a relative one is refused
    std::vector<std::string> arguments;
    std::chrono::milliseconds timeLimit{3000};
    OutputMode standardOutput = OutputMode::capture;
    OutputMode standardError = OutputMode::capture;
    // Captured output beyond this is read and dropped, so a chatty child cannot fill memory.
    std::size_t maxCapturedBytes = 1024 * 1024;
};

struct ProcessResult {
    enum class Outcome {
        exited,         // exitStatus holds the status
        signalled,      // terminated by signal `signal` (not by us)
        timedOut,       // still running at the limit; terminated by force
        failedToStart,  // `error` says why
    };
    Outcome outcome = Outcome::failedToStart;
    int exitStatus = -1;
    int signal = 0;
    std::string standardOutput;
    std::string standardError;
    std::string error;

    bool succeeded() const { return outcome == Outcome::exited && exitStatus == 0; }
};

class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // Blocks until the child ended or the limit passed. Safe to call from any thread.
    virtual ProcessResult run(const ProcessRequest& request) = 0;
};

// posix_spawn based. The child runs in a process group of its own; at the limit the whole group
// gets SIGTERM, and SIGKILL 200 ms later if it is still there.
std::unique_ptr<ProcessRunner> makeProcessRunner();

}  // namespace tavrel::platform
