// Change→line latency of the media bridge next to `playerctl --follow metadata`, both following
// the same scripted MPRIS player in the same run, and the CPU time each spends idle.
//
// Each round retitles the player, then waits until both followers have printed the new title;
// the latency is the time from the retitle command to the line's arrival here. The path into the
// player (a pipe, then the bus) is the same for both followers, so it cancels in the ratio.
// Idle CPU time is read from the scheduler (/proc/<pid>/task/*/schedstat, nanoseconds).
//
// usage: media_bridge_latency [--rounds N] [--idle-seconds S]   (in a session bus of its own;
//        scripts/run-bench media_bridge sets that up)

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/bench_result.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::duration;

[[noreturn]] void fail(const std::string& message) {
    std::fprintf(stderr, "media_bridge_latency: %s\n", message.c_str());
    std::exit(1);
}

class Child {
public:
    explicit Child(std::vector<std::string> argv) {
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) fail("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        std::vector<char*> args;
        for (auto& arg : argv) args.push_back(arg.data());
        args.push_back(nullptr);
        if (::posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) {
            fail("cannot start " + argv[0]);
        }
        posix_spawn_file_actions_destroy(&actions);
        ::close(input[0]);
        ::close(output[1]);
        in_ = input[1];
        out_ = output[0];
        name_ = argv[0];
    }

    ~Child() {
        if (in_ >= 0) ::close(in_);
        ::kill(pid_, SIGTERM);
        ::waitpid(pid_, nullptr, 0);
        ::close(out_);
    }

    pid_t pid() const { return pid_; }
    int fd() const { return out_; }

    void writeLine(const std::string& line) {
        const std::string text = line + "\n";
        if (::write(in_, text.data(), text.size()) != ssize_t(text.size())) fail("write to child");
    }

    // Reads what is available (call when poll says so) and returns the complete lines.
    std::vector<std::string> readLines() {
        char buffer[65536];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0) fail(name_ + " ended");
        partial_.append(buffer, std::size_t(n));
        std::vector<std::string> lines;
        std::size_t end;
        while ((end = partial_.find('\n')) != std::string::npos) {
            lines.push_back(partial_.substr(0, end));
            partial_.erase(0, end + 1);
        }
        return lines;
    }

    // Waits (up to 10 s) for a line containing `text`, dropping the lines before it.
    void waitFor(const std::string& text) {
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (Clock::now() < deadline) {
            while (!backlog_.empty()) {
                const std::string line = backlog_.front();
                backlog_.erase(backlog_.begin());
                if (line.find(text) != std::string::npos) return;
            }
            pollfd p{out_, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0) continue;
            backlog_ = readLines();
        }
        fail(name_ + " never printed \"" + text + "\"");
    }

private:
    pid_t pid_ = -1;
    int in_ = -1;
    int out_ = -1;
    std::string partial_;
    std::string name_;
    std::vector<std::string> backlog_;  // read by waitFor, not yet looked at
};

// On-CPU time of every thread of a process, in nanoseconds.
std::uint64_t cpuNanoseconds(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = ::opendir(tasks.c_str());
    if (!dir) fail("cannot read " + tasks);
    std::uint64_t total = 0;
    while (dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        std::uint64_t onCpu = 0;
        if (stat >> onCpu) total += onCpu;
    }
    ::closedir(dir);
    return total;
}

struct Stats {
    double median;
    double p99;
};

Stats stats(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[std::min(values.size() - 1,
                               std::size_t(q * double(values.size() - 1) + 0.5))];
    };
    return {at(0.5), at(0.99)};
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = 300;
    int idleSeconds = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--idle-seconds") == 0) idleSeconds = std::atoi(argv[i + 1]);
    }
    if (rounds < 1 || idleSeconds < 0) fail("bad arguments");
    if (!std::getenv("DBUS_SESSION_BUS_ADDRESS"))
        fail("needs a session bus (use scripts/run-bench media_bridge)");

    Child player({TAVREL_FAKE_MPRIS_PLAYER, "--name", "bench"});
    player.waitFor("ready");
    player.writeLine("status Playing");
    player.writeLine("length 180000000");
    player.writeLine("title track-000000");
    for (int i = 0; i < 3; ++i) player.waitFor("ok");

    Child bridge({TAVREL_MEDIA_BRIDGE});
    bridge.waitFor("\"Title\":\"track-000000\"");
    Child playerctl({"/usr/bin/playerctl", "--player=bench", "--follow", "metadata"});
    playerctl.waitFor("track-000000");

    std::vector<double> bridgeMs;
    std::vector<double> playerctlMs;
    const std::uint64_t bridgeBusyBefore = cpuNanoseconds(bridge.pid());
    const std::uint64_t playerctlBusyBefore = cpuNanoseconds(playerctl.pid());
    for (int round = 1; round <= rounds; ++round) {
        char title[32];
        std::snprintf(title, sizeof title, "track-%06d", round);
        const std::string bridgeNeedle = std::string("\"Title\":\"") + title + "\"";
        const std::string playerctlNeedle = std::string(" ") + title;

        const auto start = Clock::now();
        player.writeLine(std::string("title ") + title);
        std::optional<Clock::time_point> bridgeAt;
        std::optional<Clock::time_point> playerctlAt;
        bool playerDone = false;
        const auto deadline = start + std::chrono::seconds(10);
        while (!(bridgeAt && playerctlAt && playerDone)) {
            if (Clock::now() > deadline) fail("round " + std::to_string(round) + " timed out");
            pollfd fds[3] = {
                {bridge.fd(), POLLIN, 0}, {playerctl.fd(), POLLIN, 0}, {player.fd(), POLLIN, 0}};
            if (::poll(fds, 3, 1000) <= 0) continue;
            const auto now = Clock::now();
            if (fds[0].revents) {
                for (const auto& line : bridge.readLines()) {
                    if (!bridgeAt && line.find(bridgeNeedle) != std::string::npos) bridgeAt = now;
                }
            }
            if (fds[1].revents) {
                for (const auto& line : playerctl.readLines()) {
                    if (!playerctlAt && line.size() >= playerctlNeedle.size() &&
                        line.compare(line.size() - playerctlNeedle.size(), std::string::npos,
                                     playerctlNeedle) == 0) {
                        playerctlAt = now;
                    }
                }
            }
            if (fds[2].revents) {
                for (const auto& line : player.readLines()) playerDone |= line == "ok";
            }
        }
        bridgeMs.push_back(duration<double, std::milli>(*bridgeAt - start).count());
        playerctlMs.push_back(duration<double, std::milli>(*playerctlAt - start).count());
        // Let both followers settle so that rounds do not overlap.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }

    const double bridgeBusy = double(cpuNanoseconds(bridge.pid()) - bridgeBusyBefore) / 1e6;
    const double playerctlBusy =
        double(cpuNanoseconds(playerctl.pid()) - playerctlBusyBefore) / 1e6;
    const Stats b = stats(bridgeMs);
    const Stats p = stats(playerctlMs);
    std::printf("change→line latency over %d rounds (ms)\n", rounds);
    std::printf("  %-34s median %7.3f   p99 %7.3f\n", "tavrel-media-bridge", b.median, b.p99);
    std::printf("  %-34s median %7.3f   p99 %7.3f\n", "playerctl --follow metadata", p.median,
                p.p99);
    std::printf("  ratio bridge/playerctl            median %7.2f×  p99 %7.2f×\n",
                b.median / p.median, b.p99 / p.p99);

    // Both followers see the same change, so the per-round difference cancels what the round
    // shared (the path into the player, a busy machine).
    std::vector<double> differences;
    for (std::size_t i = 0; i < bridgeMs.size(); ++i) {
        differences.push_back(bridgeMs[i] - playerctlMs[i]);
    }
    const auto count = [&](bool (*predicate)(double)) {
        return std::size_t(std::count_if(differences.begin(), differences.end(), predicate));
    };
    std::printf("  per round, bridge − playerctl      median %+7.3f\n", stats(differences).median);
    std::printf("  rounds: bridge first %zu, same wake-up %zu, playerctl first %zu\n",
                count([](double d) { return d < 0; }), count([](double d) { return d == 0; }),
                count([](double d) { return d > 0; }));
    std::printf("CPU time per change (ms)\n");
    std::printf("  %-34s %8.3f\n", "tavrel-media-bridge", bridgeBusy / rounds);
    std::printf("  %-34s %8.3f\n", "playerctl --follow metadata", playerctlBusy / rounds);
    tavrel::bench::printResult("media bridge change→line, median", b.median, p.median, "ms", "-");
    tavrel::bench::printResult("media bridge change→line, p99", b.p99, p.p99, "ms", "-");
    tavrel::bench::printResult("media bridge CPU per change", bridgeBusy / rounds,
                               playerctlBusy / rounds, "ms", "-");

    if (idleSeconds > 0) {
        std::this_thread::sleep_for(std::chrono::seconds(2));  // let the last round settle
        const std::uint64_t bridgeBefore = cpuNanoseconds(bridge.pid());
        const std::uint64_t playerctlBefore = cpuNanoseconds(playerctl.pid());
        std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
        const double bridgeIdle = double(cpuNanoseconds(bridge.pid()) - bridgeBefore) / 1e6;
        const double playerctlIdle =
            double(cpuNanoseconds(playerctl.pid()) - playerctlBefore) / 1e6;
        std::printf("idle CPU time over %d s (ms)\n", idleSeconds);
        std::printf("  %-34s %8.3f\n", "tavrel-media-bridge", bridgeIdle);
        std::printf("  %-34s %8.3f\n", "playerctl --follow metadata", playerctlIdle);
        const std::string figure =
            "media bridge idle CPU over " + std::to_string(idleSeconds) + " s";
        tavrel::bench::printResult(figure.c_str(), bridgeIdle, playerctlIdle, "ms", "-");
    }
    return 0;
}
