#pragma once

// Small helpers shared by the New File tests: a private data directory per test, file access
// and the role a test process plays.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <stdlib.h>

#include <gtest/gtest.h>

#include "core/notifications/notification_names.h"
#include "platform/process_identity.h"

namespace tavrel::testing {

namespace fs = std::filesystem;

// A fresh directory, removed with everything in it at the end.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern =
            std::string(base && *base ? base : "/tmp") + "/tavrel-new-file.XXXXXX";
        if (::mkdtemp(pattern.data())) path_ = pattern;
    }
    ~TemporaryDirectory() {
        std::error_code error;
        fs::remove_all(path_, error);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

// Sets an environment variable (nothing unsets it) for the scope, then restores it.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) previous_ = old;
        set(value);
    }
    ~ScopedEnvironment() { set(previous_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void set(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> previous_;
};

inline void writeFile(const fs::path& path, std::string_view bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream stream(path, std::ios::binary | std::ios::trunc);
    stream.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::optional<std::string> readFile(const fs::path& path) {
    std::error_code error;
    if (!fs::is_regular_file(path, error)) return std::nullopt;
    std::ifstream stream(path, std::ios::binary);
    if (!stream) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(stream), {});
}

// Every path below `root`, relative to it, sorted; links are listed, not followed.
inline std::vector<std::string> listTree(const fs::path& root) {
    std::vector<std::string> entries;
    std::error_code error;
    if (!fs::exists(fs::symlink_status(root, error))) return entries;
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        entries.push_back(fs::relative(it->path(), root).string());
    }
    std::sort(entries.begin(), entries.end());
    return entries;
}

inline void actAsSettingsApplication() {
    platform::declareBundleIdentifier(BundleIdentifier::settings);
}
inline void actAsExtension() {
    platform::declareBundleIdentifier(BundleIdentifier::newFileExtension);
}

inline std::string sourcePath(std::string_view relative) {
    return std::string(TAVREL_SOURCE_DIR) + "/" + std::string(relative);
}

}  // namespace tavrel::testing
