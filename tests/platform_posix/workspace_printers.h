#pragma once

// Readable GoogleTest output for the workspace's values.

#include <ostream>

#include "platform/workspace.h"

namespace tavrel::platform {

inline void PrintTo(const IconReference& icon, std::ostream* out) {
    *out << "{theme \"" << icon.themeName << "\", file " << icon.file << "}";
}

inline void PrintTo(const ApplicationInfo& app, std::ostream* out) {
    *out << "{\"" << app.bundleIdentifier << "\", \"" << app.name << "\", " << app.path << ", ";
    PrintTo(app.icon, out);
    *out << "}";
}

}  // namespace tavrel::platform
