#pragma once

// How an MPRIS 2 player's properties (org.mpris.MediaPlayer2.Player) become the bridge's
// now-playing info entries.

#include <cstdint>
#include <optional>

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "platform/linux/mpris/artwork_file.h"
#include "platform/now_playing.h"

namespace tavrel::platform::mpris {

inline const QString kPlayerBusNamePrefix = QStringLiteral("org.mpris.MediaPlayer2.");
inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
inline const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// D-Bus values as plain Qt values: nested variants unwrapped, maps and arrays read out of their
// QDBusArgument, object paths as strings. Depth-limited: a player cannot make us recurse forever.
QVariant plainDBusValue(const QVariant& value);
QVariantMap plainDBusMap(const QVariant& value);

// The properties below are plain (as plainDBusMap makes them); the source stores them so.
QVariantMap metadataOf(const QVariantMap& properties);
bool isPlayingStatus(const QVariantMap& properties);
// The rate the position advances at: the player's rate while playing (1 when it publishes none
// that is usable), 0 otherwise.
double effectiveRate(const QVariantMap& properties);
// A microsecond count (Position, mpris:length) in whichever integer type the player chose.
std::optional<std::int64_t> microseconds(const QVariant& value);
// Whether new metadata describes another track than the old (by track id, else by URL and title).
bool isNewTrack(const QVariantMap& oldMetadata, const QVariantMap& newMetadata);

// The info entries for a player's properties; "ElapsedTime" is `elapsedMicroseconds`, left out
// when unknown.
NowPlayingInfo nowPlayingInfoFromProperties(const QVariantMap& properties,
                                            std::optional<std::int64_t> elapsedMicroseconds,
                                            ArtworkCache& artwork);

// Whether a player says it can carry out `command`; properties it does not publish count as yes.
bool canPerform(const QVariantMap& properties, int command);
// The Player method for a command number, or an empty string for one the bridge does not send.
QString methodForCommand(int command);

}  // namespace tavrel::platform::mpris
