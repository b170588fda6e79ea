#include "core/settings/close_protection_app.h"

namespace tavrel {

std::string CloseProtectionApp::displaySubtitle() const {
    if (bundleIdentifier && !bundleIdentifier->empty()) return *bundleIdentifier;
    if (path && !path->empty()) return *path;
    return "未记录 Bundle ID";
}

}  // namespace tavrel
