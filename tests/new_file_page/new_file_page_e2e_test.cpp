// The New File page end to end on a private session bus: the settings application in this
// process (offscreen, clicked through its widgets), the file-manager extension's command line
// listening as a process of its own, and the notification monitor. What the user changes on the
// page reaches the extension's copy through the sync notification, and its menu follows.

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QPushButton>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "apps/settings/settings_application.h"
#include "core/notifications/notification_names.h"
#include "tests/settings_app/bus_processes.h"
#include "tests/settings_app/settings_instance_fixture.h"
#include "ui/form/form_renderer.h"
#include "ui/form/settings_switch.h"
#include "ui/settings/feature_sidebar.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

fs::path dataHome() {
    return fs::path(std::getenv("XDG_DATA_HOME"));
}

// "tavrel-new-file listen": the extension keeping its copy current, one line per payload.
class ListeningExtension {
public:
    ListeningExtension() : process_(std::make_unique<QProcess>()) {
        process_->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(process_.get(), &QProcess::readyReadStandardOutput, [this] {
            while (process_->canReadLine()) {
                lines_.push_back(process_->readLine().trimmed().toStdString());
            }
        });
        process_->start(QString::fromStdString(test::programPath("tavrel-new-file")), {"listen"});
    }
    ~ListeningExtension() {
        process_->terminate();
        if (!process_->waitForFinished(3000)) process_->kill();
        process_->waitForFinished(3000);
    }

    // The next line it prints, or nothing when none comes.
    std::optional<std::string> nextLine() {
        if (!test::runUntil([&] { return !lines_.empty(); })) return std::nullopt;
        std::string line = lines_.front();
        lines_.pop_front();
        return line;
    }

private:
    std::unique_ptr<QProcess> process_;
    std::deque<std::string> lines_;
};

class NewFilePageEndToEnd : public test::SettingsInstanceTest {
protected:
    void SetUp() override {
        test::SettingsInstanceTest::SetUp();
        if (HasFatalFailure()) return;
        fs::create_directories(folder());
        panel().selectFeaturePage(FeaturePage::newFile);
        test::settle();
    }

    void startBesideTheApplication() override {
        extension = std::make_unique<ListeningExtension>();
        ASSERT_EQ(extension->nextLine(), "listening");
    }

    void configure(SettingsApplication::Options& options) override {
        // The shipped templates as the program's bundle carries them.
        options.newFileResources =
            fs::path(TAVREL_BINARY_DIR) / "bundles/TavrelSettings.app/Contents/Resources";
    }

    static fs::path folder() { return dataHome() / "folder"; }

    QWidget* row(const std::string& title) {
        return findFormRow(panel().pageFormView(), QString::fromStdString(title));
    }
    // Clicks a widget of a row and waits for the extension to take the payload that follows.
    template <class Widget>
    void clickAndAwaitSync(const std::string& title, const char* objectName = nullptr) {
        QWidget* found = row(title);
        ASSERT_TRUE(found) << title;
        Widget* widget =
            objectName ? found->findChild<Widget*>(objectName) : found->findChild<Widget*>();
        ASSERT_TRUE(widget) << title;
        QTest::mouseClick(widget, Qt::LeftButton);
        test::settle();
        EXPECT_EQ(extension->nextLine(), "applied") << title;
    }

    static std::string menu() {
        return test::runProgram(test::programPath("tavrel-new-file"),
                                {"menu", "--container", folder().string()})
            .standardOutput;
    }

    // The names of the New File messages on the bus up to a marker from this process.
    std::vector<std::string> newFileMessagesUntilMarker(const std::string& marker) {
        EXPECT_TRUE(application->notifications().post(Notification{marker, std::nullopt, {}}).ok());
        std::vector<std::string> names;
        for (const auto& message : monitor->until(marker).value_or(std::vector<nlohmann::json>{})) {
            const std::string name = message.value("name", "");
            if (name == NewFileNotification::settingsSync) names.push_back(name);
            if (name == TavrelDistributedNotification::settingsChanged) {
                names.push_back(name + " " + message["userInfo"].value("reason", ""));
            }
        }
        return names;
    }

    std::unique_ptr<ListeningExtension> extension;
};

TEST_F(NewFilePageEndToEnd, SwitchingABuiltInKindOffTakesItOutOfTheExtensionsMenu) {
    const std::string allFour =
        "txt\t文本文档\ndocx\tWord 文档\npptx\tPowerPoint 演示文稿\nxlsx\tExcel 工作簿\n";
    EXPECT_EQ(menu(), allFour);
    // Showing the page stored the shipped templates from the bundle.
    EXPECT_EQ(fileBytes(dataHome() / "Tavrel/NewFileTemplates/empty.docx"),
              fileBytes(fs::path(TAVREL_SOURCE_DIR) / "resources/templates/empty.docx"));

    clickAndAwaitSync<SettingsSwitch>("文本文档 .txt");

    EXPECT_EQ(menu(), "docx\tWord 文档\npptx\tPowerPoint 演示文稿\nxlsx\tExcel 工作簿\n");
    EXPECT_EQ(
        newFileMessagesUntilMarker("test.builtInOff"),
        (std::vector<std::string>{std::string(NewFileNotification::settingsSync),
                                  std::string(TavrelDistributedNotification::settingsChanged) +
                                      " new-file-settings-change"}));
    // The page shows the stored state; the kind stays listed, switched off.
    auto* shown = row("文本文档 .txt")->findChild<SettingsSwitch*>();
    EXPECT_FALSE(shown->isChecked());
    EXPECT_TRUE(panel().featureButton(FeaturePage::newFile)->featureSwitch()->isChecked());

    clickAndAwaitSync<SettingsSwitch>("文本文档 .txt");
    EXPECT_EQ(menu(), allFour);
}

TEST_F(NewFilePageEndToEnd, AnImportedKindReachesTheMenuAndLeavesItWhenDeleted) {
    const fs::path report = dataHome() / "chosen/Report.md";
    fs::create_directories(report.parent_path());
    std::ofstream(report) << "# Report\n";
    dialogs->answerOpenFile(report);

    clickAndAwaitSync<QPushButton>("导入模板");

    QWidget* imported = row("Report .md");
    ASSERT_TRUE(imported);
    EXPECT_FALSE(row("暂无自定义类型"));
    auto* remove = imported->findChild<QPushButton*>("formCompoundButton");
    ASSERT_TRUE(remove);
    EXPECT_EQ(remove->text(), "删除");
    EXPECT_EQ(remove->size(), QSize(62, 30));

    const std::string withImport = menu();
    EXPECT_THAT(withImport, HasSubstr("\tReport\n"));
    // The line of the imported kind: "<id>\tReport".
    const std::size_t line = withImport.rfind('\n', withImport.find("\tReport\n")) + 1;
    const std::string id = withImport.substr(line, withImport.find('\t', line) - line);
    ASSERT_THAT(id, ::testing::StartsWith("custom-")) << withImport;
    const auto created = test::runProgram(test::programPath("tavrel-new-file"),
                                          {"create", "--id", id, "--container", folder().string()});
    EXPECT_EQ(created.exitCode, 0) << created.standardOutput;
    EXPECT_EQ(fileBytes(folder() / "新建 Report.md"), "# Report\n");

    clickAndAwaitSync<QPushButton>("Report .md", "formCompoundButton");

    EXPECT_THAT(menu(), Not(HasSubstr("Report")));
    EXPECT_FALSE(row("Report .md"));
    EXPECT_TRUE(row("暂无自定义类型"));
    EXPECT_FALSE(fs::exists(dataHome() / "Tavrel/NewFileTemplates" / (id + ".md")));
    EXPECT_TRUE(dialogs->allAnswersUsed());
}

}  // namespace
}  // namespace tavrel
