#include "platform/process_identity.h"

namespace tavrel::platform {
namespace {

// Written once before any thread starts, read-only afterwards, so no lock is needed.
std::string& declaredIdentifier() {
    static std::string identifier;
    return identifier;
}

}  // namespace

void declareBundleIdentifier(std::string_view identifier) {
    declaredIdentifier() = std::string(identifier);
}

const std::string& bundleIdentifier() {
    return declaredIdentifier();
}

}  // namespace tavrel::platform
