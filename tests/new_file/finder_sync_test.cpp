// The extension's logic over a scripted host: menus, the target folder, unique names, template
// lookup, the desktop placement request and the diagnostics switch.

#include "core/new_file/finder_sync.h"

#include <chrono>
#include <cmath>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "platform/fake/fake_notification_center.h"
#include "platform/fake/manual_clock.h"
#include "platform/fake/manual_main_queue.h"
#include "platform/log.h"
#include "platform/uuid.h"
#include "tests/new_file/new_file_test_support.h"

namespace tavrel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace tavrel::testing;

class ScriptedHost final : public FinderSyncHost {
public:
    std::optional<ScreenPoint> pointer;
    std::vector<ScreenFrame> frames;
    std::optional<fs::path> desktop;

    std::optional<ScreenPoint> mouseLocation() override { return pointer; }
    std::vector<ScreenFrame> screens() override { return frames; }
    std::optional<fs::path> desktopDirectory() override { return desktop; }
    std::int64_t processIdentifier() override { return 4242; }
};

FinderSyncMenuItemReference itemWithID(const std::string& id) {
    return FinderSyncMenuItemReference{id, id, ""};
}
FinderSyncMenuItemReference itemWithTitle(const std::string& title) {
    return FinderSyncMenuItemReference{std::nullopt, "", title};
}

class FinderSyncTest : public ::testing::Test {
protected:
    FinderSyncTest() {
        actAsExtension();
        for (const char* name : {"empty.txt", "empty.docx", "empty.pptx", "empty.xlsx"}) {
            writeFile(resources() / name, std::string("shipped ") + name);
        }
        fs::create_directories(folder());
        fs::create_directories(desktop());
        host.desktop = desktop();
        host.frames = {ScreenFrame{0, 0, 1440, 900}};
        clock->setNow(std::chrono::system_clock::time_point(std::chrono::seconds(1700000000)));
    }

    fs::path root() const { return root_.path(); }
    fs::path resources() const { return root() / "Bundle/Contents/Resources"; }
    fs::path folder() const { return root() / "folder"; }
    fs::path desktop() const { return root() / "home/Desktop"; }
    FinderSyncTarget inFolder(const fs::path& path) const { return FinderSyncTarget{path, {}}; }

    // The extension's own copy of the document.
    void storeSettings(const NewFileSettings& settings) {
        writeFile(NewFileSettings::extensionSettingsURL(), *settings.encode());
    }

    std::vector<std::string> logLines;
    ScriptedHost host;
    platform::ManualMainQueue queue;
    platform::FakeNotificationCenter center{queue};
    std::shared_ptr<platform::ManualClock> clock = std::make_shared<platform::ManualClock>();
    TemporaryDirectory root_;
    ScopedEnvironment data_{"XDG_DATA_HOME", (root_.path() / "data").string()};
    ScopedEnvironment diagnostics_{"TAVREL_SOURCE_DIAGNOSTICS", std::nullopt};
    platform::ScopedLogCapture capture_{
        [this](std::string_view line) { logLines.emplace_back(line); }};
    FinderSync finder{host, &center, resources(), clock};
};

TEST_F(FinderSyncTest, MenuOffersEnabledTemplatesOnItemAndContainerMenusOnly) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[2].isEnabled = false;
    settings.templates.push_back(
        NewFileTemplate{"custom-1", "报告", "新建 报告", "md", true, false, "custom-1.md"});
    storeSettings(settings);

    for (auto kind : {FinderSyncMenuKind::contextualMenuForItems,
                      FinderSyncMenuKind::contextualMenuForContainer}) {
        auto menu = finder.menu(kind);
        ASSERT_TRUE(menu.has_value());
        EXPECT_EQ(menu->title, "新建文件");
        EXPECT_EQ(menu->symbolName, "doc.badge.plus");
        EXPECT_THAT(menu->items, ElementsAre(FinderSyncMenuItem{"文本文档", "txt"},
                                             FinderSyncMenuItem{"Word 文档", "docx"},
                                             FinderSyncMenuItem{"Excel 工作簿", "xlsx"},
                                             FinderSyncMenuItem{"报告", "custom-1"}));
    }
    EXPECT_FALSE(finder.menu(FinderSyncMenuKind::contextualMenuForSidebar).has_value());
    EXPECT_FALSE(finder.menu(FinderSyncMenuKind::toolbarItemMenu).has_value());

    settings.isEnabled = false;
    storeSettings(settings);
    host.pointer = ScreenPoint{5, 6};
    EXPECT_FALSE(finder.menu(FinderSyncMenuKind::contextualMenuForContainer).has_value());
    // The pointer is recorded even when no menu results.
    EXPECT_EQ(finder.lastContextMenuScreenPoint(), (ScreenPoint{5, 6}));
}

TEST_F(FinderSyncTest, TargetFolderFollowsTargetedFolderThenSelectionThenDesktop) {
    writeFile(folder() / "note.txt", "");
    fs::create_directories(folder() / "sub");
    struct Case {
        const char* name;
        FinderSyncTarget target;
        bool withDesktop;
        std::optional<fs::path> expected;
    };
    const std::vector<Case> cases = {
        {"targeted folder", {folder(), {folder() / "note.txt"}}, true, folder()},
        {"targeted file: selected file's folder",
         {folder() / "note.txt", {folder() / "note.txt"}},
         true,
         folder()},
        {"selected folder",
         {std::nullopt, {folder() / "sub", folder() / "note.txt"}},
         true,
         folder() / "sub"},
        {"selected item that is gone", {std::nullopt, {folder() / "gone.txt"}}, true, folder()},
        {"targeted folder that is gone", {root() / "gone", {}}, true, desktop()},
        {"nothing: the desktop", {}, true, desktop()},
        {"nothing and no desktop", {}, false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.desktop = c.withDesktop ? std::optional<fs::path>(desktop()) : std::nullopt;
        EXPECT_EQ(finder.targetDirectoryURL(c.target), c.expected);
    }
}

TEST_F(FinderSyncTest, CreatedFilesTakeTheFirstFreeName) {
    // One after another, as a user choosing the item three times.
    for (const char* expected : {"新建文本文档.txt", "新建文本文档 2.txt", "新建文本文档 3.txt"}) {
        auto created = finder.createFile(itemWithID("txt"), inFolder(folder()));
        ASSERT_TRUE(created.ok()) << created.error().message;
        EXPECT_EQ(*created, folder() / expected);
        EXPECT_EQ(readFile(*created), "shipped empty.txt");
    }
    struct Case {
        const char* name;
        std::vector<std::string> existing;
        bool danglingLink;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"free", {}, false, "新建 Word 文档.docx"},
        {"taken", {"新建 Word 文档.docx"}, false, "新建 Word 文档 2.docx"},
        {"only the second taken", {"新建 Word 文档 2.docx"}, false, "新建 Word 文档.docx"},
        {"a dangling link takes a name", {}, true, "新建 Word 文档 2.docx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryDirectory scratch;
        for (const std::string& name : c.existing) writeFile(scratch.path() / name, "mine");
        if (c.danglingLink)
            fs::create_symlink(root() / "nowhere", scratch.path() / "新建 Word 文档.docx");
        auto created = finder.createFile(itemWithID("docx"), inFolder(scratch.path()));
        ASSERT_TRUE(created.ok()) << created.error().message;
        EXPECT_EQ(*created, scratch.path() / c.expected);
        for (const std::string& name : c.existing)
            EXPECT_EQ(readFile(scratch.path() / name), "mine");
        EXPECT_FALSE(fs::exists(root() / "nowhere"));
    }
}

TEST_F(FinderSyncTest, TemplatesAreFoundByIDOrTitleAmongEnabledOnes) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[3].isEnabled = false;
    storeSettings(settings);
    struct Case {
        const char* name;
        FinderSyncMenuItemReference item;
        std::optional<std::string> expectedID;
    };
    const std::vector<Case> cases = {
        {"represented object", {"pptx", "txt", "whatever"}, "pptx"},
        {"identifier only", {std::nullopt, "docx", ""}, "docx"},
        {"display name", itemWithTitle("文本文档"), "txt"},
        {"display name with extension", itemWithTitle("文本文档 .txt"), "txt"},
        {"unknown id falls back to the title", {"gone", "gone", "Word 文档"}, "docx"},
        {"disabled template", itemWithID("xlsx"), std::nullopt},
        {"nothing matches", itemWithTitle("Nope"), std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto found = finder.resolveTemplate(c.item);
        EXPECT_EQ(found ? std::optional<std::string>(found->id) : std::nullopt, c.expectedID);
    }
}

TEST_F(FinderSyncTest, ImportedTemplatesComeFromTheExtensionsOwnDirectory) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates.push_back(
        NewFileTemplate{"custom-1", "报告", "新建 报告", "md", true, false, "custom-1.md"});
    settings.templates.push_back(
        NewFileTemplate{"custom-2", "无名", "新建 无名", "md", true, false, std::nullopt});
    settings.templates.push_back(
        NewFileTemplate{"custom-3", "丢失", "新建 丢失", "csv", true, false, "custom-3.csv"});
    settings.templates.push_back(
        NewFileTemplate{"custom-4", "越界", "../越界", "txt", true, false, "custom-1.md"});
    settings.templates.push_back(NewFileTemplate{"custom-5", "偷看", "新建 偷看", "json", true,
                                                 false, "../NewFileSettings.json"});
    storeSettings(settings);
    writeFile(NewFileSettings::extensionTemplatesDirectory() / "custom-1.md", "# 报告");
    writeFile(NewFileSettings::extensionTemplatesDirectory() / "empty.md", "# empty");
    // The main copy is the settings application's, never the extension's source.
    writeFile(NewFileSettings::mainTemplatesDirectory() / "custom-3.csv", "a,b");

    EXPECT_EQ(readFile(*finder.createFile(itemWithID("custom-1"), inFolder(folder()))), "# 报告");
    EXPECT_EQ(readFile(*finder.createFile(itemWithID("custom-2"), inFolder(folder()))), "# empty");

    struct Failure {
        const char* id;
        std::string destination;
    };
    for (const Failure& failure : {Failure{"custom-3", (folder() / "新建 丢失.csv").string()},
                                   Failure{"custom-4", (folder() / "../越界.txt").string()},
                                   Failure{"custom-5", (folder() / "新建 偷看.json").string()}}) {
        SCOPED_TRACE(failure.id);
        logLines.clear();
        EXPECT_FALSE(finder.createFile(itemWithID(failure.id), inFolder(folder())).ok());
        ASSERT_EQ(logLines.size(), 1u);
        EXPECT_THAT(logLines[0], HasSubstr("Tavrel FinderSync: failed to create file at " +
                                           failure.destination + ": "));
    }
    EXPECT_THAT(listTree(folder()), ElementsAre("新建 报告.md", "新建 无名.md"));
    EXPECT_FALSE(fs::exists(root() / "越界.txt"));
}

TEST_F(FinderSyncTest, IconPositionIsMeasuredFromTheClickedScreensTopLeft) {
    const std::vector<ScreenFrame> screens = {ScreenFrame{0, 0, 1440, 900},
                                              ScreenFrame{1440, -180, 1920, 1080}};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        ScreenPoint click;
        std::vector<ScreenFrame> screens;
        std::optional<DesktopIconPosition> expected;
    };
    const std::vector<Case> cases = {
        {"10 from the left, 20 from the top", {10, 880}, screens, DesktopIconPosition{0, 0}},
        {"inside the main screen", {500, 400}, screens, DesktopIconPosition{468, 468}},
        {"halves round away from zero", {500.5, 400.5}, screens, DesktopIconPosition{469, 468}},
        {"below a half rounds down", {500.4, 400.6}, screens, DesktopIconPosition{468, 467}},
        {"second screen", {1500, 100}, screens, DesktopIconPosition{28, 768}},
        {"left edge belongs to the second screen", {1440, 0}, screens, DesktopIconPosition{0, 868}},
        {"on no screen: the main one, clamped", {-100, -50}, screens, DesktopIconPosition{0, 899}},
        {"far right: clamped to the main one",
         {9000, 300},
         screens,
         DesktopIconPosition{1439, 568}},
        {"no screen", {10, 10}, {}, std::nullopt},
        {"not a number", {nan, 10}, screens, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(desktopIconPosition(c.click, c.screens), c.expected);
    }
}

TEST_F(FinderSyncTest, DesktopFoldersAreTheUsersDesktopOrAnyFolderNamedDesktop) {
    struct Case {
        fs::path folder;
        bool desktop;
    };
    for (const Case& c :
         {Case{desktop(), true}, Case{desktop() / "", true}, Case{root() / "project/Desktop", true},
          Case{root() / "桌面", true}, Case{root() / "Desktops", false},
          Case{root() / "desktop", false}, Case{folder(), false}}) {
        SCOPED_TRACE(c.folder.string());
        const std::optional<fs::path> userDesktop =
            c.folder == root() / "桌面" ? std::optional<fs::path>(root() / "桌面") : desktop();
        EXPECT_EQ(isDesktopDirectory(c.folder, userDesktop), c.desktop);
    }
}

TEST_F(FinderSyncTest, DesktopCreationWritesTheRequestAndPostsTheSameBytes) {
    host.pointer = ScreenPoint{100, 700};
    ASSERT_TRUE(finder.menu(FinderSyncMenuKind::contextualMenuForContainer).has_value());
    host.pointer = ScreenPoint{1, 1};  // moved since the menu opened
    auto first = finder.createFile(itemWithID("txt"), inFolder(desktop()));
    ASSERT_TRUE(first.ok());

    host.pointer = ScreenPoint{300.75, 500.25};
    ASSERT_TRUE(finder.menu(FinderSyncMenuKind::contextualMenuForContainer).has_value());
    fs::create_directories(root() / "project/Desktop");
    auto second = finder.createFile(itemWithID("docx"), inFolder(root() / "project/Desktop"));
    ASSERT_TRUE(second.ok());

    const auto posted = center.posted();
    ASSERT_EQ(posted.size(), 2u);
    const auto file = readFile(NewFileSettings::extensionDesktopPositionRequestURL());
    ASSERT_TRUE(file.has_value());
    // The file holds the latest request; each notification carries its own, as Base64.
    EXPECT_EQ(posted[1].object, base64::encode(*file));
    for (const Notification& notification : posted) {
        EXPECT_EQ(notification.name, "com.local.tavrel.desktopIconPositionRequest");
        EXPECT_TRUE(notification.userInfo.empty());
    }
    const auto decode = [](const Notification& notification) {
        auto bytes = base64::decode(*notification.object);
        return nlohmann::json::parse(bytes->begin(), bytes->end());
    };
    const nlohmann::json request1 = decode(posted[0]);
    EXPECT_EQ(request1["fileName"], "新建文本文档.txt");
    EXPECT_EQ(request1["filePath"], (desktop() / "新建文本文档.txt").string());
    EXPECT_EQ(request1["x"], 68);
    EXPECT_EQ(request1["y"], 168);
    EXPECT_EQ(request1["screenX"], 100.0);
    EXPECT_EQ(request1["screenY"], 700.0);
    EXPECT_EQ(request1["createdAt"], 1700000000.0);
    const std::string id = request1["requestID"];
    ASSERT_TRUE(platform::Uuid::parse(id).has_value());
    EXPECT_EQ(platform::Uuid::parse(id)->string(), id);  // upper case

    const nlohmann::json request2 = nlohmann::json::parse(*file);
    EXPECT_EQ(request2["fileName"], "新建 Word 文档.docx");
    EXPECT_EQ(request2["x"], 269);
    EXPECT_EQ(request2["y"], 368);
    EXPECT_EQ(request2["screenX"], 300.75);
    EXPECT_NE(request2["requestID"], request1["requestID"]);
    // Pretty-printed with sorted keys.
    EXPECT_EQ(file->rfind("{\n  \"createdAt\": ", 0), 0u);
}

TEST_F(FinderSyncTest, WithoutARecordedClickThePointerNowIsUsed) {
    host.pointer = ScreenPoint{232, 468};
    ASSERT_TRUE(finder.createFile(itemWithID("txt"), inFolder(desktop())).ok());
    const auto request =
        nlohmann::json::parse(*readFile(NewFileSettings::extensionDesktopPositionRequestURL()));
    EXPECT_EQ(request["x"], 200);
    EXPECT_EQ(request["y"], 400);
    EXPECT_EQ(request["screenX"], 200.0);
    EXPECT_EQ(request["screenY"], 400.0);
}

TEST_F(FinderSyncTest, NoRequestOutsideTheDesktopOrWithoutAScreen) {
    ScopedEnvironment on("TAVREL_SOURCE_DIAGNOSTICS", "1");
    host.pointer = ScreenPoint{10, 10};
    ASSERT_TRUE(finder.createFile(itemWithID("txt"), inFolder(folder())).ok());
    host.frames.clear();
    ASSERT_TRUE(finder.createFile(itemWithID("txt"), inFolder(desktop())).ok());
    host.pointer.reset();
    ASSERT_TRUE(finder.createFile(itemWithID("txt"), inFolder(desktop())).ok());

    EXPECT_TRUE(center.posted().empty());
    EXPECT_FALSE(fs::exists(NewFileSettings::extensionDesktopPositionRequestURL()));
    const std::string log = *readFile(FinderSync::diagnosticsLogURL());
    EXPECT_THAT(log, HasSubstr(" skip desktop icon position for non-desktop file " +
                               (folder() / "新建文本文档.txt").string() + "\n"));
    EXPECT_THAT(log,
                HasSubstr(" skip desktop icon position because screen point is unusable file=" +
                          (desktop() / "新建文本文档.txt").string() + " screen={10, 10}\n"));
    EXPECT_THAT(log, HasSubstr("because screen point is unusable file=" +
                               (desktop() / "新建文本文档 2.txt").string() + " screen=nil\n"));
}

TEST_F(FinderSyncTest, DiagnosticsAreWrittenOnlyWhenTheSwitchIsExactlyOne) {
    const std::regex line(
        R"(\d{4}-\d{2}-\d{2} \d{2}:\d{2}:\d{2} \+0000 pid=4242 (menu settings enabled=true templates=txt,docx,pptx,xlsx|created .*))");
    for (const std::optional<std::string>& value :
         {std::optional<std::string>(), std::optional<std::string>("0"),
          std::optional<std::string>("true"), std::optional<std::string>("1 "),
          std::optional<std::string>("01"), std::optional<std::string>("1")}) {
        SCOPED_TRACE(value ? "\"" + *value + "\"" : "unset");
        ScopedEnvironment variable("TAVREL_SOURCE_DIAGNOSTICS", value);
        fs::remove(FinderSync::diagnosticsLogURL());
        logLines.clear();
        (void)finder.menu(FinderSyncMenuKind::contextualMenuForContainer);
        ASSERT_TRUE(finder.createFile(itemWithID("txt"), inFolder(folder())).ok());
        const bool on = value == "1";
        const auto log = readFile(FinderSync::diagnosticsLogURL());
        EXPECT_EQ(log.has_value(), on);
        EXPECT_EQ(logLines.size(), on ? 2u : 0u);
        if (!on) continue;
        EXPECT_EQ(logLines[0], "Tavrel FinderSync: menu requested kind=1");
        EXPECT_THAT(logLines[1],
                    HasSubstr("Tavrel FinderSync: created file at " + folder().string()));
        std::vector<std::string> lines;
        std::istringstream stream(*log);
        for (std::string entry; std::getline(stream, entry);) lines.push_back(entry);
        ASSERT_EQ(lines.size(), 3u);  // menu, skip (not the desktop), created
        EXPECT_TRUE(std::regex_match(lines[0], line)) << lines[0];
        EXPECT_TRUE(std::regex_match(lines[2], line)) << lines[2];
    }
}

TEST_F(FinderSyncTest, StartAsksForTheSettingsAndAppliesEveryPayload) {
    std::vector<bool> outcomes;
    finder.onSettingsSyncApplied = [&](const Status& applied) { outcomes.push_back(applied.ok()); };
    finder.start();
    ASSERT_EQ(center.posted().size(), 1u);
    EXPECT_EQ(center.posted()[0],
              (Notification{"com.local.tavrel.newFileSettings.syncRequest", {}, {}}));

    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[1].isEnabled = false;
    const std::string payload = *NewFileSettingsSyncPayload{*settings.encode(), {}}.encode();
    const auto sync = [](NotificationUserInfo userInfo) {
        return Notification{"com.local.tavrel.newFileSettings.sync", std::nullopt,
                            std::move(userInfo)};
    };
    center.receive(sync({{"payload", NotificationBytes(payload.begin(), payload.end())}}));
    center.receive(sync({{"payload", std::string("not bytes")}}));  // ignored
    center.receive(sync({{"payload", NotificationBytes{'{'}}}));
    queue.runReady();

    EXPECT_THAT(outcomes, ElementsAre(true, false));
    auto menu = finder.menu(FinderSyncMenuKind::contextualMenuForContainer);
    ASSERT_TRUE(menu.has_value());
    EXPECT_THAT(menu->items, ElementsAre(FinderSyncMenuItem{"文本文档", "txt"},
                                         FinderSyncMenuItem{"PowerPoint 演示文稿", "pptx"},
                                         FinderSyncMenuItem{"Excel 工作簿", "xlsx"}));
}

// With a main queue only the latest payload matters: the payloads that arrive before the queue
// turns are applied once, as the latest of them says, and no more than that one is kept.
TEST_F(FinderSyncTest, OnlyTheLatestOfThePayloadsArrivingTogetherIsApplied) {
    platform::ManualMainQueue writes;
    FinderSync coalescing{host, &center, resources(), clock, &writes};
    std::vector<std::string> outcomes;
    coalescing.onSettingsSyncApplied = [&](const Status& applied) {
        outcomes.push_back(applied ? "applied" : "refused");
    };
    coalescing.start();

    const auto sync = [](const std::string& payload) {
        return Notification{"com.local.tavrel.newFileSettings.sync",
                            std::nullopt,
                            {{"payload", NotificationBytes(payload.begin(), payload.end())}}};
    };
    const auto payloadWithout = [&](std::size_t disabled, const std::string& templateName) {
        NewFileSettings settings = NewFileSettings::defaults();
        settings.templates[disabled].isEnabled = false;
        return sync(
            *NewFileSettingsSyncPayload{*settings.encode(), {{templateName, "data"}}}.encode());
    };
    const auto templates = NewFileSettings::extensionTemplatesDirectory();

    center.receive(payloadWithout(0, "first.md"));
    center.receive(payloadWithout(1, "second.md"));
    queue.runReady();  // every delivery, none of the writes
    EXPECT_TRUE(outcomes.empty());
    EXPECT_FALSE(fs::exists(NewFileSettings::extensionSettingsURL()));
    writes.runReady();
    EXPECT_THAT(outcomes, ElementsAre("applied"));
    EXPECT_TRUE(fs::exists(templates / "second.md"));
    EXPECT_FALSE(fs::exists(templates / "first.md")) << "the older payload was never applied";
    auto menu = coalescing.menu(FinderSyncMenuKind::contextualMenuForContainer);
    ASSERT_TRUE(menu.has_value());
    EXPECT_THAT(menu->items, ElementsAre(FinderSyncMenuItem{"文本文档", "txt"},
                                         FinderSyncMenuItem{"PowerPoint 演示文稿", "pptx"},
                                         FinderSyncMenuItem{"Excel 工作簿", "xlsx"}));

    // The latest decides, also when it is refused; the copy stays as it was.
    center.receive(payloadWithout(3, "third.md"));
    center.receive(sync("{"));
    queue.runReady();
    writes.runReady();
    EXPECT_THAT(outcomes, ElementsAre("applied", "refused"));
    EXPECT_FALSE(fs::exists(templates / "third.md"));
    // A payload over the size a payload may have is refused as it arrives, without being kept.
    center.receive(payloadWithout(3, "fourth.md"));
    center.receive(sync(std::string(NewFileLimits::maxPayloadBytes + 1, ' ')));
    queue.runReady();
    EXPECT_THAT(outcomes, ElementsAre("applied", "refused", "refused"));
    writes.runReady();
    EXPECT_THAT(outcomes, ElementsAre("applied", "refused", "refused"));
    EXPECT_FALSE(fs::exists(templates / "fourth.md"));

    center.receive(payloadWithout(2, "fifth.md"));
    queue.runReady();
    writes.runReady();
    EXPECT_THAT(outcomes, ElementsAre("applied", "refused", "refused", "applied"));
    EXPECT_TRUE(fs::exists(templates / "fifth.md"));

    // A payload still waiting when the extension goes is dropped with it.
    platform::FakeNotificationCenter otherCenter{queue};
    {
        FinderSync leaving{host, &otherCenter, resources(), clock, &writes};
        leaving.start();
        otherCenter.receive(payloadWithout(2, "sixth.md"));
        queue.runReady();
        EXPECT_EQ(writes.pendingCount(), 1u);
    }
    EXPECT_EQ(writes.pendingCount(), 0u);
    EXPECT_FALSE(fs::exists(templates / "sixth.md"));
}

}  // namespace
}  // namespace tavrel
