// Bursts of notifications at the real settings window (TavrelSettings on a private Xvfb and the
// private session bus of scripts/run-bench), as another program on the bus may send them:
// 1 000 native Dock folder changes, 1 000 taskbar settings changes and 1 000 reopen requests
// with a page, each sent as fast as the bus takes them.
//
// After each burst one more reopen request (the probe) asks for a page. The window posts a
// permission query whenever it builds a page, so the time from the burst's end to its last
// query (once it has been quiet for a while) is when it has worked off the burst and answered
// the probe. Next to it, the peer: when a bare subscriber (tavrel-notify monitor) had the probe.
// Resident memory (VmRSS) of the window is sampled throughout: before, peak, after settling.
//
//   settings_notification_burst [--count N] [--quiet-ms Q] [--settings PROGRAM]

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gio/gio.h>

#include "bench/bench_result.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr char kPath[] = "/com/local/tavrel";
constexpr char kInterface[] = "com.local.tavrel.DistributedNotification";
constexpr char kMember[] = "Post";
constexpr char kFoldersChanged[] = "com.tavrel.nativeDockFolders.changed";
constexpr char kMainAppSettingsChanged[] = "com.local.tavrel.mainAppSettingsChanged";
constexpr char kReopen[] = "com.local.tavrel.settings.reopen";
constexpr char kPermissionQuery[] = "com.local.tavrel.permissionQuery";

double milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

long residentKiB(GPid pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

// A notification as the suite sends it: (name, has object, object, userInfo).
GVariant* notification(const char* name, const char* page, std::optional<long> probe) {
    GVariantBuilder userInfo;
    g_variant_builder_init(&userInfo, G_VARIANT_TYPE("a{sv}"));
    if (page) g_variant_builder_add(&userInfo, "{sv}", "page", g_variant_new_string(page));
    if (probe) g_variant_builder_add(&userInfo, "{sv}", "probe", g_variant_new_int64(*probe));
    return g_variant_new("(sbsa{sv})", name, FALSE, "", &userInfo);
}

// Returns once the bus daemon has routed everything sent on `bus` so far.
bool routed(GDBusConnection* bus) {
    if (!g_dbus_connection_flush_sync(bus, nullptr, nullptr)) return false;
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping",
        nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 60000, nullptr, nullptr);
    if (!reply) return false;
    g_variant_unref(reply);
    return true;
}

// A child process; its standard output, when piped, is read line by line on a thread of its
// own, each line stamped with the time it arrived.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
          bool readOutput) {
        GSubprocessLauncher* launcher = g_subprocess_launcher_new(
            readOutput ? G_SUBPROCESS_FLAGS_STDOUT_PIPE : G_SUBPROCESS_FLAGS_NONE);
        for (const auto& entry : environment) {
            const auto equals = entry.find('=');
            g_subprocess_launcher_setenv(launcher, entry.substr(0, equals).c_str(),
                                         entry.substr(equals + 1).c_str(), TRUE);
        }
        std::vector<const gchar*> arguments;
        for (const auto& argument : argv) arguments.push_back(argument.c_str());
        arguments.push_back(nullptr);
        GError* error = nullptr;
        process_ = g_subprocess_launcher_spawnv(launcher, arguments.data(), &error);
        g_object_unref(launcher);
        if (!process_) {
            std::fprintf(stderr, "notification_burst: %s: %s\n", argv[0].c_str(),
                         error ? error->message : "cannot start");
            g_clear_error(&error);
            return;
        }
        if (readOutput) {
            output_ = g_data_input_stream_new(g_subprocess_get_stdout_pipe(process_));
            reader_ = std::thread([this] { read(); });
        }
    }
    ~Child() {
        if (process_) {
            g_subprocess_send_signal(process_, SIGTERM);
            g_subprocess_wait(process_, nullptr, nullptr);
        }
        if (reader_.joinable()) reader_.join();
        if (output_) g_object_unref(output_);
        if (process_) g_object_unref(process_);
    }

    bool running() const { return process_ != nullptr; }
    GPid pid() const {
        const gchar* id = process_ ? g_subprocess_get_identifier(process_) : nullptr;
        return id ? static_cast<GPid>(std::atol(id)) : 0;
    }

    struct Line {
        Clock::time_point at;
        std::string text;
    };
    std::vector<Line> lines() const {
        std::lock_guard lock(mutex_);
        return lines_;
    }

private:
    void read() {
        while (true) {
            gsize length = 0;
            gchar* line = g_data_input_stream_read_line(output_, &length, nullptr, nullptr);
            if (!line) return;
            const auto at = Clock::now();
            std::lock_guard lock(mutex_);
            lines_.push_back({at, std::string(line, length)});
            g_free(line);
        }
    }

    GSubprocess* process_ = nullptr;
    GDataInputStream* output_ = nullptr;
    std::thread reader_;
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
};

// Xvfb on a free display: its number once it accepts clients.
std::optional<std::string> startDisplay(GSubprocess*& server) {
    const gchar* argv[] = {"Xvfb",    "-displayfd", "1",           "-nolisten", "tcp",
                           "-screen", "0",          "1280x800x24", nullptr};
    server = g_subprocess_newv(argv, G_SUBPROCESS_FLAGS_STDOUT_PIPE, nullptr);
    if (!server) return std::nullopt;
    GDataInputStream* in = g_data_input_stream_new(g_subprocess_get_stdout_pipe(server));
    gsize length = 0;
    gchar* line = g_data_input_stream_read_line(in, &length, nullptr, nullptr);
    g_object_unref(in);
    if (!line) return std::nullopt;
    std::string number(line, length);
    g_free(line);
    return ":" + number;
}

// Resident memory of one process, sampled on a thread of its own every few milliseconds.
class MemorySampler {
public:
    explicit MemorySampler(GPid pid) : pid_(pid), thread_([this] { run(); }) {}
    ~MemorySampler() {
        stop_ = true;
        thread_.join();
    }
    // The highest sample since the last reset.
    long peak() const { return peak_; }
    void reset() { peak_ = residentKiB(pid_); }

private:
    void run() {
        while (!stop_) {
            const long now = residentKiB(pid_);
            long seen = peak_;
            while (now > seen && !peak_.compare_exchange_weak(seen, now)) {
            }
            std::this_thread::sleep_for(5ms);
        }
    }

    GPid pid_;
    std::atomic<long> peak_{0};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

struct Settled {
    bool answered = false;
    Clock::time_point lastQuery;
    Clock::time_point probeSeen;
    long queries = 0;
};

// Waits until the window has answered the probe (a page built after the probe went out) and
// then posted nothing for `quiet`.
Settled awaitSettled(const Child& monitor, Clock::time_point probeSent, long probe,
                     Clock::time_point burstStart, std::chrono::milliseconds quiet) {
    const std::string probeKey = "\"probe\":" + std::to_string(probe);
    const auto deadline = Clock::now() + 180s;
    Settled settled;
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
        Settled now;
        for (const auto& line : monitor.lines()) {
            if (line.at < burstStart) continue;
            if (line.text.find(kPermissionQuery) != std::string::npos) {
                ++now.queries;
                now.lastQuery = line.at;
                if (line.at >= probeSent) now.answered = true;
            } else if (line.text.find(probeKey) != std::string::npos) {
                now.probeSeen = line.at;
            }
        }
        settled = now;
        if (settled.answered && Clock::now() - settled.lastQuery >= quiet) return settled;
    }
    settled.answered = false;
    return settled;
}

struct Burst {
    const char* figure;
    const char* name;
    // The page each request names, in turn (none: no page).
    std::vector<const char*> pages;
};

}  // namespace

int main(int argc, char** argv) {
    long count = 1000;
    long quietMs = 3000;
    std::string program = TAVREL_SETTINGS;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--count") count = std::max(1L, std::atol(argv[i + 1]));
        if (option == "--quiet-ms") quietMs = std::max(100L, std::atol(argv[i + 1]));
        if (option == "--settings") program = argv[i + 1];
    }
    const std::chrono::milliseconds quiet(quietMs);
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        std::fputs("notification_burst: no session bus (run it with scripts/run-bench)\n", stderr);
        return 1;
    }
    GSubprocess* server = nullptr;
    const std::optional<std::string> display = startDisplay(server);
    if (!display) {
        std::fputs("notification_burst: cannot start Xvfb\n", stderr);
        return 1;
    }

    int status = 0;
    {
        Child monitor({TAVREL_NOTIFY, "monitor", kPermissionQuery, kReopen}, {}, true);
        // The monitor is listening once it hears a probe of its own.
        long probe = 0;
        const auto listening = [&] {
            for (int attempt = 0; attempt < 100; ++attempt) {
                g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                              notification(kReopen, nullptr, ++probe), nullptr);
                routed(bus);
                std::this_thread::sleep_for(50ms);
                for (const auto& line : monitor.lines()) {
                    if (line.text.find("\"probe\"") != std::string::npos) return true;
                }
            }
            return false;
        };
        if (!monitor.running() || !listening()) {
            std::fputs("notification_burst: the monitor does not listen\n", stderr);
            return 1;
        }

        Child window({program}, {"DISPLAY=" + *display, "QT_QPA_PLATFORM=xcb"}, false);
        if (!window.running()) return 1;
        const auto sendProbe = [&](const char* page) {
            const long id = ++probe;
            g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                          notification(kReopen, page, id), nullptr);
            routed(bus);
            return id;
        };
        // Started, and both pages the probes show built once, so their pictures and fonts are
        // loaded before the first "before".
        Clock::time_point start = Clock::now();
        for (const char* page : {"startMenu", "switcher", "startMenu"}) {
            const auto sent = Clock::now();
            if (!awaitSettled(monitor, sent, sendProbe(page), start, quiet).answered) {
                std::fputs("notification_burst: the window did not start\n", stderr);
                return 1;
            }
        }

        MemorySampler sampler(window.pid());
        const std::vector<Burst> bursts = {
            {"native Dock folders changed", kFoldersChanged, {nullptr}},
            {"taskbar settings changed", kMainAppSettingsChanged, {nullptr}},
            {"reopen with a page", kReopen, {"switcher", "startMenu"}},
        };
        std::printf("%ld notifications per burst; settled = no page built for %ld ms\n", count,
                    quietMs);
        for (const Burst& burst : bursts) {
            const long before = residentKiB(window.pid());
            sampler.reset();
            const auto burstStart = Clock::now();
            for (long i = 0; i < count; ++i) {
                const char* page = burst.pages[static_cast<std::size_t>(i) % burst.pages.size()];
                g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                              notification(burst.name, page, std::nullopt),
                                              nullptr);
            }
            if (!routed(bus)) return 1;
            const auto burstEnd = Clock::now();
            const long probeId = sendProbe("switcher");
            const Settled settled = awaitSettled(monitor, burstEnd, probeId, burstStart, quiet);
            const long peak = sampler.peak();
            const long after = residentKiB(window.pid());
            if (!settled.answered) {
                std::fprintf(stderr, "notification_burst: %s: the window did not answer\n",
                             burst.figure);
                status = 1;
                continue;
            }
            const double answer = milliseconds(settled.lastQuery - burstEnd);
            const double hop = milliseconds(settled.probeSeen - burstEnd);
            std::printf(
                "%s: %ld sent in %.1f ms; %ld pages built; answered %.0f ms after the burst's "
                "end (bare subscriber had the probe after %.1f ms); VmRSS KiB before %ld, peak "
                "%ld, after %ld\n",
                burst.figure, count, milliseconds(burstEnd - burstStart), settled.queries, answer,
                hop, before, peak, after);
            const std::string answered = std::string(burst.figure) + ": window answers after";
            const std::string memory = std::string(burst.figure) + ": VmRSS after / before";
            const std::string peaked = std::string(burst.figure) + ": VmRSS peak / before";
            tavrel::bench::printResult(answered.c_str(), answer, hop, "ms", "ours<=1000");
            // No peer for the window's own memory: 0 shows as none in the table.
            tavrel::bench::printResult(memory.c_str(), 100.0 * after / before, 0, "%", "ours<=110");
            tavrel::bench::printResult(peaked.c_str(), 100.0 * peak / before, 0, "%", "-");
        }
    }
    g_subprocess_send_signal(server, SIGTERM);
    g_subprocess_wait(server, nullptr, nullptr);
    g_object_unref(server);
    g_object_unref(bus);
    return status;
}
