#pragma once

// The desktop's applications in memory, for tests: the test lists the installed applications and
// the icon of each path; every address opened is recorded.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/workspace.h"

namespace tavrel::platform {

class FakeWorkspace final : public Workspace {
public:
    // Installs an application; a later one with the same bundle identifier is shadowed by the
    // first, as on the desktop.
    void addApplication(ApplicationInfo application);
    // An application found by path and id but not listed (hidden from menus).
    void addUnlistedApplication(ApplicationInfo application);
    void setIcon(const std::filesystem::path& path, IconReference icon);
    // What openURL answers (true unless set).
    void setOpenURLResult(bool opens) { opens_ = opens; }

    const std::vector<std::string>& openedURLs() const { return opened_; }

    std::optional<ApplicationInfo> applicationForBundleIdentifier(
        std::string_view bundleIdentifier) const override;
    std::optional<ApplicationInfo> applicationAtPath(
        const std::filesystem::path& path) const override;
    std::vector<ApplicationInfo> installedApplications() const override;
    IconReference iconForFile(const std::filesystem::path& path) const override;
    bool openURL(std::string_view url) override;

private:
    struct Installed {
        ApplicationInfo info;
        bool listed;
    };
    std::vector<Installed> applications_;
    std::map<std::filesystem::path, IconReference> icons_;
    std::vector<std::string> opened_;
    bool opens_ = true;
};

}  // namespace tavrel::platform
