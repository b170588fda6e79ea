#pragma once

// A row of a settings page against its default: whether the value the row shows is not its
// default, and putting it back. A row is judged by its own key alone (the first of its keys): the
// keys a change may write besides belong to rows of their own or follow from the own key, so
// resetting them too would take back what another row shows as changed.
//
// A theme-scoped key is compared in the record of the theme the page shows (the settings'
// current theme) against that theme's default, and reset there only; a global key is compared
// against the value it takes when the document does not hold it.

#include <cstddef>
#include <optional>
#include <string_view>

#include "core/form/form_content.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_pages/feature_page.h"
#include "platform/dialogs.h"

namespace tavrel {

// The row's own key when it can be reset on its own; nothing for a row without keys, for keys
// the native Dock module owns ("hideNativeDock") and for keys written only from other values or
// never written at all.
std::optional<FormKeyReference> resettableRowKey(const FormRow& row);

// Whether resetting `key` would change `settings`.
bool settingsKeyDiffersFromDefault(const TaskbarSettings& settings, const FormKeyReference& key);

// Puts `key` back to its default; false (and `settings` unchanged) for a key that cannot be reset.
bool resetSettingsKeyToDefault(TaskbarSettings& settings, const FormKeyReference& key);

// Whether the row's own key is away from its default (false for a row that cannot be reset).
bool rowDiffersFromDefault(const FormRow& row, const TaskbarSettings& settings);

// Puts the row's own key back; false when the row has nothing to reset.
bool resetRowToDefault(TaskbarSettings& settings, const FormRow& row);

// How many values a page reset (resetPageSettings) would change.
std::size_t pageResetChangeCount(FeaturePage page, const TaskbarSettings& settings);

struct PageResetTexts {
    static constexpr std::string_view buttonTitle = "恢复本页默认值…";
    static constexpr std::string_view confirmButton = "恢复默认值";
    static constexpr std::string_view cancelButton = "取消";
    static constexpr std::string_view nothingToReset = "本页的设置都是默认值";
    static constexpr std::string_view nothingButton = "知道了";
};

// The question before a page reset of `changeCount` values: "将 N 项设置恢复为默认值？", confirmed
// by its first button; with nothing to change, a notice with one button instead.
platform::ModalAlert pageResetConfirmation(FeaturePage page, std::size_t changeCount);

}  // namespace tavrel
