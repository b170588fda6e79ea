#pragma once

// How an MPRIS 2 player's properties (org.mpris.MediaPlayer2.Player) become the bridge's
// now-playing info entries.

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

bool isPlayingStatus(const QVariantMap& properties);

// The info entries for a player's properties. `withPosition` false leaves out "ElapsedTime"
// (used when the position could not be read freshly; a stale one would mislead).
NowPlayingInfo nowPlayingInfoFromProperties(const QVariantMap& properties, bool withPosition,
                                            ArtworkCache& artwork);

// Whether a player says it can carry out `command`; properties it does not publish count as yes.
bool canPerform(const QVariantMap& properties, int command);
// The Player method for a command number, or an empty string for one the bridge does not send.
QString methodForCommand(int command);

}  // namespace tavrel::platform::mpris
