#include "core/settings_transfer/settings_backups.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <ctime>
#include <system_error>
#include <utility>

#include "platform/directory.h"
#include "platform/files.h"
#include "platform/log.h"

namespace tavrel {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kPrefix = "backup-";
constexpr std::string_view kSuffix = ".json";
constexpr std::size_t kStampLength = 20;  // "20261210T213000.123Z"
// Two backups within one millisecond are rare; this many are never needed.
constexpr int kMaxSequence = 1000;

constexpr SettingsBackupReason kReasons[] = {
    SettingsBackupReason::import,
    SettingsBackupReason::restore,
    SettingsBackupReason::migration,
    SettingsBackupReason::unreadableDocument,
};

bool isDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool isStamp(std::string_view stamp) {
    return stamp.size() == kStampLength && isDigits(stamp.substr(0, 8)) && stamp[8] == 'T' &&
           isDigits(stamp.substr(9, 6)) && stamp[15] == '.' && isDigits(stamp.substr(16, 3)) &&
           stamp[19] == 'Z';
}

}  // namespace

std::string_view settingsBackupReasonName(SettingsBackupReason reason) {
    switch (reason) {
        case SettingsBackupReason::import:
            return "import";
        case SettingsBackupReason::restore:
            return "restore";
        case SettingsBackupReason::migration:
            return "migration";
        case SettingsBackupReason::unreadableDocument:
            return "unreadable";
    }
    return "import";
}

std::string_view settingsBackupReasonText(SettingsBackupReason reason) {
    switch (reason) {
        case SettingsBackupReason::import:
            return "before an import";
        case SettingsBackupReason::restore:
            return "before a restore";
        case SettingsBackupReason::migration:
            return "before settings.json was migrated";
        case SettingsBackupReason::unreadableDocument:
            return "before an unreadable settings.json was moved aside";
    }
    return "";
}

std::string SettingsBackupName::fileName() const {
    std::string name(kPrefix);
    name += stamp;
    if (sequence > 1) name += "-" + std::to_string(sequence);
    name += "-";
    name += settingsBackupReasonName(reason);
    name += kSuffix;
    return name;
}

SettingsBackupName SettingsBackupName::at(std::chrono::system_clock::time_point time,
                                          SettingsBackupReason reason, int sequence) {
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const auto seconds = static_cast<std::time_t>(milliseconds / 1000);
    const int fraction = static_cast<int>(((milliseconds % 1000) + 1000) % 1000);
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char date[24];
    std::strftime(date, sizeof date, "%Y%m%dT%H%M%S", &parts);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%s.%03dZ", date, fraction);
    return SettingsBackupName{stamp, sequence, reason};
}

std::chrono::system_clock::time_point SettingsBackupName::time() const {
    using namespace std::chrono;
    // "20261210T213000.123Z": parse() and at() only ever make stamps of this shape.
    const auto number = [this](std::size_t at, std::size_t length) {
        int value = 0;
        if (at + length <= stamp.size()) {
            std::from_chars(stamp.data() + at, stamp.data() + at + length, value);
        }
        return value;
    };
    const year_month_day date{year{number(0, 4)}, month{static_cast<unsigned>(number(4, 2))},
                              day{static_cast<unsigned>(number(6, 2))}};
    return sys_days{date} + hours{number(9, 2)} + minutes{number(11, 2)} + seconds{number(13, 2)} +
           milliseconds{number(16, 3)};
}

std::optional<SettingsBackupName> SettingsBackupName::parse(std::string_view name) {
    if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) return std::nullopt;
    name.remove_prefix(kPrefix.size());
    name.remove_suffix(kSuffix.size());
    if (name.size() < kStampLength + 2 || !isStamp(name.substr(0, kStampLength)) ||
        name[kStampLength] != '-') {
        return std::nullopt;
    }
    SettingsBackupName parsed;
    parsed.stamp = std::string(name.substr(0, kStampLength));
    std::string_view rest = name.substr(kStampLength + 1);
    if (const auto dash = rest.find('-'); dash != std::string_view::npos) {
        const std::string_view digits = rest.substr(0, dash);
        if (!isDigits(digits) || digits.size() > 4 || digits.front() == '0') return std::nullopt;
        std::from_chars(digits.data(), digits.data() + digits.size(), parsed.sequence);
        if (parsed.sequence < 2) return std::nullopt;
        rest.remove_prefix(dash + 1);
    }
    for (const SettingsBackupReason reason : kReasons) {
        if (rest == settingsBackupReasonName(reason)) {
            parsed.reason = reason;
            return parsed;
        }
    }
    return std::nullopt;
}

std::vector<SettingsBackupName> listSettingsBackups(const SettingsDocumentLocations& locations) {
    std::vector<SettingsBackupName> backups;
    std::error_code error;
    fs::directory_iterator entries(locations.backupsDirectory(), error);
    if (error) return backups;
    for (const fs::directory_entry& entry : entries) {
        if (!entry.is_regular_file(error) || entry.is_symlink(error)) continue;
        if (auto parsed = SettingsBackupName::parse(entry.path().filename().string())) {
            backups.push_back(std::move(*parsed));
        }
    }
    std::sort(backups.begin(), backups.end());
    return backups;
}

Result<std::optional<std::string>> takeSettingsBackup(const SettingsDocumentLocations& locations,
                                                      SettingsBackupReason reason,
                                                      const std::string& appVersion,
                                                      std::chrono::system_clock::time_point now) {
    const SettingsExportReading reading = readSettingsExport(locations, appVersion, now);
    if (reading.envelope.documentNames().empty()) return std::optional<std::string>();
    auto bytes = reading.envelope.encode();
    if (!bytes) return bytes.error();

    auto directory = platform::Directory::open(locations.backupsDirectory(),
                                               platform::Directory::Create::withIntermediates);
    if (!directory) return directory.error();
    // Ordered by moment and sequence whatever the reason: a backup of a millisecond that
    // already has one gets the next sequence number.
    const std::string stamp = SettingsBackupName::at(now, reason).stamp;
    int sequence = 1;
    for (const SettingsBackupName& existing : listSettingsBackups(locations)) {
        if (existing.stamp == stamp) sequence = std::max(sequence, existing.sequence + 1);
    }
    std::optional<std::string> written;
    for (; sequence <= kMaxSequence && !written; ++sequence) {
        const std::string name = SettingsBackupName::at(now, reason, sequence).fileName();
        Status created = directory->createExclusively(name, *bytes);
        if (created) {
            written = name;
        } else if (directory->entryKind(name) == platform::Directory::EntryKind::missing) {
            return created.error();  // not a lost race: the folder cannot take the file
        }
    }
    if (!written) return Error{"no free backup name"};

    // Keep the newest ten; only names of this scheme are ever removed.
    std::vector<SettingsBackupName> backups = listSettingsBackups(locations);
    const std::size_t excess = backups.size() > SettingsBackupLimits::kept
                                   ? backups.size() - SettingsBackupLimits::kept
                                   : 0;
    for (std::size_t i = 0; i < excess; ++i) {
        if (Status removed = directory->remove(backups[i].fileName()); !removed) {
            platform::log("Tavrel: old settings backup " + backups[i].fileName() +
                          " not removed: " + removed.error().message);
        }
    }
    return written;
}

Result<SettingsExport> readSettingsBackup(const SettingsDocumentLocations& locations,
                                          std::string_view fileName) {
    const auto backups = listSettingsBackups(locations);
    const bool listed = std::any_of(backups.begin(), backups.end(), [&](const auto& backup) {
        return backup.fileName() == fileName;
    });
    if (!listed) return Error{"there is no backup named \"" + std::string(fileName) + "\""};
    auto directory =
        platform::Directory::open(locations.backupsDirectory(), platform::Directory::Create::no);
    if (!directory) return directory.error();
    auto bytes = directory->read(fileName, SettingsTransferLimits::maxEnvelopeBytes);
    if (!bytes) return bytes.error();
    return SettingsExport::decode(*bytes);
}

SettingsTransferBackupHook::SettingsTransferBackupHook(
    std::string appVersion, std::function<std::chrono::system_clock::time_point()> now)
    : appVersion_(std::move(appVersion)), now_(std::move(now)) {}

void SettingsTransferBackupHook::backUpBeforeRewrite(SettingsBackupOccasion occasion,
                                                     const std::filesystem::path& directory) {
    const SettingsBackupReason reason = occasion == SettingsBackupOccasion::migration
                                            ? SettingsBackupReason::migration
                                            : SettingsBackupReason::unreadableDocument;
    const auto now = now_ ? now_() : std::chrono::system_clock::now();
    auto taken = takeSettingsBackup(SettingsDocumentLocations{directory}, reason, appVersion_, now);
    if (!taken) platform::log("Tavrel: settings backup not written: " + taken.error().message);
}

}  // namespace tavrel
