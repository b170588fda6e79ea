#pragma once

// The now-playing source over MPRIS 2. It follows every player on the session bus
// ("org.mpris.MediaPlayer2.*"): which ones exist, their playback status and when each last
// changed, and picks the now-playing application the way the system's media service does: the
// player that is playing (the most recently changed one if several are), else the one that
// changed most recently. Everything is event driven: bus signals and asynchronous calls, no
// polling and no blocking call on the main thread.
//
// Answers come from what the players announced, so a report needs no round trip to the player;
// the position follows the MPRIS model (see PlaybackPosition). Each report also reads the
// player's position shortly afterwards and, should the player have strayed from the model,
// corrects it and announces the change.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include "platform/linux/mpris/artwork_file.h"
#include "platform/linux/mpris/playback_position.h"
#include "platform/now_playing.h"

class QDBusServiceWatcher;
class QTimer;

namespace tavrel::platform {

class MprisNowPlayingSource final : public QObject, public NowPlayingSource {
    Q_OBJECT

public:
    // Replies slower than this count as failed, so that a hung player cannot stall reports.
    static constexpr int kCallTimeoutMs = 2000;
    // Players differ in how finely they publish the position (some in whole seconds); only a
    // larger difference from the model counts as straying.
    static constexpr std::int64_t kPositionToleranceUs = 1'500'000;
    static constexpr int kPositionCheckDelayMs = 250;

    explicit MprisNowPlayingSource(QDBusConnection bus, QObject* parent = nullptr);
    ~MprisNowPlayingSource() override;

    void getNowPlayingInfo(InfoCallback done) override;
    void getNowPlayingApplicationIsPlaying(IsPlayingCallback done) override;
    void getNowPlayingApplicationPID(PidCallback done) override;
    bool sendCommand(int command) override;
    void registerForNowPlayingNotifications(ChangeObserver observer) override;
    void whenReady(std::function<void()> ready) override;
    void whenCommandsDelivered(std::function<void()> done) override;

private slots:
    void onPropertiesChanged(const QDBusMessage& message);
    void onSeeked(const QDBusMessage& message);

private:
    struct Player {
        QString owner;  // unique connection name, the sender of its signals
        QVariantMap properties;
        mpris::PlaybackPosition position;
        std::int64_t pid = 0;
        bool havePropertiesReply = false;
        bool havePidReply = false;
        std::uint64_t lastChange = 0;
        std::uint64_t discovery = 0;  // tells a reply for an earlier owner of the name apart

        bool ready() const { return havePropertiesReply && havePidReply; }
    };

    void call(const QDBusMessage& message, std::function<void(const QDBusMessage&)> done);
    void onInitialNames(const QDBusMessage& reply);
    void onOwnerChanged(const QString& name, const QString& oldOwner, const QString& newOwner);
    void addPlayer(const QString& name, const QString& owner);
    void fetchProperties(const QString& name, std::uint64_t discovery);
    void fetchPid(const QString& name, std::uint64_t discovery);
    // Takes announced (or freshly read) properties into the cache and the position model.
    void applyProperties(Player& player, const QVariantMap& changed, bool replaceAll);
    void checkPosition(const QString& name, std::uint64_t discovery);
    void removePlayer(const QString& name);
    void finishInitialDiscovery();

    // Runs `work` once the players present at start are known; queries wait for that so the
    // first report is not an empty one.
    void whenDiscovered(std::function<void()> work);

    const Player* currentPlayer(QString* name = nullptr) const;
    void touch(Player& player);
    // After any change: tell the observer what changed for the now-playing application.
    void announce(const QString& changedPlayer, NowPlayingChange change);

    QDBusConnection bus_;
    QDBusServiceWatcher* watcher_ = nullptr;
    std::map<QString, Player> players_;
    std::uint64_t changeCounter_ = 0;
    std::uint64_t discoveryCounter_ = 0;
    bool discovered_ = false;
    int initialPending_ = 0;  // players present at start whose first answers are outstanding
    std::vector<std::function<void()>> waiting_;
    ChangeObserver observer_;
    QString announcedPlayer_;
    bool haveAnnounced_ = false;
    ArtworkCache artwork_;
    int commandsInFlight_ = 0;  // transport calls not yet answered
    std::vector<std::function<void()>> commandsDeliveredWaiting_;
    QTimer* positionCheck_ = nullptr;
    QString checkName_;  // the player the next position check reads
    std::uint64_t checkDiscovery_ = 0;
};

}  // namespace tavrel::platform
