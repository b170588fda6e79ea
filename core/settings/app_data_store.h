#pragma once

// The per-user data directory of the suite ("Library/Application Support/Tavrel", on Linux
// $XDG_DATA_HOME/Tavrel), where settings.json and the other documents live.

#include <filesystem>

namespace tavrel::AppDataStore {

// The directory. On first use (no marker yet) it is created with its parents and an empty
// ".migration-complete" marker is written; failures are ignored. Once the marker exists nothing
// is created.
std::filesystem::path directoryURL();

// The same location, creating nothing (for tools that only report it).
std::filesystem::path directoryPath();

std::filesystem::path markerURL();

}  // namespace tavrel::AppDataStore
