#pragma once

// A delegate over a private settings directory, with a recording window, on either the fake
// notification centre or a real one.

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include "core/settings_pages/settings_helper_delegate.h"
#include "tests/settings_app/recording_window_controller.h"

namespace tavrel::test {

inline std::filesystem::path scratchDirectory(const std::string& area) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    auto path = std::filesystem::path(::testing::TempDir()) / area / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

inline SettingsEnvironment privateEnvironment(const std::filesystem::path& directory) {
    SettingsEnvironment environment;
    environment.directory = directory;
    environment.defaultDocument = [] { return std::optional<std::filesystem::path>(); };
    environment.durability = platform::Durability::fast;
    return environment;
}

inline std::optional<std::string> fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The file's inode: an atomic replacement gives a new one, so an unchanged inode means no write.
inline ino_t inodeOf(const std::filesystem::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

struct DelegateHarness {
    DelegateHarness(std::filesystem::path directory, platform::NotificationCenter& center,
                    platform::MainQueue& queue, std::vector<std::string> arguments = {})
        : environment(privateEnvironment(directory)) {
        SettingsHelperDelegate::Dependencies dependencies{
            environment,
            center,
            queue,
            std::move(arguments),
            [this](TavrelAppearanceMode mode) { appearances.push_back(mode); },
            [this] { ++terminations; },
            recordingWindowFactory(window)};
        delegate = std::make_unique<SettingsHelperDelegate>(std::move(dependencies));
    }

    std::filesystem::path settingsFile() const { return environment.settingsURL(); }

    // The window's edit: change the panel copy and report it.
    template <class Edit>
    void edit(Edit change) {
        ASSERT_TRUE(window->alive);
        change(*window->panel);
        window->callbacks.onChange(*window->panel);
    }

    SettingsEnvironment environment;
    std::shared_ptr<RecordedWindow> window = std::make_shared<RecordedWindow>();
    std::vector<TavrelAppearanceMode> appearances;
    int terminations = 0;
    std::unique_ptr<SettingsHelperDelegate> delegate;
};

}  // namespace tavrel::test
