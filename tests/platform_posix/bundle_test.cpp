#include "platform/bundle.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "platform/process.h"
#include "tests/platform_posix/temporary_directory.h"

namespace tavrel::platform {
namespace {

namespace fs = std::filesystem;

std::string infoPlist(const std::string& entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n" +
           entries + "\n</dict>\n</plist>\n";
}

TEST(Bundle, IsADirectoryWithContents) {
    TemporaryDirectory dir;
    fs::create_directories(dir / "Tavrel.app" / "Contents");
    fs::create_directories(dir / "Empty.app");

    EXPECT_FALSE(Bundle::at(dir / "Empty.app"));
    EXPECT_FALSE(Bundle::at(dir / "Missing.app"));
    const auto bundle = Bundle::at(dir / "Tavrel.app");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->root(), dir / "Tavrel.app");
    EXPECT_EQ(bundle->executableDirectory(), dir / "Tavrel.app/Contents/MacOS");
    EXPECT_EQ(bundle->resourcesDirectory(), dir / "Tavrel.app/Contents/Resources");
    EXPECT_EQ(bundle->infoPlistPath(), dir / "Tavrel.app/Contents/Info.plist");
}

TEST(Bundle, InfoStringsAreReadFreshOnEveryCall) {
    TemporaryDirectory dir;
    fs::create_directories(dir / "Helper.app" / "Contents");
    const auto bundle = Bundle::at(dir / "Helper.app");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->infoString("CFBundleIdentifier"), std::nullopt) << "no Info.plist yet";

    ASSERT_TRUE(writeFileAtomically(bundle->infoPlistPath(),
                                    infoPlist("<key>CFBundleIdentifier</key>"
                                              "<string>com.local.tavrel-helper</string>"
                                              "<key>CFBundleDisplayName</key>"
                                              "<string>应用启动台</string>"
                                              "<key>LSUIElement</key><true/>"
                                              "<key>TavrelFolderIdentifier</key><string></string>"))
                    .ok());
    struct Case {
        const char* key;
        std::optional<std::string> value;
    } cases[] = {
        {"CFBundleIdentifier", "com.local.tavrel-helper"},
        {"CFBundleDisplayName", "应用启动台"},
        {"TavrelFolderIdentifier", ""},
        {"LSUIElement", std::nullopt},  // not a string
        {"TavrelWidgetIdentifier", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(bundle->infoString(c.key), c.value) << c.key;

    // A copy's role keys are rewritten while it runs.
    ASSERT_TRUE(
        writeFileAtomically(bundle->infoPlistPath(), infoPlist("<key>TavrelFolderIdentifier</key>"
                                                               "<string>A1B2</string>"))
            .ok());
    EXPECT_EQ(bundle->infoString("TavrelFolderIdentifier"), "A1B2");

    ASSERT_TRUE(writeFileAtomically(bundle->infoPlistPath(), "<plist><dict><key>").ok());
    EXPECT_EQ(bundle->infoString("TavrelFolderIdentifier"), std::nullopt);
}

TEST(Bundle, MainIsTheBundleTheExecutableSitsIn) {
    EXPECT_FALSE(Bundle::main()) << "the test program is not inside a bundle";

    TemporaryDirectory dir;
    const auto macOS = dir / "Probe.app" / "Contents" / "MacOS";
    fs::create_directories(macOS);
    fs::copy_file(TAVREL_POSIX_HELPER, macOS / "Probe");
    fs::create_directories(dir / "bin");
    fs::copy_file(TAVREL_POSIX_HELPER, dir / "bin" / "probe");

    struct Case {
        fs::path executable;
        std::string root;
    } cases[] = {
        {macOS / "Probe", (dir / "Probe.app").string()},
        {dir / "bin" / "probe", "none"},
    };
    for (const auto& c : cases) {
        ProcessRequest request;
        request.executable = c.executable.string();
        request.arguments = {"bundle-root"};
        const ProcessResult result = makeProcessRunner()->run(request);
        ASSERT_TRUE(result.succeeded()) << result.error << result.standardError;
        EXPECT_EQ(result.standardOutput, c.root + "\n");
    }
}

}  // namespace
}  // namespace tavrel::platform
