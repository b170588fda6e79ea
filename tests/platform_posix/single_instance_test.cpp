#include "platform/single_instance.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/process.h"

extern char** environ;

namespace tavrel::platform {
namespace {

// The helper holding the lock in a process of its own, until killed.
class LockHolder {
public:
    explicit LockHolder(const std::string& name) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        ::posix_spawn_file_actions_init(&actions);
        ::posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
        const char* argv[] = {TAVREL_POSIX_HELPER, "lock", name.c_str(), nullptr};
        ::posix_spawn(&pid_, TAVREL_POSIX_HELPER, &actions, nullptr, const_cast<char**>(argv),
                      environ);
        ::posix_spawn_file_actions_destroy(&actions);
        ::close(ends[1]);
        char buffer[64];
        ssize_t got;
        while ((got = ::read(ends[0], buffer, sizeof buffer)) > 0) {
            report_.append(buffer, static_cast<std::size_t>(got));
            if (report_.find('\n') != std::string::npos) break;
        }
        ::close(ends[0]);
    }
    ~LockHolder() { killNow(); }

    const std::string& report() const { return report_; }

    // Dies without any chance to clean up; returns once it is gone.
    void killNow() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
        }
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
    std::string report_;
};

bool held(const Result<std::optional<SingleInstanceLock>>& lock) {
    return lock.ok() && lock->has_value();
}

bool busy(const Result<std::optional<SingleInstanceLock>>& lock) {
    return lock.ok() && !lock->has_value();
}

TEST(SingleInstanceLock, RefusesNamesThatAreNotPlainFileNames) {
    for (const std::string& name : std::vector<std::string>{
             "", ".", "..", "a/b", "../escape", std::string("a\0b", 3), std::string(251, 'n')}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(SingleInstanceLock::acquire(name).ok());
    }
    EXPECT_TRUE(held(SingleInstanceLock::acquire(std::string(250, 'n'))));
}

TEST(SingleInstanceLock, OneHolderAtATimeWithinAProcess) {
    const std::string name = "com.local.tavrel.settings.single-instance";
    auto first = SingleInstanceLock::acquire(name);
    ASSERT_TRUE(held(first)) << (first.ok() ? "busy" : first.error().message);
    EXPECT_TRUE(busy(SingleInstanceLock::acquire(name)));
    EXPECT_TRUE(held(SingleInstanceLock::acquire("another-name")));

    // Moving keeps the lock; only the destruction of the last owner releases it.
    std::optional<SingleInstanceLock> moved = std::move(first->value());
    first = Error{"dropped"};
    EXPECT_TRUE(busy(SingleInstanceLock::acquire(name)));
    moved.reset();
    EXPECT_TRUE(held(SingleInstanceLock::acquire(name)));
}

TEST(SingleInstanceLock, ASecondProcessIsRefusedUntilTheHolderIsKilled) {
    const std::string name = "com.local.tavrel.settings.single-instance";
    {
        LockHolder other(name);
        ASSERT_EQ(other.report(), "held\n");
        EXPECT_TRUE(busy(SingleInstanceLock::acquire(name)));
        other.killNow();
        auto mine = SingleInstanceLock::acquire(name);
        EXPECT_TRUE(held(mine)) << "free right after the holder died";

        // And the other way round: the running holder turns the next process away.
        LockHolder late(name);
        EXPECT_EQ(late.report(), "busy\n");
    }
}

}  // namespace
}  // namespace tavrel::platform
