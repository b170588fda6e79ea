// The New File page on its form model with a recording host: what it lists, the order of every
// change's effects, importing and removing kinds, and the sidebar switch. The New File module
// works on the test's private data directory.

#include "core/settings_pages/new_file_page.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/notifications/notification_names.h"
#include "tests/new_file/new_file_test_support.h"
#include "tests/settings_app/recording_page_host.h"

namespace tavrel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using namespace tavrel::testing;

const std::string kSync(NewFileNotification::settingsSync);
const std::string kChanged(TavrelDistributedNotification::settingsChanged);

std::string shipped(const std::string& name) {
    return readFile(sourcePath("resources/templates/" + name)).value_or("<missing>");
}

// Records each post in the host's call list, with the document and the "empty.txt" template
// as they were on disk at that moment.
class SnapshotCenter final : public platform::NotificationCenter {
public:
    explicit SnapshotCenter(std::vector<std::string>& calls) : calls_(calls) {}

    struct Post {
        Notification notification;
        std::optional<std::string> document;
        std::optional<std::string> shippedText;
    };
    std::vector<Post> posts;

    Status post(const Notification& notification) override {
        std::string line = "post " + notification.name;
        if (const std::string* reason = userInfoString(notification.userInfo, "reason"))
            line += " " + *reason;
        calls_.push_back(line);
        posts.push_back(Post{notification, readFile(NewFileSettings::settingsURL()),
                             readFile(NewFileSettings::mainTemplatesDirectory() / "empty.txt")});
        return Status::success();
    }
    ObserverId observe(std::optional<std::string>, Handler) override { return 0; }
    void removeObserver(ObserverId) override {}

    // The last sync payload, decoded.
    std::optional<NewFileSettingsSyncPayload> lastPayload() const {
        for (auto post = posts.rbegin(); post != posts.rend(); ++post) {
            if (post->notification.name != kSync) continue;
            const NotificationBytes* bytes =
                userInfoBytes(post->notification.userInfo, NotificationKey::payload);
            if (!bytes) return std::nullopt;
            auto decoded =
                NewFileSettingsSyncPayload::decode(std::string(bytes->begin(), bytes->end()));
            if (!decoded) return std::nullopt;
            return std::move(decoded).value();
        }
        return std::nullopt;
    }

private:
    std::vector<std::string>& calls_;
};

NewFileTemplate custom(const std::string& id, const std::string& name, const std::string& extension,
                       bool enabled = true) {
    return NewFileTemplate{id,      name,  "新建 " + name,      extension,
                           enabled, false, id + "." + extension};
}

// One line per item of the page, so a whole page compares as one list.
std::vector<std::string> describe(const FormContent& form) {
    std::vector<std::string> lines;
    for (const FormItem& item : form.items()) {
        const auto* section = std::get_if<FormSection>(&item);
        if (!section) continue;
        lines.push_back("[" + section->title + "]");
        for (const FormRow& row : section->rows) {
            std::string line;
            if (const auto* toggle = std::get_if<SwitchControl>(&row.control)) {
                line = "switch " + row.title + (toggle->isOn ? " on" : " off");
            } else if (std::get_if<ButtonControl>(&row.control)) {
                line = "button " + row.title;
            } else if (std::get_if<InfoBlockControl>(&row.control)) {
                line = "info " + row.title;
            } else if (const auto* compound = std::get_if<CompoundControl>(&row.control)) {
                const bool on = std::get<CompoundSwitch>(compound->parts.at(0)).isOn;
                line = "template " + row.title + (on ? " on" : " off") + " | " + row.detail;
            } else {
                line = "other " + row.title;
            }
            lines.push_back(line);
        }
    }
    return lines;
}

class NewFilePageTest : public ::testing::Test {
public:  // the case tables' actions call the helpers
    NewFilePageTest() {
        // A bundle's Resources holding the shipped files, one of them in the subdirectory.
        for (const char* name : {"empty.txt", "empty.docx", "empty.pptx"}) {
            writeFile(resources_.path() / name, shipped(name));
        }
        writeFile(resources_.path() / "NewFileTemplates" / "empty.xlsx", shipped("empty.xlsx"));
    }

    std::shared_ptr<FormContent> page() {
        auto form = makeNewFileSettingsView(host, feature);
        forms_.push_back(form);  // the actions live as long as the form
        return form;
    }
    static const FormRow& row(const FormContent& form, std::string_view title) {
        const FormRow* found = form.row(title);
        if (!found) {
            ADD_FAILURE() << "no row " << title;
            static const FormRow none{};
            return none;
        }
        return *found;
    }
    void toggle(std::string_view title, bool on) {
        auto form = page();
        const FormRow& found = row(*form, title);
        host.calls.clear();
        if (const auto* control = std::get_if<SwitchControl>(&found.control)) {
            control->action(on);
        } else if (const auto* compound = std::get_if<CompoundControl>(&found.control)) {
            std::get<CompoundSwitch>(compound->parts.at(0)).action(on);
        } else {
            ADD_FAILURE() << title << " has no switch";
        }
    }
    void pressDelete(std::string_view title) {
        auto form = page();
        const auto* compound = std::get_if<CompoundControl>(&row(*form, title).control);
        ASSERT_TRUE(compound) << title;
        host.calls.clear();
        std::get<CompoundButton>(compound->parts.at(1)).action();
    }
    void import(std::optional<fs::path> file) {
        auto form = page();
        host.calls.clear();
        host.scriptedDialogs().answerOpenFile(std::move(file));
        std::get<ButtonControl>(row(*form, "导入模板").control).action();
    }

    static void store(const NewFileSettings& settings) {
        writeFile(NewFileSettings::settingsURL(), settings.encode().value());
    }
    static NewFileSettings withCustoms(std::vector<NewFileTemplate> customs) {
        NewFileSettings settings = NewFileSettings::defaults();
        for (auto& entry : customs) settings.templates.push_back(std::move(entry));
        return settings;
    }
    static fs::path templates() { return NewFileSettings::mainTemplatesDirectory(); }

    TemporaryDirectory resources_;
    test::RecordingPageHost host;
    SnapshotCenter center{host.calls};
    NewFileFeature feature{NewFileEnvironment{resources_.path(), &center}};
    std::vector<std::shared_ptr<FormContent>> forms_;
};

TEST_F(NewFilePageTest, ListsTheStoredDocumentAndCopiesTheShippedTemplates) {
    struct Case {
        const char* name;
        std::optional<NewFileSettings> stored;
        std::vector<std::string> page;
    };
    NewFileSettings edited =
        withCustoms({custom("custom-1", "Report", "md"), custom("custom-2", "草稿", "key", false)});
    edited.isEnabled = false;
    edited.templates[1].isEnabled = false;  // docx
    const std::vector<Case> cases = {
        {"NoDocument",
         std::nullopt,
         {"[Finder 右键菜单]", "switch 启用右键新建文件 on", "info 扩展启用状态", "[内置类型]",
          "switch 文本文档 .txt on", "switch Word 文档 .docx on",
          "switch PowerPoint 演示文稿 .pptx on", "switch Excel 工作簿 .xlsx on", "[自定义类型]",
          "button 导入模板", "info 暂无自定义类型"}},
        {"DisabledWithImportedKinds",
         edited,
         {"[Finder 右键菜单]", "switch 启用右键新建文件 off", "info 扩展启用状态", "[内置类型]",
          "switch 文本文档 .txt on", "switch Word 文档 .docx off",
          "switch PowerPoint 演示文稿 .pptx on", "switch Excel 工作簿 .xlsx on", "[自定义类型]",
          "button 导入模板", "template Report .md on | 默认文件名：新建 Report",
          "template 草稿 .key off | 默认文件名：新建 草稿"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ignored;
        fs::remove_all(NewFileSettings::mainSettingsDirectory(), ignored);
        if (c.stored) store(*c.stored);
        EXPECT_EQ(describe(*page()), c.page);
        for (const char* name : {"empty.txt", "empty.docx", "empty.pptx", "empty.xlsx"}) {
            EXPECT_EQ(readFile(templates() / name), shipped(name)) << name;
        }
    }
    EXPECT_TRUE(center.posts.empty());  // showing the page changes nothing
}

TEST_F(NewFilePageTest, FixedTextsAndStyles) {
    auto form = page();
    EXPECT_EQ(row(*form, "启用右键新建文件").detail,
              "在 Finder 文件夹或桌面空白处右键时显示“新建文件”菜单。");
    const auto& status = std::get<InfoBlockControl>(row(*form, "扩展启用状态").control);
    EXPECT_EQ(status.body, NewFileInstructions::informativeText());
    EXPECT_EQ(status.bodyColor, FormTextColor::systemRed);
    EXPECT_EQ(status.bodyWeight, FormFontWeight::bold);
    EXPECT_EQ(row(*form, "Excel 工作簿 .xlsx").detail, "在“新建文件”子菜单中显示或隐藏此类型。");
    EXPECT_EQ(row(*form, "导入模板").detail,
              "选择一个空白文件作为模板，Tavrel 会复制保存，并加入 Finder 的“新建文件”菜单。");
    EXPECT_EQ(std::get<ButtonControl>(row(*form, "导入模板").control).symbolName, std::nullopt);
    const auto& empty = std::get<InfoBlockControl>(row(*form, "暂无自定义类型").control);
    EXPECT_EQ(empty.body, "导入一个空白模板文件后，会在这里显示，并同步出现在 Finder 右键菜单中。");
    EXPECT_EQ(empty.bodyColor, FormTextColor::secondaryLabel);
    EXPECT_EQ(empty.bodyWeight, FormFontWeight::regular);
}

// Each change: the document is written and the shipped templates copied before the sync is
// posted, then settingsChanged with the New File reason, then the page is rebuilt where it was.
TEST_F(NewFilePageTest, EveryChangeWritesSyncsAnnouncesAndRebuildsInOrder) {
    const fs::path report = resources_.path() / "chosen" / "Report.md";
    writeFile(report, "# report\n");
    struct Case {
        const char* name;
        NewFileSettings before;
        std::function<void(NewFilePageTest&)> act;
        std::function<std::vector<std::string>(const NewFileSettings&)> enabledIDs;
        std::vector<std::string> expectedEnabled;
        bool explains = false;
    };
    NewFileSettings disabled = withCustoms({custom("custom-a", "A", "md")});
    disabled.isEnabled = false;
    const auto enabledIDs = [](const NewFileSettings& s) {
        std::vector<std::string> ids;
        for (const NewFileTemplate& t : s.enabledTemplates()) ids.push_back(t.id);
        return ids;
    };
    const std::vector<Case> cases = {
        {"MasterOff",
         withCustoms({custom("custom-a", "A", "md")}),
         [](NewFilePageTest& t) { t.toggle("启用右键新建文件", false); },
         enabledIDs,
         {}},
        {"MasterOnExplains",
         disabled,
         [](NewFilePageTest& t) { t.toggle("启用右键新建文件", true); },
         enabledIDs,
         {"txt", "docx", "pptx", "xlsx", "custom-a"},
         true},
        {"BuiltInOff",
         withCustoms({custom("custom-a", "A", "md")}),
         [](NewFilePageTest& t) { t.toggle("文本文档 .txt", false); },
         enabledIDs,
         {"docx", "pptx", "xlsx", "custom-a"}},
        {"ImportedOff",
         withCustoms({custom("custom-a", "A", "md")}),
         [](NewFilePageTest& t) { t.toggle("A .md", false); },
         enabledIDs,
         {"txt", "docx", "pptx", "xlsx"}},
        {"Removed",
         withCustoms({custom("custom-a", "A", "md")}),
         [](NewFilePageTest& t) { t.pressDelete("A .md"); },
         enabledIDs,
         {"txt", "docx", "pptx", "xlsx"}},
        {"Imported",
         NewFileSettings::defaults(),
         [report](NewFilePageTest& t) { t.import(report); },
         [](const NewFileSettings& s) {
             std::vector<std::string> names;
             for (const NewFileTemplate& t : s.enabledTemplates()) names.push_back(t.displayName);
             return names;
         },
         {"文本文档", "Word 文档", "PowerPoint 演示文稿", "Excel 工作簿", "Report"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store(c.before);
        writeFile(templates() / "custom-a.md", "a");
        center.posts.clear();
        auto built = page();  // copies the shipped templates; then take one away
        fs::remove(templates() / "empty.txt");
        if (c.explains) host.scriptedDialogs().answer("知道了");

        c.act(*this);

        EXPECT_THAT(host.calls,
                    ElementsAre("post " + kSync, "post " + kChanged + " new-file-settings-change",
                                "storePageScrollOrigin", "rebuild"));
        ASSERT_EQ(center.posts.size(), 2u);
        const SnapshotCenter::Post& sync = center.posts[0];
        const auto payload = center.lastPayload();
        ASSERT_TRUE(payload);
        EXPECT_EQ(sync.document, payload->settingsData);  // written before it was posted
        EXPECT_EQ(sync.shippedText, shipped("empty.txt"));
        EXPECT_EQ(center.posts[1].notification.object, std::nullopt);
        EXPECT_EQ(c.enabledIDs(NewFileSettings::decode(payload->settingsData).value()),
                  c.expectedEnabled);
        EXPECT_EQ(c.enabledIDs(NewFileSettings::load()), c.expectedEnabled);

        const auto& asked = host.scriptedDialogs().asked;
        if (c.explains) {
            ASSERT_EQ(asked.size(), 1u);
            EXPECT_EQ(asked[0], newFileInstructionsAlert());
            EXPECT_EQ(asked[0].message, "请开启文件提供程序扩展");
            EXPECT_TRUE(host.scriptedDialogs().askedAsSheet[0]);
        } else {
            EXPECT_TRUE(asked.empty());
        }
        host.scriptedDialogs().asked.clear();
        host.scriptedDialogs().askedAsSheet.clear();
        EXPECT_TRUE(host.scriptedDialogs().allAnswersUsed());
    }
}

struct ImportCase {
    const char* name;
    std::string fileName;
    std::string title;  // the row; empty: the import fails
    std::string detail;
    std::string extension;
};

TEST_F(NewFilePageTest, ImportDerivesTheKindFromTheFileName) {
    const std::vector<ImportCase> cases = {
        {"Plain", "Report.md", "Report .md", "默认文件名：新建 Report", "md"},
        {"UpperCase", "NOTES.TXT", "NOTES .txt", "默认文件名：新建 NOTES", "txt"},
        {"OnlyWhiteSpaceName", "   .md", "MD .md", "默认文件名：新建 MD", "md"},
        {"WideSpacesAndTrailingSpace", "\u3000季度 报告\u3000.Key ", "季度 报告 .key",
         "默认文件名：新建 季度 报告", "key"},
        {"LastExtensionOnly", "archive.tar.gz", "archive.tar .gz", "默认文件名：新建 archive.tar",
         "gz"},
        {"NotUtf8", "bad\xff name.md", "bad\uFFFD name .md", "默认文件名：新建 bad\uFFFD name",
         "md"},
    };
    for (const ImportCase& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path chosen = resources_.path() / "chosen" / c.fileName;
        writeFile(chosen, std::string("bytes of ") + c.name);
        import(chosen);

        EXPECT_TRUE(host.scriptedDialogs().asked.empty());
        const NewFileSettings stored = NewFileSettings::load();
        const NewFileTemplate& added = stored.templates.back();
        EXPECT_FALSE(added.isBuiltIn);
        EXPECT_TRUE(added.isEnabled);
        EXPECT_EQ(added.fileExtension, c.extension);
        EXPECT_TRUE(std::regex_match(
            added.id, std::regex("custom-[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-"
                                 "[0-9a-f]{12}")))
            << added.id;
        EXPECT_EQ(added.templateFileName, added.id + "." + c.extension);
        EXPECT_EQ(readFile(templates() / *added.templateFileName),
                  std::string("bytes of ") + c.name);
        const FormRow& shown = row(*page(), c.title);
        EXPECT_EQ(shown.detail, c.detail);
    }
    const auto& request = host.scriptedDialogs().openRequests.front();
    EXPECT_EQ(request.title, "选择空白模板文件");
    EXPECT_EQ(request.prompt, "导入");
    EXPECT_FALSE(request.canChooseDirectories);
    EXPECT_TRUE(request.allowedExtensions.empty());
}

TEST_F(NewFilePageTest, AFailedImportExplainsAndChangesNothing) {
    const fs::path chosen = resources_.path() / "chosen";
    writeFile(chosen / "Makefile", "all:");
    writeFile(chosen / ".bashrc", "x");
    writeFile(chosen / "notes.", "x");
    writeFile(chosen / ("x." + std::string(220, 'e')), "x");
    {
        // Sparse: one byte over the cap without writing 8 MiB.
        std::ofstream big(chosen / "big.md", std::ios::binary);
        big.seekp(static_cast<std::streamoff>(NewFileLimits::maxTemplateFileBytes));
        big.put('x');
    }
    struct Case {
        const char* name;
        fs::path file;
        std::string informativeText;  // a prefix
    };
    const std::vector<Case> cases = {
        {"NoExtension", chosen / "Makefile", "请选择带有文件扩展名的模板文件。"},
        {"DotFile", chosen / ".bashrc", "请选择带有文件扩展名的模板文件。"},
        {"EmptyExtension", chosen / "notes.", "请选择带有文件扩展名的模板文件。"},
        {"ExtensionTooLong", chosen / ("x." + std::string(220, 'e')),
         "这个文件的扩展名不能用作模板类型。"},
        {"TooLarge", chosen / "big.md", "模板文件不能大于 8 MB，请选择一个空白文件。"},
        {"Unreadable", chosen / "gone.md", "无法复制模板文件："},
        {"Directory", chosen / "folder.md", "无法复制模板文件："},
    };
    fs::create_directories(chosen / "folder.md");
    store(withCustoms({custom("custom-a", "A", "md")}));
    writeFile(templates() / "custom-a.md", "a");
    const std::string before = readFile(NewFileSettings::settingsURL()).value();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host.scriptedDialogs().answer("知道了");
        import(c.file);
        EXPECT_TRUE(host.calls.empty());  // no rebuild
        EXPECT_TRUE(center.posts.empty());
        EXPECT_EQ(readFile(NewFileSettings::settingsURL()), before);
        ASSERT_EQ(host.scriptedDialogs().asked.size(), 1u);
        const platform::ModalAlert& alert = host.scriptedDialogs().asked.back();
        EXPECT_EQ(alert.message, "导入模板失败");
        EXPECT_THAT(alert.informativeText, StartsWith(c.informativeText));
        EXPECT_EQ(alert.style, platform::ModalAlert::Style::warning);
        EXPECT_EQ(alert.buttons, std::vector<std::string>{"知道了"});
        EXPECT_FALSE(host.scriptedDialogs().askedAsSheet.back());
        host.scriptedDialogs().asked.clear();
        host.scriptedDialogs().askedAsSheet.clear();
    }
    // Nothing stored for any of them.
    std::vector<std::string> stored;
    for (const auto& entry : fs::directory_iterator(templates()))
        stored.push_back(entry.path().filename().string());
    std::sort(stored.begin(), stored.end());
    EXPECT_EQ(stored, (std::vector<std::string>{"custom-a.md", "empty.docx", "empty.pptx",
                                                "empty.txt", "empty.xlsx"}));

    // Cancelling the panel does nothing at all.
    import(std::nullopt);
    EXPECT_TRUE(host.calls.empty());
    EXPECT_TRUE(center.posts.empty());
    EXPECT_TRUE(host.scriptedDialogs().asked.empty());
}

TEST_F(NewFilePageTest, RemovingAKindDeletesOnlyItsOwnFile) {
    const fs::path outside = NewFileSettings::mainSettingsDirectory() / "victim.md";
    struct Case {
        const char* name;
        std::vector<NewFileTemplate> customs;
        std::string removedID;
        std::vector<std::string> filesKept;
        std::vector<std::string> filesGone;
    };
    NewFileTemplate hostile = custom("custom-h", "H", "md");
    hostile.templateFileName = "../victim.md";
    NewFileTemplate sharing = custom("custom-s", "S", "md");
    sharing.templateFileName = "custom-a.md";
    const std::vector<Case> cases = {
        {"OwnFile",
         {custom("custom-a", "A", "md"), custom("custom-b", "B", "txt")},
         "custom-a",
         {"custom-b.txt"},
         {"custom-a.md"}},
        {"NameThatLeadsOutside",
         {hostile, custom("custom-b", "B", "txt")},
         "custom-h",
         {"custom-b.txt"},
         {}},
        {"FileAnotherKindUses",
         {custom("custom-a", "A", "md"), sharing},
         "custom-s",
         {"custom-a.md"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store(withCustoms(c.customs));
        for (const NewFileTemplate& t : c.customs)
            writeFile(templates() / *t.templateFileName, t.id);
        writeFile(outside, "victim");
        center.posts.clear();
        std::string title;
        for (const NewFileTemplate& t : c.customs) {
            if (t.id == c.removedID) title = t.titleWithExtension();
        }

        pressDelete(title);

        for (const std::string& name : c.filesKept)
            EXPECT_TRUE(fs::exists(templates() / name)) << name;
        for (const std::string& name : c.filesGone)
            EXPECT_FALSE(fs::exists(templates() / name)) << name;
        EXPECT_EQ(readFile(outside), "victim");
        const NewFileSettings stored = NewFileSettings::load();
        EXPECT_EQ(stored.templates.size(), 4 + c.customs.size() - 1);
        for (const NewFileTemplate& t : stored.templates) EXPECT_NE(t.id, c.removedID);
        EXPECT_EQ(page()->row(title), nullptr);
        // What the extension receives no longer names the removed kind.
        const auto payload = center.lastPayload();
        ASSERT_TRUE(payload);
        EXPECT_THAT(payload->settingsData, ::testing::Not(HasSubstr(c.removedID)));
        for (const std::string& name : c.filesGone)
            EXPECT_FALSE(payload->customTemplateData.contains(name));
    }
}

TEST_F(NewFilePageTest, BuiltInKindsAreNeverRemoved) {
    store(NewFileSettings::defaults());
    const auto before = readFile(NewFileSettings::settingsURL());
    EXPECT_FALSE(feature.removeNewFileTemplate("txt"));
    EXPECT_FALSE(feature.removeNewFileTemplate("custom-nothing"));
    EXPECT_TRUE(center.posts.empty());
    EXPECT_EQ(readFile(NewFileSettings::settingsURL()), before);
}

// The page was built, then the kind went away (another change, a hand edit): the switch saves
// nothing and the page shows what is stored.
TEST_F(NewFilePageTest, SwitchOfAKindThatWentAwayOnlyRebuilds) {
    store(withCustoms({custom("custom-a", "A", "md")}));
    auto form = page();
    const auto* compound = std::get_if<CompoundControl>(&row(*form, "A .md").control);
    ASSERT_TRUE(compound);
    store(NewFileSettings::defaults());
    const auto before = readFile(NewFileSettings::settingsURL());
    host.calls.clear();

    std::get<CompoundSwitch>(compound->parts.at(0)).action(false);

    EXPECT_THAT(host.calls, ElementsAre("storePageScrollOrigin", "rebuild"));
    EXPECT_TRUE(center.posts.empty());
    EXPECT_EQ(readFile(NewFileSettings::settingsURL()), before);
}

// The sidebar's switch saves (and so syncs) but leaves announcing and rebuilding to the window.
TEST_F(NewFilePageTest, SidebarSwitchSavesTheMasterSwitch) {
    EXPECT_EQ(feature.isEnabled(), true);
    feature.setEnabled(false);
    EXPECT_EQ(feature.isEnabled(), false);
    EXPECT_FALSE(NewFileSettings::load().isEnabled);
    EXPECT_THAT(host.calls, ElementsAre("post " + kSync));
    EXPECT_EQ(readFile(templates() / "empty.docx"), shipped("empty.docx"));
    feature.setEnabled(true);
    EXPECT_EQ(feature.isEnabled(), true);
}

}  // namespace
}  // namespace tavrel
