#pragma once

// The bundle directory a program runs from: <Name>.app/Contents/{Info.plist,MacOS,Resources}.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel::platform {

class Bundle {
public:
    // The bundle of the running executable (/proc/self/exe), when it sits in Contents/MacOS.
    static std::optional<Bundle> main();
    // The bundle at `root` (the .app directory), when it has a Contents directory.
    static std::optional<Bundle> at(const std::filesystem::path& root);

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path contentsDirectory() const { return root_ / "Contents"; }
    std::filesystem::path executableDirectory() const { return contentsDirectory() / "MacOS"; }
    std::filesystem::path resourcesDirectory() const { return contentsDirectory() / "Resources"; }
    std::filesystem::path infoPlistPath() const { return contentsDirectory() / "Info.plist"; }

    // A string entry of Info.plist, read from disk on every call (a copy's role keys may be
    // rewritten while it runs). Nothing when the file, the key or a string value is missing.
    std::optional<std::string> infoString(std::string_view key) const;

private:
    explicit Bundle(std::filesystem::path root) : root_(std::move(root)) {}
    std::filesystem::path root_;
};

}  // namespace tavrel::platform
