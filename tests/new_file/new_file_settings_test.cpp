// The New File document: loading and merging with the built-in templates, encoding, saving with
// its side effects, the sync payload both ways, and the plain-name rule on everything a payload
// or document names.

#include "core/new_file/new_file_settings.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_limits.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "core/new_file/plain_file_name.h"
#include "platform/log.h"
#include "platform/notifications.h"
#include "tests/new_file/new_file_test_support.h"

namespace tavrel {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using namespace tavrel::testing;

NewFileTemplate custom(const std::string& id, const std::string& extension, bool enabled = true) {
    return NewFileTemplate{id,      "Custom " + id, "新建 Custom " + id, extension,
                           enabled, false,          id + "." + extension};
}

std::vector<std::string> ids(const std::vector<NewFileTemplate>& templates) {
    std::vector<std::string> result;
    for (const NewFileTemplate& entry : templates) result.push_back(entry.id);
    return result;
}

// Records posts together with what was on disk at that moment.
class SnapshotCenter final : public platform::NotificationCenter {
public:
    struct Post {
        Notification notification;
        std::optional<std::string> document;
        std::vector<std::string> mainTemplates;
    };
    std::vector<Post> posts;

    Status post(const Notification& notification) override {
        posts.push_back(Post{notification, readFile(NewFileSettings::settingsURL()),
                             listTree(NewFileSettings::mainTemplatesDirectory())});
        return Status::success();
    }
    ObserverId observe(std::optional<std::string>, Handler) override { return 1; }
    void removeObserver(ObserverId) override {}
};

class NewFileSettingsTest : public ::testing::Test {
protected:
    NewFileSettingsTest() {
        actAsSettingsApplication();
        // The shipped files, with contents that tell them apart.
        for (const char* name : {"empty.txt", "empty.docx", "empty.pptx", "empty.xlsx"}) {
            writeFile(resources() / name, std::string("shipped ") + name);
        }
    }

    fs::path resources() const { return root_.path() / "Bundle/Contents/Resources"; }
    NewFileEnvironment environment(platform::NotificationCenter* center = nullptr) const {
        return NewFileEnvironment{resources(), center};
    }
    fs::path outside() const { return root_.path() / "outside"; }
    fs::path rootPath() const { return root_.path(); }

    // Written by hand, so that names reach the receiver byte for byte, whatever they hold.
    static std::string payloadFor(const std::string& settingsData,
                                  const std::map<std::string, std::string>& files) {
        std::string text =
            "{\"settingsData\":\"" + base64::encode(settingsData) + "\",\"customTemplateData\":{";
        bool first = true;
        for (const auto& [name, bytes] : files) {
            text += first ? "\"" : ",\"";
            first = false;
            for (char c : name) {
                if (c == '"' || c == '\\') {
                    text += '\\';
                    text += c;
                } else if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    text += escaped;
                } else {
                    text += c;
                }
            }
            text += "\":\"" + base64::encode(bytes) + "\"";
        }
        return text + "}}";
    }
    static std::string validDocument() { return *NewFileSettings::defaults().encode(); }

    std::vector<std::string> logLines;

private:
    TemporaryDirectory root_;
    ScopedEnvironment data_{"XDG_DATA_HOME", (root_.path() / "data").string()};
    platform::ScopedLogCapture capture_{
        [this](std::string_view line) { logLines.emplace_back(line); }};
};

TEST_F(NewFileSettingsTest, LoadMergesTheStoredDocumentWithTheBuiltInTemplates) {
    const std::string txt =
        R"({"id":"txt","displayName":"文本文档","defaultBaseName":"新建文本文档",
        "fileExtension":"txt","isEnabled":true,"isBuiltIn":true,"templateFileName":"empty.txt"})";
    const std::string docxWithoutFile = R"({"id":"docx","displayName":"Word","defaultBaseName":"W",
        "fileExtension":"docx","isEnabled":false,"isBuiltIn":true})";
    const std::string pptx = R"({"id":"pptx","displayName":"PowerPoint 演示文稿",
        "defaultBaseName":"新建 PowerPoint 演示文稿","fileExtension":"pptx","isEnabled":true,
        "isBuiltIn":true,"templateFileName":"empty.pptx"})";
    const std::string customA = R"({"id":"custom-a","displayName":"A","defaultBaseName":"新建 A",
        "fileExtension":"md","isEnabled":true,"isBuiltIn":false,"templateFileName":"custom-a.md"})";
    const std::string customB = R"({"id":"custom-b","displayName":"B","defaultBaseName":"新建 B",
        "fileExtension":"csv","isEnabled":false,"isBuiltIn":false,"templateFileName":null})";
    const auto document = [](bool enabled, const std::vector<std::string>& templates) {
        std::string text =
            std::string(R"({"isEnabled":)") + (enabled ? "true" : "false") + R"(,"templates":[)";
        for (std::size_t i = 0; i < templates.size(); ++i) text += (i ? "," : "") + templates[i];
        return text + "]}";
    };
    const NewFileSettings defaults = NewFileSettings::defaults();
    NewFileSettings disabled = defaults;
    disabled.isEnabled = false;
    NewFileTemplate customAValue{"custom-a", "A", "新建 A", "md", true, false, "custom-a.md"};
    NewFileTemplate customBValue{"custom-b", "B", "新建 B", "csv", false, false, std::nullopt};
    const std::vector<NewFileTemplate>& builtIns = NewFileSettings::builtInTemplates();

    struct Case {
        const char* name;
        std::optional<std::string> stored;
        NewFileSettings expected;
    };
    const std::vector<Case> cases = {
        {"no document", std::nullopt, defaults},
        {"disabled and empty", document(false, {}), disabled},
        {"built-in entry without templateFileName keeps its values",
         document(true, {docxWithoutFile}),
         NewFileSettings{
             true,
             {builtIns[0], NewFileTemplate{"docx", "Word", "W", "docx", false, true, "empty.docx"},
              builtIns[2], builtIns[3]}}},
        {"built-in entry after custom ones lands in its slot",
         document(true, {customA, customB, pptx, txt}),
         NewFileSettings{
             true,
             {builtIns[0], builtIns[1], builtIns[2], builtIns[3], customAValue, customBValue}}},
        {"claimed built-in with an unknown id is dropped",
         document(true, {R"({"id":"rtf","displayName":"RTF","defaultBaseName":"R",
             "fileExtension":"rtf","isEnabled":true,"isBuiltIn":true})"}),
         defaults},
        {"imported entry with a built-in id takes the built-in slot",
         document(true, {R"({"id":"txt","displayName":"Notes","defaultBaseName":"N",
             "fileExtension":"txt","isEnabled":true,"isBuiltIn":false})"}),
         NewFileSettings{true,
                         {NewFileTemplate{"txt", "Notes", "N", "txt", true, false, "empty.txt"},
                          builtIns[1], builtIns[2], builtIns[3]}}},
        {"repeated ids keep the first entry",
         document(true, {docxWithoutFile, customA, R"({"id":"docx","displayName":"Second",
             "defaultBaseName":"S","fileExtension":"docx","isEnabled":true,"isBuiltIn":true})",
                         R"({"id":"custom-a","displayName":"A2","defaultBaseName":"A2",
             "fileExtension":"md","isEnabled":true,"isBuiltIn":false})"}),
         NewFileSettings{
             true,
             {builtIns[0], NewFileTemplate{"docx", "Word", "W", "docx", false, true, "empty.docx"},
              builtIns[2], builtIns[3], customAValue}}},
        {"a template without fileExtension loses the document",
         document(false, {R"({"id":"custom-x","displayName":"X","defaultBaseName":"X",
             "isEnabled":true,"isBuiltIn":false})"}),
         defaults},
        {"a mistyped field loses the document",
         document(false, {R"({"id":"custom-x","displayName":"X","defaultBaseName":"X",
             "fileExtension":"x","isEnabled":"yes","isBuiltIn":false})"}),
         defaults},
        {"missing templates key", R"({"isEnabled":false})", defaults},
        {"not JSON", "{\"isEnabled\":", defaults},
        {"extra keys are ignored", R"({"isEnabled":false,"templates":[],"future":[1,2]})",
         disabled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove(NewFileSettings::settingsURL());
        if (c.stored) writeFile(NewFileSettings::settingsURL(), *c.stored);
        EXPECT_EQ(NewFileSettings::load(), c.expected);
    }
}

TEST_F(NewFileSettingsTest, OversizedDocumentIsNotReadAndLoadsAsDefaults) {
    NewFileSettings big{false, {custom("custom-1", "md")}};
    big.templates[0].displayName.assign(NewFileLimits::maxDocumentBytes, 'x');
    writeFile(NewFileSettings::settingsURL(), *big.encode());
    EXPECT_EQ(NewFileSettings::load(), NewFileSettings::defaults());
}

TEST_F(NewFileSettingsTest, EnabledTemplatesFollowTheMasterSwitchAndDocumentOrder) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[1].isEnabled = false;
    settings.templates.push_back(custom("custom-1", "md"));
    settings.templates.push_back(custom("custom-2", "csv", false));
    EXPECT_THAT(ids(settings.enabledTemplates()), ElementsAre("txt", "pptx", "xlsx", "custom-1"));
    settings.isEnabled = false;
    EXPECT_TRUE(settings.enabledTemplates().empty());
}

TEST_F(NewFileSettingsTest, EncodingIsIndentedWithSortedKeysAndRoundTrips) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates.push_back(
        NewFileTemplate{"custom-1", "报告", "新建 报告", "md", true, false, std::nullopt});
    const std::string text = *settings.encode();
    EXPECT_THAT(text, HasSubstr("{\n  \"isEnabled\": true,\n  \"templates\": [\n    {\n"
                                "      \"defaultBaseName\": \"新建文本文档\",\n"
                                "      \"displayName\": \"文本文档\",\n"
                                "      \"fileExtension\": \"txt\",\n"
                                "      \"id\": \"txt\",\n"
                                "      \"isBuiltIn\": true,\n"
                                "      \"isEnabled\": true,\n"
                                "      \"templateFileName\": \"empty.txt\"\n    },"));
    // An absent file name is left out, not written as null.
    EXPECT_THAT(text, HasSubstr("\"isEnabled\": true\n    }\n  ]\n}"));
    EXPECT_EQ(*NewFileSettings::decode(text), settings);
}

TEST_F(NewFileSettingsTest, SaveWritesThenCopiesShippedTemplatesThenPostsTheSync) {
    SnapshotCenter center;
    writeFile(resources() / "NewFileTemplates/empty.txt", "from the subdirectory");
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[1].isEnabled = false;
    settings.templates.push_back(custom("custom-1", "md"));
    writeFile(NewFileSettings::mainTemplatesDirectory() / "custom-1.md", "# report");
    writeFile(NewFileSettings::mainTemplatesDirectory() / "empty.docx", "stale copy");

    settings.save(environment(&center));

    EXPECT_EQ(readFile(NewFileSettings::settingsURL()), *settings.encode());
    EXPECT_EQ(readFile(NewFileSettings::mainTemplatesDirectory() / "empty.txt"),
              "from the subdirectory");
    EXPECT_EQ(readFile(NewFileSettings::mainTemplatesDirectory() / "empty.docx"),
              "shipped empty.docx");
    ASSERT_EQ(center.posts.size(), 1u);
    const SnapshotCenter::Post& post = center.posts.front();
    // By the time the sync is posted, the document and the template files are in place.
    EXPECT_EQ(post.document, *settings.encode());
    EXPECT_THAT(post.mainTemplates,
                ElementsAre("custom-1.md", "empty.docx", "empty.pptx", "empty.txt", "empty.xlsx"));
    EXPECT_EQ(post.notification.name, "com.local.tavrel.newFileSettings.sync");
    EXPECT_FALSE(post.notification.object.has_value());
    const NotificationBytes* bytes = userInfoBytes(post.notification.userInfo, "payload");
    ASSERT_NE(bytes, nullptr);
    auto payload = NewFileSettingsSyncPayload::decode(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(payload.ok()) << payload.error().message;
    EXPECT_EQ(payload->settingsData, *settings.encode());
    EXPECT_EQ(payload->customTemplateData,
              (std::map<std::string, std::string>{{"custom-1.md", "# report"}}));
    EXPECT_TRUE(logLines.empty());
}

TEST_F(NewFileSettingsTest, SaveThatCannotWriteStillCopiesAndPostsWhatIsOnDisk) {
    SnapshotCenter center;
    fs::create_directories(NewFileSettings::settingsURL());  // a directory where the file goes
    NewFileSettings settings = NewFileSettings::defaults();
    settings.isEnabled = false;

    settings.save(environment(&center));

    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_THAT(logLines[0], HasSubstr("Tavrel: failed to save new file settings at " +
                                       NewFileSettings::settingsURL().string() + ": "));
    EXPECT_EQ(readFile(NewFileSettings::mainTemplatesDirectory() / "empty.xlsx"),
              "shipped empty.xlsx");
    ASSERT_EQ(center.posts.size(), 1u);
    const NotificationBytes* bytes =
        userInfoBytes(center.posts[0].notification.userInfo, "payload");
    ASSERT_NE(bytes, nullptr);
    auto payload = NewFileSettingsSyncPayload::decode(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(payload.ok());
    EXPECT_EQ(payload->settingsData, *NewFileSettings::defaults().encode());
}

TEST_F(NewFileSettingsTest, SaveThatCannotEncodeStopsWithTheLogLine) {
    SnapshotCenter center;
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[0].displayName = "bad \xFF text";
    settings.save(environment(&center));
    ASSERT_EQ(logLines.size(), 1u);
    EXPECT_THAT(logLines[0], HasSubstr("Tavrel: failed to encode new file settings: "));
    EXPECT_FALSE(fs::exists(NewFileSettings::settingsURL()));
    EXPECT_TRUE(center.posts.empty());
}

TEST_F(NewFileSettingsTest, EachProgramUsesItsOwnCopy) {
    SnapshotCenter center;
    NewFileSettings settings = NewFileSettings::defaults();
    settings.isEnabled = false;

    actAsExtension();
    EXPECT_EQ(NewFileSettings::candidateSettingsURLs(),
              std::vector<fs::path>{NewFileSettings::extensionSettingsURL()});
    settings.save(environment(&center));
    NewFileSettings::postCurrentSettingsSync(environment(&center));
    EXPECT_TRUE(center.posts.empty());  // the extension never publishes
    EXPECT_TRUE(fs::exists(NewFileSettings::extensionTemplatesDirectory() / "empty.txt"));
    EXPECT_FALSE(fs::exists(NewFileSettings::settingsURL()));
    EXPECT_FALSE(NewFileSettings::load().isEnabled);

    actAsSettingsApplication();
    EXPECT_TRUE(NewFileSettings::load().isEnabled);  // its own copy is still the default
    EXPECT_FALSE(NewFileSettings::applySettingsSyncPayload(payloadFor(validDocument(), {})).ok());
    EXPECT_NE(NewFileSettings::mainSettingsDirectory(),
              NewFileSettings::extensionSettingsDirectory());
}

TEST_F(NewFileSettingsTest, SyncCarriesOnlyImportedTemplatesWithPlainNamesFromTheMainCopy) {
    SnapshotCenter center;
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates.push_back(custom("custom-1", "md"));
    NewFileTemplate traversing = custom("custom-2", "md");
    traversing.templateFileName = "../secret.md";
    settings.templates.push_back(traversing);
    settings.templates.push_back(custom("custom-3", "csv"));  // its file is missing
    NewFileTemplate linked = custom("custom-4", "txt");
    settings.templates.push_back(linked);
    writeFile(NewFileSettings::settingsURL(), *settings.encode());
    writeFile(NewFileSettings::mainTemplatesDirectory() / "custom-1.md", "one");
    writeFile(NewFileSettings::mainSettingsDirectory() / "secret.md", "secret");
    writeFile(outside() / "target.txt", "outside");
    fs::create_symlink(outside() / "target.txt",
                       NewFileSettings::mainTemplatesDirectory() / "custom-4.txt");

    NewFileSettings::postCurrentSettingsSync(environment(&center));

    ASSERT_EQ(center.posts.size(), 1u);
    const NotificationBytes* bytes =
        userInfoBytes(center.posts[0].notification.userInfo, "payload");
    ASSERT_NE(bytes, nullptr);
    auto payload = NewFileSettingsSyncPayload::decode(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(payload.ok());
    EXPECT_EQ(payload->customTemplateData,
              (std::map<std::string, std::string>{{"custom-1.md", "one"}}));
}

TEST_F(NewFileSettingsTest, PayloadNamesAreUsedOnlyAsPlainNamesInsideTheTemplatesDirectory) {
    actAsExtension();
    fs::create_directories(outside());
    const fs::path container = NewFileSettings::extensionSettingsDirectory();
    const std::string absolute = (outside() / "absolute").string();
    const std::string longest(255, 'n');
    struct Case {
        std::string name;
        bool written;
        bool payloadRefused = false;  // not even JSON
    };
    const std::vector<Case> cases = {
        {"../x", false},
        {"../../../outside/x", false},
        {absolute, false},
        {"a/b", false},
        {"a\\b", false},
        {".", false},
        {"..", false},
        {"", false},
        {".hidden", false},
        {std::string("nul\0inside", 10), false},
        {"line\nbreak", false},
        {"c1\xC2\x85"
         "control",
         false},
        {std::string(256, 'n'), false},
        {"bad\xFFutf8", false, true},
        {"custom-1.md", true},
        {"报告 2024.docx", true},
        {longest, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(printableForLog(c.name));
        EXPECT_EQ(isPlainFileName(c.name), c.written);
        fs::remove_all(container);
        const Status applied = NewFileSettings::applySettingsSyncPayload(
            payloadFor(validDocument(), {{c.name, "data"}}));
        EXPECT_EQ(applied.ok(), !c.payloadRefused);
        std::vector<std::string> expected;
        if (!c.payloadRefused) expected = {"NewFileSettings.json", "NewFileTemplates"};
        if (c.written) expected.push_back("NewFileTemplates/" + c.name);
        EXPECT_EQ(listTree(container), expected);
        EXPECT_TRUE(listTree(outside()).empty());
        // Nothing beside the container either.
        EXPECT_EQ(listTree(container.parent_path()).size(),
                  expected.size() + (expected.empty() ? 0 : 1));
    }
    // Stored names are held to the same rule wherever they become a path.
    EXPECT_TRUE(NewFileSettings::templateStorageURLs("../x").empty());
    EXPECT_FALSE(NewFileSettings::readTemplateFile("../NewFileSettings.json").ok());
    EXPECT_FALSE(NewFileSettings::removeTemplateFile("../NewFileSettings.json").ok());
    EXPECT_TRUE(fs::exists(NewFileSettings::extensionSettingsURL()));
}

// A payload that did not land is never reported as applied. Every file is still tried, and what
// could not be replaced keeps its old content.
TEST_F(NewFileSettingsTest, APayloadThatCannotBeWrittenIsNotReportedAsApplied) {
    actAsExtension();
    const fs::path document = NewFileSettings::extensionSettingsURL();
    const fs::path templates = NewFileSettings::extensionTemplatesDirectory();
    NewFileSettings old = NewFileSettings::defaults();
    old.isEnabled = false;
    const std::string oldDocument = *old.encode();
    const std::string payload = payloadFor(validDocument(), {{"a.md", "new a"}, {"b.md", "new b"}});

    // Something in the way of the document, of one template, or a full disk (a file size limit
    // fails the writes the same way, even for root).
    const struct {
        const char* name;
        std::function<void()> obstruct;
        std::function<void()> clear;
        std::vector<std::string> written;
    } cases[] = {
        {"document is a folder",
         [&] { fs::create_directories(document); },
         [&] { fs::remove_all(document); },
         {"a.md", "b.md"}},
        {"a template is a folder",
         [&] {
             fs::remove(templates / "a.md");
             fs::create_directories(templates / "a.md");
         },
         [&] { fs::remove_all(templates / "a.md"); },
         {"b.md"}},
        {"disk full",
         [] {
             rlimit small{};
             ::getrlimit(RLIMIT_FSIZE, &small);
             small.rlim_cur = 4;
             ::setrlimit(RLIMIT_FSIZE, &small);
         },
         [] {
             rlimit restored{};
             ::getrlimit(RLIMIT_FSIZE, &restored);
             restored.rlim_cur = restored.rlim_max;
             ::setrlimit(RLIMIT_FSIZE, &restored);
         },
         {}},
    };
    struct sigaction ignore {};
    struct sigaction previous {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &previous), 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(NewFileSettings::extensionSettingsDirectory());
        fs::create_directories(templates);
        writeFile(templates / "a.md", "old a");
        writeFile(templates / "b.md", "old b");
        if (std::string(c.name) != "document is a folder") writeFile(document, oldDocument);

        c.obstruct();
        const Status applied = NewFileSettings::applySettingsSyncPayload(payload);
        c.clear();

        ASSERT_FALSE(applied.ok());
        EXPECT_THAT(applied.error().message, HasSubstr("not written: cannot write "));
        for (const char* name : {"a.md", "b.md"}) {
            const bool written =
                std::find(c.written.begin(), c.written.end(), name) != c.written.end();
            if (fs::is_regular_file(templates / name)) {
                EXPECT_EQ(readFile(templates / name),
                          written ? std::string("new ") + name[0] : std::string("old ") + name[0])
                    << name;
            }
        }
        if (fs::is_regular_file(document)) {
            EXPECT_EQ(readFile(document),
                      std::string(c.name) == "disk full" ? oldDocument : validDocument());
        }
        for (const auto& entry : listTree(NewFileSettings::extensionSettingsDirectory())) {
            EXPECT_EQ(entry.find(".tmp-"), std::string::npos) << "left behind: " << entry;
        }
    }
    ::sigaction(SIGXFSZ, &previous, nullptr);
    EXPECT_TRUE(NewFileSettings::applySettingsSyncPayload(payload).ok());
}

TEST_F(NewFileSettingsTest, PayloadNeverWritesThroughALink) {
    actAsExtension();
    writeFile(outside() / "victim", "untouched");
    fs::create_directories(NewFileSettings::extensionTemplatesDirectory());
    fs::create_symlink(outside() / "victim",
                       NewFileSettings::extensionTemplatesDirectory() / "custom-1.md");

    ASSERT_TRUE(NewFileSettings::applySettingsSyncPayload(
                    payloadFor(validDocument(), {{"custom-1.md", "new"}}))
                    .ok());
    // The link itself is replaced; what it pointed at is not touched.
    EXPECT_EQ(readFile(outside() / "victim"), "untouched");
    EXPECT_FALSE(fs::is_symlink(NewFileSettings::extensionTemplatesDirectory() / "custom-1.md"));
    EXPECT_EQ(readFile(NewFileSettings::extensionTemplatesDirectory() / "custom-1.md"), "new");

    // A templates directory that is itself a link is not written into at all.
    fs::remove_all(NewFileSettings::extensionTemplatesDirectory());
    fs::create_directories(outside() / "dir");
    fs::create_directory_symlink(outside() / "dir", NewFileSettings::extensionTemplatesDirectory());
    EXPECT_FALSE(NewFileSettings::applySettingsSyncPayload(
                     payloadFor(validDocument(), {{"custom-2.md", "new"}}))
                     .ok());
    EXPECT_TRUE(listTree(outside() / "dir").empty());
}

TEST_F(NewFileSettingsTest, RefusedPayloadsChangeNothing) {
    actAsExtension();
    NewFileSettings stored = NewFileSettings::defaults();
    stored.isEnabled = false;
    writeFile(NewFileSettings::extensionSettingsURL(), *stored.encode());

    const std::string perFile(NewFileLimits::maxTemplateFileBytes + 1, 'x');
    const std::string half(NewFileLimits::maxTemplateFileBytes, 'x');
    std::map<std::string, std::string> tooMany;
    for (std::size_t i = 0; i <= NewFileLimits::maxCustomTemplates; ++i) {
        tooMany["t" + std::to_string(i)] = "x";
    }
    const std::string goodDocument = validDocument();
    std::string hugeText = payloadFor(goodDocument, {});
    hugeText.insert(hugeText.size() - 1,
                    ",\"padding\":\"" + std::string(NewFileLimits::maxPayloadBytes, ' ') + "\"");
    struct Case {
        const char* name;
        std::string payload;
    };
    const std::vector<Case> cases = {
        {"not JSON", "{\"settingsData\":"},
        {"not an object", "[]"},
        {"settingsData missing", R"({"customTemplateData":{}})"},
        {"customTemplateData missing",
         nlohmann::json{{"settingsData", base64::encode(goodDocument)}}.dump()},
        {"settingsData not Base64", R"({"settingsData":"%%%=","customTemplateData":{}})"},
        {"settingsData not a document", payloadFor("{\"isEnabled\":true}", {})},
        {"entry not Base64", R"({"settingsData":"", "customTemplateData":{"a.md":7}})"},
        {"one file over its cap", payloadFor(goodDocument, {{"big.bin", perFile}})},
        {"files over the total cap",
         payloadFor(goodDocument, {{"a.bin", half}, {"b.bin", half}, {"c.bin", "x"}})},
        {"too many files", payloadFor(goodDocument, tooMany)},
        {"payload over its cap", hugeText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(NewFileSettings::applySettingsSyncPayload(c.payload).ok());
        EXPECT_EQ(readFile(NewFileSettings::extensionSettingsURL()), *stored.encode());
        EXPECT_FALSE(fs::exists(NewFileSettings::extensionTemplatesDirectory()));
    }
}

TEST_F(NewFileSettingsTest, SyncPayloadRoundTripsAndIsCompact) {
    NewFileSettingsSyncPayload payload{validDocument(), {{"a.md", std::string("\0\xFF", 2)}}};
    const std::string text = *payload.encode();
    EXPECT_EQ(text.find('\n'), std::string::npos);
    EXPECT_EQ(*NewFileSettingsSyncPayload::decode(text), payload);
}

TEST_F(NewFileSettingsTest, TemplateFilesAreStoredAndRemovedByPlainNameOnly) {
    writeFile(rootPath() / "chosen.md", "# chosen");
    ASSERT_TRUE(NewFileSettings::storeTemplateFile(rootPath() / "chosen.md", "custom-1.md").ok());
    EXPECT_EQ(NewFileSettings::templateStorageURLs("custom-1.md"),
              std::vector<fs::path>{NewFileSettings::mainTemplatesDirectory() / "custom-1.md"});
    EXPECT_EQ(*NewFileSettings::readTemplateFile("custom-1.md"), "# chosen");
    EXPECT_FALSE(NewFileSettings::storeTemplateFile(rootPath() / "chosen.md", "../x.md").ok());
    EXPECT_FALSE(fs::exists(NewFileSettings::mainSettingsDirectory() / "x.md"));
    EXPECT_TRUE(NewFileSettings::removeTemplateFile("custom-1.md").ok());
    EXPECT_FALSE(fs::exists(NewFileSettings::mainTemplatesDirectory() / "custom-1.md"));
    EXPECT_EQ(NewFileSettings::customTemplateFileName("custom-1", "md"), "custom-1.md");
}

}  // namespace
}  // namespace tavrel
