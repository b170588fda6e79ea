// tavrel-new-file as scripts use it, and the sync end to end between processes: a process acting
// as the settings application saves, the listening extension front end applies the payload,
// and its menu follows.

#include <fstream>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/foundation/base64.h"
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

}  // namespace
}  // namespace tavrel
