#pragma once

// Opening a permission's privacy settings. The pages name the macOS System Settings address; on
// Linux each address maps to the desktop's own settings panel where one exists:
//
//   accessibility     gnome-control-center universal-access (GNOME), else
//                     systemsettings kcm_access (KDE Plasma 6), else systemsettings5 kcm_access
//   screen recording  gnome-control-center privacy (GNOME)
//
// Where none of these programs is installed nothing is opened.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel {

struct DesktopSettingsCommand {
    std::string program;  // absolute path
    std::vector<std::string> arguments;
    friend bool operator==(const DesktopSettingsCommand&, const DesktopSettingsCommand&) = default;
};

// `findExecutable` gives the absolute path of a program name, or nothing.
std::optional<DesktopSettingsCommand> desktopSettingsCommand(
    std::string_view address,
    const std::function<std::optional<std::string>(std::string_view)>& findExecutable);

class PrivacySettingsOpener {
public:
    virtual ~PrivacySettingsOpener() = default;
    virtual void open(std::string_view address) = 0;
};

// Starts the desktop's settings program, detached; its outcome is ignored.
std::unique_ptr<PrivacySettingsOpener> makeDesktopPrivacySettingsOpener();

}  // namespace tavrel
