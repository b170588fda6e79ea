#pragma once

// tavrel-defaults: the per-user preference domains from the command line, with the commands,
// messages and exit statuses of the macOS defaults tool that the native Dock control relies on:
//
//   read <domain> [<key>]       booleans print as 1 or 0, reals in their shortest form
//   write <domain> <key> [-string|-bool|-boolean|-int|-integer|-float] <value>
//   delete <domain> <key>
//
// Domains live in paths::preferencesDirectory()/<domain>.plist. Everything but main() is here so
// tests drive the tool with their own directory and streams.

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "core/foundation/result.h"
#include "platform/preferences.h"

namespace tavrel {

struct DefaultsToolExit {
    static constexpr int success = 0;
    static constexpr int failure = 1;  // a missing domain or key, a bad value, a failed write
    static constexpr int usage = 2;    // unknown command or wrong arguments
};

int runDefaultsTool(const std::vector<std::string>& arguments,
                    const std::filesystem::path& preferencesDirectory, std::ostream& out,
                    std::ostream& err);

std::string_view defaultsToolUsage();

// A value as `write` takes it: `type` is one of the type flags above, or nothing for a string.
Result<platform::PreferenceValue> parseDefaultsValue(std::optional<std::string_view> type,
                                                     std::string_view text);

// A value as `read` prints it (without the line end).
std::string formatDefaultsValue(const platform::PreferenceValue& value);

}  // namespace tavrel
