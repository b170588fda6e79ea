#pragma once

// The settings object: every value of settings.json in typed form, with the two theme records
// and the theme that is current. The application delegate and the settings window each own one;
// apply(from:) keeps them in step. Used on the main thread only.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/foundation/result.h"
#include "core/settings/settings_environment.h"
#include "core/settings/settings_value_types.h"
#include "core/settings/stored_settings.h"
#include "core/settings/taskbar_settings_keys.h"
#include "core/settings/taskbar_theme_configuration.h"

namespace tavrel {

// What the defaults of the global keys depend on while a document is loaded.
struct SettingsDefaultsContext {
    const TaskbarThemeConfiguration& active;
    const TaskbarThemeConfiguration& liquidGlass;
    const TaskbarThemeConfiguration& liquidGlassDefaults;
    bool screenCornersEnabled = true;
    bool storageBoxVisible = true;
};

// What the reading of a stored record did beyond taking its values.
struct SettingsMappingReport {
    bool themeIsolationRan = false;
    bool heightRepaired = false;
};

// The outcome of the recovery chain: the record (from the user's document or the shipped
// default document) and whether the document must be written back.
struct StoredSettingsLoad {
    std::optional<StoredSettings> record;
    bool needsSave = false;
};

struct SettingsLoadReport {
    bool fileExisted = false;
    bool documentUnreadable = false;  // archived and replaced
    bool fieldsReplaced = false;      // some keys fell back to defaults
    SettingsMappingReport mapping;
    bool saved = false;
    Status saveStatus;
};

class TaskbarSettings {
public:
    // Code defaults: the liquid-glass theme current, both records at their theme defaults.
    TaskbarSettings();

    TaskbarTheme theme = TaskbarTheme::liquidGlass;
    TaskbarThemeConfiguration windowsProfile = TaskbarThemeConfiguration::windowsDefaults();
    TaskbarThemeConfiguration liquidGlassProfile = TaskbarThemeConfiguration::liquidGlassDefaults();

#define TAVREL_SETTINGS_FIELD(Type, name, defaultValue, rule) Type name{};
#define TAVREL_SETTINGS_VALUE_FIELD(Type, name, defaultValue, rule) Type name##Value{};
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_SETTINGS_FIELD, TAVREL_SETTINGS_VALUE_FIELD)
#undef TAVREL_SETTINGS_FIELD
#undef TAVREL_SETTINGS_VALUE_FIELD

    // --- Clamping accessors of the "…Value" fields.
    double nativeDockPreviewCornerRadius() const;
    void setNativeDockPreviewCornerRadius(double value);
    double nativeDockPreviewThumbnailCornerRadius() const;
    void setNativeDockPreviewThumbnailCornerRadius(double value);
    double nativeDockPreviewScale() const;
    void setNativeDockPreviewScale(double value);
    std::int64_t startMenuShortcutModifiers() const;
    void setStartMenuShortcutModifiers(std::int64_t flags);
    std::int64_t windowSwitcherModifierKey() const;
    void setWindowSwitcherModifierKey(std::int64_t code);
    double previewSnapshotInterval() const;
    void setPreviewSnapshotInterval(double seconds);
    double previewSnapshotMaxPixelWidth() const;
    void setPreviewSnapshotMaxPixelWidth(double pixels);
    std::int64_t previewSnapshotCacheLimit() const;
    void setPreviewSnapshotCacheLimit(std::int64_t limit);

    // --- Per-theme properties. Every per-theme key without a rule below is read and written
    // as activeProfile().key.
    TaskbarThemeConfiguration& activeProfile();
    const TaskbarThemeConfiguration& activeProfile() const;
    TaskbarThemeConfiguration& profile(TaskbarTheme which);
    const TaskbarThemeConfiguration& profile(TaskbarTheme which) const;

    // Liquid glass keeps one opacity per material ("clearLiquidGlassOpacity" for clear and
    // ultra-transparent, "frostedLiquidGlassOpacity" for frosted); Windows its record's.
    double opacity() const;
    void setOpacity(double value);

    // The clock keeps its gaps and colours twice, for the bottom and the top of the screen; these
    // read and write the pair of the clock's current position.
    double detachedClockBottomGap() const;
    void setDetachedClockBottomGap(double value);
    double detachedClockRightGap() const;
    void setDetachedClockRightGap(double value);
    CodableColor clockTimeColor() const;
    void setClockTimeColor(const CodableColor& color);
    CodableColor clockDateColor() const;
    void setClockDateColor(const CodableColor& color);

    // A stored amount of 0 or less (never set) shows as 100.
    double iconMagnificationAmount() const;
    void setIconMagnificationAmount(double value);
    void setPreviewScale(double value);
    void setPreviewCornerRadius(double value);
    void setPreviewThumbnailCornerRadius(double value);
    void setStartMenuAvatarBorderWidth(double value);

    // Codes, read through their enumeration's rule, written as the code.
    TaskbarScreenEdge taskbarScreenEdge() const;
    void setTaskbarScreenEdge(TaskbarScreenEdge edge);
    TaskbarAlignment alignment() const;
    void setAlignment(TaskbarAlignment value);
    TaskbarAvoidanceMode taskbarAvoidanceMode() const;
    void setTaskbarAvoidanceMode(TaskbarAvoidanceMode value);
    ActiveIconClickAction activeIconClickAction() const;
    void setActiveIconClickAction(ActiveIconClickAction value);
    RunningIconClickAnimation runningIconClickAnimation() const;
    void setRunningIconClickAnimation(RunningIconClickAnimation value);
    ClockDisplayMode clockDisplayMode() const;
    void setClockDisplayMode(ClockDisplayMode value);
    ClockLineLayout clockLineLayout() const;
    void setClockLineLayout(ClockLineLayout value);
    ClockScreenPosition clockScreenPosition() const;
    void setClockScreenPosition(ClockScreenPosition value);

    bool usesDimensionalTaskbarBackground() const;
    bool usesNoTaskbarBackground() const;

    // Keeps the icons and buttons of `which` theme inside its taskbar height.
    void clampIconAndButtonSizes(TaskbarTheme which);

    // Older versions could overwrite the liquid-glass height with the Windows one; puts the
    // liquid-glass default height back where that damage is recognised. True when it did.
    bool repairKnownTaskbarHeightProfileOverwriteIfNeeded();

    // --- Persistence.
    static std::filesystem::path settingsURL();

    // Replaces the values with the document's, repairs and migrates, and saves when needed.
    SettingsLoadReport load();
    SettingsLoadReport load(const SettingsEnvironment& environment);

    // Writes the whole document atomically. Fails (and writes nothing) when a value cannot be
    // encoded or the write fails; the old document is then untouched.
    Status save() const;
    Status save(const SettingsEnvironment& environment) const;

    // The bytes save() writes.
    Result<std::string> encoded() const;

    void apply(const TaskbarSettings& other);  // apply(from:)
    bool hasSameStoredValues(const TaskbarSettings& other) const;

    // The recovery chain: the user's document, else the shipped default document, else nothing.
    // Archives an unreadable document and logs.
    static StoredSettingsLoad loadStoredSettings(const SettingsEnvironment& environment);
    static void archiveIncompatibleSettingsFile(const SettingsEnvironment& environment);

    // Takes every value of `record`, with the defaults for absent keys, the read rules, the
    // theme isolation of older documents and the height repair.
    SettingsMappingReport map(const StoredSettings& record);

    // Puts the taskbar on an edge the Dock does not occupy, in both themes.
    void setTaskbarEdgeFromNativeDock(const platform::PreferenceDomains* preferences);

    friend bool operator==(const TaskbarSettings&, const TaskbarSettings&) = default;

private:
    void resetGlobals(const SettingsDefaultsContext& context);
};

// The edge code for the Dock's "orientation" value (nothing when missing or not a string).
std::int64_t taskbarEdgeForNativeDockOrientation(const std::optional<std::string>& orientation);

}  // namespace tavrel
