#include "core/settings_pages/list_rows.h"

#include <algorithm>
#include <memory>

#include "core/settings/start_menu_shortcut.h"
#include "core/settings_pages/start_menu_shortcut_editor.h"

namespace tavrel {

FormRow& addExcludedApplication(FormContent& form, const TaskbarExcludedApplication& application,
                                std::function<void()> restore) {
    CompoundButton button;
    button.title = std::string(ListRowTexts::restoreButton);
    button.accessibleName = button.title + " " + application.name;
    button.action = std::move(restore);
    return form.addCompoundRow(
        application.name, {},
        {CompoundIcon{FormIcon{application.path.value_or(""),
                               application.bundleIdentifier.value_or(""),
                               std::string(ListRowTexts::genericApplicationSymbol)}},
         std::move(button)});
}

bool removeExcludedApplication(std::vector<TaskbarExcludedApplication>& applications,
                               const TaskbarExcludedApplication& application) {
    const std::optional<std::string> identity = application.identity();
    const auto found = std::find_if(
        applications.begin(), applications.end(), [&](const TaskbarExcludedApplication& entry) {
            return identity ? entry.identity() == identity : entry == application;
        });
    if (found == applications.end()) return false;
    applications.erase(found);
    return true;
}

FormRow& addStorageBoxRow(FormContent& form, std::string title, bool isOn,
                          std::function<void(bool)> onToggle, std::function<void()> onDelete) {
    CompoundSwitch toggle;
    toggle.isOn = isOn;
    toggle.action = std::move(onToggle);
    CompoundButton remove;
    remove.symbolName = std::string(ListRowTexts::storageBoxDeleteSymbol);
    remove.toolTip = std::string(ListRowTexts::storageBoxDeleteToolTip);
    remove.accessibleName = remove.toolTip + " " + title;
    remove.width = 34;
    remove.action = std::move(onDelete);
    return form.addCompoundRow(std::move(title), std::string(ListRowTexts::storageBoxDetail),
                               {std::move(toggle), std::move(remove)});
}

FormRow& addStartMenuShortcut(FormContent& form, std::string title, std::string detail,
                              std::int64_t keyCode, std::int64_t modifiers,
                              std::function<void(std::int64_t, std::int64_t)> action,
                              std::function<void()> resetAction, std::function<void()> beep) {
    // The controls share one editor for the form's life.
    auto editor = std::make_shared<StartMenuShortcutEditor>(keyCode, modifiers);
    auto report = [action = std::move(action),
                   beep = std::move(beep)](const StartMenuShortcutEdit& edit) {
        if (edit.beep && beep) beep();
        if (edit.changed && action) action(edit.changed->keyCode, edit.changed->modifiers);
    };

    std::vector<CompoundPart> parts;
    for (const StartMenuShortcutModifierBox& box : StartMenuShortcutEditor::modifierBoxes()) {
        CompoundCheckBox check;
        check.title = std::string(box.title);
        check.toolTip = std::string(box.toolTip);
        check.width = 34;
        check.state = [editor, bit = box.bit] { return editor->isChecked(bit); };
        check.action = [editor, report, bit = box.bit](bool on) {
            report(editor->toggle(bit, on));
        };
        parts.emplace_back(std::move(check));
    }

    CompoundPopUp keys;
    for (const StartMenuShortcutKey& key : StartMenuShortcutKey::choices()) {
        keys.items.push_back({std::string(key.label), static_cast<int>(key.keyCode)});
    }
    keys.toolTip = std::string(StartMenuShortcutTexts::keyToolTip);
    keys.width = 92;
    keys.height = 30;
    keys.selectedTag = [editor] { return static_cast<int>(editor->keyCode()); };
    keys.action = [editor, report](int tag) { report(editor->chooseKey(tag)); };
    parts.emplace_back(std::move(keys));

    CompoundButton reset;
    reset.symbolName = std::string(StartMenuShortcutTexts::resetSymbol);
    reset.toolTip = std::string(StartMenuShortcutTexts::resetToolTip);
    reset.width = 34;
    reset.height = 30;
    reset.cornerRadius = 7;
    reset.action = [editor, resetAction = std::move(resetAction)] {
        editor->reset();
        if (resetAction) resetAction();
    };
    parts.emplace_back(std::move(reset));

    return form.addCompoundRow(std::move(title), std::move(detail), std::move(parts));
}

}  // namespace tavrel
