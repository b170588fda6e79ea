#pragma once

// Each program says at start-up which bundle it is; modules that behave differently per program
// (the New File module, for one) ask here.

#include <string>
#include <string_view>

namespace tavrel::platform {

// Call once, early in main, before any thread starts.
void declareBundleIdentifier(std::string_view identifier);

// The declared identifier, or an empty string when none was declared.
const std::string& bundleIdentifier();

}  // namespace tavrel::platform
