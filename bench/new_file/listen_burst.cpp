// A burst of New File sync payloads at `tavrel-new-file listen`, next to a bare GDBus subscriber
// of the same signal that only counts what it receives, both running while the burst is sent.
//
// Measured: how long after the burst's end each has taken in the last payload (the listener:
// its document is the last payload's), how long the listener then takes to answer one more
// payload, and the resident memory of both before and after. Run it inside a private bus:
// scripts/run-bench new_file.
//
//   listen_burst [--megabytes N] [--payload-kib K] [--listener PROGRAM]
//   listen_burst --bare-subscriber COUNT     (the peer: prints "all" after COUNT signals)

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gio/gio.h>

#include "bench/bench_result.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/new_file_settings_sync_payload.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr char kPath[] = "/com/local/tavrel";
constexpr char kInterface[] = "com.local.tavrel.DistributedNotification";
constexpr char kMember[] = "Post";
constexpr char kSyncName[] = "com.local.tavrel.newFileSettings.sync";

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long residentKiB(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

GVariant* syncSignal(const std::string& payload) {
    GVariantBuilder userInfo;
    g_variant_builder_init(&userInfo, G_VARIANT_TYPE("a{sv}"));
    GBytes* bytes = g_bytes_new(payload.data(), payload.size());
    g_variant_builder_add(&userInfo, "{sv}", "payload",
                          g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, bytes, TRUE));
    g_bytes_unref(bytes);
    return g_variant_new("(sbsa{sv})", kSyncName, FALSE, "", &userInfo);
}

struct Round {
    std::string document;
    std::string payload;
};

Round roundPayload(int round, std::size_t fileBytes) {
    tavrel::NewFileSettings settings = tavrel::NewFileSettings::defaults();
    settings.templates[static_cast<std::size_t>(round) % 4].isEnabled = false;
    settings.templates[0].displayName = "round " + std::to_string(round);
    Round made;
    made.document = *settings.encode();
    made.payload = *tavrel::NewFileSettingsSyncPayload{made.document,
                                                       {{"burst.md", std::string(fileBytes, 'b')}}}
                        .encode();
    return made;
}

std::optional<std::string> readDocument() {
    std::ifstream in(tavrel::NewFileSettings::extensionSettingsURL(), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A child whose standard output is read line by line, blocking.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv) {
        std::vector<const gchar*> arguments;
        for (const auto& argument : argv) arguments.push_back(argument.c_str());
        arguments.push_back(nullptr);
        process_ = g_subprocess_newv(arguments.data(), G_SUBPROCESS_FLAGS_STDOUT_PIPE, nullptr);
        if (process_) output_ = g_data_input_stream_new(g_subprocess_get_stdout_pipe(process_));
    }
    ~Child() {
        if (!process_) return;
        g_subprocess_send_signal(process_, SIGTERM);
        g_subprocess_wait(process_, nullptr, nullptr);
        g_object_unref(output_);
        g_object_unref(process_);
    }
    std::optional<std::string> readLine() {
        if (!output_) return std::nullopt;
        gsize length = 0;
        gchar* line = g_data_input_stream_read_line(output_, &length, nullptr, nullptr);
        if (!line) return std::nullopt;
        std::string text(line, length);
        g_free(line);
        return text;
    }
    std::string pid() const {
        const gchar* id = process_ ? g_subprocess_get_identifier(process_) : nullptr;
        return id ? id : "";
    }

private:
    GSubprocess* process_ = nullptr;
    GDataInputStream* output_ = nullptr;
};

int bareSubscriber(long count) {
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) return 1;
    struct State {
        long wanted;
        long seen = 0;
        GMainLoop* loop;
    } state{count, 0, g_main_loop_new(nullptr, FALSE)};
    g_dbus_connection_signal_subscribe(
        bus, nullptr, kInterface, kMember, kPath, kSyncName, G_DBUS_SIGNAL_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant*,
           gpointer data) {
            auto* counted = static_cast<State*>(data);
            if (++counted->seen == counted->wanted) {
                std::printf("all\n");
                std::fflush(stdout);
            }
        },
        &state, nullptr);
    // A round trip, so the match rule is in place before the burst starts.
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping",
        nullptr, nullptr, G_DBUS_CALL_FLAGS_NONE, 5000, nullptr, nullptr);
    if (reply) g_variant_unref(reply);
    std::printf("listening\n");
    std::fflush(stdout);
    g_main_loop_run(state.loop);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    long megabytes = 420;
    long payloadKiB = 1024;
    std::string program = TAVREL_NEW_FILE;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--bare-subscriber") return bareSubscriber(std::atol(argv[i + 1]));
        if (option == "--megabytes") megabytes = std::atol(argv[i + 1]);
        if (option == "--payload-kib") payloadKiB = std::atol(argv[i + 1]);
        if (option == "--listener") program = argv[i + 1];
    }
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (!bus) {
        std::fprintf(stderr, "listen_burst: no session bus\n");
        return 1;
    }

    const Round first = roundPayload(0, 16);
    const std::size_t encodedBytes =
        roundPayload(1, static_cast<std::size_t>(payloadKiB) * 1024).payload.size();
    const long count = std::max<long>(1, megabytes * 1000 * 1000 / static_cast<long>(encodedBytes));

    Child listener({program, "listen"});
    Child bare({argv[0], "--bare-subscriber", std::to_string(count + 1)});
    if (listener.readLine() != "listening" || bare.readLine() != "listening") {
        std::fprintf(stderr, "listen_burst: the listeners did not start\n");
        return 1;
    }
    // Warm up: the first payload makes the directories and the document.
    g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                  syncSignal(first.payload), nullptr);
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    if (listener.readLine() != "applied") return 1;
    const long listenerBefore = residentKiB(listener.pid());
    const long bareBefore = residentKiB(bare.pid());

    Round last;
    const auto burstStart = Clock::now();
    for (long round = 1; round <= count; ++round) {
        last = roundPayload(static_cast<int>(round), static_cast<std::size_t>(payloadKiB) * 1024);
        g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                      syncSignal(last.payload), nullptr);
        if (round % 16 == 0) g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    }
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    const double burstMs = millisecondsSince(burstStart);
    const auto burstEnd = Clock::now();

    // The bare subscriber is read on a thread of its own, so neither waits for the other.
    double bareDone = -1;
    std::thread bareReader([&] {
        if (bare.readLine() == "all") bareDone = millisecondsSince(burstEnd);
    });
    long writes = 0;
    double listenerDone = -1;
    while (auto line = listener.readLine()) {
        if (*line != "applied") {
            std::fprintf(stderr, "listen_burst: %s\n", line->c_str());
            return 1;
        }
        ++writes;
        if (readDocument() == last.document) {
            listenerDone = millisecondsSince(burstEnd);
            break;
        }
    }
    bareReader.join();
    if (listenerDone < 0 || bareDone < 0) return 1;

    const Round next = roundPayload(3, 16);
    const auto nextStart = Clock::now();
    g_dbus_connection_emit_signal(bus, nullptr, kPath, kInterface, kMember,
                                  syncSignal(next.payload), nullptr);
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
    if (listener.readLine() != "applied" || readDocument() != next.document) return 1;
    const double nextMs = millisecondsSince(nextStart);
    const long listenerAfter = residentKiB(listener.pid());
    const long bareAfter = residentKiB(bare.pid());

    std::printf(
        "burst: %ld payloads of %zu bytes (%.0f MB) sent in %.0f ms; the listener wrote "
        "%ld times\n",
        count, encodedBytes, static_cast<double>(count) * encodedBytes / 1e6, burstMs, writes);
    std::printf("resident KiB: listener %ld -> %ld, bare subscriber %ld -> %ld\n", listenerBefore,
                listenerAfter, bareBefore, bareAfter);
    tavrel::bench::printResult("sync burst: latest taken in after the burst's end", listenerDone,
                               bareDone, "ms", "ours<=1000");
    tavrel::bench::printResult("sync burst: next payload written", nextMs, 0, "ms", "ours<=1000");
    tavrel::bench::printResult("sync burst: resident memory after / before (listener, bare)",
                               100.0 * listenerAfter / listenerBefore,
                               100.0 * bareAfter / bareBefore, "%", "ours<=110");
    g_object_unref(bus);
    return 0;
}
