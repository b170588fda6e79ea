#include "ui/settings/custom_view_registry.h"

#include <QPointer>

#include "core/settings_pages/close_protection_list.h"
#include "core/settings_pages/custom_views.h"
#include "ui/settings/close_protection_list_view.h"
#include "ui/settings/feature_header_card.h"
#include "ui/settings/screen_corners_preview_view.h"
#include "ui/settings/settings_panel_controller.h"
#include "ui/settings/taskbar_selector_block.h"

namespace tavrel {

namespace {

// A screen-corner preview that shows the panel copy now and after every change.
ScreenCornersPreviewView* makeScreenCornersPreview(bool compact, SettingsPanelController& window,
                                                   QWidget* parent) {
    auto* preview = new ScreenCornersPreviewView(compact, parent);
    preview->setObjectName(compact ? QStringLiteral("screenCornersMiniPreview")
                                   : QStringLiteral("screenCornersDetailPreview"));
    preview->showSettings(window.settings());
    QPointer<ScreenCornersPreviewView> shown(preview);
    window.addRefreshingView(preview, [shown](const TaskbarSettings& settings) {
        if (shown) shown->showSettings(settings);
    });
    return preview;
}

}  // namespace

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
        [](const FeatureHeaderCardSpec& spec, SettingsPanelController& window, QWidget* parent) {
            QWidget* preview = nullptr;
            if (featurePageEntry(spec.page).preview == HeaderPreview::screenCorners) {
                preview = makeScreenCornersPreview(/*compact=*/true, window, nullptr);
            }
            return makeFeatureHeaderCard(spec.page, parent, preview,
                                         [&window] { window.resetShownPageToDefaults(); });
        });
    registry.add<ScreenCornersPreviewSpec>([](const ScreenCornersPreviewSpec& spec,
                                              SettingsPanelController& window,
                                              QWidget* parent) -> QWidget* {
        return makeScreenCornersPreview(spec.compact, window, parent);
    });
    registry.add<CloseProtectionListSpec>([](const CloseProtectionListSpec& spec,
                                             SettingsPanelController& window,
                                             QWidget* parent) -> QWidget* {
        return new CloseProtectionListView(spec, window.services().workspace(), parent);
    });
    registry.add<TaskbarSelectorBlockSpec>(
        [](const TaskbarSelectorBlockSpec& spec, SettingsPanelController& window, QWidget* parent) {
            return makeTaskbarSelectorBlock(spec, window.windowServices().images(), parent,
                                            [&window] { window.resetShownPageToDefaults(); });
        });
}

}  // namespace tavrel
