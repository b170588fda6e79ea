#include "ui/settings/custom_view_registry.h"

#include "core/settings_pages/custom_views.h"
#include "ui/settings/feature_header_card.h"
#include "ui/settings/settings_panel_controller.h"
#include "ui/settings/taskbar_selector_block.h"

namespace tavrel {

QWidget* CustomViewRegistry::make(const CustomViewSpec& view, SettingsPanelController& window,
                                  QWidget* parent) const {
    const auto found = makers_.find(view.kind);
    if (found == makers_.end()) return nullptr;
    QWidget* widget = found->second(view.data, window, parent);
    if (widget && parent) widget->setParent(parent);
    return widget;
}

void addStandardSettingsViews(CustomViewRegistry& registry) {
    registry.add<PermissionBannerSpec>(
        [](const PermissionBannerSpec& spec, SettingsPanelController& window, QWidget*) {
            return window.permissionBanners().make(spec.permission,
                                                   QString::fromStdString(spec.message));
        });
    registry.add<FeatureHeaderCardSpec>(
        [](const FeatureHeaderCardSpec& spec, SettingsPanelController&, QWidget* parent) {
            return makeFeatureHeaderCard(spec.page, parent);
        });
    registry.add<TaskbarSelectorBlockSpec>(
        [](const TaskbarSelectorBlockSpec& spec, SettingsPanelController& window, QWidget* parent) {
            return makeTaskbarSelectorBlock(spec, window.windowServices().images(), parent);
        });
}

}  // namespace tavrel
