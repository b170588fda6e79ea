#pragma once

// Where per-user things live. Read from the environment on every call, so a test that points
// HOME or an XDG variable elsewhere is honoured at once.

#include <filesystem>

namespace tavrel::platform::paths {

// $HOME, else the password database's home directory.
std::filesystem::path home();

// The Application Support root: $XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share. "Library/Application Support/Tavrel" maps to applicationSupport()/"Tavrel".
std::filesystem::path applicationSupport();

// $XDG_RUNTIME_DIR when it is an absolute path, else a private directory
// ($TMPDIR or /tmp)/tavrel-runtime-<uid>, created with mode 0700 on first use.
std::filesystem::path runtimeDirectory();

// Where preference domains are stored: ($XDG_CONFIG_HOME or ~/.config)/Tavrel/Preferences.
std::filesystem::path preferencesDirectory();

}  // namespace tavrel::platform::paths
