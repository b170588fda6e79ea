// Post→receive latency of a distributed notification between two processes, measured in the
// same run next to a bare QtDBus signal hop between the same two processes.
//
// The sender (this process) starts a receiver (this program with --receiver), then sends
// notifications (name kLatencyName, userInfo {"t": int64}) and bare signals (one int64 on another
// path and interface) in alternating blocks, one message every interval (1 ms). Each carries the
// CLOCK_MONOTONIC time of its sending in nanoseconds; the receiver subtracts it from the time of
// its handler's start. Run it inside a private bus: scripts/run-bench notifications.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <time.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QStringList>

#include "bench/bench_result.h"
#include "platform/linux/dbus_notification_center.h"
#include "platform/notifications.h"

namespace {

constexpr char kLatencyName[] = "com.local.tavrel.bench.latency";
constexpr char kBarePath[] = "/com/local/tavrel/bench";
constexpr char kBareInterface[] = "com.local.tavrel.Bench";
constexpr char kBareMember[] = "Hop";
constexpr char kTimestampKey[] = "t";

std::int64_t monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

struct Options {
    int count = 1000;
    int warmup = 50;
    int block = 100;
    std::chrono::microseconds interval{1000};
};

// Receives both kinds and prints every latency once all have arrived.
class BareReceiver : public QObject {
    Q_OBJECT
public:
    std::vector<std::int64_t> latencies;
    std::function<void()> received;
public slots:
    void hop(qlonglong sentAt) {
        latencies.push_back(monotonicNanoseconds() - sentAt);
        received();
    }
};

void printSeries(const char* label, const std::vector<std::int64_t>& values) {
    std::string line = label;
    for (std::int64_t value : values) line += " " + std::to_string(value);
    line += "\n";
    std::fputs(line.c_str(), stdout);
}

int runReceiver(int argc, char** argv, std::size_t expected) {
    QCoreApplication application(argc, argv);
    auto made = tavrel::platform::makeSessionNotificationCenter();
    if (!made) {
        std::fprintf(stderr, "receiver: %s\n", made.error().message.c_str());
        return 1;
    }
    auto center = std::move(made).value();
    auto& session = static_cast<tavrel::platform::SessionNotificationCenter&>(*center);

    std::vector<std::int64_t> tavrelLatencies;
    tavrelLatencies.reserve(expected);
    BareReceiver bare;
    bare.latencies.reserve(expected);

    auto finishIfComplete = [&] {
        if (tavrelLatencies.size() < expected || bare.latencies.size() < expected) return;
        printSeries("tavrel", tavrelLatencies);
        printSeries("bare", bare.latencies);
        std::fflush(stdout);
        application.quit();
    };
    center->observe(std::string(kLatencyName), [&](const tavrel::Notification& notification) {
        const std::int64_t now = monotonicNanoseconds();
        auto it = notification.userInfo.find(kTimestampKey);
        if (it == notification.userInfo.end()) return;
        if (const auto* sentAt = std::get_if<std::int64_t>(&it->second)) {
            tavrelLatencies.push_back(now - *sentAt);
        }
        finishIfComplete();
    });
    bare.received = finishIfComplete;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.connect(QString(), kBarePath, kBareInterface, kBareMember, &bare,
                     SLOT(hop(qlonglong)))) {
        std::fprintf(stderr, "receiver: cannot connect the bare signal\n");
        return 1;
    }
    // Both match rules are in place once both connections have made a round trip.
    const QDBusMessage ping = QDBusMessage::createMethodCall(
        "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus.Peer", "Ping");
    if (!session.synchronize() || bus.call(ping).type() != QDBusMessage::ReplyMessage) {
        std::fprintf(stderr, "receiver: the bus does not answer\n");
        return 1;
    }
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    return application.exec();
}

struct Summary {
    double median = 0;
    double p99 = 0;
    double max = 0;
};

// Nearest-rank percentiles, in microseconds.
Summary summarize(std::vector<std::int64_t> values) {
    std::sort(values.begin(), values.end());
    auto rank = [&](double p) {
        std::size_t index = static_cast<std::size_t>(std::ceil(p * values.size()));
        return values[std::clamp<std::size_t>(index, 1, values.size()) - 1] / 1000.0;
    };
    return {rank(0.5), rank(0.99), values.back() / 1000.0};
}

std::optional<std::vector<std::int64_t>> parseSeries(const std::string& line, const char* label) {
    std::istringstream in(line);
    std::string head;
    in >> head;
    if (head != label) return std::nullopt;
    std::vector<std::int64_t> values;
    for (std::int64_t value; in >> value;) values.push_back(value);
    return values;
}

int runSender(int argc, char** argv, const Options& options) {
    QCoreApplication application(argc, argv);
    auto made = tavrel::platform::makeSessionNotificationCenter();
    if (!made) {
        std::fprintf(stderr, "%s\n", made.error().message.c_str());
        return 1;
    }
    auto center = std::move(made).value();
    QDBusConnection bus = QDBusConnection::sessionBus();

    const int total = options.count + options.warmup;
    QProcess receiver;
    receiver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    receiver.start(QCoreApplication::applicationFilePath(), {"--receiver", QString::number(total)});
    if (!receiver.waitForStarted() || !receiver.waitForReadyRead(15000) ||
        receiver.readLine().trimmed() != "ready") {
        std::fprintf(stderr, "the receiver did not start\n");
        return 1;
    }

    // Blocks of each kind take turns, so both see the same load; within a block one message
    // leaves every interval.
    auto next = std::chrono::steady_clock::now();
    int sentTavrel = 0;
    int sentBare = 0;
    for (int block = 0; sentTavrel < total || sentBare < total; ++block) {
        const bool tavrelBlock = block % 2 == 0;
        int& sent = tavrelBlock ? sentTavrel : sentBare;
        for (int i = 0; i < options.block && sent < total; ++i, ++sent) {
            next += options.interval;
            std::this_thread::sleep_until(next);
            if (tavrelBlock) {
                tavrel::Notification notification{
                    kLatencyName,
                    std::nullopt,
                    {{kTimestampKey, std::int64_t{monotonicNanoseconds()}}}};
                if (!center->post(notification)) {
                    std::fprintf(stderr, "post failed\n");
                    return 1;
                }
            } else {
                QDBusMessage hop =
                    QDBusMessage::createSignal(kBarePath, kBareInterface, kBareMember);
                hop << qlonglong{monotonicNanoseconds()};
                bus.send(hop);
            }
        }
    }

    if (!receiver.waitForFinished(60000)) {
        std::fprintf(stderr, "the receiver did not get every message\n");
        receiver.kill();
        return 1;
    }
    std::optional<std::vector<std::int64_t>> tavrelSeries, bareSeries;
    while (receiver.canReadLine()) {
        const std::string line = receiver.readLine().trimmed().toStdString();
        if (!tavrelSeries) tavrelSeries = parseSeries(line, "tavrel");
        if (!bareSeries) bareSeries = parseSeries(line, "bare");
    }
    if (!tavrelSeries || !bareSeries || tavrelSeries->size() != std::size_t(total) ||
        bareSeries->size() != std::size_t(total)) {
        std::fprintf(stderr, "incomplete results from the receiver\n");
        return 1;
    }
    tavrelSeries->erase(tavrelSeries->begin(), tavrelSeries->begin() + options.warmup);
    bareSeries->erase(bareSeries->begin(), bareSeries->begin() + options.warmup);

    const Summary tavrel = summarize(*tavrelSeries);
    const Summary bare = summarize(*bareSeries);
    std::printf(
        "%d messages of each kind (after %d warm-up), one every %lld us, "
        "in alternating blocks of %d\n",
        options.count, options.warmup, static_cast<long long>(options.interval.count()),
        options.block);
    std::printf("%-22s %10s %10s %10s\n", "", "median us", "p99 us", "max us");
    std::printf("%-22s %10.1f %10.1f %10.1f\n", "tavrel notification", tavrel.median, tavrel.p99,
                tavrel.max);
    std::printf("%-22s %10.1f %10.1f %10.1f\n", "bare QtDBus signal", bare.median, bare.p99,
                bare.max);
    std::printf("ratio median %.2f (target <= 1.5), p99 %.2f; tavrel p99 %.3f ms (target <= 2)\n",
                tavrel.median / bare.median, tavrel.p99 / bare.p99, tavrel.p99 / 1000.0);
    tavrel::bench::printResult("notification post→receive, median", tavrel.median / 1000.0,
                               bare.median / 1000.0, "ms", "ratio<=1.5");
    tavrel::bench::printResult("notification post→receive, p99", tavrel.p99 / 1000.0,
                               bare.p99 / 1000.0, "ms", "ours<=2");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--receiver") == 0) {
        return runReceiver(argc, argv, static_cast<std::size_t>(std::atoi(argv[2])));
    }
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--count") == 0) {
            options.count = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--block") == 0) {
            options.block = std::max(1, std::atoi(argv[i + 1]));
        } else if (std::strcmp(argv[i], "--interval-us") == 0) {
            options.interval = std::chrono::microseconds(std::max(1, std::atoi(argv[i + 1])));
        }
    }
    return runSender(argc, argv, options);
}

#include "notification_latency.moc"
