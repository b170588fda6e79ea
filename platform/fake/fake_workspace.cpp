#include "platform/fake/fake_workspace.h"

#include <set>

namespace tavrel::platform {

void FakeWorkspace::addApplication(ApplicationInfo application) {
    applications_.push_back({std::move(application), true});
}

void FakeWorkspace::addUnlistedApplication(ApplicationInfo application) {
    applications_.push_back({std::move(application), false});
}

void FakeWorkspace::setIcon(const std::filesystem::path& path, IconReference icon) {
    icons_[path] = std::move(icon);
}

std::optional<ApplicationInfo> FakeWorkspace::applicationForBundleIdentifier(
    std::string_view bundleIdentifier) const {
    for (const Installed& installed : applications_) {
        if (installed.info.bundleIdentifier == bundleIdentifier) return installed.info;
    }
    return std::nullopt;
}

std::optional<ApplicationInfo> FakeWorkspace::applicationAtPath(
    const std::filesystem::path& path) const {
    for (const Installed& installed : applications_) {
        if (installed.info.path == path) return installed.info;
    }
    return std::nullopt;
}

std::vector<ApplicationInfo> FakeWorkspace::installedApplications() const {
    std::vector<ApplicationInfo> listed;
    std::set<std::string, std::less<>> seen;
    for (const Installed& installed : applications_) {
        if (!seen.insert(installed.info.bundleIdentifier).second) continue;
        if (installed.listed) listed.push_back(installed.info);
    }
    return listed;
}

IconReference FakeWorkspace::iconForFile(const std::filesystem::path& path) const {
    const auto found = icons_.find(path);
    return found == icons_.end() ? IconReference{} : found->second;
}

bool FakeWorkspace::openURL(std::string_view url) {
    opened_.emplace_back(url);
    return opens_;
}

}  // namespace tavrel::platform
