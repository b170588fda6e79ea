#include "platform/linux/desktop_entry.h"

#include <fstream>
#include <string>

#include <gtest/gtest.h>

#include "core/foundation/utf8.h"

#include "platform/linux/desktop_applications.h"
#include "tests/platform_posix/scoped_variable.h"
#include "tests/platform_posix/temporary_directory.h"
#include "tests/platform_posix/workspace_printers.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

TEST(DesktopEntry, NameByPreference) {
    struct Case {
        const char* what;
        std::string text;
        std::string name;
    };
    const std::string head = "[Desktop Entry]\nType=Application\n";
    for (const Case& c : {
             Case{"Chinese name first", head + "Name=Files\nName[zh_CN]=文件\n", "文件"},
             Case{"Chinese name before Name", head + "Name[zh_CN]=文件\nName=Files\n", "文件"},
             Case{"Name", head + "Name=Files\nName[de]=Dateien\n", "Files"},
             Case{"other Chinese locales are not zh_CN",
                  head + "Name[zh]=文\nName[zh_TW]=檔案\nName=Files\n", "Files"},
             Case{"empty Chinese name", head + "Name[zh_CN]=\nName=Files\n", "Files"},
             Case{"Chinese name not UTF-8", head + "Name[zh_CN]=\xff\xfe\nName=Files\n", "Files"},
             Case{"no name", head, "org.example.Viewer"},
             Case{"empty name", head + "Name=\n", "org.example.Viewer"},
             Case{"spaces around the equals sign", head + "Name  =  Files  \n", "Files"},
             Case{"carriage returns", "[Desktop Entry]\r\nName=Files\r\nType=Application\r\n",
                  "Files"},
             Case{"a repeated key: the last counts", head + "Name=Old\nName=New\n", "New"},
             Case{"keys of other groups",
                  head + "Name=Files\n[Desktop Action new]\nName=New window\n", "Files"},
             Case{"keys before the group", "Name=Before\n" + head + "Name=Files\n", "Files"},
             Case{"a second group of the same name",
                  head + "Name=Files\n[Other]\n[Desktop Entry]\nName=Second\n", "Files"},
             Case{"comments and lines without a key",
                  "# Name=Comment\n\n" + head +
                      "  # Name=Indented comment\njust words\n=x\n"
                      "Na me=Spaced key\nName=Files\n",
                  "Files"},
         }) {
        const Result<DesktopEntry> entry = parseDesktopEntry(c.text);
        ASSERT_TRUE(entry) << c.what;
        EXPECT_EQ(entry->displayName("org.example.Viewer.desktop"), c.name) << c.what;
        EXPECT_TRUE(entry->isApplication()) << c.what;
    }
}

TEST(DesktopEntry, FlagsIconAndTypeAndEscapes) {
    const Result<DesktopEntry> entry = parseDesktopEntry(
        "[Desktop Entry]\nType=Application\nIcon=org.example.Viewer\nNoDisplay=true\n"
        "Hidden=false\nName=a\\sb\\nc\\td\\re\\\\f\\;g\\\n");
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "a b\nc\td\re\\f\\;g\\");
    EXPECT_EQ(entry->icon, "org.example.Viewer");
    EXPECT_TRUE(entry->noDisplay);
    EXPECT_FALSE(entry->hidden);

    const Result<DesktopEntry> link =
        parseDesktopEntry("[Desktop Entry]\nType=Link\nHidden=1\nNoDisplay=True\n");
    ASSERT_TRUE(link);
    EXPECT_FALSE(link->isApplication());
    EXPECT_TRUE(link->hidden);
    EXPECT_FALSE(link->noDisplay);  // booleans are "true" or "false", in lower case
    EXPECT_FALSE(link->icon);
}

TEST(DesktopEntry, RefusesTextWithoutTheGroupAndOversizedTextAndSurvivesGarbage) {
    for (const std::string& text : {
             std::string(),
             std::string("Name=Files\nType=Application\n"),
             std::string("[Desktop Entry\nName=Files\n"),
             std::string("[Desktop Action new]\nName=Files\n"),
             std::string("\x7f"
                         "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0",
                         20),
             std::string(4096, '\xff'),
         }) {
        EXPECT_FALSE(parseDesktopEntry(text)) << text;
    }

    // NUL bytes, lone brackets and half lines inside the group cost only their own lines.
    static constexpr char kNoisy[] =
        "[Desktop Entry]\n\0\0\n[\n]\nName\nName=Files\nIcon=a\0b\n\xff=\xfe\n";
    const Result<DesktopEntry> noisy = parseDesktopEntry(std::string(kNoisy, sizeof kNoisy - 1));
    ASSERT_TRUE(noisy);
    EXPECT_EQ(noisy->name, "Files");
    EXPECT_EQ(noisy->icon, std::string("a\0b", 3));

    std::string atLimit = "[Desktop Entry]\nName=Files\n#";
    atLimit.resize(kDesktopEntryMaxBytes, 'x');
    EXPECT_TRUE(parseDesktopEntry(atLimit));
    EXPECT_FALSE(parseDesktopEntry(atLimit + "x"));

    TemporaryDirectory directory;
    const fs::path file = directory / "large.desktop";
    std::ofstream(file) << atLimit << 'x';
    const Result<DesktopEntry> read = readDesktopEntry(file);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().message.find("larger than"), std::string::npos) << read.error().message;
    EXPECT_FALSE(readDesktopEntry(directory / "missing.desktop"));
    EXPECT_FALSE(readDesktopEntry(directory.path()));
}

TEST(DesktopEntry, FileNameFallbackIsUtf8) {
    const DesktopEntry entry;
    EXPECT_EQ(entry.displayName("caf\xe9.desktop"), "caf\xEF\xBF\xBD");
    EXPECT_EQ(entry.displayName("/usr/share/applications/.desktop"), ".desktop");
    EXPECT_EQ(replacingInvalidUtf8("ok \xe6\x96\x87 \xe6\x96 \xc0\xaf"),
              "ok \xe6\x96\x87 \xEF\xBF\xBD\xEF\xBF\xBD \xEF\xBF\xBD\xEF\xBF\xBD");
}

// Three application directories as XDG_DATA_HOME, then two XDG_DATA_DIRS entries would make.
class DesktopApplications : public ::testing::Test {
protected:
    void SetUp() override {
        for (const fs::path& directory : directories()) fs::create_directories(directory);
    }

    std::vector<fs::path> directories() const {
        return {root_ / "home/applications", root_ / "first/applications",
                root_ / "second/applications"};
    }

    fs::path write(int directory, const std::string& relative, const std::string& keys) const {
        const fs::path file = directories()[directory] / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << "[Desktop Entry]\nType=Application\n" << keys;
        return file;
    }

    std::optional<ApplicationInfo> find(std::string_view id) const {
        const auto file = desktop::findDesktopFile(id, directories());
        if (!file) return std::nullopt;
        return desktop::applicationFromFile(*file, id);
    }

    TemporaryDirectory root_;
};

TEST_F(DesktopApplications, DirectoriesComeFromTheEnvironment) {
    {
        ScopedVariable home("XDG_DATA_HOME", "/data/home");
        ScopedVariable dirs("XDG_DATA_DIRS", "/one:relative/dir::/two/:/one/");
        EXPECT_EQ(desktop::applicationDirectories(),
                  (std::vector<fs::path>{"/data/home/applications", "/one/applications",
                                         "/two/applications"}));
    }
    ScopedVariable home("XDG_DATA_HOME", "relative");
    ScopedVariable dirs("XDG_DATA_DIRS", std::nullopt);
    ScopedVariable user("HOME", "/home/ana");
    EXPECT_EQ(desktop::applicationDirectories(),
              (std::vector<fs::path>{"/home/ana/.local/share/applications",
                                     "/usr/local/share/applications", "/usr/share/applications"}));
}

TEST_F(DesktopApplications, DataHomeWinsThenTheFirstDirectory) {
    const fs::path mine = write(0, "viewer.desktop", "Name=Mine\nIcon=/opt/viewer/icon.png\n");
    write(1, "viewer.desktop", "Name=First\n");
    write(2, "viewer.desktop", "Name=Second\n");
    const fs::path first = write(1, "editor.desktop", "Name=First editor\nIcon=editor.svg\n");
    write(2, "editor.desktop", "Name=Second editor\n");

    EXPECT_EQ(find("viewer.desktop"),
              (ApplicationInfo{"viewer.desktop", "Mine", mine, {{}, "/opt/viewer/icon.png"}}));
    EXPECT_EQ(find("editor.desktop"),
              (ApplicationInfo{"editor.desktop", "First editor", first, {"editor", {}}}));

    const auto listed = desktop::listApplications(directories());
    ASSERT_EQ(listed.size(), 2u);
    for (const ApplicationInfo& app : listed) {
        EXPECT_EQ(app, find(app.bundleIdentifier)) << app.bundleIdentifier;
    }
}

TEST_F(DesktopApplications, EntriesInSubdirectoriesJoinTheirPathWithDashes) {
    const fs::path kde = write(1, "kde4/foo.desktop", "Name=Foo\n");
    const fs::path deep = write(2, "org/example/my-tool.desktop", "Name=Tool\n");
    write(2, "kde4-foo.desktop", "Name=Later\n");

    ASSERT_TRUE(find("kde4-foo.desktop"));
    EXPECT_EQ(find("kde4-foo.desktop")->path, kde);
    EXPECT_EQ(find("kde4-foo.desktop")->name, "Foo");
    ASSERT_TRUE(find("org-example-my-tool.desktop"));
    EXPECT_EQ(find("org-example-my-tool.desktop")->path, deep);
    EXPECT_FALSE(find("kde4/foo.desktop"));
    EXPECT_FALSE(find("foo.desktop"));

    EXPECT_EQ(desktop::desktopFileIdFor(deep, directories()), "org-example-my-tool.desktop");
    EXPECT_EQ(desktop::desktopFileIdFor(root_ / "elsewhere/x.desktop", directories()), "x.desktop");

    const auto listed = desktop::listApplications(directories());
    std::vector<std::string> ids;
    for (const ApplicationInfo& app : listed) ids.push_back(app.bundleIdentifier);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::string>{"kde4-foo.desktop", "org-example-my-tool.desktop"}));
}

TEST_F(DesktopApplications, HiddenNoDisplayAndOtherTypesAreLeftOutOfTheList) {
    write(0, "removed.desktop", "Hidden=true\n");   // the user deleted it …
    write(1, "removed.desktop", "Name=Removed\n");  // … so this one is gone too
    write(1, "helper.desktop", "Name=Helper\nNoDisplay=true\n");
    write(1, "link.desktop", "Name=Link\nType=Link\n");
    std::ofstream(directories()[1] / "broken.desktop") << "Type=Application\nName=Broken\n";
    std::ofstream(directories()[1] / "notes.txt") << "[Desktop Entry]\nType=Application\n";
    write(2, "shown.desktop", "Name=Shown\n");

    const auto listed = desktop::listApplications(directories());
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed.front().bundleIdentifier, "shown.desktop");

    EXPECT_FALSE(find("removed.desktop"));
    ASSERT_TRUE(find("helper.desktop"));  // not listed, but still an application
    EXPECT_EQ(find("helper.desktop")->name, "Helper");
    EXPECT_FALSE(find("link.desktop"));
    EXPECT_FALSE(find("broken.desktop"));
}

TEST_F(DesktopApplications, IdsCannotReachOutsideTheDirectories) {
    write(1, "../outside.desktop", "Name=Outside\n");
    write(1, "real.desktop", "Name=Real\n");
    for (const char* id : {"../outside.desktop", "..-outside.desktop", "./real.desktop",
                           ".-real.desktop", "real", "", ".desktop", "real.desktop/"}) {
        EXPECT_FALSE(desktop::isDesktopFileId(id)) << id;
        EXPECT_FALSE(find(id)) << id;
    }
    EXPECT_FALSE(desktop::isDesktopFileId(std::string(300, 'a') + ".desktop"));
    EXPECT_FALSE(desktop::isDesktopFileId(std::string("re\0al.desktop", 13)));
    EXPECT_TRUE(find("real.desktop"));
}

}  // namespace
}  // namespace tavrel::platform
