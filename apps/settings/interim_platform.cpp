// Interim: replaced by the desktop workspace and the Qt screens of the platform layer.

#include "apps/settings/interim_platform.h"

#include <map>

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

namespace tavrel {

namespace {

class InterimWorkspace final : public platform::Workspace {
public:
    std::optional<platform::ApplicationInfo> applicationForBundleIdentifier(
        std::string_view) const override {
        return std::nullopt;
    }
    std::optional<platform::ApplicationInfo> applicationAtPath(
        const std::filesystem::path&) const override {
        return std::nullopt;
    }
    std::vector<platform::ApplicationInfo> installedApplications() const override { return {}; }
    platform::IconReference iconForFile(const std::filesystem::path&) const override { return {}; }
    bool openURL(std::string_view url) override {
        return QDesktopServices::openUrl(
            QUrl(QString::fromUtf8(url.data(), static_cast<int>(url.size()))));
    }
};

class InterimScreens final : public platform::Screens {
public:
    std::vector<platform::ScreenInfo> onlineScreens() const override {
        std::vector<platform::ScreenInfo> list;
        for (QScreen* screen : QGuiApplication::screens()) {
            list.push_back({screen->name().toStdString(), screen->name().toStdString(),
                            screen == QGuiApplication::primaryScreen()});
        }
        return list;
    }
    ObserverId observe(std::function<void()> changed) override {
        const ObserverId id = ++next_;
        auto* app = qGuiApp;
        connections_[id] = {
            QObject::connect(app, &QGuiApplication::screenAdded, app, [changed] { changed(); }),
            QObject::connect(app, &QGuiApplication::screenRemoved, app, [changed] { changed(); })};
        return id;
    }
    void removeObserver(ObserverId id) override {
        const auto found = connections_.find(id);
        if (found == connections_.end()) return;
        QObject::disconnect(found->second.first);
        QObject::disconnect(found->second.second);
        connections_.erase(found);
    }

private:
    ObserverId next_ = 0;
    std::map<ObserverId, std::pair<QMetaObject::Connection, QMetaObject::Connection>> connections_;
};

}  // namespace

std::unique_ptr<platform::Workspace> makeSettingsWorkspace() {
    return std::make_unique<InterimWorkspace>();
}

std::unique_ptr<platform::Screens> makeSettingsScreens() {
    return std::make_unique<InterimScreens>();
}

}  // namespace tavrel
