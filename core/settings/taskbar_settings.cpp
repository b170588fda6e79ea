#include "core/settings/taskbar_settings.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <variant>

#include "core/settings/app_data_store.h"
#include "core/settings/settings_compatibility_recovery.h"
#include "core/settings/settings_normalization.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/preferences.h"
#include "platform/uuid.h"

namespace tavrel {

namespace fs = std::filesystem;

namespace {

const TaskbarThemeConfiguration& windowsDefaultRecord() {
    static const TaskbarThemeConfiguration record = TaskbarThemeConfiguration::windowsDefaults();
    return record;
}

const TaskbarThemeConfiguration& liquidGlassDefaultRecord() {
    static const TaskbarThemeConfiguration record =
        TaskbarThemeConfiguration::liquidGlassDefaults();
    return record;
}

StorageBoxes legacyStorageBoxes(bool visible) {
    return {ApplicationStorageBoxConfiguration::legacy(visible)};
}

}  // namespace

TaskbarSettings::TaskbarSettings() {
    resetGlobals(
        SettingsDefaultsContext{activeProfile(), liquidGlassProfile, liquidGlassDefaultRecord()});
}

void TaskbarSettings::resetGlobals(const SettingsDefaultsContext& d) {
#define TAVREL_RESET_KEY(Type, name, defaultValue, rule) \
    name = SettingsNormalization::rule(Type(defaultValue));
#define TAVREL_RESET_VALUE_KEY(Type, name, defaultValue, rule) \
    name##Value = SettingsNormalization::rule(Type(defaultValue));
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_RESET_KEY, TAVREL_RESET_VALUE_KEY)
#undef TAVREL_RESET_KEY
#undef TAVREL_RESET_VALUE_KEY
}

// --- Clamping accessors.

double TaskbarSettings::nativeDockPreviewCornerRadius() const {
    return SettingsNormalization::nativeDockPreviewCornerRadius(nativeDockPreviewCornerRadiusValue);
}
void TaskbarSettings::setNativeDockPreviewCornerRadius(double value) {
    nativeDockPreviewCornerRadiusValue =
        SettingsNormalization::nativeDockPreviewCornerRadius(value);
}
double TaskbarSettings::nativeDockPreviewThumbnailCornerRadius() const {
    return SettingsNormalization::nativeDockPreviewCornerRadius(
        nativeDockPreviewThumbnailCornerRadiusValue);
}
void TaskbarSettings::setNativeDockPreviewThumbnailCornerRadius(double value) {
    nativeDockPreviewThumbnailCornerRadiusValue =
        SettingsNormalization::nativeDockPreviewCornerRadius(value);
}
double TaskbarSettings::nativeDockPreviewScale() const {
    return SettingsNormalization::nativeDockPreviewScale(nativeDockPreviewScaleValue);
}
void TaskbarSettings::setNativeDockPreviewScale(double value) {
    nativeDockPreviewScaleValue = SettingsNormalization::nativeDockPreviewScale(value);
}
std::int64_t TaskbarSettings::startMenuShortcutModifiers() const {
    return SettingsNormalization::startMenuShortcutModifiers(startMenuShortcutModifiersValue);
}
void TaskbarSettings::setStartMenuShortcutModifiers(std::int64_t flags) {
    startMenuShortcutModifiersValue = SettingsNormalization::startMenuShortcutModifiers(flags);
}
std::int64_t TaskbarSettings::windowSwitcherModifierKey() const {
    return SettingsNormalization::windowSwitcherModifierKey(windowSwitcherModifierKeyValue);
}
void TaskbarSettings::setWindowSwitcherModifierKey(std::int64_t code) {
    windowSwitcherModifierKeyValue = SettingsNormalization::windowSwitcherModifierKey(code);
}
double TaskbarSettings::previewSnapshotInterval() const {
    return SettingsNormalization::previewSnapshotInterval(previewSnapshotIntervalValue);
}
void TaskbarSettings::setPreviewSnapshotInterval(double seconds) {
    previewSnapshotIntervalValue = SettingsNormalization::previewSnapshotInterval(seconds);
}
double TaskbarSettings::previewSnapshotMaxPixelWidth() const {
    return SettingsNormalization::previewSnapshotMaxPixelWidth(previewSnapshotMaxPixelWidthValue);
}
void TaskbarSettings::setPreviewSnapshotMaxPixelWidth(double pixels) {
    previewSnapshotMaxPixelWidthValue = SettingsNormalization::previewSnapshotMaxPixelWidth(pixels);
}
std::int64_t TaskbarSettings::previewSnapshotCacheLimit() const {
    return SettingsNormalization::previewSnapshotCacheLimit(previewSnapshotCacheLimitValue);
}
void TaskbarSettings::setPreviewSnapshotCacheLimit(std::int64_t limit) {
    previewSnapshotCacheLimitValue = SettingsNormalization::previewSnapshotCacheLimit(limit);
}

// --- Per-theme properties.

TaskbarThemeConfiguration& TaskbarSettings::activeProfile() {
    return profile(theme);
}
const TaskbarThemeConfiguration& TaskbarSettings::activeProfile() const {
    return profile(theme);
}

TaskbarThemeConfiguration& TaskbarSettings::profile(TaskbarTheme which) {
    return which == TaskbarTheme::liquidGlass ? liquidGlassProfile : windowsProfile;
}
const TaskbarThemeConfiguration& TaskbarSettings::profile(TaskbarTheme which) const {
    return which == TaskbarTheme::liquidGlass ? liquidGlassProfile : windowsProfile;
}

namespace {

bool usesClearMaterial(TaskbarLiquidGlassBackgroundMaterial material) {
    return material == TaskbarLiquidGlassBackgroundMaterial::clear ||
           material == TaskbarLiquidGlassBackgroundMaterial::ultraTransparentOS27;
}

}  // namespace

double TaskbarSettings::opacity() const {
    if (theme == TaskbarTheme::windows) return windowsProfile.opacity;
    return usesClearMaterial(liquidGlassBackgroundMaterial) ? clearLiquidGlassOpacity
                                                            : frostedLiquidGlassOpacity;
}

void TaskbarSettings::setOpacity(double value) {
    const double clamped = SettingsNormalization::unitInterval(value);
    if (theme == TaskbarTheme::windows) {
        windowsProfile.opacity = clamped;
    } else if (usesClearMaterial(liquidGlassBackgroundMaterial)) {
        clearLiquidGlassOpacity = clamped;
    } else {
        frostedLiquidGlassOpacity = clamped;
    }
}

namespace {

bool clockAtTop(const TaskbarThemeConfiguration& record) {
    return record.clockScreenPosition == 1;
}

}  // namespace

double TaskbarSettings::detachedClockBottomGap() const {
    const auto& record = activeProfile();
    return clockAtTop(record) ? record.topDetachedClockBottomGap : record.detachedClockBottomGap;
}
void TaskbarSettings::setDetachedClockBottomGap(double value) {
    auto& record = activeProfile();
    (clockAtTop(record) ? record.topDetachedClockBottomGap : record.detachedClockBottomGap) = value;
}
double TaskbarSettings::detachedClockRightGap() const {
    const auto& record = activeProfile();
    return clockAtTop(record) ? record.topDetachedClockRightGap : record.detachedClockRightGap;
}
void TaskbarSettings::setDetachedClockRightGap(double value) {
    auto& record = activeProfile();
    (clockAtTop(record) ? record.topDetachedClockRightGap : record.detachedClockRightGap) = value;
}
CodableColor TaskbarSettings::clockTimeColor() const {
    const auto& record = activeProfile();
    return clockAtTop(record) ? record.topClockTimeColor : record.clockTimeColor;
}
void TaskbarSettings::setClockTimeColor(const CodableColor& color) {
    auto& record = activeProfile();
    (clockAtTop(record) ? record.topClockTimeColor : record.clockTimeColor) = color;
}
CodableColor TaskbarSettings::clockDateColor() const {
    const auto& record = activeProfile();
    return clockAtTop(record) ? record.topClockDateColor : record.clockDateColor;
}
void TaskbarSettings::setClockDateColor(const CodableColor& color) {
    auto& record = activeProfile();
    (clockAtTop(record) ? record.topClockDateColor : record.clockDateColor) = color;
}

double TaskbarSettings::iconMagnificationAmount() const {
    const double stored = activeProfile().iconMagnificationAmount;
    return stored <= 0 ? 100 : stored;
}
void TaskbarSettings::setIconMagnificationAmount(double value) {
    activeProfile().iconMagnificationAmount = SettingsNormalization::magnificationAmount(value);
}
void TaskbarSettings::setPreviewScale(double value) {
    activeProfile().previewScale = SettingsNormalization::previewScale(value);
}
void TaskbarSettings::setPreviewCornerRadius(double value) {
    activeProfile().previewCornerRadius = SettingsNormalization::cornerRadius(value);
}
void TaskbarSettings::setPreviewThumbnailCornerRadius(double value) {
    activeProfile().previewThumbnailCornerRadius = SettingsNormalization::cornerRadius(value);
}
void TaskbarSettings::setStartMenuAvatarBorderWidth(double value) {
    activeProfile().startMenuAvatarBorderWidth = SettingsNormalization::avatarBorderWidth(value);
}

#define TAVREL_CODE_PROPERTY(Enumeration, getter, setter, field)        \
    Enumeration TaskbarSettings::getter() const {                       \
        return enumerationFromCode<Enumeration>(activeProfile().field); \
    }                                                                   \
    void TaskbarSettings::setter(Enumeration value) {                   \
        activeProfile().field = enumerationCode(value);                 \
    }
TAVREL_CODE_PROPERTY(TaskbarScreenEdge, taskbarScreenEdge, setTaskbarScreenEdge, taskbarScreenEdge)
TAVREL_CODE_PROPERTY(TaskbarAlignment, alignment, setAlignment, alignment)
TAVREL_CODE_PROPERTY(TaskbarAvoidanceMode, taskbarAvoidanceMode, setTaskbarAvoidanceMode,
                     taskbarAvoidanceMode)
TAVREL_CODE_PROPERTY(ActiveIconClickAction, activeIconClickAction, setActiveIconClickAction,
                     activeIconClickAction)
TAVREL_CODE_PROPERTY(RunningIconClickAnimation, runningIconClickAnimation,
                     setRunningIconClickAnimation, runningIconClickAnimation)
TAVREL_CODE_PROPERTY(ClockDisplayMode, clockDisplayMode, setClockDisplayMode, clockDisplayMode)
TAVREL_CODE_PROPERTY(ClockLineLayout, clockLineLayout, setClockLineLayout, clockLineLayout)
TAVREL_CODE_PROPERTY(ClockScreenPosition, clockScreenPosition, setClockScreenPosition,
                     clockScreenPosition)
#undef TAVREL_CODE_PROPERTY

bool TaskbarSettings::usesDimensionalTaskbarBackground() const {
    return theme == TaskbarTheme::liquidGlass &&
           liquidGlassBackgroundStyle == TaskbarBackgroundStyle::dimensional;
}

bool TaskbarSettings::usesNoTaskbarBackground() const {
    return theme == TaskbarTheme::liquidGlass &&
           liquidGlassBackgroundStyle == TaskbarBackgroundStyle::noBackground;
}

void TaskbarSettings::clampIconAndButtonSizes(TaskbarTheme which) {
    auto& record = profile(which);
    record.iconSize = std::min(record.iconSize, std::max(record.taskbarHeight - 8, 16.0));
    record.buttonSize = std::min(record.buttonSize, std::max(record.taskbarHeight - 6, 28.0));
}

bool TaskbarSettings::repairKnownTaskbarHeightProfileOverwriteIfNeeded() {
    const auto equal = [](double a, double b) { return std::fabs(a - b) < 0.001; };
    const TaskbarThemeConfiguration& w = windowsProfile;
    TaskbarThemeConfiguration& l = liquidGlassProfile;

    const bool sameHeight = equal(w.taskbarHeight, l.taskbarHeight);
    const bool looksSwapped = l.buttonSize < w.buttonSize || w.iconSize < l.iconSize;
    const bool liquidGlassLook = l.alignment == 1 || !l.showClock;
    bool applies = false;
    if (looksSwapped) {
        applies = l.buttonSize <= 30 ? sameHeight : sameHeight && liquidGlassLook;
    } else {
        applies = sameHeight && w.alignment == 0 && (l.buttonSize <= 30 || liquidGlassLook);
    }
    if (!applies || !equal(l.taskbarHeight, windowsDefaultRecord().taskbarHeight)) return false;
    l.taskbarHeight = liquidGlassDefaultRecord().taskbarHeight;
    return true;
}

// --- Copying and comparing.

void TaskbarSettings::apply(const TaskbarSettings& other) {
    if (&other != this) *this = other;
#define TAVREL_APPLY_KEY(Type, name, defaultValue, rule)
#define TAVREL_APPLY_VALUE_KEY(Type, name, defaultValue, rule) \
    name##Value = SettingsNormalization::rule(name##Value);
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_APPLY_KEY, TAVREL_APPLY_VALUE_KEY)
#undef TAVREL_APPLY_KEY
#undef TAVREL_APPLY_VALUE_KEY
}

Result<std::string> TaskbarSettings::encoded() const {
    return StoredSettings::from(*this).encode();
}

bool TaskbarSettings::hasSameStoredValues(const TaskbarSettings& other) const {
    const auto mine = encoded();
    const auto theirs = other.encoded();
    return mine.ok() && theirs.ok() && *mine == *theirs;
}

// --- Reading a stored record.

SettingsMappingReport TaskbarSettings::map(const StoredSettings& record) {
    SettingsMappingReport report;
    theme = enumerationFromCode<TaskbarTheme>(record.theme.value_or(0));
    windowsProfile = record.windowsSettings ? *record.windowsSettings : windowsDefaultRecord();
    liquidGlassProfile =
        record.liquidGlassSettings ? *record.liquidGlassSettings : liquidGlassDefaultRecord();

    TaskbarThemeConfiguration& active = activeProfile();
    const bool activeRecordStored = theme == TaskbarTheme::liquidGlass
                                        ? record.liquidGlassSettings.has_value()
                                        : record.windowsSettings.has_value();
    // Documents from before the per-theme layout keep their layout at the top level.
    report.themeIsolationRan = !record.themeIsolationVersion.has_value();

#define TAVREL_MAP_MIRROR_none(Type, name, windowsDefault, setter)
#define TAVREL_MAP_MIRROR_global(Type, name, windowsDefault, setter)
#define TAVREL_MAP_MIRROR_notRead(Type, name, windowsDefault, setter)
#define TAVREL_MAP_MIRROR_notReadRequired(Type, name, windowsDefault, setter)
#define TAVREL_MAP_MIRROR_startMenu(Type, name, windowsDefault, setter) \
    if (record.name) active.name = SettingsNormalization::setter(*record.name);
#define TAVREL_MAP_MIRROR_desktopCorner(Type, name, windowsDefault, setter) \
    active.name = record.name.value_or(false);
#define TAVREL_MAP_MIRROR_mergedPreviews(Type, name, windowsDefault, setter) \
    if (!activeRecordStored && record.name) active.name = *record.name;
#define TAVREL_MAP_MIRROR_layout(Type, name, windowsDefault, setter) \
    if (report.themeIsolationRan) {                                  \
        windowsProfile.name = liquidGlassProfile.name =              \
            record.name.value_or(Type(windowsDefault));              \
    }
#define TAVREL_MAP_MIRROR(Type, name, windowsDefault, liquidGlassDefault, mirror, setter) \
    TAVREL_MAP_MIRROR_##mirror(Type, name, windowsDefault, setter)
    TAVREL_THEME_CONFIGURATION_KEYS(TAVREL_MAP_MIRROR)
#undef TAVREL_MAP_MIRROR
#undef TAVREL_MAP_MIRROR_none
#undef TAVREL_MAP_MIRROR_global
#undef TAVREL_MAP_MIRROR_notRead
#undef TAVREL_MAP_MIRROR_notReadRequired
#undef TAVREL_MAP_MIRROR_startMenu
#undef TAVREL_MAP_MIRROR_desktopCorner
#undef TAVREL_MAP_MIRROR_mergedPreviews
#undef TAVREL_MAP_MIRROR_layout

    const SettingsDefaultsContext d{active, liquidGlassProfile, liquidGlassDefaultRecord(),
                                    record.screenCornersEnabled.value_or(true),
                                    record.applicationStorageBoxEnabled.value_or(true)};
#define TAVREL_MAP_KEY(Type, name, defaultValue, rule)                                   \
    name = SettingsNormalization::rule(record.name ? fromStoredValue<Type>(*record.name) \
                                                   : Type(defaultValue));
#define TAVREL_MAP_VALUE_KEY(Type, name, defaultValue, rule)                                    \
    name##Value = SettingsNormalization::rule(record.name ? fromStoredValue<Type>(*record.name) \
                                                          : Type(defaultValue));
    TAVREL_GLOBAL_SETTINGS_KEYS(TAVREL_MAP_KEY, TAVREL_MAP_VALUE_KEY)
#undef TAVREL_MAP_KEY
#undef TAVREL_MAP_VALUE_KEY

    // A document from before the screen-corner switches kept the notch mask's top half in
    // "hideNotchTopMaskEnabled".
    if (hideMenuBarNotch && !record.screenTopCornersEnabled && !record.screenBottomCornersEnabled &&
        !record.screenCornersEnabled) {
        hideMenuBarNotch = record.hideNotchTopMaskEnabled.value_or(true);
    }

    report.heightRepaired = repairKnownTaskbarHeightProfileOverwriteIfNeeded();
    return report;
}

std::int64_t taskbarEdgeForNativeDockOrientation(const std::optional<std::string>& orientation) {
    constexpr std::int64_t bottom = 0;
    constexpr std::int64_t left = 1;
    if (!orientation) return left;
    std::string lower = *orientation;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    // The taskbar takes an edge the Dock leaves free.
    if (lower == "left" || lower == "right") return bottom;
    return left;
}

void TaskbarSettings::setTaskbarEdgeFromNativeDock(const platform::PreferenceDomains* preferences) {
    std::optional<std::string> orientation;
    if (preferences != nullptr) {
        if (const auto value = preferences->value("com.apple.dock", "orientation")) {
            if (const auto* text = std::get_if<std::string>(&*value)) orientation = *text;
        }
    }
    const std::int64_t edge = taskbarEdgeForNativeDockOrientation(orientation);
    windowsProfile.taskbarScreenEdge = edge;
    liquidGlassProfile.taskbarScreenEdge = edge;
}

// --- Files.

std::filesystem::path TaskbarSettings::settingsURL() {
    return AppDataStore::directoryURL() / "settings.json";
}

void TaskbarSettings::archiveIncompatibleSettingsFile(const SettingsEnvironment& environment) {
    const fs::path url = environment.settingsURL();
    std::error_code error;
    if (!fs::exists(url, error)) return;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(environment.now().time_since_epoch())
            .count();
    // The identifier keeps two archives of the same second apart; an existing archive is never
    // replaced.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const std::string name = "settings.incompatible-" + std::to_string(seconds) + "-" +
                                 platform::Uuid::random().lowercaseString().substr(0, 8) + ".json";
        const fs::path target = url.parent_path() / name;
        if (fs::exists(fs::symlink_status(target, error))) continue;
        fs::rename(url, target, error);
        return;
    }
}

namespace {

StoredSettingsLoad loadStoredSettingsReporting(const SettingsEnvironment& environment,
                                               SettingsLoadReport* report) {
    const fs::path url = environment.settingsURL();
    std::error_code error;
    const bool fileExisted = fs::exists(url, error);
    if (fileExisted) {
        std::string failure;
        auto bytes = platform::readFile(url, SettingsDocumentLimits::maxBytes);
        if (!bytes) {
            failure = bytes.error().message;
        } else {
            SettingsCompatibilityRecovery::reset();
            auto record = StoredSettings::decode(*bytes);
            if (record) {
                const bool recovered = SettingsCompatibilityRecovery::consume();
                if (recovered) {
                    platform::log(
                        "Tavrel: incompatible settings fields were replaced with defaults");
                }
                if (report != nullptr) report->fieldsReplaced = recovered;
                return {std::move(*record), recovered};
            }
            failure = record.error().message;
        }
        SettingsCompatibilityRecovery::consume();
        if (environment.backups) {
            environment.backups->backUpBeforeRewrite(SettingsBackupOccasion::unreadableDocument,
                                                     environment.directory);
        }
        TaskbarSettings::archiveIncompatibleSettingsFile(environment);
        platform::log("Tavrel: incompatible settings were reset to defaults: " + failure);
        if (report != nullptr) report->documentUnreadable = true;
    }

    if (environment.defaultDocument) {
        if (const auto defaultURL = environment.defaultDocument()) {
            if (auto bytes = platform::readFile(*defaultURL, SettingsDocumentLimits::maxBytes)) {
                if (auto record = StoredSettings::decode(*bytes)) {
                    return {std::move(*record), fileExisted};
                }
            }
        }
    }
    platform::log("Tavrel: bundled default settings could not be loaded; using code defaults");
    return {std::nullopt, fileExisted};
}

}  // namespace

StoredSettingsLoad TaskbarSettings::loadStoredSettings(const SettingsEnvironment& environment) {
    return loadStoredSettingsReporting(environment, nullptr);
}

SettingsLoadReport TaskbarSettings::load() {
    return load(SettingsEnvironment::standard());
}

SettingsLoadReport TaskbarSettings::load(const SettingsEnvironment& environment) {
    SettingsLoadReport report;
    std::error_code error;
    report.fileExisted = fs::exists(environment.settingsURL(), error);
    const StoredSettingsLoad stored = loadStoredSettingsReporting(environment, &report);

    bool shouldSave = false;
    if (!stored.record) {
        if (!report.fileExisted) setTaskbarEdgeFromNativeDock(environment.preferences.get());
        shouldSave = !report.fileExisted || stored.needsSave;
    } else {
        report.mapping = map(*stored.record);
        if (!report.fileExisted) setTaskbarEdgeFromNativeDock(environment.preferences.get());
        const bool current = report.fileExisted && !report.mapping.heightRepaired &&
                             stored.record->themeIsolationVersion.has_value() && !stored.needsSave;
        shouldSave = !current;
        // An existing readable document is about to be rewritten in the current form.
        if (shouldSave && report.fileExisted && !report.documentUnreadable && environment.backups) {
            environment.backups->backUpBeforeRewrite(SettingsBackupOccasion::migration,
                                                     environment.directory);
        }
    }
    if (shouldSave) {
        report.saveStatus = save(environment);
        report.saved = report.saveStatus.ok();
    }
    return report;
}

Status TaskbarSettings::save() const {
    return save(SettingsEnvironment::standard());
}

Status TaskbarSettings::save(const SettingsEnvironment& environment) const {
    auto bytes = encoded();
    if (!bytes) return bytes.error();
    const fs::path url = environment.settingsURL();
    std::error_code ignored;
    fs::create_directories(url.parent_path(), ignored);
    return platform::writeFileAtomically(url, *bytes, environment.durability);
}

}  // namespace tavrel
