// Any process on the bus can send a signal on the notification path and interface, with any
// arguments. The input is turned into such a signal (its argument types and values chosen by the
// bytes: every D-Bus type QtDBus can send, nested), sent over a real QtDBus peer connection and
// decoded on the other end exactly as a receiver does. Decoding must refuse or accept without
// a crash, and whatever it accepts must be a notification that can be sent again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusServer>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QLatin1StringView>
#include <QObject>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>

#include "core/notifications/notification_limits.h"
#include "platform/linux/dbus_wire.h"

namespace wire = tavrel::platform::dbus_wire;

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return size_ == 0; }
    std::uint8_t byte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    template <class T>
    T value() {
        T result{};
        const std::size_t n = std::min(sizeof(T), size_);
        std::memcpy(&result, data_, n);
        data_ += n;
        size_ -= n;
        return result;
    }
    QByteArray chunk() {
        const std::size_t n = std::min<std::size_t>(byte() % 24, size_);
        QByteArray result(reinterpret_cast<const char*>(data_), static_cast<qsizetype>(n));
        data_ += n;
        size_ -= n;
        return result;
    }
    QString text() { return QString::fromUtf8(chunk()); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

QVariant makeValue(Bytes& in, int depth);

QVariantMap makeMap(Bytes& in, int depth) {
    QVariantMap map;
    const int entries = in.byte() % 5;
    for (int i = 0; i < entries; ++i) map.insert(in.text(), makeValue(in, depth + 1));
    return map;
}

// An a{sv} written entry by entry, so a key may repeat.
QDBusArgument makeRepeatingMap(Bytes& in, int depth) {
    QDBusArgument argument;
    argument.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QDBusVariant>());
    const int entries = in.byte() % 4;
    const QString key = in.text();
    for (int i = 0; i < entries; ++i) {
        argument.beginMapEntry();
        argument << (in.byte() % 2 ? key : in.text()) << QDBusVariant(makeValue(in, depth + 1));
        argument.endMapEntry();
    }
    argument.endMap();
    return argument;
}

QVariant makeValue(Bytes& in, int depth) {
    // Containers only up to a small depth; deeper, plain values.
    const int kinds = depth < 3 ? 20 : 13;
    switch (in.byte() % kinds) {
        case 0:
            return in.text();
        case 1:
            return bool(in.byte() & 1);
        case 2:
            return in.value<double>();
        case 3:
            return QVariant::fromValue(in.value<qlonglong>());
        case 4:
            return in.chunk();
        case 5:
            return in.value<int>();
        case 6:
            return in.value<uint>();
        case 7:
            return QVariant::fromValue(in.value<short>());
        case 8:
            return QVariant::fromValue(in.value<ushort>());
        case 9:
            return QVariant::fromValue(in.value<uchar>());
        case 10:
            return QVariant::fromValue(in.value<qulonglong>());
        case 11:
            return QVariant::fromValue(QDBusObjectPath(QStringLiteral("/a")));
        case 12:
            return QVariant::fromValue(QDBusSignature(QStringLiteral("s")));
        case 13:
            return QStringList{in.text(), in.text()};
        case 14:
            return QVariant::fromValue(QDBusVariant(makeValue(in, depth + 1)));
        case 15:
            return makeMap(in, depth);
        case 16:
            return QVariantList{makeValue(in, depth + 1), makeValue(in, depth + 1)};
        case 17: {
            QDBusArgument structure;
            structure.beginStructure();
            structure << in.value<int>() << in.text();
            structure.endStructure();
            return QVariant::fromValue(structure);
        }
        case 18:
            return QVariant::fromValue(makeRepeatingMap(in, depth));
        default:
            return QVariant::fromValue(QList<int>{in.value<int>()});
    }
}

QVariantList makeArguments(Bytes& in) {
    QVariantList arguments;
    if (in.byte() % 4 != 0) {
        // Mostly the right shape, so the decoder's later checks are reached too.
        arguments << in.text() << bool(in.byte() & 1) << in.text();
        if (in.byte() % 4 != 0) {
            const QVariantMap userInfo = makeMap(in, 0);
            // The refusal of the sending side sees the same dictionary.
            (void)wire::fromVariantMap(userInfo);
            arguments << userInfo;
        } else {
            arguments << QVariant::fromValue(makeRepeatingMap(in, 0));
        }
        if (in.byte() % 8 == 0) arguments << makeValue(in, 1);
    } else {
        const int count = in.byte() % 6;
        for (int i = 0; i < count; ++i) arguments << makeValue(in, 0);
    }
    return arguments;
}

// Equal, with doubles compared bit for bit (a NaN travels as itself but never equals itself).
bool sameUserInfo(const tavrel::NotificationUserInfo& a, const tavrel::NotificationUserInfo& b) {
    if (a.size() != b.size()) return false;
    for (auto x = a.begin(), y = b.begin(); x != a.end(); ++x, ++y) {
        if (x->first != y->first || x->second.index() != y->second.index()) return false;
        const double* dx = std::get_if<double>(&x->second);
        const double* dy = std::get_if<double>(&y->second);
        if (dx ? std::memcmp(dx, dy, sizeof(double)) != 0 : x->second != y->second) return false;
    }
    return true;
}

class Receiver : public QObject {
    Q_OBJECT
public:
    bool sentinelSeen = false;

public slots:
    void receive(const QDBusMessage& message) {
        auto notification = wire::fromMessage(message);
        if (!notification) return;
        if (!tavrel::validateNotification(*notification)) __builtin_trap();
        // Accepted means it can travel again, with the same userInfo.
        if (!wire::toMessage(*notification)) __builtin_trap();
        auto again = wire::fromVariantMap(wire::toVariantMap(notification->userInfo));
        if (!again || !sameUserInfo(*again, notification->userInfo)) __builtin_trap();
    }
    void sentinel() { sentinelSeen = true; }
};

struct Harness {
    int argc = 1;
    char name[16] = "fuzz";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    QDBusServer server{QStringLiteral("unix:tmpdir=") + QDir::tempPath()};
    std::optional<QDBusConnection> peer;
    std::optional<QDBusConnection> client;
    Receiver receiver;

    Harness() {
        QObject::connect(&server, &QDBusServer::newConnection,
                         [this](const QDBusConnection& connection) { peer = connection; });
        client = QDBusConnection::connectToPeer(server.address(), QStringLiteral("fuzz-client"));
        QDeadlineTimer deadline(10000);
        while (!peer && !deadline.hasExpired()) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        if (!peer || !client->isConnected()) __builtin_trap();
        peer->connect(QString(), QLatin1StringView(wire::kPath),
                      QLatin1StringView(wire::kInterface), QLatin1StringView(wire::kMember),
                      &receiver, SLOT(receive(QDBusMessage)));
        peer->connect(QString(), QStringLiteral("/fuzz"), QStringLiteral("com.local.tavrel.Fuzz"),
                      QStringLiteral("Sentinel"), &receiver, SLOT(sentinel()));
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Harness* harness = new Harness;
    Bytes in(data, size);

    QDBusMessage message = QDBusMessage::createSignal(QLatin1StringView(wire::kPath),
                                                      QLatin1StringView(wire::kInterface),
                                                      QLatin1StringView(wire::kMember));
    message.setArguments(makeArguments(in));
    // QtDBus refuses some argument lists itself; the receiver then simply gets nothing.
    harness->client->send(message);

    // Signals on one connection arrive in order: once the sentinel is in, the input was handled.
    harness->receiver.sentinelSeen = false;
    harness->client->send(QDBusMessage::createSignal(QStringLiteral("/fuzz"),
                                                     QStringLiteral("com.local.tavrel.Fuzz"),
                                                     QStringLiteral("Sentinel")));
    QDeadlineTimer deadline(10000);
    while (!harness->receiver.sentinelSeen) {
        if (deadline.hasExpired()) __builtin_trap();  // the connection died
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return 0;
}

#include "notification_signal_fuzzer.moc"
