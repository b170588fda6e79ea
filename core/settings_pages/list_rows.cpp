#include "core/settings_pages/list_rows.h"

#include <algorithm>

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

}  // namespace tavrel
