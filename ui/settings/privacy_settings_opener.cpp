#include "ui/settings/privacy_settings_opener.h"

#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include "core/settings_pages/custom_views.h"

namespace tavrel {

namespace {

struct Candidate {
    std::string_view program;
    std::vector<std::string> arguments;
};

std::vector<Candidate> candidatesFor(std::string_view address) {
    if (address == PrivacyPaneAddress::accessibility) {
        return {{"gnome-control-center", {"universal-access"}},
                {"systemsettings", {"kcm_access"}},
                {"systemsettings5", {"kcm_access"}}};
    }
    if (address == PrivacyPaneAddress::screenRecording) {
        return {{"gnome-control-center", {"privacy"}}};
    }
    return {};
}

class DesktopPrivacySettingsOpener final : public PrivacySettingsOpener {
public:
    void open(std::string_view address) override {
        const auto command = desktopSettingsCommand(address, [](std::string_view name) {
            const QString path = QStandardPaths::findExecutable(
                QString::fromUtf8(name.data(), static_cast<int>(name.size())));
            return path.isEmpty() ? std::nullopt : std::optional<std::string>(path.toStdString());
        });
        if (!command) return;
        QStringList arguments;
        for (const std::string& argument : command->arguments) {
            arguments << QString::fromStdString(argument);
        }
        QProcess::startDetached(QString::fromStdString(command->program), arguments);
    }
};

}  // namespace

std::optional<DesktopSettingsCommand> desktopSettingsCommand(
    std::string_view address,
    const std::function<std::optional<std::string>(std::string_view)>& findExecutable) {
    for (const Candidate& candidate : candidatesFor(address)) {
        if (auto path = findExecutable(candidate.program)) {
            if (path->empty() || path->front() != '/') continue;
            return DesktopSettingsCommand{*path, candidate.arguments};
        }
    }
    return std::nullopt;
}

std::unique_ptr<PrivacySettingsOpener> makeDesktopPrivacySettingsOpener() {
    return std::make_unique<DesktopPrivacySettingsOpener>();
}

}  // namespace tavrel
