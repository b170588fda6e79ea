#pragma once

// What the settings window needs from the application: everything its pages need, and what
// only the window itself uses — the permission probes behind its banners, the privacy settings,
// the pictures and the appearance rule.

#include "core/settings/settings_enumerations.h"
#include "core/settings_pages/page_services.h"
#include "core/settings_pages/permission_probe.h"
#include "ui/settings/privacy_settings_opener.h"
#include "ui/settings/settings_images.h"

namespace tavrel {

class SettingsWindowServices : public PageServices {
public:
    virtual PermissionProbe& permissionProbe(PermissionKind permission) = 0;
    virtual PrivacySettingsOpener& privacySettings() = 0;
    virtual const SettingsImageLookup& images() = 0;
    // The application's appearance by the appearance rule.
    virtual void applyAppearance(TavrelAppearanceMode mode) = 0;
};

}  // namespace tavrel
