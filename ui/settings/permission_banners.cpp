#include "ui/settings/permission_banners.h"

#include <algorithm>

#include <QGuiApplication>

#include "ui/settings/settings_window_services.h"

namespace tavrel {

PermissionBanners::PermissionBanners(SettingsWindowServices& services, QObject* parent)
    : QObject(parent), services_(services) {}

PermissionBanners::~PermissionBanners() {
    stopObserving();
}

std::vector<QPointer<ScreenRecordingPermissionBannerView>>& PermissionBanners::list(
    PermissionKind permission) {
    return permission == PermissionKind::screenRecording ? screenRecording_ : accessibility_;
}

ScreenRecordingPermissionBannerView* PermissionBanners::make(PermissionKind permission,
                                                             const QString& message) {
    auto* banner = new ScreenRecordingPermissionBannerView(message);
    // Shown only once the taskbar application answers that the permission is missing.
    banner->setVisible(false);
    SettingsWindowServices& services = services_;
    banner->onClick = [&services, permission] {
        services.privacySettings().open(permission == PermissionKind::screenRecording
                                            ? PrivacyPaneAddress::screenRecording
                                            : PrivacyPaneAddress::accessibility);
    };
    list(permission).emplace_back(banner);
    observe(permission);
    refresh(permission);
    return banner;
}

void PermissionBanners::observe(PermissionKind permission) {
    QMetaObject::Connection& observer = permission == PermissionKind::screenRecording
                                            ? screenRecordingObserver_
                                            : accessibilityObserver_;
    if (observer) return;
    observer = connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
                       [this, permission](Qt::ApplicationState state) {
                           if (state == Qt::ApplicationActive) refresh(permission);
                       });
}

void PermissionBanners::refresh(PermissionKind permission) {
    auto& banners = list(permission);
    std::erase_if(banners, [](const auto& banner) { return banner.isNull(); });
    if (banners.empty()) return;
    // The answer touches only the banners of this query; a rebuild meanwhile makes new ones.
    services_.permissionProbe(permission).query([snapshot = banners](bool granted) {
        for (const auto& banner : snapshot) {
            if (banner) banner->setVisible(!granted);
        }
    });
}

std::vector<ScreenRecordingPermissionBannerView*> PermissionBanners::banners(
    PermissionKind permission) const {
    const auto& all =
        permission == PermissionKind::screenRecording ? screenRecording_ : accessibility_;
    std::vector<ScreenRecordingPermissionBannerView*> shown;
    for (const auto& banner : all) {
        if (banner) shown.push_back(banner);
    }
    return shown;
}

void PermissionBanners::clear() {
    screenRecording_.clear();
    accessibility_.clear();
}

void PermissionBanners::stopObserving() {
    disconnect(screenRecordingObserver_);
    disconnect(accessibilityObserver_);
}

}  // namespace tavrel
