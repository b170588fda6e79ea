// `cmake --install` of the built tree into scratch prefixes: every path named by an installed
// desktop entry, link or Info.plist exists in the installed tree, nothing names the build tree,
// the system's Nautilus extension directory is touched only for a system prefix, and installed
// programs find what they need from where they were installed.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/bundle.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr char kModuleName[] = "libtavrel-new-file-nautilus.so";

QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "install_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);
    return *app;
}

struct Finished {
    int status = -1;
    std::string output;  // standard output and error together
};

Finished run(const std::string& program, const std::vector<std::string>& arguments,
             const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    application();
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QStringList list;
    for (const auto& argument : arguments) list << QString::fromStdString(argument);
    process.start(QString::fromStdString(program), list);
    Finished finished;
    if (!process.waitForFinished(240000)) {
        process.kill();
        process.waitForFinished();
        finished.output = "did not finish: " + process.readAll().toStdString();
        return finished;
    }
    finished.output = process.readAll().toStdString();
    if (process.exitStatus() == QProcess::NormalExit) finished.status = process.exitCode();
    return finished;
}

std::string readAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The installed tree, seen from the test: paths as the installed files name them are looked up
// under `root` (the DESTDIR, or / without one).
struct InstalledTree {
    fs::path root;
    fs::path prefix;

    fs::path staged(const fs::path& installed) const {
        return root.empty() ? installed : root / installed.relative_path();
    }
    fs::path installed(const fs::path& staged) const {
        return root.empty() ? staged : "/" / staged.lexically_relative(root);
    }
    // Where installed files are looked for: the prefix, or the whole stage.
    fs::path top() const { return root.empty() ? prefix : root; }
};

Finished install(const InstalledTree& tree) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (tree.root.empty()) {
        environment.remove(QStringLiteral("DESTDIR"));
    } else {
        environment.insert(QStringLiteral("DESTDIR"), QString::fromStdString(tree.root.string()));
    }
    return run(TAVREL_CMAKE_COMMAND,
               {"--install", TAVREL_BINARY_DIR, "--prefix", tree.prefix.string()}, environment);
}

// The value of `key` in the [Desktop Entry] group, its string escapes undone.
std::optional<std::string> desktopValue(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    std::string group;
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("[")) group = line;
        if (group != "[Desktop Entry]" || !line.starts_with(key + "=")) continue;
        std::string value;
        for (std::size_t i = key.size() + 1; i < line.size(); ++i) {
            if (line[i] == '\\' && i + 1 < line.size()) {
                const char next = line[++i];
                value += next == 's' ? ' ' : next == 't' ? '\t' : next == 'n' ? '\n' : next;
            } else {
                value += line[i];
            }
        }
        return value;
    }
    return std::nullopt;
}

// The program an Exec= value starts: its first argument, quoting undone.
std::string execProgram(const std::string& exec) {
    std::string program;
    if (exec.empty() || exec[0] != '"') return exec.substr(0, exec.find(' '));
    for (std::size_t i = 1; i < exec.size() && exec[i] != '"'; ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size()) ++i;
        program += exec[i];
    }
    return program;
}

// A string of the Info.plist at `path`, read as the programs read it.
std::optional<std::string> plistString(const fs::path& path, std::string_view key) {
    const auto bundle = platform::Bundle::at(path.parent_path().parent_path());
    return bundle ? bundle->infoString(key) : std::nullopt;
}

std::vector<fs::path> filesUnder(const fs::path& top) {
    std::vector<fs::path> files;
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(top, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        files.push_back(it->path());
    }
    return files;
}

// Every path the installed desktop entries, links and Info.plist files name, and whether it
// exists in the installed tree; one line per path that does not.
std::vector<std::string> missingPaths(const InstalledTree& tree, int* checked) {
    std::vector<std::string> missing;
    const auto expect = [&](const fs::path& named, const fs::path& by) {
        ++*checked;
        std::error_code error;
        if (!fs::exists(tree.staged(named), error)) {
            missing.push_back(by.string() + " names " + named.string());
        }
    };
    for (const fs::path& path : filesUnder(tree.top())) {
        if (fs::is_symlink(path)) {
            const fs::path target = fs::read_symlink(path);
            expect(target.is_absolute() ? target : tree.installed(path.parent_path()) / target,
                   path);
        } else if (path.extension() == ".desktop") {
            const std::string text = readAll(path);
            const auto exec = desktopValue(text, "Exec");
            if (!exec) missing.push_back(path.string() + " has no Exec=");
            if (exec) expect(execProgram(*exec), path);
            if (const auto icon = desktopValue(text, "Icon")) {
                expect(tree.prefix / "share/icons/hicolor/256x256/apps" / (*icon + ".png"), path);
            }
        } else if (path.filename() == "Info.plist") {
            const auto executable = plistString(path, "CFBundleExecutable");
            if (!executable) missing.push_back(path.string() + " has no CFBundleExecutable");
            if (executable) {
                expect(tree.installed(path.parent_path()) / "MacOS" / *executable, path);
            }
        }
    }
    return missing;
}

// Installed text files must not lead back into the build or source tree.
std::vector<std::string> filesNamingTheBuildTree(const InstalledTree& tree) {
    std::vector<std::string> found;
    for (const fs::path& path : filesUnder(tree.top())) {
        if (fs::is_symlink(path) || !fs::is_regular_file(path)) continue;
        if (path.extension() != ".desktop" && path.filename() != "Info.plist") continue;
        const std::string text = readAll(path);
        for (const char* tree_path : {TAVREL_BINARY_DIR, TAVREL_SOURCE_DIR}) {
            if (text.find(tree_path) != std::string::npos) found.push_back(path.string());
        }
    }
    return found;
}

fs::path installedModule(const fs::path& prefix) {
    return prefix / TAVREL_INSTALL_BUNDLE_DIR / "TavrelNewFileFinderSync.app/Contents/MacOS" /
           kModuleName;
}

fs::path home() {
    return fs::path(std::getenv("HOME"));
}

TEST(InstallTest, AUserPrefixGetsEveryPathItNamesAndLeavesNautilusAlone) {
    // A prefix with a blank, as a user's may have: Exec= must quote it.
    const InstalledTree tree{{}, home() / "my apps" / ".local"};
    const Finished installed = install(tree);
    ASSERT_EQ(installed.status, 0) << installed.output;

    int checked = 0;
    EXPECT_THAT(missingPaths(tree, &checked), ::testing::IsEmpty());
    EXPECT_GE(checked, 5) << "too few paths found to check; did the install lay out the tree?";
    EXPECT_THAT(filesNamingTheBuildTree(tree), ::testing::IsEmpty());

    const std::string entry =
        readAll(tree.prefix / "share/applications/com.local.tavrel.settings.desktop");
    EXPECT_EQ(desktopValue(entry, "Exec"), "\"" +
                                               (tree.prefix / TAVREL_INSTALL_BUNDLE_DIR /
                                                "TavrelSettings.app/Contents/MacOS/TavrelSettings")
                                                   .string() +
                                               "\" %U");

    // Nautilus cannot see this prefix: its own directory stays as it was, and the install says
    // how to link the module.
    EXPECT_THAT(installed.output, HasSubstr("Not linking the Nautilus module"));
    EXPECT_THAT(installed.output, HasSubstr(installedModule(tree.prefix).string()));
    std::error_code error;
    const fs::path systemLink = fs::path(TAVREL_NAUTILUS_EXTENSION_DIR) / kModuleName;
    if (fs::is_symlink(systemLink, error)) {
        EXPECT_THAT(fs::read_symlink(systemLink).string(),
                    ::testing::Not(HasSubstr(tree.prefix.string())));
    }
}

TEST(InstallTest, ASystemPrefixLinksTheModuleIntoNautilussDirectory) {
    // Staged with DESTDIR, as a package is built: every path is checked inside the stage.
    const InstalledTree tree{home() / "stage", "/usr/local"};
    const Finished installed = install(tree);
    ASSERT_EQ(installed.status, 0) << installed.output;

    int checked = 0;
    EXPECT_THAT(missingPaths(tree, &checked), ::testing::IsEmpty());
    EXPECT_THAT(filesNamingTheBuildTree(tree), ::testing::IsEmpty());

    const fs::path link = tree.staged(fs::path(TAVREL_NAUTILUS_EXTENSION_DIR) / kModuleName);
    ASSERT_TRUE(fs::is_symlink(link)) << installed.output;
    EXPECT_EQ(fs::read_symlink(link), installedModule("/usr/local"));
    EXPECT_TRUE(fs::is_regular_file(tree.staged(installedModule("/usr/local"))));

    const std::string entry =
        readAll(tree.staged("/usr/local/share/applications/com.local.tavrel.settings.desktop"));
    EXPECT_EQ(desktopValue(entry, "Exec"), (fs::path("/usr/local") / TAVREL_INSTALL_BUNDLE_DIR /
                                            "TavrelSettings.app/Contents/MacOS/TavrelSettings")
                                                   .string() +
                                               " %U");
}

// Installed programs run from the installed tree alone: the settings application from its desktop
// entry's Exec= line, the New File command line with the templates of its installed bundle, the
// media bridge with its installed library.
TEST(InstallTest, InstalledProgramsRunFromWhereTheyWereInstalled) {
    const InstalledTree tree{{}, home() / "run" / ".local"};
    ASSERT_EQ(install(tree).status, 0);

    const auto exec = desktopValue(
        readAll(tree.prefix / "share/applications/com.local.tavrel.settings.desktop"), "Exec");
    ASSERT_TRUE(exec);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT"),
                       QStringLiteral("1"));
    const Finished settings = run(execProgram(*exec), {}, environment);
    EXPECT_EQ(settings.status, 0) << settings.output;
    EXPECT_THAT(settings.output, HasSubstr("first window painted"));

    const fs::path folder = home() / "folder";
    fs::create_directories(folder);
    const std::string newFile = (tree.prefix / "bin/tavrel-new-file").string();
    const Finished menu = run(newFile, {"menu", "--container", folder.string()});
    EXPECT_EQ(menu.status, 0) << menu.output;
    EXPECT_THAT(menu.output, HasSubstr("docx\tWord 文档\n"));
    const Finished created =
        run(newFile, {"create", "--id", "docx", "--container", folder.string()});
    EXPECT_EQ(created.status, 0) << created.output;
    EXPECT_EQ(readAll(folder / "新建 Word 文档.docx"),
              readAll(fs::path(TAVREL_SOURCE_DIR) / "resources/templates/empty.docx"));

    // The bridge finds its library beside its bin directory.
    QProcess bridge;
    bridge.start(QString::fromStdString((tree.prefix / "bin/tavrel-media-bridge").string()), {});
    ASSERT_TRUE(bridge.waitForStarted());
    bridge.closeWriteChannel();
    ASSERT_TRUE(bridge.waitForFinished(60000));
    EXPECT_EQ(bridge.exitCode(), 0) << bridge.readAllStandardError().toStdString();
    EXPECT_EQ(bridge.readAllStandardOutput().toStdString(), "{\"isPlaying\":false,\"pid\":0}\n");
}

}  // namespace
}  // namespace tavrel
