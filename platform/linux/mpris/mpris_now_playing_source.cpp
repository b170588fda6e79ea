#include "platform/linux/mpris/mpris_now_playing_source.h"

#include <chrono>
#include <cstdlib>
#include <utility>

#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QTimer>

#include "platform/linux/mpris/mpris_player_info.h"
#include "platform/linux/mpris/now_playing_choice.h"

namespace tavrel::platform {
namespace {

const QString kBusService = QStringLiteral("org.freedesktop.DBus");
const QString kBusPath = QStringLiteral("/org/freedesktop/DBus");
const QString kBusInterface = QStringLiteral("org.freedesktop.DBus");
// playerctld re-publishes whichever player is active under its own name: following it as well
// would count that player twice and report the proxy's pid instead of the player's.
const QString kProxyPlayer = QStringLiteral("org.mpris.MediaPlayer2.playerctld");

bool isPlayerName(const QString& name) {
    return name.startsWith(mpris::kPlayerBusNamePrefix) &&
           name.size() > mpris::kPlayerBusNamePrefix.size() && name != kProxyPlayer;
}

QDBusMessage busCall(const QString& method, const QVariantList& arguments) {
    QDBusMessage message =
        QDBusMessage::createMethodCall(kBusService, kBusPath, kBusInterface, method);
    message.setArguments(arguments);
    return message;
}

QDBusMessage getAllPlayerProperties(const QString& name) {
    QDBusMessage message = QDBusMessage::createMethodCall(
        name, mpris::kObjectPath, mpris::kPropertiesInterface, QStringLiteral("GetAll"));
    message.setArguments({mpris::kPlayerInterface});
    return message;
}

}  // namespace

MprisNowPlayingSource::MprisNowPlayingSource(QDBusConnection bus, QObject* parent)
    : QObject(parent), bus_(std::move(bus)) {
    // Subscribe first, then list: a player that appears in between is seen twice, never missed.
    watcher_ = new QDBusServiceWatcher(mpris::kPlayerBusNamePrefix.chopped(1) + QLatin1Char('*'),
                                       bus_, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            &MprisNowPlayingSource::onOwnerChanged);
    bus_.connect(QString(), mpris::kObjectPath, mpris::kPropertiesInterface,
                 QStringLiteral("PropertiesChanged"), this,
                 SLOT(onPropertiesChanged(QDBusMessage)));
    bus_.connect(QString(), mpris::kObjectPath, mpris::kPlayerInterface, QStringLiteral("Seeked"),
                 this, SLOT(onSeeked(QDBusMessage)));
    positionCheck_ = new QTimer(this);
    positionCheck_->setSingleShot(true);
    positionCheck_->setInterval(kPositionCheckDelayMs);
    connect(positionCheck_, &QTimer::timeout, this,
            [this] { checkPosition(checkName_, checkDiscovery_); });
    call(busCall(QStringLiteral("ListNames"), {}),
         [this](const QDBusMessage& reply) { onInitialNames(reply); });
}

MprisNowPlayingSource::~MprisNowPlayingSource() = default;

void MprisNowPlayingSource::call(const QDBusMessage& message,
                                 std::function<void(const QDBusMessage&)> done) {
    auto* pending = new QDBusPendingCallWatcher(bus_.asyncCall(message, kCallTimeoutMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [done = std::move(done)](QDBusPendingCallWatcher* finished) {
                const QDBusMessage reply = finished->reply();
                finished->deleteLater();
                done(reply);
            });
}

void MprisNowPlayingSource::onInitialNames(const QDBusMessage& reply) {
    QStringList names;
    if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
        names = reply.arguments().first().toStringList();
    }
    for (const QString& name : names) {
        if (!isPlayerName(name)) continue;
        ++initialPending_;
        call(busCall(QStringLiteral("GetNameOwner"), {name}),
             [this, name](const QDBusMessage& ownerReply) {
                 --initialPending_;
                 if (ownerReply.type() == QDBusMessage::ReplyMessage &&
                     !ownerReply.arguments().isEmpty()) {
                     addPlayer(name, ownerReply.arguments().first().toString());
                 }
                 finishInitialDiscovery();
             });
    }
    finishInitialDiscovery();
}

void MprisNowPlayingSource::finishInitialDiscovery() {
    if (discovered_ || initialPending_ > 0) return;
    for (const auto& [name, player] : players_) {
        if (!player.ready()) return;
    }
    discovered_ = true;
    QString current;
    currentPlayer(&current);
    announcedPlayer_ = current;
    haveAnnounced_ = true;
    auto waiting = std::move(waiting_);
    waiting_.clear();
    for (auto& work : waiting) work();
}

void MprisNowPlayingSource::onOwnerChanged(const QString& name, const QString& oldOwner,
                                           const QString& newOwner) {
    (void)oldOwner;
    if (!isPlayerName(name)) return;
    if (newOwner.isEmpty()) {
        removePlayer(name);
    } else {
        addPlayer(name, newOwner);
    }
}

void MprisNowPlayingSource::addPlayer(const QString& name, const QString& owner) {
    const auto existing = players_.find(name);
    if (existing != players_.end()) {
        if (existing->second.owner == owner) return;
        removePlayer(name);  // another program took the name over
    }
    Player& player = players_[name];
    player.owner = owner;
    player.discovery = ++discoveryCounter_;
    fetchProperties(name, player.discovery);
    fetchPid(name, player.discovery);
}

void MprisNowPlayingSource::removePlayer(const QString& name) {
    if (players_.erase(name) == 0) return;
    announce(name, NowPlayingChange::applicationDidChange);
    finishInitialDiscovery();
}

void MprisNowPlayingSource::fetchProperties(const QString& name, std::uint64_t discovery) {
    call(getAllPlayerProperties(name), [this, name, discovery](const QDBusMessage& reply) {
        const auto it = players_.find(name);
        if (it == players_.end() || it->second.discovery != discovery) return;
        Player& player = it->second;
        const bool wasReady = player.ready();
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
            applyProperties(player, mpris::plainDBusMap(reply.arguments().first()), true);
        }
        player.havePropertiesReply = true;
        if (!player.ready()) return;
        touch(player);
        announce(name, wasReady ? NowPlayingChange::infoDidChange
                                : NowPlayingChange::applicationDidChange);
        finishInitialDiscovery();
    });
}

void MprisNowPlayingSource::fetchPid(const QString& name, std::uint64_t discovery) {
    const QString owner = players_.at(name).owner;
    call(busCall(QStringLiteral("GetConnectionUnixProcessID"), {owner}),
         [this, name, discovery](const QDBusMessage& reply) {
             const auto it = players_.find(name);
             if (it == players_.end() || it->second.discovery != discovery) return;
             Player& player = it->second;
             if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()) {
                 player.pid = reply.arguments().first().toLongLong();
             }
             player.havePidReply = true;
             if (!player.ready()) return;
             touch(player);
             announce(name, NowPlayingChange::applicationDidChange);
             finishInitialDiscovery();
         });
}

void MprisNowPlayingSource::onPropertiesChanged(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).toString() != mpris::kPlayerInterface) return;
    const QVariantMap changed = mpris::plainDBusMap(arguments.at(1));
    const QStringList invalidated = arguments.size() > 2
                                        ? mpris::plainDBusValue(arguments.at(2)).toStringList()
                                        : QStringList();
    for (auto& [name, player] : players_) {
        if (player.owner != message.service()) continue;
        applyProperties(player, changed, false);
        for (const QString& key : invalidated) player.properties.remove(key);
        // Invalidated properties come without values: read them again, announce on the reply.
        if (!invalidated.isEmpty()) fetchProperties(name, player.discovery);
        if (!player.ready()) continue;
        touch(player);
        announce(name, changed.contains(QStringLiteral("PlaybackStatus"))
                           ? NowPlayingChange::isPlayingDidChange
                           : NowPlayingChange::infoDidChange);
    }
}

void MprisNowPlayingSource::onSeeked(const QDBusMessage& message) {
    const QVariantList arguments = message.arguments();
    for (auto& [name, player] : players_) {
        if (player.owner != message.service()) continue;
        const auto position =
            arguments.isEmpty() ? std::nullopt : mpris::microseconds(arguments.first());
        if (position) player.position.set(*position, std::chrono::steady_clock::now());
        if (!player.ready()) continue;
        touch(player);
        announce(name, NowPlayingChange::infoDidChange);
    }
}

const MprisNowPlayingSource::Player* MprisNowPlayingSource::currentPlayer(QString* name) const {
    std::vector<mpris::PlayerCandidate> candidates;
    std::vector<decltype(players_)::const_iterator> entries;
    for (auto it = players_.begin(); it != players_.end(); ++it) {
        if (!it->second.ready()) continue;
        candidates.push_back(
            {mpris::isPlayingStatus(it->second.properties), it->second.lastChange});
        entries.push_back(it);
    }
    const auto chosen = mpris::chooseNowPlaying(candidates);
    if (name) *name = chosen ? entries[*chosen]->first : QString();
    return chosen ? &entries[*chosen]->second : nullptr;
}

void MprisNowPlayingSource::touch(Player& player) {
    player.lastChange = ++changeCounter_;
}

void MprisNowPlayingSource::announce(const QString& changedPlayer, NowPlayingChange change) {
    if (!discovered_) return;
    QString current;
    currentPlayer(&current);
    if (!haveAnnounced_ || current != announcedPlayer_) {
        announcedPlayer_ = current;
        haveAnnounced_ = true;
        change = NowPlayingChange::applicationDidChange;
    } else if (changedPlayer != current) {
        return;  // a player in the background changed; the report would not
    }
    if (observer_) observer_(change);
}

void MprisNowPlayingSource::whenDiscovered(std::function<void()> work) {
    if (discovered_) {
        work();
    } else {
        waiting_.push_back(std::move(work));
    }
}

void MprisNowPlayingSource::applyProperties(Player& player, const QVariantMap& changed,
                                            bool replaceAll) {
    const auto now = std::chrono::steady_clock::now();
    const QString metadataKey = QStringLiteral("Metadata");
    const QVariantMap oldMetadata = mpris::metadataOf(player.properties);
    if (replaceAll) {
        player.properties = changed;
    } else {
        for (auto it = changed.begin(); it != changed.end(); ++it) {
            player.properties.insert(it.key(), it.value());
        }
    }
    // The position so far advanced at the old rate; from now on at the new one.
    if (replaceAll || changed.contains(QStringLiteral("PlaybackStatus")) ||
        changed.contains(QStringLiteral("Rate"))) {
        player.position.changeRate(mpris::effectiveRate(player.properties), now);
    }
    // A new track starts at its beginning unless the player says otherwise.
    if (changed.contains(metadataKey) &&
        mpris::isNewTrack(oldMetadata, mpris::metadataOf(player.properties))) {
        player.position.set(0, now);
    }
    if (const auto position = mpris::microseconds(changed.value(QStringLiteral("Position")))) {
        player.position.set(*position, now);
    }
}

void MprisNowPlayingSource::checkPosition(const QString& name, std::uint64_t discovery) {
    const auto it = players_.find(name);
    if (it == players_.end() || it->second.discovery != discovery) return;
    QDBusMessage get = QDBusMessage::createMethodCall(
        name, mpris::kObjectPath, mpris::kPropertiesInterface, QStringLiteral("Get"));
    get.setArguments({mpris::kPlayerInterface, QStringLiteral("Position")});
    call(get, [this, name, discovery](const QDBusMessage& reply) {
        const auto found = players_.find(name);
        if (found == players_.end() || found->second.discovery != discovery) return;
        Player& current = found->second;
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return;
        const auto read = mpris::microseconds(mpris::plainDBusValue(reply.arguments().first()));
        if (!read) return;
        const auto now = std::chrono::steady_clock::now();
        const auto model = current.position.at(now);
        if (model && std::abs(*read - *model) <= kPositionToleranceUs) return;
        current.position.set(*read, now);
        announce(name, NowPlayingChange::infoDidChange);
    });
}

// The answers come straight from the cache, within the call: a report then goes out on the same
// turn of the event loop as the change that asked for it.
void MprisNowPlayingSource::getNowPlayingInfo(InfoCallback done) {
    whenDiscovered([this, done = std::move(done)] {
        QString name;
        const Player* player = currentPlayer(&name);
        if (!player) {
            done(std::nullopt);
            return;
        }
        done(mpris::nowPlayingInfoFromProperties(
            player->properties, player->position.at(std::chrono::steady_clock::now()), artwork_));
        // Once per burst of reports, a little later, off the path reports take.
        checkName_ = name;
        checkDiscovery_ = player->discovery;
        if (!positionCheck_->isActive()) positionCheck_->start();
    });
}

void MprisNowPlayingSource::getNowPlayingApplicationIsPlaying(IsPlayingCallback done) {
    whenDiscovered([this, done = std::move(done)] {
        const Player* player = currentPlayer();
        done(player && mpris::isPlayingStatus(player->properties));
    });
}

void MprisNowPlayingSource::getNowPlayingApplicationPID(PidCallback done) {
    whenDiscovered([this, done = std::move(done)] {
        const Player* player = currentPlayer();
        done(player ? player->pid : 0);
    });
}

bool MprisNowPlayingSource::sendCommand(int command) {
    const QString method = mpris::methodForCommand(command);
    if (method.isEmpty() || !discovered_) return false;
    QString name;
    const Player* player = currentPlayer(&name);
    if (!player || !mpris::canPerform(player->properties, command) || !bus_.isConnected()) {
        return false;
    }
    // A call rather than a bare message: its reply tells when the player has the command, which
    // the bridge waits for before it ends.
    ++commandsInFlight_;
    call(QDBusMessage::createMethodCall(name, mpris::kObjectPath, mpris::kPlayerInterface, method),
         [this](const QDBusMessage&) {
             if (--commandsInFlight_ > 0) return;
             auto waiting = std::move(commandsDeliveredWaiting_);
             commandsDeliveredWaiting_.clear();
             for (auto& done : waiting) done();
         });
    return true;
}

void MprisNowPlayingSource::registerForNowPlayingNotifications(ChangeObserver observer) {
    observer_ = std::move(observer);
}

void MprisNowPlayingSource::whenReady(std::function<void()> ready) {
    whenDiscovered(std::move(ready));
}

void MprisNowPlayingSource::whenCommandsDelivered(std::function<void()> done) {
    if (commandsInFlight_ == 0) {
        done();
    } else {
        commandsDeliveredWaiting_.push_back(std::move(done));
    }
}

Result<std::unique_ptr<NowPlayingSource>> makeNowPlayingSource() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return Error{"no D-Bus session bus: " + bus.lastError().message().toStdString()};
    }
    return std::unique_ptr<NowPlayingSource>(new MprisNowPlayingSource(bus));
}

}  // namespace tavrel::platform
