#pragma once

// The desktop's applications and the opening of addresses. On Linux an application is a
// freedesktop desktop entry: its bundle identifier is the desktop-file id (for example
// "org.gnome.Nautilus.desktop"), its path the entry file, its name and icon the entry's. Icons
// are named, not drawn, so this header stays free of any toolkit: a window turns an IconReference
// into a picture through the icon theme.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrel::platform {

// An icon as the desktop names it: a theme icon name, or an image file. Empty: none known.
struct IconReference {
    std::string themeName;
    std::filesystem::path file;

    bool empty() const { return themeName.empty() && file.empty(); }
    friend bool operator==(const IconReference&, const IconReference&) = default;
};

struct ApplicationInfo {
    std::string bundleIdentifier;  // the desktop-file id
    std::string name;              // "Name[zh_CN]", else "Name", else the file name
    std::filesystem::path path;    // the desktop entry file
    IconReference icon;            // from "Icon="
    friend bool operator==(const ApplicationInfo&, const ApplicationInfo&) = default;
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // The application a desktop-file id names, looked up as the desktop does: under
    // $XDG_DATA_HOME/applications, then each of $XDG_DATA_DIRS in order (ids of entries in
    // subdirectories join the path's parts with "-"). Nothing when no entry has the id.
    virtual std::optional<ApplicationInfo> applicationForBundleIdentifier(
        std::string_view bundleIdentifier) const = 0;

    // The application an entry file describes; nothing when it is not a readable application
    // entry.
    virtual std::optional<ApplicationInfo> applicationAtPath(
        const std::filesystem::path& path) const = 0;

    // Every application the desktop's menus would list (entries that are hidden or not meant
    // to be displayed left out), each id once, the first found winning, in no particular order.
    virtual std::vector<ApplicationInfo> installedApplications() const = 0;

    // The icon the file manager shows for a path: an application entry's icon, a folder's, or
    // the icon of the file's type. Empty when the path does not exist.
    virtual IconReference iconForFile(const std::filesystem::path& path) const = 0;

    // Opens an address (a web page, a settings pane) with the desktop's handler. False when
    // nothing could be started.
    virtual bool openURL(std::string_view url) = 0;
};

}  // namespace tavrel::platform
