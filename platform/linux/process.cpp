#include "platform/process.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/linux/posix_error.h"

extern char** environ;

namespace tavrel::platform {
namespace {

using detail::errnoText;
using detail::UniqueFd;
using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kTermGrace{200};
// Keeps the deadline arithmetic far from overflow; no caller waits anywhere near this long.
constexpr std::chrono::milliseconds kLongestLimit = std::chrono::hours(24 * 365);
// Most bytes read from one pipe before the deadline is looked at again.
constexpr std::size_t kDrainBudget = 256 * 1024;
// Without a pidfd the exit of the child is noticed by looking this often.
constexpr std::chrono::milliseconds kExitPollInterval{10};

ProcessResult failure(std::string error) {
    ProcessResult result;
    result.outcome = ProcessResult::Outcome::failedToStart;
    result.error = std::move(error);
    return result;
}

// Descriptors handed to the child as 0, 1 or 2 must not already be one of those: dup2 onto
// itself would keep the close-on-exec flag and the child would start without the stream.
UniqueFd aboveStandardStreams(UniqueFd fd) {
    if (!fd || fd.get() > STDERR_FILENO) return fd;
    return UniqueFd(::fcntl(fd.get(), F_DUPFD_CLOEXEC, STDERR_FILENO + 1));
}

struct Capture {
    UniqueFd fd;
    std::string* into = nullptr;
    std::size_t limit = 0;

    // Reads what the pipe holds now, but at most about `budget` bytes, so a writer that never
    // pauses cannot keep the caller from its deadline. Closes the pipe at end of file.
    void drain(std::size_t budget) {
        std::array<char, 65536> buffer;
        std::size_t consumed = 0;
        while (fd && consumed < budget) {
            const ssize_t got = ::read(fd.get(), buffer.data(), buffer.size());
            if (got > 0) {
                consumed += static_cast<std::size_t>(got);
                const std::size_t room = limit - std::min(limit, into->size());
                into->append(buffer.data(), std::min(room, static_cast<std::size_t>(got)));
                continue;
            }
            if (got < 0 && errno == EINTR) continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            fd.reset();  // end of file, or an error that will not go away
        }
    }
};

// How the child ended, as waitid(2) reports it.
struct ExitInfo {
    int code = 0;    // CLD_EXITED, CLD_KILLED or CLD_DUMPED
    int status = 0;  // the exit status, or the signal
};

class Child {
public:
    Child(pid_t pid, std::array<Capture, 2>& captures) : pid_(pid), captures_(captures) {
#ifdef SYS_pidfd_open
        pidfd_.reset(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
#endif
    }

    // Whether the child has ended, without reaping it: an unreaped child keeps its process group
    // id reserved, so signals to the group can never reach an unrelated process.
    bool ended() {
        if (hasExit_) return true;
        siginfo_t info{};
        for (;;) {
            if (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0) {
                if (info.si_pid == pid_) record(info);
                return hasExit_;
            }
            if (errno == EINTR) continue;
            lost_ = true;  // ECHILD: reaped by someone else
            return true;
        }
    }

    // Waits until `deadline` or until something happens: output, end of file, the child's exit.
    void pollUntil(Clock::time_point deadline) {
        std::array<pollfd, 3> fds{};
        nfds_t count = 0;
        for (auto& capture : captures_) {
            if (capture.fd) fds[count++] = {capture.fd.get(), POLLIN, 0};
        }
        auto wait = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (pidfd_) {
            fds[count++] = {pidfd_.get(), POLLIN, 0};
        } else {
            wait = std::min(wait, kExitPollInterval);
        }
        const int timeout = static_cast<int>(
            std::clamp<std::int64_t>(wait.count(), 0, std::numeric_limits<int>::max()));
        if (::poll(fds.data(), count, timeout) <= 0) return;  // timeout or EINTR: caller loops
        for (auto& capture : captures_) {
            if (capture.fd) capture.drain(kDrainBudget);
        }
    }

    bool capturesOpen() const {
        return std::any_of(captures_.begin(), captures_.end(),
                           [](const Capture& c) { return static_cast<bool>(c.fd); });
    }

    // Only while the child is ours to reap: then its pid, the group's id, cannot be reused.
    void signalGroup(int signal) {
        if (!lost_) ::kill(-pid_, signal);
    }

    // Blocks until the child has ended, then collects it.
    void reap() {
        if (!lost_ && !hasExit_) {
            siginfo_t info{};
            while (::waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOWAIT) != 0) {
                if (errno != EINTR) {
                    lost_ = true;
                    break;
                }
            }
            if (!lost_) record(info);
        }
        if (!lost_) {
            int status = 0;
            while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
        }
        // What the child wrote before it ended fits in the pipe; anything beyond that comes
        // from a process that outlived it.
        for (auto& capture : captures_) {
            if (!capture.fd) continue;
            const int capacity = ::fcntl(capture.fd.get(), F_GETPIPE_SZ);
            capture.drain(capacity > 0 ? static_cast<std::size_t>(capacity) : kDrainBudget);
            capture.fd.reset();
        }
    }

    // Nothing when the status was collected by someone else.
    const ExitInfo* exitInfo() const {
        return hasExit_ ? &exit_ : nullptr;
    }

private:
    void record(const siginfo_t& info) {
        exit_ = ExitInfo{info.si_code, info.si_status};
        hasExit_ = true;
    }

    pid_t pid_;
    std::array<Capture, 2>& captures_;
    UniqueFd pidfd_;
    ExitInfo exit_;
    bool hasExit_ = false;
    bool lost_ = false;
};

struct Redirection {
    UniqueFd childEnd;   // dup'ed onto the child's stream; none for `inherit`
    UniqueFd parentEnd;  // the read end of a capture pipe
};

std::optional<Redirection> makeRedirection(OutputMode mode, std::string& error) {
    Redirection redirection;
    switch (mode) {
        case OutputMode::inherit:
            return redirection;
        case OutputMode::discard:
            redirection.childEnd = UniqueFd(::open("/dev/null", O_WRONLY | O_CLOEXEC));
            if (!redirection.childEnd) {
                error = "cannot open /dev/null: " + errnoText(errno);
                return std::nullopt;
            }
            break;
        case OutputMode::capture: {
            int ends[2];
            if (::pipe2(ends, O_CLOEXEC) != 0) {
                error = "cannot create a pipe: " + errnoText(errno);
                return std::nullopt;
            }
            redirection.parentEnd = UniqueFd(ends[0]);
            redirection.childEnd = UniqueFd(ends[1]);
            // Non-blocking, so draining a pipe never waits for a child that wrote nothing more.
            ::fcntl(ends[0], F_SETFL, ::fcntl(ends[0], F_GETFL) | O_NONBLOCK);
            break;
        }
    }
    redirection.childEnd = aboveStandardStreams(std::move(redirection.childEnd));
    if (!redirection.childEnd) {
        error = "cannot duplicate a descriptor: " + errnoText(errno);
        return std::nullopt;
    }
    return redirection;
}

class SpawnSetup {
public:
    SpawnSetup() {
        ::posix_spawn_file_actions_init(&actions_);
        ::posix_spawnattr_init(&attributes_);
    }
    ~SpawnSetup() {
        ::posix_spawn_file_actions_destroy(&actions_);
        ::posix_spawnattr_destroy(&attributes_);
    }
    SpawnSetup(const SpawnSetup&) = delete;
    SpawnSetup& operator=(const SpawnSetup&) = delete;

    posix_spawn_file_actions_t actions_;
    posix_spawnattr_t attributes_;
};

class PosixProcessRunner final : public ProcessRunner {
public:
    ProcessResult run(const ProcessRequest& request) override {
        const std::string& executable = request.executable;
        if (executable.empty() || executable.front() != '/') {
            return failure("executable path is not absolute: \"" + executable + "\"");
        }
        const auto hasNul = [](const std::string& s) { return s.find('\0') != s.npos; };
        if (hasNul(executable) ||
            std::any_of(request.arguments.begin(), request.arguments.end(), hasNul)) {
            return failure("a NUL byte in the command line of " + executable);
        }

        std::string error;
        UniqueFd input = aboveStandardStreams(UniqueFd(::open("/dev/null", O_RDONLY | O_CLOEXEC)));
        if (!input) return failure("cannot open /dev/null: " + errnoText(errno));
        auto output = makeRedirection(request.standardOutput, error);
        if (!output) return failure(error);
        auto errors = makeRedirection(request.standardError, error);
        if (!errors) return failure(error);

        SpawnSetup setup;
        ::posix_spawn_file_actions_adddup2(&setup.actions_, input.get(), STDIN_FILENO);
        if (output->childEnd) {
            ::posix_spawn_file_actions_adddup2(&setup.actions_, output->childEnd.get(),
                                               STDOUT_FILENO);
        }
        if (errors->childEnd) {
            ::posix_spawn_file_actions_adddup2(&setup.actions_, errors->childEnd.get(),
                                               STDERR_FILENO);
        }
        // Nothing else crosses over, not even descriptors this process inherited or opened
        // without close-on-exec (NSTask behaves the same).
        ::posix_spawn_file_actions_addclosefrom_np(&setup.actions_, STDERR_FILENO + 1);
        // Its own process group, so the whole tree it starts can be stopped together; a clean
        // signal mask and default dispositions, whatever this process blocks or ignores.
        sigset_t signals;
        ::sigemptyset(&signals);
        ::posix_spawnattr_setsigmask(&setup.attributes_, &signals);
        ::sigfillset(&signals);
        ::posix_spawnattr_setsigdefault(&setup.attributes_, &signals);
        ::posix_spawnattr_setpgroup(&setup.attributes_, 0);
        ::posix_spawnattr_setflags(&setup.attributes_, POSIX_SPAWN_SETPGROUP |
                                                           POSIX_SPAWN_SETSIGMASK |
                                                           POSIX_SPAWN_SETSIGDEF);

        std::vector<char*> argv;
        argv.reserve(request.arguments.size() + 2);
        argv.push_back(const_cast<char*>(executable.c_str()));
        for (const auto& argument : request.arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);

        pid_t pid = -1;
        const int spawned = ::posix_spawn(&pid, executable.c_str(), &setup.actions_,
                                          &setup.attributes_, argv.data(), environ);
        if (spawned != 0) return failure("cannot start " + executable + ": " + errnoText(spawned));
        // Only the child may hold the write ends, or end of file would never come.
        input.reset();
        output->childEnd.reset();
        errors->childEnd.reset();

        ProcessResult result;
        std::array<Capture, 2> captures{
            Capture{std::move(output->parentEnd), &result.standardOutput, request.maxCapturedBytes},
            Capture{std::move(errors->parentEnd), &result.standardError, request.maxCapturedBytes},
        };
        Child child(pid, captures);
        const auto deadline =
            Clock::now() +
            std::clamp(request.timeLimit, std::chrono::milliseconds{0}, kLongestLimit);
        bool timedOut = false;
        while (!child.ended()) {
            if (Clock::now() >= deadline) {
                timedOut = true;
                break;
            }
            child.pollUntil(deadline);
        }
        if (timedOut) {
            child.signalGroup(SIGTERM);
            // Whatever of the group outlives the grace period (a child that ignores SIGTERM, or
            // a grandchild still holding the pipes) is killed.
            const auto killAt = Clock::now() + kTermGrace;
            while (Clock::now() < killAt && !(child.ended() && !child.capturesOpen())) {
                child.pollUntil(killAt);
            }
            child.signalGroup(SIGKILL);
        }
        // A child that ended on its own may leave a grandchild holding the pipes: what the
        // pipes hold now is the child's output, and nothing more is waited for.
        child.reap();

        const ExitInfo* info = child.exitInfo();
        if (timedOut) {
            result.outcome = ProcessResult::Outcome::timedOut;
            if (info && info->code != CLD_EXITED) result.signal = info->status;
        } else if (!info) {
            result.outcome = ProcessResult::Outcome::exited;
            result.error = "the exit status of " + executable + " was collected elsewhere";
        } else if (info->code == CLD_EXITED) {
            result.outcome = ProcessResult::Outcome::exited;
            result.exitStatus = info->status;
        } else {
            result.outcome = ProcessResult::Outcome::signalled;
            result.signal = info->status;
        }
        return result;
    }
};

}  // namespace

std::unique_ptr<ProcessRunner> makeProcessRunner() {
    return std::make_unique<PosixProcessRunner>();
}

}  // namespace tavrel::platform
