#include "core/settings/taskbar_excluded_application.h"

#include <algorithm>
#include <filesystem>

namespace tavrel {

std::string standardizedFilePath(const std::string& path) {
    std::string normal = std::filesystem::path(path).lexically_normal().generic_string();
    while (normal.size() > 1 && normal.back() == '/') normal.pop_back();
    return normal;
}

std::optional<std::string> TaskbarExcludedApplication::identity() const {
    if (bundleIdentifier && !bundleIdentifier->empty()) {
        std::string lower = *bundleIdentifier;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) {
            return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        });
        return "bundle:" + lower;
    }
    if (path && !path->empty()) return "path:" + standardizedFilePath(*path);
    return std::nullopt;
}

}  // namespace tavrel
