// An import killed at any point between its writes leaves every document readable and either as
// it was or as imported, in the order the import writes them; running it again finishes it.

#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "core/native_dock/settings_native_dock_folder.h"
#include "core/new_file/new_file_settings.h"
#include "core/settings/stored_settings.h"
#include "core/settings_transfer/settings_backups.h"
#include "core/settings_transfer/settings_export.h"
#include "transfer_test_support.h"

extern char** environ;

namespace tavrel {
namespace {

namespace fs = std::filesystem;

// Runs `tavrel-settings import FILE` with its data directory under `dataHome`; killed after the
// `stopAfter`-th file it replaces when that is not 0. The wait status.
int runImport(const fs::path& dataHome, const fs::path& file, int stopAfter) {
    std::vector<std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "XDG_DATA_HOME=", 14) == 0) continue;
        if (std::strncmp(*entry, "TAVREL_SETTINGS_TOOL_STOP_AFTER_WRITES=", 39) == 0) continue;
        variables.emplace_back(*entry);
    }
    variables.push_back("XDG_DATA_HOME=" + dataHome.string());
    if (stopAfter > 0) {
        variables.push_back("TAVREL_SETTINGS_TOOL_STOP_AFTER_WRITES=" + std::to_string(stopAfter));
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) envp.push_back(variable.data());
    envp.push_back(nullptr);

    std::string program = TAVREL_BINARY_DIR "/bin/tavrel-settings";
    std::string command = "import";
    std::string argument = file.string();
    char* argv[] = {program.data(), command.data(), argument.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(spawned, 0);
    int status = 0;
    EXPECT_EQ(::waitpid(pid, &status, 0), pid);
    return status;
}

TEST(SettingsImportCrashSafety, AKilledImportLeavesEachDocumentOldOrNew) {
    const test::ScratchDirectory scratch;
    const fs::path dataHome = scratch.path() / "data";
    const SettingsDocumentLocations target{dataHome / "Tavrel"};
    const SettingsDocumentLocations source{scratch.path() / "source" / "Tavrel"};
    test::writeDocuments(source, 1);
    const fs::path file = scratch.path() / "import.json";
    test::writeText(file, readSettingsExport(source, "2.8.0", std::chrono::system_clock::now())
                              .envelope.encode()
                              .value());
    const std::string templateName = "custom-5c1e0f9a-0d3e-4c59-9d7a-1f2e3d4c5b6a.md";
    // In the order the import writes them, after the backup.
    const std::vector<fs::path> written = {"settings.json", "native-dock-folders.json",
                                           fs::path("NewFileTemplates") / templateName,
                                           "NewFileSettings.json"};

    test::writeDocuments(target, 0);
    const auto before = test::snapshot(target.directory);
    const auto after = test::snapshot(source.directory);

    // Stop after the backup (1), after each document (2…5), and not at all (6).
    for (int stopAfter = 1; stopAfter <= 6; ++stopAfter) {
        SCOPED_TRACE("stopped after write " + std::to_string(stopAfter));
        fs::remove_all(target.directory);
        test::writeDocuments(target, 0);

        const int status = runImport(dataHome, file, stopAfter);
        if (stopAfter <= 5) {
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
        } else {
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }

        // Each document is whole, and new exactly when its write came before the stop.
        for (std::size_t i = 0; i < written.size(); ++i) {
            const std::string name = written[i].string();
            const std::string bytes = test::readText(target.directory / written[i]);
            const bool imported = static_cast<int>(i) + 2 <= stopAfter;
            EXPECT_EQ(bytes, imported ? after.at(name) : before.at(name)) << name;
        }
        EXPECT_TRUE(StoredSettings::decode(test::readText(target.settingsURL())).ok());
        EXPECT_TRUE(decodeNativeDockFolders(test::readText(target.nativeDockFoldersURL())).ok());
        EXPECT_TRUE(NewFileSettings::decode(test::readText(target.newFileSettingsURL())).ok());

        // The backup taken first is complete and holds the documents as they were.
        const auto backups = listSettingsBackups(target);
        ASSERT_EQ(backups.size(), 1u);
        const auto backup = readSettingsBackup(target, backups[0].fileName());
        ASSERT_TRUE(backup.ok()) << backup.error().message;
        EXPECT_EQ(*backup->settings, before.at("settings.json"));

        // Running the import again finishes it.
        const int again = runImport(dataHome, file, 0);
        ASSERT_TRUE(WIFEXITED(again) && WEXITSTATUS(again) == 0);
        for (const fs::path& document : written) {
            EXPECT_EQ(test::readText(target.directory / document), after.at(document.string()));
        }
    }
}

}  // namespace
}  // namespace tavrel
