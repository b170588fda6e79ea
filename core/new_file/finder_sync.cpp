#include "core/new_file/finder_sync.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <system_error>
#include <utility>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/plain_file_name.h"
#include "core/notifications/notification_names.h"
#include "platform/directory.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/uuid.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

constexpr char kDiagnosticsVariable[] = "TAVREL_SOURCE_DIAGNOSTICS";
constexpr char kDiagnosticsLogName[] = "TavrelNewFileFinderSync.log";
constexpr char kMenuTitle[] = "新建文件";
constexpr char kMenuSymbol[] = "doc.badge.plus";
constexpr char kSystemLogPrefix[] = "Tavrel FinderSync: ";
// A folder holding this many copies of one name is not worth another try.
constexpr int kMaxNameAttempts = 100000;

std::string shown(const fs::path& path) {
    return printableForLog(path.string());
}

// "2024-05-01 08:30:00 +0000", the default description of a date.
std::string describeDate(std::chrono::system_clock::time_point now) {
    using namespace std::chrono;
    const auto day = floor<days>(now);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(now - day)};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02lld:%02lld:%02lld +0000",
                  static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                  static_cast<unsigned>(date.day()), static_cast<long long>(time.hours().count()),
                  static_cast<long long>(time.minutes().count()),
                  static_cast<long long>(time.seconds().count()));
    return text;
}

std::string describePoint(ScreenPoint point) {
    char text[96];
    std::snprintf(text, sizeof text, "{%g, %g}", point.x, point.y);
    return text;
}

std::string quotedList(const std::vector<fs::path>& paths) {
    std::string text = "[";
    for (std::size_t index = 0; index < paths.size(); ++index) {
        if (index > 0) text += ", ";
        text += "\"" + shown(paths[index]) + "\"";
    }
    return text + "]";
}

bool isDirectory(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

}  // namespace

FinderSync::FinderSync(FinderSyncHost& host, platform::NotificationCenter* notificationCenter,
                       std::optional<fs::path> resourcesDirectory,
                       std::shared_ptr<platform::Clock> clock, platform::MainQueue* mainQueue)
    : host_(host),
      notificationCenter_(notificationCenter),
      resourcesDirectory_(std::move(resourcesDirectory)),
      clock_(clock ? std::move(clock) : platform::systemClock()),
      mainQueue_(mainQueue) {}

FinderSync::~FinderSync() {
    if (settingsSyncObserver_ && notificationCenter_) {
        notificationCenter_->removeObserver(*settingsSyncObserver_);
    }
    if (pendingSyncTask_) mainQueue_->cancel(*pendingSyncTask_);
}

bool FinderSync::diagnosticsEnabled() {
    const char* value = std::getenv(kDiagnosticsVariable);
    return value && std::string_view(value) == "1";
}

fs::path FinderSync::diagnosticsLogURL() {
    return NewFileSettings::mainSettingsDirectory() / kDiagnosticsLogName;
}

std::vector<fs::path> FinderSync::watchedDirectories() const {
    std::set<fs::path> directories{fs::path("/"), platform::paths::home()};
    if (auto desktop = host_.desktopDirectory()) directories.insert(*desktop);
    return {directories.begin(), directories.end()};
}

void FinderSync::start() {
    if (notificationCenter_ && !settingsSyncObserver_) {
        settingsSyncObserver_ = notificationCenter_->observe(
            std::string(NewFileNotification::settingsSync), [this](const Notification& received) {
                const NotificationBytes* payload =
                    userInfoBytes(received.userInfo, NotificationKey::payload);
                if (!payload) return;
                receiveSettingsSync(std::string_view(reinterpret_cast<const char*>(payload->data()),
                                                     payload->size()));
            });
        Notification request;
        request.name = std::string(NewFileNotification::settingsSyncRequest);
        (void)notificationCenter_->post(request);
    }
    if (diagnosticsEnabled()) {
        platform::log(std::string(kSystemLogPrefix) +
                      "initialized directories=" + quotedList(watchedDirectories()));
    }
}

// Any process may post payloads, as fast as it likes, and only the latest one matters: it is
// kept (one payload's worth of memory, at most the size a payload may have) and applied once
// the queue turns, so a burst costs one copy per payload and a single write.
void FinderSync::receiveSettingsSync(std::string_view bytes) {
    if (!mainQueue_) {
        const Status applied = NewFileSettings::applySettingsSyncPayload(bytes);
        if (onSettingsSyncApplied) onSettingsSyncApplied(applied);
        return;
    }
    if (bytes.size() > NewFileLimits::maxPayloadBytes) {
        // The latest payload is refused as it stands; the one it replaces goes with it.
        pendingSync_.reset();
        const Status refused = NewFileSettings::applySettingsSyncPayload(bytes);
        if (onSettingsSyncApplied) onSettingsSyncApplied(refused);
        return;
    }
    pendingSync_ = std::string(bytes);
    if (!pendingSyncTask_) {
        pendingSyncTask_ = mainQueue_->async([this] {
            pendingSyncTask_.reset();
            writePendingSync();
        });
    }
}

void FinderSync::writePendingSync() {
    if (!pendingSync_) return;
    const std::string payload = std::move(*pendingSync_);
    pendingSync_.reset();
    const Status applied = NewFileSettings::applySettingsSyncPayload(payload);
    if (onSettingsSyncApplied) onSettingsSyncApplied(applied);
}

std::optional<FinderSyncMenu> FinderSync::menu(FinderSyncMenuKind kind) {
    if (diagnosticsEnabled()) {
        platform::log(std::string(kSystemLogPrefix) +
                      "menu requested kind=" + std::to_string(static_cast<int>(kind)));
    }
    if (kind != FinderSyncMenuKind::contextualMenuForItems &&
        kind != FinderSyncMenuKind::contextualMenuForContainer) {
        return std::nullopt;
    }
    const NewFileSettings settings = NewFileSettings::load();
    const std::vector<NewFileTemplate> enabled = settings.enabledTemplates();
    if (diagnosticsEnabled()) {
        std::string ids;
        for (const NewFileTemplate& candidate : enabled) {
            if (!ids.empty()) ids += ",";
            ids += candidate.id;
        }
        log(std::string("menu settings enabled=") + (settings.isEnabled ? "true" : "false") +
            " templates=" + printableForLog(ids));
    }
    lastContextMenuScreenPoint_ = host_.mouseLocation();

    if (enabled.empty()) return std::nullopt;
    FinderSyncMenu menu{kMenuTitle, kMenuSymbol, {}};
    for (const NewFileTemplate& candidate : enabled) {
        menu.items.push_back(FinderSyncMenuItem{candidate.displayName, candidate.id});
    }
    return menu;
}

std::optional<fs::path> FinderSync::targetDirectoryURL(const FinderSyncTarget& target) {
    if (target.targetedURL && !target.targetedURL->empty() && isDirectory(*target.targetedURL)) {
        return target.targetedURL;
    }
    if (!target.selectedItemURLs.empty() && !target.selectedItemURLs.front().empty()) {
        const fs::path& first = target.selectedItemURLs.front();
        if (isDirectory(first)) return first;
        const fs::path parent = first.lexically_normal().parent_path();
        if (!parent.empty()) return parent;
    }
    if (auto desktop = host_.desktopDirectory(); desktop && !desktop->empty()) return desktop;
    return std::nullopt;
}

std::optional<NewFileTemplate> FinderSync::resolveTemplate(
    const FinderSyncMenuItemReference& item) const {
    std::optional<std::string> id = item.representedObject;
    if (!id && !item.identifier.empty()) id = item.identifier;
    const std::vector<NewFileTemplate> candidates = NewFileSettings::load().enabledTemplates();
    if (id) {
        for (const NewFileTemplate& candidate : candidates) {
            if (candidate.id == *id) return candidate;
        }
    }
    for (const NewFileTemplate& candidate : candidates) {
        if (candidate.displayName == item.title || candidate.titleWithExtension() == item.title) {
            return candidate;
        }
    }
    return std::nullopt;
}

Result<std::string> FinderSync::templateSourceData(const NewFileTemplate& newFileTemplate) const {
    const std::string name = newFileTemplate.sourceFileName();
    if (!isPlainFileName(name)) {
        return Error{"template file \"" + printableForLog(name) + "\" is not a plain file name"};
    }
    if (newFileTemplate.isBuiltIn) {
        if (!resourcesDirectory_) return Error{"no such file: " + name};
        return platform::readFile(*resourcesDirectory_ / name, NewFileLimits::maxTemplateFileBytes);
    }
    return NewFileSettings::readTemplateFile(name);
}

Result<fs::path> FinderSync::createFile(const FinderSyncMenuItemReference& item,
                                        const FinderSyncTarget& target) {
    const std::optional<fs::path> folder = targetDirectoryURL(target);
    if (!folder) {
        log("no target directory");
        return Error{"no target directory"};
    }
    const std::optional<NewFileTemplate> chosen = resolveTemplate(item);
    if (!chosen) {
        const std::string id = item.representedObject    ? *item.representedObject
                               : item.identifier.empty() ? std::string("nil")
                                                         : item.identifier;
        log("no enabled template for id=" + printableForLog(id) +
            " title=" + printableForLog(item.title) + " represented=" +
            (item.representedObject ? printableForLog(*item.representedObject) : "nil"));
        return Error{"no enabled template for this item"};
    }

    const auto fail = [this](const fs::path& destination, const Error& error) -> Error {
        platform::log(std::string(kSystemLogPrefix) + "failed to create file at " +
                      shown(destination) + ": " + error.message);
        log("failed " + shown(destination) + ": " + error.message);
        return error;
    };

    // The names come from a document any process may have sent: only a plain file name may
    // become a path, so a base name like "../x" never lands outside the folder.
    const std::string extension = "." + chosen->fileExtension;
    const std::string firstName = chosen->defaultBaseName + extension;
    fs::path destination = *folder / firstName;
    if (!isPlainFileName(firstName)) {
        return fail(destination,
                    Error{"\"" + printableForLog(firstName) + "\" is not a plain file name"});
    }
    auto directory = platform::Directory::open(*folder, platform::Directory::Create::no,
                                               platform::Directory::LastLink::follow);
    if (!directory) return fail(destination, directory.error());

    std::string name = firstName;
    for (int number = 2; directory->entryKind(name) != platform::Directory::EntryKind::missing;
         ++number) {
        name = chosen->defaultBaseName + " " + std::to_string(number) + extension;
        destination = *folder / name;
        if (number > kMaxNameAttempts || !isPlainFileName(name)) {
            return fail(destination, Error{"no free file name"});
        }
    }

    auto source = templateSourceData(*chosen);
    if (!source) return fail(destination, source.error());
    // Exclusive: a file someone else created meanwhile is never overwritten.
    if (Status created = directory->createExclusively(name, *source); !created) {
        return fail(destination, created.error());
    }

    positionDesktopIconIfNeeded(destination);
    if (diagnosticsEnabled()) {
        platform::log(std::string(kSystemLogPrefix) + "created file at " + shown(destination));
    }
    log("created " + shown(destination));
    return destination;
}

void FinderSync::positionDesktopIconIfNeeded(const fs::path& file) {
    if (!isDesktopDirectory(file.parent_path(), host_.desktopDirectory())) {
        log("skip desktop icon position for non-desktop file " + shown(file));
        return;
    }
    const std::optional<ScreenPoint> click =
        lastContextMenuScreenPoint_ ? lastContextMenuScreenPoint_ : host_.mouseLocation();
    const std::optional<DesktopIconPosition> position =
        click ? desktopIconPosition(*click, host_.screens()) : std::nullopt;
    if (!position) {
        log("skip desktop icon position because screen point is unusable file=" + shown(file) +
            " screen=" + (click ? describePoint(*click) : std::string("nil")));
        return;
    }
    setFinderDesktopIconPosition(file, *position);
}

void FinderSync::setFinderDesktopIconPosition(const fs::path& file, DesktopIconPosition position) {
    DesktopIconPositionRequest request;
    request.requestID = platform::Uuid::random().string();
    request.filePath = file.string();
    request.fileName = file.filename().string();
    request.x = position.x;
    request.y = position.y;
    request.screenX = lastContextMenuScreenPoint_ ? lastContextMenuScreenPoint_->x
                                                  : static_cast<double>(position.x);
    request.screenY = lastContextMenuScreenPoint_ ? lastContextMenuScreenPoint_->y
                                                  : static_cast<double>(position.y);
    request.createdAt = std::chrono::duration<double>(clock_->now().time_since_epoch()).count();

    const auto failed = [&](const std::string& message) {
        log("failed to queue desktop icon position request " + shown(file) + ": " + message);
    };
    auto bytes = request.encode();
    if (!bytes) return failed(bytes.error().message);
    const fs::path requestURL = NewFileSettings::extensionDesktopPositionRequestURL();
    auto directory = platform::Directory::open(requestURL.parent_path(),
                                               platform::Directory::Create::withIntermediates);
    if (!directory) return failed(directory.error().message);
    if (Status written = directory->writeAtomically(requestURL.filename().string(), *bytes);
        !written) {
        return failed(written.error().message);
    }

    if (notificationCenter_) {
        Notification notification;
        notification.name = std::string(NewFileNotification::desktopIconPositionRequest);
        notification.object = base64::encode(*bytes);
        if (Status posted = notificationCenter_->post(notification); !posted) {
            return failed(posted.error().message);
        }
    }
    log("queued desktop icon position request " + printableForLog(request.fileName) + " at " +
        std::to_string(request.x) + "," + std::to_string(request.y) +
        " screen=" + std::to_string(static_cast<std::int64_t>(request.screenX)) + "," +
        std::to_string(static_cast<std::int64_t>(request.screenY)));
}

void FinderSync::log(std::string_view message) {
    if (!diagnosticsEnabled()) return;
    const std::string line = describeDate(clock_->now()) +
                             " pid=" + std::to_string(host_.processIdentifier()) + " " +
                             std::string(message) + "\n";
    const fs::path url = diagnosticsLogURL();
    auto directory = platform::Directory::open(url.parent_path(),
                                               platform::Directory::Create::withIntermediates);
    if (!directory) return;
    const std::string name = url.filename().string();
    if (directory->entryKind(name) == platform::Directory::EntryKind::file &&
        directory->append(name, line)) {
        return;
    }
    (void)directory->writeAtomically(name, line);
}

}  // namespace tavrel
