#include "platform/paths.h"

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrel::platform::paths {
namespace {

std::optional<std::filesystem::path> absoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') return std::nullopt;
    return std::filesystem::path(value);
}

// A directory we created or own ourselves, reachable by nobody else. Anything else at the name
// (a symbolic link, someone else's directory) is not used: the shared temporary directory is
// writable by every user.
bool isPrivateDirectory(const std::filesystem::path& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0) return false;
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid()) return false;
    if ((info.st_mode & 077) != 0 && ::chmod(path.c_str(), 0700) != 0) return false;
    return true;
}

}  // namespace

std::filesystem::path home() {
    if (const char* value = std::getenv("HOME"); value != nullptr && value[0] != '\0') {
        return value;
    }
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<std::size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE &&
           buffer.size() < (1u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (found != nullptr && found->pw_dir != nullptr && found->pw_dir[0] == '/') {
        return found->pw_dir;
    }
    // No home at all (a stripped-down service account): the root directory, never a path
    // relative to whatever the working directory happens to be.
    return "/";
}

std::filesystem::path applicationSupport() {
    if (auto data = absoluteVariable("XDG_DATA_HOME")) return *data;
    return home() / ".local" / "share";
}

std::filesystem::path runtimeDirectory() {
    if (auto runtime = absoluteVariable("XDG_RUNTIME_DIR")) return *runtime;
    const std::filesystem::path base = absoluteVariable("TMPDIR").value_or("/tmp");
    const std::string name = "tavrel-runtime-" + std::to_string(::geteuid());
    // When the name is taken by something we cannot trust, every process of this user walks the
    // same numbered alternatives and so still meets the others.
    for (int attempt = 0; attempt < 16; ++attempt) {
        auto candidate = base / (attempt == 0 ? name : name + "-" + std::to_string(attempt));
        if (::mkdir(candidate.c_str(), 0700) == 0 || errno == EEXIST) {
            if (isPrivateDirectory(candidate)) return candidate;
            continue;
        }
        return candidate;  // cannot be created at all; the caller's open reports why
    }
    return base / name;
}

std::filesystem::path preferencesDirectory() {
    const std::filesystem::path config =
        absoluteVariable("XDG_CONFIG_HOME").value_or(home() / ".config");
    return config / "Tavrel" / "Preferences";
}

}  // namespace tavrel::platform::paths
