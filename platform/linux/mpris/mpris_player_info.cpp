#include "platform/linux/mpris/mpris_player_info.h"

#include <cmath>
#include <limits>

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusSignature>
#include <QDBusVariant>
#include <QStringList>
#include <QUrl>

namespace tavrel::platform::mpris {
namespace {

constexpr int kMaxDepth = 16;
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

QVariant plainValue(const QVariant& value, int depth);

QVariant plainArgument(const QDBusArgument& argument, int depth) {
    switch (argument.currentType()) {
        case QDBusArgument::MapType: {
            QVariantMap map;
            argument.beginMap();
            while (!argument.atEnd()) {
                argument.beginMapEntry();
                const QVariant key = plainValue(argument.asVariant(), depth + 1);
                const QVariant entry = plainValue(argument.asVariant(), depth + 1);
                argument.endMapEntry();
                map.insert(key.toString(), entry);
            }
            argument.endMap();
            return map;
        }
        case QDBusArgument::ArrayType: {
            QVariantList list;
            argument.beginArray();
            while (!argument.atEnd()) list.append(plainValue(argument.asVariant(), depth + 1));
            argument.endArray();
            return list;
        }
        case QDBusArgument::StructureType: {
            QVariantList list;
            argument.beginStructure();
            while (!argument.atEnd()) list.append(plainValue(argument.asVariant(), depth + 1));
            argument.endStructure();
            return list;
        }
        default:
            return plainValue(argument.asVariant(), depth + 1);
    }
}

QVariant plainValue(const QVariant& value, int depth) {
    if (depth > kMaxDepth) return {};
    const int type = value.userType();
    if (type == qMetaTypeId<QDBusVariant>()) {
        return plainValue(value.value<QDBusVariant>().variant(), depth + 1);
    }
    if (type == qMetaTypeId<QDBusArgument>()) {
        return plainArgument(value.value<QDBusArgument>(), depth);
    }
    if (type == qMetaTypeId<QDBusObjectPath>()) return value.value<QDBusObjectPath>().path();
    if (type == qMetaTypeId<QDBusSignature>()) return value.value<QDBusSignature>().signature();
    if (type == QMetaType::QVariantMap) {
        QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) it.value() = plainValue(*it, depth + 1);
        return map;
    }
    if (type == QMetaType::QVariantList) {
        QVariantList list = value.toList();
        for (auto& item : list) item = plainValue(item, depth + 1);
        return list;
    }
    return value;
}

bool isIntegral(const QVariant& value) {
    switch (value.userType()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::UChar:
            return true;
        default:
            return false;
    }
}

// A D-Bus number as a double; players differ in the integer type they use for microseconds.
std::optional<double> number(const QVariant& value) {
    if (isIntegral(value)) {
        if (value.userType() == QMetaType::ULongLong) return double(value.toULongLong());
        return double(value.toLongLong());
    }
    if (value.userType() == QMetaType::Double) return value.toDouble();
    return std::nullopt;
}

// A metadata value the report can carry: text or a number; lists and the rest are left out.
std::optional<NowPlayingValue> entryValue(const QVariant& value) {
    if (value.userType() == QMetaType::QString) return value.toString().toStdString();
    if (value.userType() == QMetaType::ULongLong) {
        const qulonglong n = value.toULongLong();
        if (n > qulonglong(std::numeric_limits<std::int64_t>::max())) return double(n);
        return std::int64_t(n);
    }
    if (isIntegral(value)) return std::int64_t(value.toLongLong());
    if (value.userType() == QMetaType::Double) return value.toDouble();
    if (value.isValid()) return OtherNowPlayingValue{};
    return std::nullopt;
}

void put(NowPlayingInfo& info, std::string_view key, std::optional<NowPlayingValue> value) {
    if (value) info[nowPlayingInfoEntryName(key)] = std::move(*value);
}

// "xesam:artist" is a list of names; show it the way a player's own display does.
std::optional<NowPlayingValue> artistValue(const QVariant& value) {
    if (value.userType() == QMetaType::QStringList || value.userType() == QMetaType::QVariantList) {
        QStringList names;
        for (const QVariant& name : value.toList()) {
            if (name.userType() == QMetaType::QString && !name.toString().isEmpty()) {
                names.append(name.toString());
            }
        }
        if (names.isEmpty()) return std::nullopt;
        return names.join(QStringLiteral(", ")).toStdString();
    }
    return entryValue(value);
}

}  // namespace

QVariant plainDBusValue(const QVariant& value) {
    return plainValue(value, 0);
}

QVariantMap plainDBusMap(const QVariant& value) {
    const QVariant plain = plainDBusValue(value);
    if (plain.userType() != QMetaType::QVariantMap) return {};
    return plain.toMap();
}

QVariantMap metadataOf(const QVariantMap& properties) {
    return properties.value(QStringLiteral("Metadata")).toMap();
}

bool isPlayingStatus(const QVariantMap& properties) {
    return properties.value(QStringLiteral("PlaybackStatus")).toString() ==
           QLatin1String("Playing");
}

double effectiveRate(const QVariantMap& properties) {
    if (!isPlayingStatus(properties)) return 0;
    const auto published = number(properties.value(QStringLiteral("Rate")));
    return published && std::isfinite(*published) ? *published : 1.0;
}

std::optional<std::int64_t> microseconds(const QVariant& value) {
    const auto us = number(value);
    if (!us || !std::isfinite(*us) || *us < 0) return std::nullopt;
    if (*us >= double(std::numeric_limits<std::int64_t>::max())) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return std::int64_t(*us);
}

bool isNewTrack(const QVariantMap& oldMetadata, const QVariantMap& newMetadata) {
    const QString trackId = QStringLiteral("mpris:trackid");
    if (oldMetadata.contains(trackId) || newMetadata.contains(trackId)) {
        return oldMetadata.value(trackId).toString() != newMetadata.value(trackId).toString();
    }
    for (const char* key : {"xesam:url", "xesam:title"}) {
        if (oldMetadata.value(QLatin1String(key)) != newMetadata.value(QLatin1String(key))) {
            return true;
        }
    }
    return false;
}

NowPlayingInfo nowPlayingInfoFromProperties(const QVariantMap& properties,
                                            std::optional<std::int64_t> elapsedMicroseconds,
                                            ArtworkCache& artwork) {
    NowPlayingInfo info;
    const QVariantMap metadata = metadataOf(properties);

    put(info, "Title", entryValue(metadata.value(QStringLiteral("xesam:title"))));
    put(info, "Artist", artistValue(metadata.value(QStringLiteral("xesam:artist"))));
    put(info, "Album", entryValue(metadata.value(QStringLiteral("xesam:album"))));
    if (auto length = microseconds(metadata.value(QStringLiteral("mpris:length")))) {
        put(info, "Duration", double(*length) / 1e6);
        // A position past the end is the model running ahead of a player that has stopped.
        if (elapsedMicroseconds && *length > 0 && *elapsedMicroseconds > *length) {
            elapsedMicroseconds = length;
        }
    }
    if (elapsedMicroseconds) put(info, "ElapsedTime", double(*elapsedMicroseconds) / 1e6);
    // While paused the position stands still: rate 0, as the client expects.
    put(info, "PlaybackRate", effectiveRate(properties));

    const QString artUrl = metadata.value(QStringLiteral("mpris:artUrl")).toString();
    const QString trackId = metadata.value(QStringLiteral("mpris:trackid")).toString();
    if (!artUrl.isEmpty()) {
        put(info, "ArtworkIdentifier", artUrl.toStdString());
    } else if (!trackId.isEmpty() && trackId != kNoTrack) {
        put(info, "ArtworkIdentifier", trackId.toStdString());
    }

    const QUrl url(artUrl);
    if (url.isValid() && url.isLocalFile()) {
        if (auto bytes = artwork.read(url.toLocalFile().toStdString())) {
            info[std::string(kNowPlayingInfoArtworkData)] = std::move(*bytes);
        }
    }
    return info;
}

bool canPerform(const QVariantMap& properties, int command) {
    const auto allows = [&](const char* name) {
        const QVariant value = properties.value(QLatin1String(name));
        return value.userType() != QMetaType::Bool || value.toBool();
    };
    if (!allows("CanControl")) return false;
    switch (command) {
        case kNowPlayingCommandTogglePlayPause:
            return allows(isPlayingStatus(properties) ? "CanPause" : "CanPlay");
        case kNowPlayingCommandNextTrack:
            return allows("CanGoNext");
        case kNowPlayingCommandPreviousTrack:
            return allows("CanGoPrevious");
        default:
            return false;
    }
}

QString methodForCommand(int command) {
    switch (command) {
        case kNowPlayingCommandTogglePlayPause:
            return QStringLiteral("PlayPause");
        case kNowPlayingCommandNextTrack:
            return QStringLiteral("Next");
        case kNowPlayingCommandPreviousTrack:
            return QStringLiteral("Previous");
        default:
            return {};
    }
}

}  // namespace tavrel::platform::mpris
