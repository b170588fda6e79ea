// Every program with a window or a tile, and the tools that draw the bundles' pictures, run as
// a user runs them: what --help prints, what they make of arguments they do not know, and how
// they end when the display they are given has no server.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

namespace tavrel {
namespace {

const std::filesystem::path kBinary(TAVREL_BINARY_DIR);

std::filesystem::path bundled(const std::string& name) {
    return kBinary / "bundles" / (name + ".app") / "Contents" / "MacOS" / name;
}

const std::filesystem::path kSettings = bundled("TavrelSettings");
const std::filesystem::path kHelper = bundled("TavrelHelperLauncher");
const std::filesystem::path kScreenGrab = kBinary / "bin" / "tavrel-screen-grab";
const std::filesystem::path kHelperArtwork = kBinary / "bin" / "tavrel-helper-artwork";
const std::filesystem::path kSettingsArtwork = kBinary / "bin" / "generate_settings_artwork";

struct Outcome {
    bool exited = false;  // ended by itself, not by a signal or the deadline
    int status = -1;
    std::string out;
    std::string err;
};

// The environment of this test (a private home and bus) without any display.
QProcessEnvironment withoutDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        environment.remove(QString::fromLatin1(name));
    }
    return environment;
}

Outcome run(const std::filesystem::path& program, const std::vector<std::string>& arguments,
            const QProcessEnvironment& environment,
            const std::filesystem::path& directory = std::filesystem::current_path()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(QString::fromStdString(directory.string()));
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    process.start(QString::fromStdString(program.string()), list);
    Outcome outcome;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished(5000);
        return outcome;
    }
    outcome.exited = process.exitStatus() == QProcess::NormalExit;
    outcome.status = process.exitCode();
    outcome.out = process.readAllStandardOutput().toStdString();
    outcome.err = process.readAllStandardError().toStdString();
    return outcome;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::filesystem::path freshDirectory(const std::string& name) {
    const auto path = std::filesystem::path(std::getenv("HOME")) / name;
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
    return path;
}

// A display number no X server on this machine uses (no socket, no lock file).
std::string freeDisplay() {
    for (int number = 99; number < 1000; ++number) {
        const std::string n = std::to_string(number);
        std::error_code error;
        if (!std::filesystem::exists("/tmp/.X11-unix/X" + n, error) &&
            !std::filesystem::exists("/tmp/.X" + n + "-lock", error)) {
            return ":" + n;
        }
    }
    return {};
}

TEST(ProgramCommandLine, HelpIsPrintedAndUnknownOptionsAreRefused) {
    struct Case {
        const char* label;
        std::filesystem::path program;
        std::vector<std::string> arguments;
        int status;
        std::string out;  // a part of standard output
        std::string err;  // a part of standard error
    };
    const std::vector<Case> cases{
        {"helper help", kHelper, {"--help"}, 0, "usage: TavrelHelperLauncher", ""},
        {"helper -h", kHelper, {"--tavrel-widget-sync", "-h"}, 0, "--tavrel-widget-sync", ""},
        {"helper unknown option",
         kHelper,
         {"--tavrel-widget-sync", "--bogus"},
         2,
         "",
         "TavrelHelperLauncher: unknown option '--bogus'"},
        {"helper stray argument", kHelper, {"stray"}, 2, "", "unexpected argument 'stray'"},
        {"helper value option without value",
         kHelper,
         {"-platform"},
         2,
         "",
         "unknown option '-platform'"},
        // The taskbar's argument and Qt's own options pass: the copy goes on to open the
        // display, which this test does not give it.
        {"helper sync and Qt options",
         kHelper,
         {"--tavrel-widget-sync", "-platform", "xcb", "--style=Fusion", "-reverse"},
         1,
         "",
         "TavrelHelperLauncher: cannot open the display"},
        {"settings help", kSettings, {"--help"}, 0, "usage: TavrelSettings", ""},
        {"helper artwork help", kHelperArtwork, {"--help"}, 0, "usage: tavrel-helper-artwork", ""},
        {"helper artwork unknown option",
         kHelperArtwork,
         {"--bogus"},
         2,
         "",
         "tavrel-helper-artwork: unknown option '--bogus'"},
        {"helper artwork too many",
         kHelperArtwork,
         {"a", "b"},
         2,
         "",
         "usage: tavrel-helper-artwork"},
        {"settings artwork help",
         kSettingsArtwork,
         {"--help"},
         0,
         "usage: generate_settings_artwork",
         ""},
        {"settings artwork unknown option",
         kSettingsArtwork,
         {"-x"},
         2,
         "",
         "generate_settings_artwork: unknown option '-x'"},
        {"screen grab help", kScreenGrab, {"--help"}, 0, "usage: tavrel-screen-grab", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const auto directory = freshDirectory("command-line");
        const Outcome outcome = run(c.program, c.arguments, withoutDisplay(), directory);
        ASSERT_TRUE(outcome.exited);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_TRUE(contains(outcome.out, c.out)) << outcome.out;
        EXPECT_TRUE(contains(outcome.err, c.err)) << outcome.err;
        if (c.status == 0) {
            EXPECT_EQ(outcome.err, "");
        }
        // Neither help nor a refused option is taken for a directory to draw into.
        EXPECT_TRUE(std::filesystem::is_empty(directory));
    }
}

TEST(ProgramCommandLine, SettingsNamesArgumentsItIgnoresAndRunsOn) {
    QProcessEnvironment environment = withoutDisplay();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("TAVREL_SETTINGS_EXIT_AFTER_FIRST_PAINT"),
                       QStringLiteral("1"));
    const Outcome outcome =
        run(kSettings, {"--bogus", "-style", "Fusion", "--switcher", "stray"}, environment);
    ASSERT_TRUE(outcome.exited);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_TRUE(contains(outcome.out, "first window painted"));
    EXPECT_TRUE(contains(outcome.err, "TavrelSettings: ignoring unknown option '--bogus'\n"))
        << outcome.err;
    EXPECT_TRUE(contains(outcome.err, "TavrelSettings: ignoring unexpected argument 'stray'\n"))
        << outcome.err;
    // Qt's option and its value, and the page switch, are nothing to mention.
    for (const char* known : {"'-style'", "'Fusion'", "'--switcher'"}) {
        EXPECT_FALSE(contains(outcome.err, known)) << outcome.err;
    }
}

TEST(ProgramCommandLine, ADisplayWithoutServerEndsWithAMessageAndStatusOne) {
    const std::string display = freeDisplay();
    ASSERT_FALSE(display.empty());
    const std::string grabbed = (freshDirectory("grab") / "shot.png").string();
    struct Program {
        const char* name;
        std::filesystem::path path;
        std::vector<std::string> arguments;
    };
    const std::vector<Program> programs{
        {"TavrelSettings", kSettings, {}},
        {"TavrelHelperLauncher", kHelper, {"--tavrel-widget-sync"}},
        {"tavrel-screen-grab", kScreenGrab, {grabbed}},
    };
    struct Display {
        const char* label;
        const char* variable;
        std::string value;
        std::string named;  // how the message names it
    };
    const std::vector<Display> displays{
        {"X11", "DISPLAY", display, "DISPLAY=" + display},
        {"Wayland", "WAYLAND_DISPLAY", "tavrel-no-compositor",
         "WAYLAND_DISPLAY=tavrel-no-compositor"},
    };
    for (const Display& d : displays) {
        for (const Program& p : programs) {
            SCOPED_TRACE(std::string(d.label) + " " + p.name);
            QProcessEnvironment environment = withoutDisplay();
            environment.insert(QString::fromLatin1(d.variable), QString::fromStdString(d.value));
            const Outcome outcome = run(p.path, p.arguments, environment);
            ASSERT_TRUE(outcome.exited) << "ended by a signal (Qt's abort)";
            EXPECT_EQ(outcome.status, 1);
            EXPECT_TRUE(contains(outcome.err, std::string(p.name) + ": cannot open the display ("))
                << outcome.err;
            EXPECT_TRUE(contains(outcome.err, d.named)) << outcome.err;
            EXPECT_FALSE(contains(outcome.err, "Reinstalling")) << outcome.err;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(grabbed));
}

}  // namespace
}  // namespace tavrel
