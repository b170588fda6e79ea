#include "core/settings_pages/page_builders.h"

#include <string>

#include "core/settings_pages/custom_views.h"
#include "core/settings_pages/feature_switches.h"
#include "core/settings_pages/native_dock_pages.h"
#include "core/settings_pages/taskbar_page.h"

namespace tavrel {

namespace {

std::shared_ptr<FormContent> emptyForm() {
    return std::make_shared<FormContent>();
}

}  // namespace

std::shared_ptr<FormContent> makeIconSettingsView(SettingsPageHost&) {
    return emptyForm();
}
std::shared_ptr<FormContent> makeIndicatorSettingsView(SettingsPageHost&) {
    return emptyForm();
}
std::shared_ptr<FormContent> makePreviewSettingsView(SettingsPageHost&) {
    return emptyForm();
}
std::shared_ptr<FormContent> makeTaskbarWidgetsSettingsView(SettingsPageHost&) {
    return emptyForm();
}

std::shared_ptr<FormContent> makeFeaturePageForm(FeaturePage page, SettingsPageHost& host) {
    switch (page) {
        case FeaturePage::taskbar:
            return makeTaskbarCompositeSettingsView(host);
        case FeaturePage::hideNativeDock:
            return makeNativeDockVisibilitySettingsView(host);
        case FeaturePage::nativeDock:
            return makeNativeDockSettingsView(host);
        case FeaturePage::taskbarIcons:
            return makeIconSettingsView(host);
        case FeaturePage::taskbarIndicators:
            return makeIndicatorSettingsView(host);
        case FeaturePage::taskbarPreview:
            return makePreviewSettingsView(host);
        case FeaturePage::taskbarWidgets:
            return makeTaskbarWidgetsSettingsView(host);
        case FeaturePage::newFile:
            if (NewFileFeatureSwitch* newFile = host.newFileFeature()) {
                if (auto form = newFile->makeSettingsView(host)) return form;
            }
            return emptyForm();
        default:
            return emptyForm();
    }
}

std::shared_ptr<FormContent> makeTopForm(SettingsPageHost& host) {
    auto form = std::make_shared<FormContent>();
    form->addCustomView(
        CustomViewSpec{std::string(PermissionBannerSpec::kind),
                       PermissionBannerSpec{PermissionKind::accessibility,
                                            std::string(PermissionBannerText::accessibility)}});
    const FeaturePage page = host.selectedFeaturePage();
    if (page != FeaturePage::taskbar) {
        form->addCustomView(
            CustomViewSpec{std::string(FeatureHeaderCardSpec::kind), FeatureHeaderCardSpec{page}});
    }
    form->addForm(makeFeaturePageForm(page, host));
    return form;
}

}  // namespace tavrel
