#include "platform/linux/desktop_workspace.h"

#include <fstream>

#include <QGuiApplication>
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include "tests/platform_posix/scoped_variable.h"
#include "tests/platform_posix/temporary_directory.h"
#include "tests/platform_posix/workspace_printers.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

QGuiApplication& guiApplication() {
    static int argc = 1;
    static char name[] = "tavrel-desktop-workspace-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QGuiApplication(argc, argv);
    return *static_cast<QGuiApplication*>(QCoreApplication::instance());
}

// A private desktop: a data home and two data directories, and an icon theme of our own that
// is the only one Qt can see.
class DesktopWorkspaceTest : public ::testing::Test {
protected:
    DesktopWorkspaceTest()
        : home_("XDG_DATA_HOME", (root_ / "home").string()),
          dirs_("XDG_DATA_DIRS", (root_ / "first").string() + ":" + (root_ / "second").string() +
                                     ":" + (root_ / "system").string()) {
        // The system's MIME database (Qt needs it), without the system's applications.
        fs::create_directories(root_ / "system");
        fs::create_directory_symlink("/usr/share/mime", root_ / "system/mime");
        guiApplication();
        QIcon::setThemeSearchPaths({QString::fromStdString((root_ / "icons").string())});
        QIcon::setFallbackSearchPaths({});
        QIcon::setThemeName(QStringLiteral("tavrel-test"));
    }

    fs::path write(const std::string& base, const std::string& relative,
                   const std::string& text) const {
        const fs::path file = root_ / base / relative;
        fs::create_directories(file.parent_path());
        std::ofstream(file) << text;
        return file;
    }

    fs::path entry(const std::string& base, const std::string& relative,
                   const std::string& keys) const {
        return write(base, "applications/" + relative,
                     "[Desktop Entry]\nType=Application\n" + keys);
    }

    // Puts a theme icon of that name into the private theme.
    void addThemeIcon(const std::string& name) const {
        const fs::path directory = root_ / "icons/tavrel-test/16x16/mimetypes";
        fs::create_directories(directory);
        write("icons", "tavrel-test/index.theme",
              "[Icon Theme]\nName=Tavrel test\nDirectories=16x16/mimetypes\n\n"
              "[16x16/mimetypes]\nSize=16\nType=Fixed\n");
        QImage image(16, 16, QImage::Format_ARGB32);
        image.fill(Qt::red);
        ASSERT_TRUE(image.save(QString::fromStdString((directory / (name + ".png")).string())));
        QIcon::setThemeName(QStringLiteral("tavrel-test"));  // reread the theme
    }

    TemporaryDirectory root_;
    ScopedVariable home_;
    ScopedVariable dirs_;
    std::unique_ptr<Workspace> workspace_ = makeDesktopWorkspace();
};

TEST_F(DesktopWorkspaceTest, FindsApplicationsAsTheDesktopDoes) {
    const fs::path mine = entry("home", "viewer.desktop", "Name=Mine\nName[zh_CN]=我的\n");
    entry("first", "viewer.desktop", "Name=First\n");
    const fs::path editor = entry("first", "kde4/editor.desktop", "Name=Editor\nIcon=editor\n");
    entry("second", "kde4-editor.desktop", "Name=Later editor\n");
    entry("second", "tool.desktop", "Name=Tool\nNoDisplay=true\n");
    entry("home", "gone.desktop", "Hidden=true\n");
    entry("second", "gone.desktop", "Name=Gone\n");

    const auto viewer = workspace_->applicationForBundleIdentifier("viewer.desktop");
    ASSERT_TRUE(viewer);
    EXPECT_EQ(*viewer, (ApplicationInfo{"viewer.desktop", "我的", mine, {}}));
    const auto kde = workspace_->applicationForBundleIdentifier("kde4-editor.desktop");
    ASSERT_TRUE(kde);
    EXPECT_EQ(*kde, (ApplicationInfo{"kde4-editor.desktop", "Editor", editor, {"editor", {}}}));
    EXPECT_EQ(workspace_->applicationAtPath(editor), kde);
    EXPECT_FALSE(workspace_->applicationForBundleIdentifier("gone.desktop"));
    EXPECT_FALSE(workspace_->applicationForBundleIdentifier("missing.desktop"));
    EXPECT_FALSE(workspace_->applicationAtPath(root_ / "nowhere.desktop"));

    std::vector<std::string> ids;
    for (const ApplicationInfo& app : workspace_->installedApplications()) {
        ids.push_back(app.bundleIdentifier);
    }
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (std::vector<std::string>{"kde4-editor.desktop", "viewer.desktop"}));
}

TEST_F(DesktopWorkspaceTest, IconsOfEntriesFoldersAndFiles) {
    const fs::path themed = entry("first", "viewer.desktop", "Icon=org.example.Viewer\n");
    const fs::path pictured = entry("first", "pictured.desktop", "Icon=/opt/pictured/icon.png\n");
    const fs::path folder = root_ / "folder";
    fs::create_directories(folder);
    const fs::path text = write("files", "notes.txt", "plain words\n");

    EXPECT_EQ(workspace_->iconForFile(themed), (IconReference{"org.example.Viewer", {}}));
    EXPECT_EQ(workspace_->iconForFile(pictured), (IconReference{{}, "/opt/pictured/icon.png"}));
    EXPECT_EQ(workspace_->iconForFile(folder), (IconReference{"folder", {}}));
    // Without a "text-plain" icon in the theme, the family's generic icon.
    EXPECT_EQ(workspace_->iconForFile(text), (IconReference{"text-x-generic", {}}));
    addThemeIcon("text-plain");
    EXPECT_EQ(workspace_->iconForFile(text), (IconReference{"text-plain", {}}));
    EXPECT_TRUE(workspace_->iconForFile(root_ / "missing.txt").empty());
}

TEST_F(DesktopWorkspaceTest, OpensOnlyCompleteAddresses) {
    EXPECT_FALSE(workspace_->openURL(""));
    EXPECT_FALSE(workspace_->openURL("just words"));
    EXPECT_FALSE(workspace_->openURL("relative/path"));
}

}  // namespace
}  // namespace tavrel::platform
