#pragma once

// An application protected against accidental closing (element of "closeProtectionApps").

#include <optional>
#include <string>

namespace tavrel {

struct CloseProtectionApp {
    std::string appName;
    std::optional<std::string> bundleIdentifier;
    std::optional<std::string> path;

    // The line under the name in the list: the bundle identifier, else the path, else
    // "未记录 Bundle ID".
    std::string displaySubtitle() const;

    friend bool operator==(const CloseProtectionApp&, const CloseProtectionApp&) = default;
};

}  // namespace tavrel
