// tavrel-new-file as scripts use it, and the sync end to end between processes: a process acting
// as the settings application saves, the listening extension front end applies the payload,
// and its menu follows.

#include <csignal>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/foundation/base64.h"
#include "core/new_file/new_file_settings.h"
#include "core/new_file/new_file_settings_sync_payload.h"
#include "tests/new_file/glib_test_support.h"
#include "tests/new_file/new_file_test_support.h"

namespace tavrel {
namespace {

using ::testing::HasSubstr;
using namespace tavrel::testing;

class NewFileCliTest : public ::testing::Test {
protected:
    NewFileCliTest() { fs::create_directories(folder()); }
    fs::path folder() const { return root_.path() / "folder"; }
    static Finished tool(std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), toolPath("tavrel-new-file"));
        return runToEnd(arguments);
    }

    TemporaryDirectory root_;
    ScopedEnvironment data_{"XDG_DATA_HOME", (root_.path() / "data").string()};
};

TEST_F(NewFileCliTest, MenuAndCreateWorkOnTheExtensionsCopy) {
    const Finished menu = tool({"menu", "--container", folder().string()});
    EXPECT_EQ(menu.status, 0);
    EXPECT_EQ(menu.output,
              "txt\t文本文档\ndocx\tWord 文档\npptx\tPowerPoint 演示文稿\nxlsx\tExcel 工作簿\n");

    for (const char* name : {"新建文本文档.txt", "新建文本文档 2.txt", "新建文本文档 3.txt"}) {
        const Finished created = tool({"create", "--id", "txt", "--container", folder().string()});
        EXPECT_EQ(created.status, 0) << created.output;
        EXPECT_THAT(created.output, HasSubstr((folder() / name).string() + "\n"));
    }
    const Finished byTitle = tool({"create", "--title", "Excel 工作簿 .xlsx", "--item",
                                   (folder() / "新建文本文档.txt").string()});
    EXPECT_EQ(byTitle.status, 0) << byTitle.output;
    EXPECT_TRUE(fs::exists(folder() / "新建 Excel 工作簿.xlsx"));
    EXPECT_EQ(readFile(folder() / "新建 Excel 工作簿.xlsx"),
              readFile(sourcePath("resources/templates/empty.xlsx")));

    const Finished unknown = tool({"create", "--id", "rtf", "--container", folder().string()});
    EXPECT_EQ(unknown.status, 1);
    EXPECT_THAT(unknown.output, HasSubstr("no enabled template"));
}

// --item PATH…: a selection of several items, as the usage writes it; the first item decides the
// folder, as in the file manager.
TEST_F(NewFileCliTest, ItemTakesEveryPathUpToTheNextOption) {
    fs::create_directories(folder() / "sub");
    std::ofstream(folder() / "a.txt") << "a";
    const std::string sub = (folder() / "sub").string();
    const std::string file = (folder() / "a.txt").string();

    const Finished menu = tool({"menu", "--item", sub, file});
    EXPECT_EQ(menu.status, 0) << menu.output;
    EXPECT_THAT(menu.output, HasSubstr("txt\t文本文档\n"));

    const struct {
        std::vector<std::string> arguments;
        fs::path created;
    } cases[] = {
        {{"create", "--item", sub, file, "--id", "txt"}, folder() / "sub" / "新建文本文档.txt"},
        {{"create", "--id", "txt", "--item", file, sub}, folder() / "新建文本文档.txt"},
        {{"create", "--item", file, "--id", "docx", "--item", sub},
         folder() / "新建 Word 文档.docx"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arguments));
        const Finished created = tool(c.arguments);
        EXPECT_EQ(created.status, 0) << created.output;
        EXPECT_EQ(created.output, c.created.string() + "\n");
        EXPECT_TRUE(fs::is_regular_file(c.created));
    }
}

TEST_F(NewFileCliTest, BadCommandLinesAreRefusedWithUsage) {
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"bogus"},
        {"create"},
        {"menu", "--container"},
        {"menu", "--container", "a", "--item", "b"},
        {"create", "--id", "x", "--id", "y"},
        {"listen", "--item", "x"},
        {"create", "--id", "txt", "--item", "--container", "a"},
        {"create", "--id", "txt", "--item", "a", "", "b"},
        {"menu", "--item", "a", "b", "--container", "c"},
        {"menu", "--bundle", "/nonexistent/TavrelNewFileFinderSync.app"},
    };
    for (const auto& arguments : cases) {
        SCOPED_TRACE(::testing::PrintToString(arguments));
        const Finished finished = tool(arguments);
        EXPECT_EQ(finished.status, 2);
        EXPECT_THAT(finished.output, HasSubstr("tavrel-new-file: "));
    }
    const Finished help = tool({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_THAT(help.output, HasSubstr("usage: tavrel-new-file"));
}

TEST_F(NewFileCliTest, SettingsSavedElsewhereReachTheListeningExtension) {
    GChild requests(
        {toolPath("tavrel-notify"), "monitor", "com.local.tavrel.newFileSettings.syncRequest"});
    ASSERT_TRUE(requests.awaitLine("tavrel-notify: listening"));
    GChild extension({toolPath("tavrel-new-file"), "listen"});
    ASSERT_TRUE(extension.awaitLine("listening"));
    EXPECT_TRUE(
        requests.awaitLine(R"({"name":"com.local.tavrel.newFileSettings.syncRequest")", true));

    const Finished saved = runToEnd({toolPath("new_file_settings_actor"), "disable", "pptx",
                                     "--resources", sourcePath("resources/templates")});
    ASSERT_EQ(saved.status, 0) << saved.output;
    EXPECT_EQ(extension.readLine(), "applied");
    EXPECT_EQ(tool({"menu", "--container", folder().string()}).output,
              "txt\t文本文档\ndocx\tWord 文档\nxlsx\tExcel 工作簿\n");

    // Anyone may post: a payload that is not one changes nothing.
    const Finished hostile = runToEnd(
        {toolPath("tavrel-notify"), "post", "com.local.tavrel.newFileSettings.sync",
         "--bytes-base64", "payload=" + base64::encode(std::string("{\"settingsData\":"))});
    ASSERT_EQ(hostile.status, 0) << hostile.output;
    const auto refused = extension.readLine();
    ASSERT_TRUE(refused.has_value());
    EXPECT_THAT(*refused, HasSubstr("refused: "));
    EXPECT_EQ(tool({"menu", "--container", folder().string()}).output,
              "txt\t文本文档\ndocx\tWord 文档\nxlsx\tExcel 工作簿\n");
}

// Posts on the session bus as any peer may: raw signals, of any size.
class Peer {
public:
    Peer() : bus_(g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr)) {}
    ~Peer() {
        if (bus_) g_object_unref(bus_);
    }
    Peer(const Peer&) = delete;
    Peer& operator=(const Peer&) = delete;

    bool post(const std::string& name, const std::string& payload) {
        GVariantBuilder userInfo;
        g_variant_builder_init(&userInfo, G_VARIANT_TYPE("a{sv}"));
        GBytes* bytes = g_bytes_new(payload.data(), payload.size());
        g_variant_builder_add(&userInfo, "{sv}", "payload",
                              g_variant_new_from_bytes(G_VARIANT_TYPE_BYTESTRING, bytes, TRUE));
        g_bytes_unref(bytes);
        GError* error = nullptr;
        if (bus_ &&
            g_dbus_connection_emit_signal(
                bus_, nullptr, "/com/local/tavrel", "com.local.tavrel.DistributedNotification",
                "Post", g_variant_new("(sbsa{sv})", name.c_str(), FALSE, "", &userInfo), &error)) {
            return true;
        }
        ADD_FAILURE() << "cannot post: " << (error ? error->message : "no session bus");
        if (error) g_error_free(error);
        return false;
    }
    bool postSync(const std::string& payload) {
        return post("com.local.tavrel.newFileSettings.sync", payload);
    }
    bool flush() { return bus_ && g_dbus_connection_flush_sync(bus_, nullptr, nullptr); }

private:
    GDBusConnection* bus_;
};

// A payload whose document says which round it is (the disabled template) and which carries
// a template file of `fileBytes` bytes.
struct Round {
    std::string document;
    std::string payload;
};
Round roundPayload(int round, std::size_t fileBytes) {
    NewFileSettings settings = NewFileSettings::defaults();
    settings.templates[static_cast<std::size_t>(round) % 4].isEnabled = false;
    settings.templates[0].displayName = "round " + std::to_string(round);
    Round made;
    made.document = *settings.encode();
    std::string file(fileBytes, 'f');
    file.replace(0, 16, std::to_string(round) + "              ");
    made.payload = *NewFileSettingsSyncPayload{made.document, {{"burst.md", file}}}.encode();
    return made;
}

// The resident memory of a process, in KiB (0 when it cannot be read).
long residentKiB(const std::string& pid) {
    std::ifstream status("/proc/" + pid + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

class NewFileListenTest : public NewFileCliTest {
protected:
    // Reads the listener's lines until the extension's document is `document`; false when a
    // payload is refused or the output ends first.
    static bool awaitDocument(GChild& listener, const std::string& document) {
        while (auto line = listener.readLine()) {
            if (*line != "applied") {
                ADD_FAILURE() << "unexpected line: " << *line;
                return false;
            }
            if (readFile(NewFileSettings::extensionSettingsURL()) == document) return true;
        }
        return false;
    }
};

// A 64 MiB signal, far over what a notification may carry, and then a backlog of 70 MiB of good
// payloads: the listener drops the first, and still acts on what follows.
TEST_F(NewFileListenTest, AnOversizedSignalAndABacklogLeaveTheListenerListening) {
    GChild listener({toolPath("tavrel-new-file"), "listen"});
    ASSERT_TRUE(listener.awaitLine("listening"));
    Peer peer;
    ASSERT_TRUE(peer.postSync(std::string(64 * 1024 * 1024 - 4096, '{')));
    Round last;
    for (int round = 0; round < 1100; ++round) {
        last = roundPayload(round, 48 * 1024);
        ASSERT_TRUE(peer.postSync(last.payload));
    }
    ASSERT_TRUE(peer.flush());
    EXPECT_TRUE(awaitDocument(listener, last.document));

    const Round next = roundPayload(1, 16);
    ASSERT_TRUE(peer.postSync(next.payload));
    ASSERT_TRUE(peer.flush());
    EXPECT_TRUE(awaitDocument(listener, next.document));
}

// A burst of large payloads: the listener ends up with the latest one, answers the next payload
// right away, and does not keep the burst's memory.
TEST_F(NewFileListenTest, ABurstEndsWithTheLatestPayloadAndItsMemoryGivenBack) {
    GChild listener({toolPath("tavrel-new-file"), "listen"});
    ASSERT_TRUE(listener.awaitLine("listening"));
    const std::string pid = listener.identifier();
    Peer peer;
    // A first payload, so that what was started once (the directories, the document) counts
    // in the resident memory from the beginning.
    const Round first = roundPayload(0, 16);
    ASSERT_TRUE(peer.postSync(first.payload));
    ASSERT_TRUE(peer.flush());
    ASSERT_TRUE(awaitDocument(listener, first.document));
    const long before = residentKiB(pid);
    ASSERT_GT(before, 0);

    Round last;
    for (int round = 1; round <= 300; ++round) {  // about 400 MiB on the bus
        last = roundPayload(round, 1024 * 1024);
        ASSERT_TRUE(peer.postSync(last.payload));
    }
    ASSERT_TRUE(peer.flush());
    ASSERT_TRUE(awaitDocument(listener, last.document));
    EXPECT_EQ(readFile(NewFileSettings::extensionTemplatesDirectory() / "burst.md")->substr(0, 3),
              "300");

    const Round next = roundPayload(3, 16);
    ASSERT_TRUE(peer.postSync(next.payload));
    ASSERT_TRUE(peer.flush());
    ASSERT_TRUE(awaitDocument(listener, next.document));
    const long after = residentKiB(pid);
    RecordProperty("resident_before_kib", std::to_string(before));
    RecordProperty("resident_after_kib", std::to_string(after));
    EXPECT_LE(after, before + before / 10 + 4096) << "before " << before << " KiB";
}

// SIGTERM and SIGINT end the listener cleanly: status 0 and not a word from GLib, even when
// GLib is told to make every critical warning fatal.
TEST_F(NewFileListenTest, SignalsEndTheListenerCleanly) {
    ScopedEnvironment fatal("G_DEBUG", "fatal-criticals");
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        GChild listener({toolPath("tavrel-new-file"), "listen"});
        ASSERT_TRUE(listener.awaitLine("listening"));
        listener.sendSignal(signal);
        std::string rest;
        while (auto line = listener.readLine()) rest += *line + "\n";
        EXPECT_EQ(listener.wait(), 0);
        EXPECT_EQ(rest, "");
    }
}

// A listener whose session bus goes away ends, and says why.
TEST_F(NewFileListenTest, TheListenerEndsWithItsSessionBus) {
    GChild daemon({"dbus-daemon", "--session", "--nofork", "--print-address=1"});
    const auto address = daemon.readLine();
    ASSERT_TRUE(address.has_value() && !address->empty());
    ScopedEnvironment bus("DBUS_SESSION_BUS_ADDRESS", *address);

    GChild listener({toolPath("tavrel-new-file"), "listen"});
    ASSERT_TRUE(listener.awaitLine("listening"));
    daemon.sendSignal(SIGKILL);
    std::string rest;
    while (auto line = listener.readLine()) rest += *line + "\n";
    EXPECT_EQ(listener.wait(), 0);
    EXPECT_EQ(rest, "tavrel-new-file: the session bus connection closed\n");
}

}  // namespace
}  // namespace tavrel
