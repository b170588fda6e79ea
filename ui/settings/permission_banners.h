#pragma once

// The permission banners of the page shown: made hidden, shown while the taskbar application
// answers that the permission is missing, asked again whenever the application becomes active,
// and forgotten with the page they belong to. A click opens the permission's privacy settings.

#include <vector>

#include <QMetaObject>
#include <QObject>
#include <QPointer>

#include "core/settings_pages/custom_views.h"
#include "ui/settings/permission_banner_view.h"

namespace tavrel {

class SettingsWindowServices;

class PermissionBanners final : public QObject {
    Q_OBJECT
public:
    PermissionBanners(SettingsWindowServices& services, QObject* parent = nullptr);
    ~PermissionBanners() override;

    // A new banner, hidden until the answer says the permission is missing.
    ScreenRecordingPermissionBannerView* make(PermissionKind permission, const QString& message);
    // Asks again for the banners of `permission` that are still there.
    void refresh(PermissionKind permission);
    std::vector<ScreenRecordingPermissionBannerView*> banners(PermissionKind permission) const;
    // Forgets the banners (their page is replaced); later answers touch only their own.
    void clear();
    // Stops asking on activation (the window closes).
    void stopObserving();

private:
    std::vector<QPointer<ScreenRecordingPermissionBannerView>>& list(PermissionKind permission);
    void observe(PermissionKind permission);

    SettingsWindowServices& services_;
    std::vector<QPointer<ScreenRecordingPermissionBannerView>> screenRecording_;
    std::vector<QPointer<ScreenRecordingPermissionBannerView>> accessibility_;
    QMetaObject::Connection screenRecordingObserver_;
    QMetaObject::Connection accessibilityObserver_;
};

}  // namespace tavrel
