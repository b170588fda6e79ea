#pragma once

// Every global key of settings.json, declared once (the per-theme keys are in
// taskbar_theme_configuration_keys.h). Each row:
//
//   KEY(type, name, default, read rule)         the object keeps the value as `name`
//   VALUE_KEY(type, name, default, rule)        the object keeps it as `nameValue` behind a
//                                               clamping accessor; the rule also applies when
//                                               copying (apply(from:)) and writing
//
// The type is the settings object's type; enumerations are stored as their integer codes and
// read through their own rule (settings_enumerations.h). The default applies when the key is
// absent, null or unreadable; it may use the loading context `d` (SettingsDefaultsContext):
//   d.active               the current theme's record as loaded
//   d.liquidGlass          the liquid-glass record as loaded
//   d.liquidGlassDefaults  the liquid-glass theme defaults
//   d.screenCornersEnabled the legacy "screenCornersEnabled", else true
//   d.storageBoxVisible    the legacy "applicationStorageBoxEnabled", else true
// A new settings object uses the same defaults with both records at their theme defaults and the
// liquid-glass theme current.
//
// Keys with rules of their own ("theme", "themeIsolationVersion", the two theme records,
// "applicationStorageBoxEnabled" and the read-only legacy keys) are handled by StoredSettings
// and TaskbarSettings directly.

// clang-format off
#define TAVREL_GLOBAL_SETTINGS_KEYS(KEY, VALUE_KEY) \
    KEY(bool, taskbarEnabled, true, keep) \
    KEY(bool, launchAtLogin, true, keep) \
    KEY(bool, showMenuBarIcon, true, keep) \
    KEY(TavrelAppearanceMode, appearanceMode, TavrelAppearanceMode::automatic, keep) \
    KEY(TaskbarShelfMaterial, taskbarShelfMaterial, TaskbarShelfMaterial::metal, keep) \
    KEY(TaskbarBackgroundStyle, liquidGlassBackgroundStyle, TaskbarBackgroundStyle::flat, keep) \
    KEY(TaskbarLiquidGlassBackgroundMaterial, liquidGlassBackgroundMaterial, TaskbarLiquidGlassBackgroundMaterial::frosted, keep) \
    KEY(double, frostedLiquidGlassOpacity, d.liquidGlass.opacity, keep) \
    KEY(double, clearLiquidGlassOpacity, d.liquidGlass.opacity, keep) \
    KEY(OptionalIdentifier, taskbarDisplayIdentifier, OptionalIdentifier{}, keep) \
    KEY(OptionalIdentifiers, taskbarDisplayIdentifiers, OptionalIdentifiers{}, keep) \
    KEY(OptionalIdentifiers, taskbarExcludedDisplayIdentifiers, OptionalIdentifiers{}, keep) \
    KEY(ExcludedApplications, taskbarExcludedApplications, ExcludedApplications{}, keep) \
    KEY(bool, windowOpeningFollowsOperationScreen, true, keep) \
    KEY(bool, hideNativeDock, false, keep) \
    KEY(bool, nativeDockWallpaperMaskEnabled, true, keep) \
    KEY(bool, nativeDockEnhancementsEnabled, false, keep) \
    KEY(bool, nativeDockMinimizeOnClickEnabled, true, keep) \
    KEY(bool, nativeDockFolderDropShelfEnabled, true, keep) \
    KEY(bool, nativeDockTimeWidgetEnabled, false, keep) \
    KEY(bool, nativeDockMemoryWidgetEnabled, false, keep) \
    KEY(bool, taskbarFolderRunningApplicationsOnlyInFolder, false, keep) \
    KEY(bool, enableDesktopIconDoubleClickToggle, true, keep) \
    KEY(bool, alwaysHideDesktopFiles, false, keep) \
    KEY(bool, screenTopCornersEnabled, d.screenCornersEnabled, keep) \
    KEY(bool, screenBottomCornersEnabled, d.screenCornersEnabled, keep) \
    KEY(bool, hideMenuBarNotch, false, keep) \
    KEY(double, hideNotchCornerRadius, 19, keep) \
    KEY(bool, musicWidgetEnabled, true, keep) \
    KEY(MusicWidgetPlacement, musicWidgetPlacement, MusicWidgetPlacement::taskbarRight, keep) \
    KEY(bool, taskbarRunningIndicatorEnabled, true, keep) \
    KEY(bool, taskbarActiveIndicatorEnabled, true, keep) \
    KEY(bool, taskbarCircularIcons, false, keep) \
    KEY(bool, enableTaskbarWindowPreview, true, keep) \
    KEY(bool, taskbarPreviewOnlyForMultiWindowApps, false, keep) \
    KEY(WindowPreviewStyle, taskbarPreviewStyle, WindowPreviewStyle::standard, keep) \
    KEY(bool, enablePreviewHoverWindowReveal, true, keep) \
    KEY(double, taskbarPreviewHoverDelayMilliseconds, 60, keep) \
    KEY(bool, enableNativeDockWindowPreview, true, keep) \
    KEY(bool, nativeDockPreviewOnlyForMultiWindowApps, false, keep) \
    KEY(WindowPreviewStyle, nativeDockPreviewStyle, WindowPreviewStyle::standard, keep) \
    KEY(double, nativeDockPreviewHoverDelayMilliseconds, 60, keep) \
    KEY(double, nativeDockPreviewGap, 0, keep) \
    KEY(double, nativeDockPreviewGlassTransparency, d.liquidGlassDefaults.previewGlassTransparency, keep) \
    KEY(double, nativeDockPreviewBorderWidth, d.liquidGlassDefaults.previewBorderWidth, keep) \
    KEY(CodableColor, nativeDockPreviewBorderColor, d.liquidGlassDefaults.previewBorderColor, keep) \
    KEY(double, nativeDockPreviewHoverBorderWidth, d.liquidGlassDefaults.previewHoverBorderWidth, keep) \
    KEY(CodableColor, nativeDockPreviewHoverBorderColor, d.liquidGlassDefaults.previewHoverBorderColor, keep) \
    KEY(double, nativeDockPreviewActiveBorderWidth, d.liquidGlassDefaults.previewActiveBorderWidth, keep) \
    KEY(CodableColor, nativeDockPreviewActiveBorderColor, d.liquidGlassDefaults.previewActiveBorderColor, keep) \
    KEY(double, nativeDockPreviewShadowStrength, d.liquidGlassDefaults.previewShadowStrength, keep) \
    VALUE_KEY(double, nativeDockPreviewCornerRadius, d.liquidGlassDefaults.previewCornerRadius, nativeDockPreviewCornerRadius) \
    VALUE_KEY(double, nativeDockPreviewThumbnailCornerRadius, d.liquidGlassDefaults.previewThumbnailCornerRadius, nativeDockPreviewCornerRadius) \
    VALUE_KEY(double, nativeDockPreviewScale, 0.9, nativeDockPreviewScale) \
    KEY(bool, nativeDockHoverIndicatorEnabled, true, keep) \
    KEY(double, nativeDockHoverIndicatorGap, 12, keep) \
    KEY(double, nativeDockHoverIndicatorHeight, 4, keep) \
    KEY(double, nativeDockHoverIndicatorWidth, 28, keep) \
    KEY(CodableColor, nativeDockHoverIndicatorColor, NamedColor::white, keep) \
    KEY(bool, nativeDockActiveIndicatorEnabled, true, keep) \
    KEY(double, nativeDockActiveIndicatorBottomGap, 7, keep) \
    KEY(double, nativeDockActiveIndicatorHeight, 4, keep) \
    KEY(double, nativeDockActiveIndicatorWidth, 8, keep) \
    KEY(CodableColor, nativeDockActiveIndicatorColor, rgba(0, 0, 0, 0.72), keep) \
    KEY(bool, startMenuEnabled, false, keep) \
    KEY(bool, showTaskbarPinControlsInStartMenu, false, keep) \
    KEY(bool, startMenuShortcutEnabled, true, keep) \
    KEY(std::int64_t, startMenuShortcutKeyCode, 49, startMenuShortcutKeyCode) \
    VALUE_KEY(std::int64_t, startMenuShortcutModifiers, 8, startMenuShortcutModifiers) \
    KEY(bool, startMenuGestureEnabled, true, keep) \
    KEY(bool, launcherHoverOutlineEnabled, true, keep) \
    KEY(CodableColor, launcherHoverOutlineColor, rgba(0.72, 0.75, 0.78, 0.52), keep) \
    KEY(double, launcherHoverOutlineInset, 1, keep) \
    KEY(double, launcherHorizontalSpacing, 18, keep) \
    KEY(double, launcherVerticalSpacing, 12, keep) \
    KEY(StartMenuStyle, startMenuStyle, StartMenuStyle::classic, keep) \
    KEY(std::int64_t, startMenuClassicColumns, 7, keep) \
    KEY(std::int64_t, startMenuClassicRows, 4, keep) \
    KEY(double, startMenuClassicIconScale, 1, keep) \
    KEY(bool, launcherHotCornerEnabled, true, keep) \
    KEY(LauncherHotCorner, launcherHotCorner, LauncherHotCorner::bottomLeft, keep) \
    KEY(bool, enableNativeDockLauncher, false, keep) \
    KEY(bool, nativeDockLauncherGestureEnabled, false, keep) \
    KEY(double, nativeDockLauncherWidth, 520, keep) \
    KEY(double, nativeDockLauncherHeight, 560, keep) \
    KEY(double, nativeDockLauncherIconSize, 44, keep) \
    KEY(double, nativeDockLauncherNameFontSize, 12, keep) \
    KEY(double, nativeDockLauncherNameIconGap, 6, keep) \
    KEY(double, nativeDockLauncherCornerRadius, 18, keep) \
    KEY(double, nativeDockLauncherSearchWidth, 400, keep) \
    KEY(double, nativeDockLauncherSearchHeight, 35, keep) \
    KEY(bool, nativeDockLauncherUseUserAvatar, true, keep) \
    KEY(CodableColor, nativeDockLauncherAvatarBorderColor, NamedColor::white, keep) \
    KEY(double, nativeDockLauncherAvatarBorderWidth, 2, keep) \
    KEY(bool, advancedGestureSwipeDownEnabled, false, keep) \
    KEY(AdvancedGestureSwipeDownAction, advancedGestureSwipeDownAction, AdvancedGestureSwipeDownAction::minimizeCurrentWindow, keep) \
    KEY(bool, advancedGestureSwipeLeftEnabled, true, keep) \
    KEY(AdvancedGestureWindowSwitchAction, advancedGestureSwipeLeftAction, AdvancedGestureWindowSwitchAction::previousWindow, keep) \
    KEY(bool, advancedGestureSwipeRightEnabled, true, keep) \
    KEY(AdvancedGestureWindowSwitchAction, advancedGestureSwipeRightAction, AdvancedGestureWindowSwitchAction::previousWindow, keep) \
    KEY(bool, advancedGestureFourFingerTapEnabled, true, keep) \
    KEY(bool, enableWindowSwitcher, d.active.enableWindowSwitcher, keep) \
    VALUE_KEY(std::int64_t, windowSwitcherModifierKey, d.active.windowSwitcherModifierKey, windowSwitcherModifierKey) \
    KEY(WindowSwitcherPresentationStyle, windowSwitcherPresentationStyle, WindowSwitcherPresentationStyle::tiled, keep) \
    KEY(double, windowSwitcherTitleFontSize, d.active.windowSwitcherTitleFontSize, keep) \
    KEY(CodableColor, windowSwitcherTitleColor, d.active.windowSwitcherTitleColor, keep) \
    KEY(bool, windowSwitcherTitleBold, d.active.windowSwitcherTitleBold, keep) \
    KEY(double, windowSwitcherIconSize, d.active.windowSwitcherIconSize, keep) \
    VALUE_KEY(double, previewSnapshotInterval, d.active.previewSnapshotInterval, previewSnapshotInterval) \
    VALUE_KEY(double, previewSnapshotMaxPixelWidth, d.active.previewSnapshotMaxPixelWidth, previewSnapshotMaxPixelWidth) \
    VALUE_KEY(std::int64_t, previewSnapshotCacheLimit, d.active.previewSnapshotCacheLimit, previewSnapshotCacheLimit) \
    KEY(bool, todoWidgetEnabled, d.active.todoWidgetEnabled, keep) \
    KEY(double, todoContentFontSize, 16, keep) \
    KEY(bool, todoContentBold, false, keep) \
    KEY(double, todoLineSpacing, 20, keep) \
    KEY(double, todoCreatedDateFontSize, 12, keep) \
    KEY(CodableColor, todoCreatedDateColor, NamedColor::gray, keep) \
    KEY(double, todoEditedDateFontSize, 12, keep) \
    KEY(CodableColor, todoEditedDateColor, NamedColor::gray, keep) \
    KEY(double, todoCompletedDateFontSize, 12, keep) \
    KEY(CodableColor, todoCompletedDateColor, NamedColor::systemGreen, keep) \
    KEY(double, todoDateContentGap, 10, keep) \
    KEY(double, todoHeaderTitleFontSize, 16, keep) \
    KEY(CodableColor, todoHeaderTitleColor, NamedColor::white, keep) \
    KEY(bool, todoHeaderTitleBold, true, keep) \
    KEY(double, todoActionButtonSize, 25, keep) \
    KEY(CloseProtectionApps, closeProtectionApps, CloseProtectionApps{}, keep) \
    KEY(StorageBoxes, applicationStorageBoxes, legacyStorageBoxes(d.storageBoxVisible), keep)
// clang-format on
