// The Dock commands against this platform's stand-ins: tavrel-defaults on the real preference
// domains and tavrel-dock-restart, reached through the tool resolver as the application does.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <plist/plist.h>

#include <gtest/gtest.h>

#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_visibility.h"
#include "platform/files.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/preferences.h"
#include "platform/tool_resolver.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel {
namespace {

using platform::PreferenceValue;

const std::filesystem::path kToolDirectory = std::filesystem::path(TAVREL_BINARY_DIR) / "bin";

std::unique_ptr<platform::ProcessRunner> standInRunner() {
    return platform::makeToolResolvingProcessRunner(platform::makeProcessRunner(),
                                                    platform::ToolResolver({kToolDirectory}));
}

std::filesystem::path dockFile() {
    return platform::paths::preferencesDirectory() / "com.apple.dock.plist";
}

// Every key of the Dock's domain file, arrays included, as "type:value" texts.
std::map<std::string, std::string> dockKeys() {
    std::map<std::string, std::string> keys;
    auto bytes = platform::readFile(dockFile(), 1 << 20);
    if (!bytes) return keys;
    plist_t root = nullptr;
    plist_from_memory(bytes->data(), static_cast<std::uint32_t>(bytes->size()), &root);
    if (root == nullptr) return {{"<undecodable>", ""}};
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(root, &iterator);
    for (;;) {
        char* key = nullptr;
        plist_t node = nullptr;
        plist_dict_next_item(root, iterator, &key, &node);
        if (node == nullptr) break;
        std::string text;
        switch (plist_get_node_type(node)) {
            case PLIST_BOOLEAN: {
                std::uint8_t value = 0;
                plist_get_bool_val(node, &value);
                text = value ? "bool:true" : "bool:false";
                break;
            }
            case PLIST_UINT: {
                std::uint64_t value = 0;
                plist_get_uint_val(node, &value);
                text = "int:" + std::to_string(static_cast<std::int64_t>(value));
                break;
            }
            case PLIST_REAL: {
                double value = 0;
                plist_get_real_val(node, &value);
                text = "real:" + std::to_string(value);
                break;
            }
            case PLIST_STRING: {
                char* value = nullptr;
                plist_get_string_val(node, &value);
                text = std::string("string:") + value;
                std::free(value);
                break;
            }
            case PLIST_ARRAY:
                text = "array:" + std::to_string(plist_array_get_size(node));
                break;
            default:
                text = "other";
        }
        keys[key] = text;
        std::free(key);
    }
    std::free(iterator);
    plist_free(root);
    return keys;
}

// A Dock domain as the user left it: an array the tools never touch, values the hide list
// overwrites, and "no-bouncing" as the case says.
void writeUserDock(const std::optional<bool>& bouncing) {
    std::string body =
        R"(<key>persistent-apps</key><array><string>a</string><string>b</string></array>
<key>orientation</key><string>left</string>
<key>magnification</key><true/>
<key>largesize</key><integer>64</integer>
<key>tilesize</key><integer>48</integer>
<key>autohide</key><false/>)";
    if (bouncing)
        body += std::string("<key>no-bouncing</key>") + (*bouncing ? "<true/>" : "<false/>");
    std::filesystem::create_directories(platform::paths::preferencesDirectory());
    ASSERT_TRUE(platform::writeFileAtomically(
        dockFile(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" +
                        body + "</dict></plist>\n"));
}

TEST(NativeDockStandIns, HideThenRestoreGivesTheBounceKeyBackExactly) {
    const std::vector<std::pair<std::string, std::optional<bool>>> cases{
        {"absent", std::nullopt}, {"true", true}, {"false", false}};
    for (const auto& [name, bouncing] : cases) {
        SCOPED_TRACE("no-bouncing " + name);
        TemporaryDirectory data;
        const auto backupURL = NativeDockBounceBackup::urlBeside(data / "Tavrel/settings.json");
        writeUserDock(bouncing);
        auto runner = standInRunner();

        ASSERT_TRUE(applyNativeDockHidden(true, *runner, backupURL));
        EXPECT_EQ(dockKeys(),
                  (std::map<std::string, std::string>{{"persistent-apps", "array:2"},
                                                      {"autohide", "bool:true"},
                                                      {"autohide-delay", "real:15.000000"},
                                                      {"tilesize", "int:15"},
                                                      {"largesize", "int:64"},
                                                      {"orientation", "string:bottom"},
                                                      {"magnification", "bool:false"},
                                                      {"no-bouncing", "bool:true"}}));
        ASSERT_TRUE(nativeDockBounceBackupExists(backupURL));

        ASSERT_TRUE(applyNativeDockHidden(false, *runner, backupURL));
        std::map<std::string, std::string> restored{{"persistent-apps", "array:2"},
                                                    {"autohide", "bool:false"},
                                                    {"orientation", "string:bottom"},
                                                    {"magnification", "bool:false"}};
        if (bouncing) restored["no-bouncing"] = *bouncing ? "bool:true" : "bool:false";
        EXPECT_EQ(dockKeys(), restored);
        EXPECT_FALSE(nativeDockBounceBackupExists(backupURL));

        // Restoring again finds every deleted key already gone, which is fine while restoring.
        EXPECT_TRUE(applyNativeDockHidden(false, *runner, backupURL));
        EXPECT_EQ(dockKeys(), restored);
    }
}

TEST(NativeDockStandIns, TheFirstHideCreatesTheDomainAndABackupOfMissing) {
    TemporaryDirectory data;
    const auto backupURL = data / "native-dock-bounce-backup.json";
    auto runner = standInRunner();
    ASSERT_FALSE(std::filesystem::exists(dockFile()));
    EXPECT_EQ(readNativeDockBouncePreference(*runner), "missing");
    ASSERT_TRUE(applyNativeDockHidden(true, *runner, backupURL));
    EXPECT_EQ(loadNativeDockBouncePreference(backupURL), "missing");
    EXPECT_EQ(readNativeDockBouncePreference(*runner), "true");
}

TEST(NativeDockStandIns, AHangingToolIsTerminatedAndTheHideFails) {
    TemporaryDirectory tools;
    const auto hanging = tools / "tavrel-defaults";
    ASSERT_TRUE(platform::writeFileAtomically(hanging, "#!/bin/sh\nexec sleep 60\n"));
    std::filesystem::permissions(hanging, std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);
    auto runner = platform::makeToolResolvingProcessRunner(platform::makeProcessRunner(),
                                                           platform::ToolResolver({tools.path()}));
    TemporaryDirectory data;
    const auto backupURL = data / "native-dock-bounce-backup.json";

    std::vector<std::string> lines;
    platform::ScopedLogCapture capture([&](std::string_view text) { lines.emplace_back(text); });
    EXPECT_FALSE(applyNativeDockHidden(true, *runner, backupURL));
    EXPECT_EQ(lines, std::vector<std::string>{"Tavrel: reading Dock bounce preference timed out"});
    EXPECT_FALSE(nativeDockBounceBackupExists(backupURL));
}

TEST(ToolResolver, MapsTheTwoMacPathsToTheStandIns) {
    const platform::ToolResolver resolver({"/nonexistent", kToolDirectory});
    EXPECT_EQ(resolver.resolve("/usr/bin/defaults"), (kToolDirectory / "tavrel-defaults").string());
    EXPECT_EQ(resolver.resolve("/usr/bin/killall"),
              (kToolDirectory / "tavrel-dock-restart").string());
    EXPECT_EQ(resolver.resolve("/bin/true"), "/bin/true");
    EXPECT_EQ(resolver.resolve("/usr/bin/defaults-extra"), "/usr/bin/defaults-extra");
    EXPECT_EQ(platform::ToolResolver({"/nonexistent"}).resolve("/usr/bin/defaults"), std::nullopt);

    auto unresolved = platform::makeToolResolvingProcessRunner(platform::makeProcessRunner(),
                                                               platform::ToolResolver({}));
    platform::ProcessRequest request;
    request.executable = "/usr/bin/killall";
    request.arguments = {"Dock"};
    const auto result = unresolved->run(request);
    EXPECT_EQ(result.outcome, platform::ProcessResult::Outcome::failedToStart);
    EXPECT_NE(result.error.find("/usr/bin/killall"), std::string::npos);
}

TEST(ToolResolver, TheStandardSearchFindsTheBuildTreeOrTheOverride) {
    ::unsetenv("TAVREL_TOOL_DIRECTORY");
    // This test runs from a directory below the build tree, whose bin holds the stand-ins.
    EXPECT_EQ(platform::ToolResolver::standard().resolve("/usr/bin/defaults"),
              (std::filesystem::weakly_canonical(kToolDirectory) / "tavrel-defaults").string());

    TemporaryDirectory empty;
    ::setenv("TAVREL_TOOL_DIRECTORY", empty.path().c_str(), 1);
    EXPECT_EQ(platform::ToolResolver::standard().searchDirectories(),
              std::vector<std::filesystem::path>{empty.path()});
    EXPECT_EQ(platform::ToolResolver::standard().resolve("/usr/bin/defaults"), std::nullopt);
    ::unsetenv("TAVREL_TOOL_DIRECTORY");
}

TEST(ToolResolver, AnInstalledBundleFindsThePrefixBinBeforePath) {
    ::setenv("PATH", "/usr/local/bin:relative:/usr/bin", 1);
    const auto directories =
        platform::ToolResolver::forExecutable(
            "/opt/tavrel/lib/tavrel/TavrelSettings.app/Contents/MacOS/TavrelSettings")
            .searchDirectories();
    const std::vector<std::filesystem::path> expected{
        "/opt/tavrel/lib/tavrel/TavrelSettings.app/Contents/MacOS",
        "/opt/tavrel/lib/tavrel/TavrelSettings.app/Contents/MacOS/bin",
        "/opt/tavrel/lib/tavrel/TavrelSettings.app/Contents/bin",
        "/opt/tavrel/lib/tavrel/TavrelSettings.app/bin",
        "/opt/tavrel/lib/tavrel/bin",
        "/opt/tavrel/lib/bin",
        "/opt/tavrel/bin",
        "/usr/local/bin",
        "/usr/bin"};
    EXPECT_EQ(directories, expected);
}

TEST(DockRestartStandIn, AcceptsOnlyTheDock) {
    auto runner = standInRunner();
    const std::vector<std::pair<std::vector<std::string>, int>> cases{
        {{"Dock"}, 0}, {{"Finder"}, 1}, {{}, 2}, {{"Dock", "Finder"}, 2}, {{"--help"}, 0}};
    for (const auto& [arguments, status] : cases) {
        platform::ProcessRequest request;
        request.executable = "/usr/bin/killall";
        request.arguments = arguments;
        const auto result = runner->run(request);
        EXPECT_EQ(result.outcome, platform::ProcessResult::Outcome::exited);
        EXPECT_EQ(result.exitStatus, status) << (arguments.empty() ? "" : arguments[0]);
    }
}

}  // namespace
}  // namespace tavrel
