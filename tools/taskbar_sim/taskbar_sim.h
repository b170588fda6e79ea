#pragma once

// The stand-in for the taskbar application: answers permission queries, rewrites settings.json
// and announces it, asks the settings window to reopen or close, and prints every settings
// message it receives.

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

#include "core/foundation/result.h"
#include "platform/notifications.h"

namespace tavrel {

struct PermissionGrants {
    bool screenRecording = true;
    bool accessibility = true;
};

class TaskbarSim {
public:
    using Output = std::function<void(std::string_view line)>;

    // `out` receives one JSON line per received message; `diagnostics` the human-readable notes.
    TaskbarSim(platform::NotificationCenter& center, PermissionGrants grants, Output out,
               Output diagnostics);

    // Starts observing the messages the settings application sends.
    void start();

    // One command line (see usage()). Fails with a readable message for bad commands.
    Status execute(std::string_view line);

    // The commands, as the help texts list them.
    static std::string_view commandHelp();

    static std::filesystem::path settingsPath();

private:
    void received(const Notification& notification);
    Status writeSettings(std::string_view bytes);
    Status setKey(std::string_view key, std::string_view jsonValue);
    Status checkSettingsReadable();
    Status post(std::string_view name, NotificationUserInfo userInfo = {});

    platform::NotificationCenter& center_;
    PermissionGrants grants_;
    Output out_;
    Output diagnostics_;
};

}  // namespace tavrel
