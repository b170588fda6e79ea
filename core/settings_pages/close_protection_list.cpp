#include "core/settings_pages/close_protection_list.h"

#include <algorithm>
#include <string>

#include "platform/collation.h"

namespace tavrel {

namespace {

bool present(const std::optional<std::string>& value) {
    return value && !value->empty();
}

std::optional<std::string> presentOrNothing(std::string value) {
    if (value.empty()) return std::nullopt;
    return value;
}

}  // namespace

FormRow& addCloseProtectionList(
    FormContent& form, std::vector<CloseProtectionApp> apps,
    const std::optional<CloseProtectionApp>& selection,
    std::function<void(const std::optional<CloseProtectionApp>&)> onSelect,
    std::function<void()> onAdd, std::function<void(const CloseProtectionApp&)> onRemove) {
    CloseProtectionListSpec spec;
    if (selection) {
        const auto found = std::find(apps.begin(), apps.end(), *selection);
        if (found != apps.end()) {
            spec.selectedRow = static_cast<std::size_t>(found - apps.begin());
        }
    }
    spec.apps = std::move(apps);
    spec.onSelect = std::move(onSelect);
    spec.onAdd = std::move(onAdd);
    spec.onRemove = std::move(onRemove);
    return form.addCardBlock(
        std::string(CloseProtectionListTexts::listTitle),
        CustomViewSpec{std::string(CloseProtectionListSpec::kind), std::move(spec)});
}

FormIcon closeProtectionIcon(const CloseProtectionApp& app) {
    return FormIcon{app.path.value_or(""), app.bundleIdentifier.value_or(""),
                    std::string(CloseProtectionListTexts::genericApplicationSymbol)};
}

bool isSameCloseProtectionApp(const CloseProtectionApp& entry, const CloseProtectionApp& added) {
    if (present(added.bundleIdentifier) && entry.bundleIdentifier == added.bundleIdentifier) {
        return true;
    }
    if (present(added.path) && entry.path == added.path) return true;
    const bool anonymous = !present(entry.bundleIdentifier) && !present(entry.path) &&
                           !present(added.bundleIdentifier) && !present(added.path);
    return anonymous && entry.appName == added.appName;
}

void addOrReplaceCloseProtectionApp(std::vector<CloseProtectionApp>& apps,
                                    const CloseProtectionApp& added) {
    std::erase_if(apps, [&](const CloseProtectionApp& entry) {
        return isSameCloseProtectionApp(entry, added);
    });
    apps.push_back(added);
    std::stable_sort(apps.begin(), apps.end(),
                     [](const CloseProtectionApp& a, const CloseProtectionApp& b) {
                         return platform::compareNamesForDisplay(a.appName, b.appName) < 0;
                     });
}

std::size_t removeCloseProtectionApp(std::vector<CloseProtectionApp>& apps,
                                     const CloseProtectionApp& app) {
    return std::erase(apps, app);
}

CloseProtectionApp closeProtectionAppFor(const platform::ApplicationInfo& application) {
    return CloseProtectionApp{application.name, presentOrNothing(application.bundleIdentifier),
                              presentOrNothing(application.path.string())};
}

void addCloseProtectionApp(SettingsPageHost& host) {
    platform::ApplicationChoiceRequest request;
    request.title = std::string(CloseProtectionListTexts::chooserTitle);
    request.prompt = std::string(CloseProtectionListTexts::chooserPrompt);
    request.applications = host.services().workspace().installedApplications();
    std::stable_sort(request.applications.begin(), request.applications.end(),
                     [](const platform::ApplicationInfo& a, const platform::ApplicationInfo& b) {
                         return platform::compareNamesForDisplay(a.name, b.name) < 0;
                     });
    const std::optional<std::size_t> chosen = host.services().dialogs().chooseApplication(request);
    if (!chosen || *chosen >= request.applications.size()) return;
    const CloseProtectionApp app = closeProtectionAppFor(request.applications[*chosen]);
    addOrReplaceCloseProtectionApp(host.settings().closeProtectionApps, app);
    host.pageState().closeProtectionSelection = app;
    host.applyLiveChange(true);
}

}  // namespace tavrel
