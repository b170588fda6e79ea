#pragma once

// A data directory with every kind of document for the export, import and backup tests, and a
// snapshot of a directory's files to show that something did or did not change.

#include <filesystem>
#include <map>
#include <string>

#include "core/native_dock/settings_native_dock_folder.h"
#include "core/new_file/new_file_settings.h"
#include "core/settings/taskbar_settings.h"
#include "core/settings_transfer/settings_export.h"
#include "tests/settings/settings_test_support.h"

namespace tavrel::test {

// Every regular file under `directory` by its relative path, with its bytes.
inline std::map<std::string, std::string> snapshot(const std::filesystem::path& directory) {
    std::map<std::string, std::string> files;
    std::error_code error;
    for (auto it = std::filesystem::recursive_directory_iterator(directory, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
        if (it->is_regular_file()) {
            files[std::filesystem::relative(it->path(), directory).string()] = readText(it->path());
        }
    }
    return files;
}

inline SettingsEnvironment environmentAt(const std::filesystem::path& directory) {
    SettingsEnvironment environment;
    environment.directory = directory;
    environment.durability = platform::Durability::fast;
    return environment;
}

inline const std::string& customTemplateFile() {
    static constexpr char kBytes[] = "# Notes\n\0\xff\x01 binary tail";
    static const std::string bytes(kBytes, sizeof kBytes - 1);
    return bytes;
}

// The documents as the programs write them, with values that differ from the defaults, one
// folder and one imported template whose file holds bytes that are no text.
inline void writeDocuments(const SettingsDocumentLocations& locations, int variant = 0) {
    TaskbarSettings settings;
    settings.theme = TaskbarTheme::windows;
    settings.hideNativeDock = true;
    settings.windowsProfile.taskbarHeight = 60 + variant;
    ASSERT_TRUE(settings.save(environmentAt(locations.directory)).ok());

    SettingsNativeDockFolder folder;
    folder.id = *platform::Uuid::parse("0A1B2C3D-4E5F-4A6B-8C7D-9E0F1A2B3C4D");
    folder.name = "工作 " + std::to_string(variant);
    folder.applications.push_back({"com.example.editor", "Editor", "com.example.editor", {}});
    writeText(locations.nativeDockFoldersURL(), encodeNativeDockFolders({folder}).value());

    NewFileSettings newFile = NewFileSettings::defaults();
    newFile.templates.push_back({"custom-5c1e0f9a-0d3e-4c59-9d7a-1f2e3d4c5b6a", "Markdown",
                                 "新建 Markdown", "md", variant == 0, false,
                                 "custom-5c1e0f9a-0d3e-4c59-9d7a-1f2e3d4c5b6a.md"});
    writeText(locations.newFileSettingsURL(), newFile.encode().value());
    writeText(locations.newFileTemplatesDirectory() / *newFile.templates.back().templateFileName,
              customTemplateFile() + std::to_string(variant));
}

}  // namespace tavrel::test
