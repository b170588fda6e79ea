#include "platform/process.h"

#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "tests/platform_posix/temporary_directory.h"

namespace tavrel::platform {
namespace {

using Outcome = ProcessResult::Outcome;
using namespace std::chrono_literals;

ProcessRequest shell(const std::string& script, std::chrono::milliseconds limit = 10s) {
    ProcessRequest request;
    request.executable = "/bin/sh";
    request.arguments = {"-c", script};
    request.timeLimit = limit;
    return request;
}

const char* outcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::exited:
            return "exited";
        case Outcome::signalled:
            return "signalled";
        case Outcome::timedOut:
            return "timedOut";
        case Outcome::failedToStart:
            return "failedToStart";
    }
    return "?";
}

TEST(ProcessRunner, ReportsExitStatusSignalAndBothStreamsSeparately) {
    struct Case {
        ProcessRequest request;
        Outcome outcome;
        int exitStatus;
        int signal;
        std::string standardOutput;
        std::string standardError;
    } cases[] = {
        {shell("exit 0"), Outcome::exited, 0, 0, "", ""},
        {shell("exit 3"), Outcome::exited, 3, 0, "", ""},
        {shell("exit 5", std::chrono::milliseconds::max()), Outcome::exited, 5, 0, "", ""},
        {shell("printf out; printf err >&2; printf more"), Outcome::exited, 0, 0, "outmore", "err"},
        {shell("echo before; kill -USR1 $$"), Outcome::signalled, -1, SIGUSR1, "before\n", ""},
        // Standard input is empty, never the test's own.
        {shell("cat; echo done"), Outcome::exited, 0, 0, "done\n", ""},
        // Arguments reach the program as they are: no shell splits or expands them.
        {{"/usr/bin/printf", {"%s|", "a b", "$HOME", "*", ""}},
         Outcome::exited,
         0,
         0,
         "a b|$HOME|*||",
         ""},
    };
    auto runner = makeProcessRunner();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.arguments.empty() ? "" : c.request.arguments.back());
        const ProcessResult result = runner->run(c.request);
        EXPECT_STREQ(outcomeName(result.outcome), outcomeName(c.outcome)) << result.error;
        EXPECT_EQ(result.exitStatus, c.exitStatus);
        EXPECT_EQ(result.signal, c.signal);
        EXPECT_EQ(result.standardOutput, c.standardOutput);
        EXPECT_EQ(result.standardError, c.standardError);
        EXPECT_EQ(result.succeeded(), c.outcome == Outcome::exited && c.exitStatus == 0);
    }
}

TEST(ProcessRunner, FailsToStartWithAReason) {
    TemporaryDirectory dir;
    std::ofstream(dir / "not-executable") << "#!/bin/sh\nexit 0\n";
    ::chmod((dir / "not-executable").c_str(), 0644);
    std::ofstream(dir / "no-interpreter") << "exit 0\n";
    ::chmod((dir / "no-interpreter").c_str(), 0755);

    struct Case {
        std::string executable;
        std::vector<std::string> arguments;
        std::string reason;
    } cases[] = {
        {"/nonexistent/tool", {}, "No such file or directory"},
        {"sh", {"-c", "exit 0"}, "not absolute"},
        {"", {}, "not absolute"},
        {(dir / "not-executable").string(), {}, "Permission denied"},
        {dir.path().string(), {}, "Permission denied"},
        {(dir / "no-interpreter").string(), {}, "Exec format error"},
        {"/bin/echo", {std::string("a\0b", 3)}, "NUL"},
    };
    auto runner = makeProcessRunner();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.executable);
        ProcessRequest request;
        request.executable = c.executable;
        request.arguments = c.arguments;
        const ProcessResult result = runner->run(request);
        EXPECT_STREQ(outcomeName(result.outcome), "failedToStart");
        EXPECT_NE(result.error.find(c.reason), std::string::npos) << result.error;
        EXPECT_FALSE(result.succeeded());
    }
}

// Gone, or only a zombie waiting for a parent that is not us.
bool hasEnded(int pid) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string text;
        if (!std::getline(stat, text)) return true;
        const auto state = text.rfind(") ");
        if (state != std::string::npos && (text[state + 2] == 'Z' || text[state + 2] == 'X')) {
            return true;
        }
        std::this_thread::sleep_for(10ms);  // SIGKILL takes effect when the target next runs
    }
    return false;
}

TEST(ProcessRunner, StopsTheWholeGroupAtTheLimit) {
    // Each script prints the pid of the process that must not survive the limit.
    struct Case {
        const char* name;
        std::string script;
    } cases[] = {
        {"runs too long", "echo $$; exec sleep 30"},
        {"ignores SIGTERM", "trap '' TERM; sleep 30 & echo $!; wait; echo late"},
        // The shell dies of SIGTERM; the grandchild shrugs it off and keeps both pipes open.
        {"grandchild holds the pipes", "(trap '' TERM; exec sleep 30) & echo $!; wait"},
        // Output never stops arriving: the limit must still be noticed.
        {"writes without end", "echo $$; exec yes"},
    };
    auto runner = makeProcessRunner();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ProcessResult result = runner->run(shell(c.script, 300ms));
        EXPECT_STREQ(outcomeName(result.outcome), "timedOut");
        EXPECT_FALSE(result.succeeded());
        const int pid = std::atoi(result.standardOutput.c_str());
        ASSERT_GT(pid, 0) << result.standardOutput;
        EXPECT_EQ(result.standardOutput.substr(0, result.standardOutput.find('\n') + 1),
                  std::to_string(pid) + "\n");
        EXPECT_TRUE(hasEnded(pid));
    }
}

TEST(ProcessRunner, DoesNotWaitForAGrandchildThatOutlivesTheChild) {
    // The shell exits at once; its background job inherits the pipes. Waiting for their end,
    // or for a chatty job to fall silent, would run into the limit. The job's pid goes to
    // standard error: on standard output the job may get its first lines in before the shell.
    for (const char* job : {"sleep 20", "yes"}) {
        SCOPED_TRACE(job);
        ProcessRequest request = shell(std::string(job) + " & echo $! >&2; exit 6", 10s);
        request.maxCapturedBytes = 100;
        const ProcessResult result = makeProcessRunner()->run(request);
        const int pid = std::atoi(result.standardError.c_str());
        if (pid > 0) ::kill(pid, SIGKILL);
        ASSERT_STREQ(outcomeName(result.outcome), "exited");
        EXPECT_EQ(result.exitStatus, 6);
        EXPECT_GT(pid, 0);
    }
}

TEST(ProcessRunner, CapsCapturedOutputAndKeepsReadingBothStreams) {
    struct Case {
        std::string script;
        std::size_t cap;
        std::size_t standardOutput;
        std::size_t standardError;
    } cases[] = {
        // Far beyond a pipe's buffer, on the stream that is not read first: no deadlock.
        {"head -c 300000 /dev/zero >&2; head -c 200000 /dev/zero", 1 << 20, 200000, 300000},
        {"head -c 100000 /dev/zero; head -c 50000 /dev/zero >&2", 1000, 1000, 1000},
        {"head -c 10 /dev/zero", 0, 0, 0},
    };
    auto runner = makeProcessRunner();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        ProcessRequest request = shell(c.script);
        request.maxCapturedBytes = c.cap;
        const ProcessResult result = runner->run(request);
        EXPECT_TRUE(result.succeeded()) << outcomeName(result.outcome) << " " << result.error;
        EXPECT_EQ(result.standardOutput.size(), c.standardOutput);
        EXPECT_EQ(result.standardError.size(), c.standardError);
    }
}

TEST(ProcessRunner, DiscardedStreamsAreNotCaptured) {
    ProcessRequest request = shell("echo out; echo err >&2; exit 4");
    request.standardOutput = OutputMode::discard;
    request.standardError = OutputMode::discard;
    const ProcessResult result = makeProcessRunner()->run(request);
    EXPECT_EQ(result.outcome, Outcome::exited);
    EXPECT_EQ(result.exitStatus, 4);
    EXPECT_EQ(result.standardOutput, "");
    EXPECT_EQ(result.standardError, "");
}

TEST(ProcessRunner, ChildStartsWithDefaultSignalsWhateverThisProcessIgnoresOrBlocks) {
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGPIPE, &ignore, &previous), 0);
    sigset_t blocked;
    sigset_t previousMask;
    ::sigemptyset(&blocked);
    ::sigaddset(&blocked, SIGUSR2);
    ASSERT_EQ(::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask), 0);

    auto runner = makeProcessRunner();
    const ProcessResult pipe = runner->run(shell("kill -PIPE $$; exit 0"));
    const ProcessResult usr2 = runner->run(shell("kill -USR2 $$; exit 0"));

    ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    ::sigaction(SIGPIPE, &previous, nullptr);
    EXPECT_EQ(pipe.outcome, Outcome::signalled);
    EXPECT_EQ(pipe.signal, SIGPIPE);
    EXPECT_EQ(usr2.outcome, Outcome::signalled);
    EXPECT_EQ(usr2.signal, SIGUSR2);
}

TEST(ProcessRunner, ChildrenOfConcurrentRunsInheritOnlyTheirStandardStreams) {
    auto runner = makeProcessRunner();
    std::vector<std::string> failures[4];
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 15; ++i) {
                ProcessRequest request;
                request.executable = TAVREL_POSIX_HELPER;
                request.arguments = {"list-fds"};
                const ProcessResult result = runner->run(request);
                if (!result.succeeded() || result.standardOutput != "0\n1\n2\n") {
                    failures[t].push_back(std::string(outcomeName(result.outcome)) + ": " +
                                          result.standardOutput + result.error);
                }
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (const auto& list : failures) EXPECT_EQ(list, std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrel::platform
