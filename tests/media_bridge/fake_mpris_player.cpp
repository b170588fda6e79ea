// A scripted MPRIS 2 player for the bridge's tests and benchmark. It owns
// "org.mpris.MediaPlayer2.<name>" on the session bus and takes commands on standard input, one
// per line; each change is announced with PropertiesChanged as a real player would:
//
//   title|album|arturl|trackid <text>   artist <a>|<b>…   length <µs>   clear   (Metadata)
//   status Playing|Paused|Stopped   rate <x>   can <Property> true|false
//   position <µs>   (silent, as players are while playing)   seek <µs>   (Seeked)
//
// The position advances at the rate while playing and a new track id starts at 0, as MPRIS
// players behave.
//   quit
//
// It prints "ready <pid>" once the name is owned, "ok" after each command (once the bus has passed
// on what the command announced) and "called <Method>" for every transport method a client calls.

#include <cstdio>
#include <iostream>
#include <string>

#include <unistd.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

void say(const std::string& line) {
    std::cout << line << std::endl;  // flushed: the test reads it at once
}

class FakePlayer final : public QDBusVirtualObject {
public:
    FakePlayer(QDBusConnection bus, QString name) : bus_(std::move(bus)), name_(std::move(name)) {
        player_ = {{QStringLiteral("PlaybackStatus"), QStringLiteral("Stopped")},
                   {QStringLiteral("LoopStatus"), QStringLiteral("None")},
                   {QStringLiteral("Rate"), 1.0},
                   {QStringLiteral("Shuffle"), false},
                   {QStringLiteral("Metadata"), QVariantMap()},
                   {QStringLiteral("Volume"), 1.0},
                   {QStringLiteral("Position"), qlonglong(0)},
                   {QStringLiteral("MinimumRate"), 1.0},
                   {QStringLiteral("MaximumRate"), 1.0},
                   {QStringLiteral("CanGoNext"), true},
                   {QStringLiteral("CanGoPrevious"), true},
                   {QStringLiteral("CanPlay"), true},
                   {QStringLiteral("CanPause"), true},
                   {QStringLiteral("CanSeek"), true},
                   {QStringLiteral("CanControl"), true}};
        root_ = {{QStringLiteral("CanQuit"), false},
                 {QStringLiteral("CanRaise"), false},
                 {QStringLiteral("HasTrackList"), false},
                 {QStringLiteral("Identity"), QStringLiteral("Fake ") + name_},
                 {QStringLiteral("SupportedUriSchemes"), QStringList()},
                 {QStringLiteral("SupportedMimeTypes"), QStringList()}};
        sinceAnchor_.start();
    }

    QString introspect(const QString&) const override {
        return QStringLiteral(
            "<interface name=\"org.mpris.MediaPlayer2\">"
            "<method name=\"Raise\"/><method name=\"Quit\"/></interface>"
            "<interface name=\"org.mpris.MediaPlayer2.Player\">"
            "<method name=\"Next\"/><method name=\"Previous\"/><method name=\"Pause\"/>"
            "<method name=\"PlayPause\"/><method name=\"Stop\"/><method name=\"Play\"/>"
            "<signal name=\"Seeked\"><arg name=\"Position\" type=\"x\"/></signal>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.type() != QDBusMessage::MethodCallMessage) return false;
        const QVariantList args = message.arguments();
        if (message.interface() == kPropertiesInterface) {
            const QString interface = args.value(0).toString();
            const QVariantMap* properties = interface == kPlayerInterface ? &player_
                                            : interface == kRootInterface ? &root_
                                                                          : nullptr;
            player_[QStringLiteral("Position")] = position();
            if (message.member() == QLatin1String("GetAll")) {
                connection.send(message.createReply(properties ? *properties : QVariantMap()));
                return true;
            }
            if (message.member() == QLatin1String("Get") && properties &&
                properties->contains(args.value(1).toString())) {
                connection.send(message.createReply(QVariant::fromValue(
                    QDBusVariant(properties->value(args.value(1).toString())))));
                return true;
            }
            connection.send(
                message.createErrorReply(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"),
                                         QStringLiteral("no such property")));
            return true;
        }
        if (message.interface() == kPlayerInterface || message.interface().isEmpty()) {
            const QString method = message.member();
            if (method == QLatin1String("PlayPause")) {
                setProperty(QStringLiteral("PlaybackStatus"), status() == QLatin1String("Playing")
                                                                  ? QStringLiteral("Paused")
                                                                  : QStringLiteral("Playing"));
            }
            say("called " + method.toStdString());
            connection.send(message.createReply());
            return true;
        }
        return false;
    }

    // One command line; false for a line it does not know.
    bool command(const QString& line) {
        const QString word = line.section(QLatin1Char(' '), 0, 0);
        const QString value = line.section(QLatin1Char(' '), 1);
        if (word == QLatin1String("title") || word == QLatin1String("album")) {
            setMetadata(QStringLiteral("xesam:") + word, value);
        } else if (word == QLatin1String("arturl")) {
            setMetadata(QStringLiteral("mpris:artUrl"), value);
        } else if (word == QLatin1String("trackid")) {
            anchor(0);
            setMetadata(QStringLiteral("mpris:trackid"),
                        QVariant::fromValue(QDBusObjectPath(value)));
        } else if (word == QLatin1String("artist")) {
            setMetadata(QStringLiteral("xesam:artist"),
                        value.isEmpty() ? QStringList() : value.split(QLatin1Char('|')));
        } else if (word == QLatin1String("length")) {
            setMetadata(QStringLiteral("mpris:length"), value.toLongLong());
        } else if (word == QLatin1String("clear")) {
            setProperty(QStringLiteral("Metadata"), QVariantMap());
        } else if (word == QLatin1String("status")) {
            setProperty(QStringLiteral("PlaybackStatus"), value);
        } else if (word == QLatin1String("rate")) {
            setProperty(QStringLiteral("Rate"), value.toDouble());
        } else if (word == QLatin1String("can")) {
            setProperty(value.section(QLatin1Char(' '), 0, 0),
                        value.section(QLatin1Char(' '), 1) == QLatin1String("true"));
        } else if (word == QLatin1String("position")) {
            anchor(value.toLongLong());
        } else if (word == QLatin1String("seek")) {
            anchor(value.toLongLong());
            QDBusMessage seeked =
                QDBusMessage::createSignal(kPath, kPlayerInterface, QStringLiteral("Seeked"));
            seeked.setArguments({value.toLongLong()});
            bus_.send(seeked);
        } else if (word == QLatin1String("quit")) {
            QCoreApplication::exit(0);
        } else {
            return false;
        }
        return true;
    }

private:
    QString status() const { return player_.value(QStringLiteral("PlaybackStatus")).toString(); }

    void setMetadata(const QString& key, const QVariant& value) {
        QVariantMap metadata = player_.value(QStringLiteral("Metadata")).toMap();
        metadata.insert(key, value);
        setProperty(QStringLiteral("Metadata"), metadata);
    }

    qlonglong position() const {
        if (status() != QLatin1String("Playing")) return anchorPosition_;
        const double rate = player_.value(QStringLiteral("Rate")).toDouble();
        return anchorPosition_ + qlonglong(rate * double(sinceAnchor_.nsecsElapsed()) / 1000.0);
    }

    void anchor(qlonglong position) {
        anchorPosition_ = position;
        sinceAnchor_.restart();
    }

    void setProperty(const QString& key, const QVariant& value) {
        if (key == QLatin1String("PlaybackStatus") || key == QLatin1String("Rate")) {
            anchor(position());
        }
        player_[key] = value;
        QDBusMessage changed = QDBusMessage::createSignal(kPath, kPropertiesInterface,
                                                          QStringLiteral("PropertiesChanged"));
        changed.setArguments({kPlayerInterface, QVariantMap{{key, value}}, QStringList()});
        bus_.send(changed);
    }

    QDBusConnection bus_;
    QString name_;
    QVariantMap player_;
    QVariantMap root_;
    qlonglong anchorPosition_ = 0;
    QElapsedTimer sinceAnchor_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int nameAt = arguments.indexOf(QStringLiteral("--name"));
    if (nameAt < 0 || nameAt + 1 >= arguments.size()) {
        std::fputs("usage: tavrel-fake-mpris-player --name <name>\n", stderr);
        return 2;
    }
    const QString name = arguments.at(nameAt + 1);

    QDBusConnection bus = QDBusConnection::sessionBus();
    FakePlayer player(bus, name);
    if (!bus.registerVirtualObject(kPath, &player) ||
        !bus.registerService(QStringLiteral("org.mpris.MediaPlayer2.") + name)) {
        std::fputs("fake player: cannot register on the session bus\n", stderr);
        return 1;
    }

    std::string pending;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            QCoreApplication::exit(0);
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        std::size_t end;
        while ((end = pending.find('\n')) != std::string::npos) {
            const QString line = QString::fromStdString(pending.substr(0, end));
            pending.erase(0, end + 1);
            if (!player.command(line)) {
                say("unknown " + line.toStdString());
                continue;
            }
            // "ok" once the bus has routed what the command announced: a round trip to the bus
            // daemon on the same connection comes back only after it. Asynchronous, so that the
            // player keeps answering its clients meanwhile.
            auto* ping = new QDBusPendingCallWatcher(
                bus.asyncCall(QDBusMessage::createMethodCall(
                    QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                    QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"))),
                &application);  // freed with it when the player quits with a ping in flight
            QObject::connect(ping, &QDBusPendingCallWatcher::finished,
                             [](QDBusPendingCallWatcher* done) {
                                 say("ok");
                                 done->deleteLater();
                             });
        }
    });
    say("ready " + std::to_string(::getpid()));
    return application.exec();
}
