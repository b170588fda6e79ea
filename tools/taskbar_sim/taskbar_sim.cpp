#include "tools/taskbar_sim/taskbar_sim.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include <sys/stat.h>

#include "core/foundation/utf8.h"
#include "core/notifications/notification_json.h"
#include "core/notifications/notification_names.h"
#include "core/settings/stored_settings.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "tools/settings/settings_tool.h"

namespace tavrel {

namespace {

constexpr std::size_t kMaxDocumentBytes = SettingsDocumentLimits::maxBytes;

// The messages the settings application sends to the taskbar application.
constexpr std::array<std::string_view, 5> kObservedNames = {
    TavrelDistributedNotification::settingsChanged,
    TavrelDistributedNotification::settingsCommand,
    TavrelDistributedNotification::settingsWillClose,
    TavrelDistributedNotification::permissionQuery,
    nativeDockFoldersChangedNotification,
};

std::vector<std::string> splitWords(std::string_view line, std::size_t maxWords) {
    // The last word takes the rest of the line, so a JSON value may contain spaces.
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i == line.size()) break;
        if (words.size() + 1 == maxWords) {
            std::size_t end = line.size();
            while (end > i &&
                   (line[end - 1] == ' ' || line[end - 1] == '\t' || line[end - 1] == '\r')) {
                --end;
            }
            words.emplace_back(line.substr(i, end - i));
            break;
        }
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        words.emplace_back(line.substr(start, i - start));
    }
    return words;
}

Result<bool> parseBool(std::string_view text) {
    if (text == "true") return true;
    if (text == "false") return false;
    return Error{"expected true or false, got \"" + std::string(text) + "\""};
}

}  // namespace

TaskbarSim::TaskbarSim(platform::NotificationCenter& center, PermissionGrants grants, Output out,
                       Output diagnostics)
    : center_(center),
      grants_(grants),
      out_(std::move(out)),
      diagnostics_(std::move(diagnostics)) {}

std::filesystem::path TaskbarSim::settingsPath() {
    return platform::paths::applicationSupport() / "Tavrel" / "settings.json";
}

std::string_view TaskbarSim::commandHelp() {
    return "  reopen [PAGE]          post settingsReopen, with {\"page\": PAGE} when given\n"
           "  close                  post settingsClose\n"
           "  write-settings FILE    replace settings.json with FILE's bytes, post "
           "mainAppSettingsChanged\n"
           "  set KEY JSON           set a key as tavrel-settings set does (the same keys and\n"
           "                         checks), rewrite settings.json whole, post\n"
           "                         mainAppSettingsChanged\n"
           "  folders-changed        post com.tavrel.nativeDockFolders.changed\n"
           "  grants SCREEN ACCESS   answer later permission queries with these booleans\n";
}

void TaskbarSim::start() {
    for (std::string_view name : kObservedNames) {
        center_.observe(std::string(name), [this](const Notification& n) { received(n); });
    }
}

void TaskbarSim::received(const Notification& notification) {
    out_(notificationToJsonLine(notification));
    if (notification.name != TavrelDistributedNotification::permissionQuery) return;
    const std::string* token = userInfoString(notification.userInfo, NotificationKey::token);
    if (!token) {
        diagnostics_("permission query without a string token; not answered");
        return;
    }
    NotificationUserInfo reply{
        {std::string(NotificationKey::token), *token},
        {std::string(NotificationKey::screenRecording), grants_.screenRecording},
        {std::string(NotificationKey::accessibility), grants_.accessibility},
    };
    if (Status status = post(TavrelDistributedNotification::permissionReply, std::move(reply));
        !status) {
        diagnostics_("cannot answer permission query: " + status.error().message);
    }
}

Status TaskbarSim::post(std::string_view name, NotificationUserInfo userInfo) {
    return center_.post(Notification{std::string(name), std::nullopt, std::move(userInfo)});
}

Status TaskbarSim::writeSettings(std::string_view bytes) {
    const auto path = settingsPath();
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error)
        return Error{"cannot create " + path.parent_path().string() + ": " + error.message()};
    if (Status status = platform::writeFileAtomically(path, bytes); !status) return status;
    return post(TavrelDistributedNotification::mainAppSettingsChanged);
}

// The same checks and the same storing as `tavrel-settings set`, announced as the taskbar
// announces its own rewrites.
Status TaskbarSim::setKey(std::string_view key, std::string_view jsonValue) {
    auto edit = parseSettingsEdit(key, jsonValue);
    if (!edit) return edit.error();
    if (Status readable = checkSettingsReadable(); !readable) return readable;
    auto outcome = applySettingsEdit(*edit, SettingsEnvironment::standard());
    if (!outcome) return outcome.error();
    if (outcome->note) diagnostics_("note: " + *outcome->note);
    return post(TavrelDistributedNotification::mainAppSettingsChanged);
}

// Loading moves a document it cannot read aside and starts from the defaults; a stand-in asked
// to change one key must not do that behind the tester's back. So `set` only goes ahead when
// there is no document yet or the application would read the one there.
Status TaskbarSim::checkSettingsReadable() {
    const auto path = settingsPath();
    const auto refused = [&path](const std::string& why) {
        return Error{"settings.json left as it is: " + why + " (" +
                     replacingInvalidUtf8(path.string()) + "); use write-settings to replace it"};
    };
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return Status::success();
        return refused(std::string("cannot look at it: ") + std::strerror(errno));
    }
    auto current = platform::readFile(path, SettingsDocumentLimits::maxBytes);
    if (!current) {
        if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            static_cast<std::uintmax_t>(info.st_size) > SettingsDocumentLimits::maxBytes) {
            return refused("it is larger than " + std::to_string(SettingsDocumentLimits::maxBytes) +
                           " bytes");
        }
        return refused("it cannot be read");
    }
    if (auto decoded = StoredSettings::decode(*current); !decoded) {
        return refused("it does not decode (" + replacingInvalidUtf8(decoded.error().message) +
                       ")");
    }
    return Status::success();
}

Status TaskbarSim::execute(std::string_view line) {
    auto words = splitWords(line, 3);
    if (words.empty()) return Status::success();
    const std::string& command = words[0];
    if (command == "reopen" && words.size() <= 2) {
        NotificationUserInfo info;
        if (words.size() == 2) info.emplace(NotificationKey::page, words[1]);
        return post(TavrelDistributedNotification::settingsReopen, std::move(info));
    }
    if (command == "close" && words.size() == 1) {
        return post(TavrelDistributedNotification::settingsClose);
    }
    if (command == "folders-changed" && words.size() == 1) {
        return post(nativeDockFoldersChangedNotification);
    }
    if (command == "write-settings" && words.size() == 2) {
        auto bytes = platform::readFile(words[1], kMaxDocumentBytes);
        if (!bytes) return bytes.error();
        return writeSettings(*bytes);
    }
    if (command == "set" && words.size() == 3) return setKey(words[1], words[2]);
    if (command == "grants" && words.size() == 3) {
        auto screen = parseBool(words[1]);
        if (!screen) return screen.error();
        auto access = parseBool(words[2]);
        if (!access) return access.error();
        grants_ = PermissionGrants{*screen, *access};
        return Status::success();
    }
    return Error{"unknown command or wrong arguments: " + std::string(line)};
}

}  // namespace tavrel
