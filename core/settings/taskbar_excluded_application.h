#pragma once

// An application the taskbar does not show (element of "taskbarExcludedApplications").

#include <optional>
#include <string>

namespace tavrel {

struct TaskbarExcludedApplication {
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> path;
    std::string name;

    // What makes two entries the same application, for finding duplicates: "bundle:" and the
    // lower-cased bundle identifier, else "path:" and the standardised path, else nothing.
    std::optional<std::string> identity() const;

    friend bool operator==(const TaskbarExcludedApplication&,
                           const TaskbarExcludedApplication&) = default;
};

// "." and ".." resolved, repeated and trailing separators removed; symbolic links are not
// followed.
std::string standardizedFilePath(const std::string& path);

}  // namespace tavrel
