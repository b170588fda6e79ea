// The settings window's looks where the desktop differs: no icon theme, a dark appearance, and
// alert texts that come from outside.

#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include "core/form/symbol_names.h"
#include "core/native_dock/native_dock_folder_actions.h"
#include "core/settings_pages/page_registry.h"
#include "tests/platform_posix/temporary_directory.h"
#include "ui/form/settings_colors.h"
#include "ui/form/settings_symbols.h"
#include "ui/settings/mini_preview_view.h"
#include "ui/settings/qt_settings_dialogs.h"
#include "ui/settings/settings_appearance.h"
#include "ui/settings/taskbar_theme_hero_view.h"
#include "ui/settings/workspace_icons.h"

namespace tavrel {
namespace {

namespace fs = std::filesystem;

QApplication& application();

// Sets the application's palette as the appearance setting does; widgets hear of it through
// posted events.
void applyPalette(const QPalette& palette) {
    QApplication::setPalette(palette);
    QCoreApplication::processEvents();
}

QApplication& application() {
    static int argc = 1;
    static char name[] = "tavrel-settings-looks-test";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QApplication(argc, argv);
    return *static_cast<QApplication*>(QCoreApplication::instance());
}

int visiblePixels(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    int visible = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) ++visible;
        }
    }
    return visible;
}

TEST(SettingsSymbols, EveryKnownSymbolIsDrawnWithoutAnIconTheme) {
    application();
    QIcon::setThemeSearchPaths({});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("tavrel-no-such-theme"));
    for (const SymbolIconNames& symbol : knownSymbols()) {
        const std::string name(symbol.symbolName);
        for (const int size : {11, 14, 24}) {
            const QPixmap pixmap = settingsSymbolPixmap(symbol.symbolName, Qt::black, size, 2.0);
            ASSERT_FALSE(pixmap.isNull()) << name;
            EXPECT_GT(visiblePixels(pixmap.toImage()), size) << name << " at " << size;
        }
        QImage canvas(28, 28, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        EXPECT_TRUE(drawFallbackSymbol(symbol.symbolName, painter, QRectF(0, 0, 28, 28), Qt::black))
            << name << " has no drawing of its own";
    }
    QImage canvas(28, 28, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&canvas);
    EXPECT_FALSE(drawFallbackSymbol("no.such.symbol", painter, QRectF(0, 0, 28, 28), Qt::black));
}

// Names that look like symbols in the sources: dotted lower-case literals ("chevron.right"),
// and any lower-case literal in a statement that deals with symbols or adds a button.
std::set<std::string> symbolNamesInSources() {
    const std::regex literal("\"([a-z][a-z0-9]*(?:\\.[a-z0-9]+)*)\"");
    const std::regex notSymbol(
        "^(com|org|local|io|net)\\..*|.*\\.(json|png|plist|desktop|log|txt|app|lock|so|svg|"
        "md|sh|cpp|h)$");
    const std::regex anyLiteral("\"(?:[^\"\\\\\n]|\\\\.)*\"");
    const std::regex comment("//[^\n]*");
    std::set<std::string> names;
    for (const char* area : {"core", "ui", "apps"}) {
        for (const auto& item :
             fs::recursive_directory_iterator(fs::path(TAVREL_SOURCE_DIR) / area)) {
            const std::string extension = item.path().extension().string();
            if (extension != ".cpp" && extension != ".h") continue;
            if (item.path().filename() == "symbol_names.cpp") continue;  // the table itself
            std::ifstream file(item.path());
            std::stringstream text;
            text << file.rdbuf();
            const std::string all = text.str();
            std::size_t start = 0;
            while (start < all.size()) {
                std::size_t end = all.find(';', start);
                if (end == std::string::npos) end = all.size();
                const std::string statement = all.substr(start, end - start);
                start = end + 1;
                // Judged by its code alone: "media-symbols-unavailable" or a comment that
                // mentions a symbol does not make a statement about symbols.
                const std::string code = std::regex_replace(
                    std::regex_replace(statement, anyLiteral, "\"\""), comment, "");
                const bool aboutSymbols = code.find("ymbol") != std::string::npos ||
                                          code.find("addButton(") != std::string::npos;
                for (std::sregex_iterator it(statement.begin(), statement.end(), literal), last;
                     it != last; ++it) {
                    const std::string name = (*it)[1];
                    const bool dotted = name.find('.') != std::string::npos;
                    if ((dotted || aboutSymbols) && !std::regex_match(name, notSymbol)) {
                        names.insert(name);
                    }
                }
            }
        }
    }
    return names;
}

TEST(SettingsSymbols, EverySymbolTheWindowUsesIsKnown) {
    for (const FeaturePage page : allFeaturePages()) {
        EXPECT_TRUE(isKnownSymbol(featurePageInfo(page).symbolName))
            << featurePageInfo(page).symbolName;
    }
    EXPECT_TRUE(isKnownSymbol(NativeDockFolderTexts::createSymbol));
    EXPECT_TRUE(isKnownSymbol(NativeDockFolderTexts::deleteSymbol));

    // Literals of the sources that are no symbol although they look like one.
    const std::set<std::string> notSymbols{"settings.json", "empty.", "a.b"};
    const std::set<std::string> found = symbolNamesInSources();
    EXPECT_TRUE(found.contains("chevron.right"));  // the scan finds what it should
    EXPECT_TRUE(found.contains("trash"));
    for (const std::string& name : found) {
        if (notSymbols.contains(name)) continue;
        EXPECT_TRUE(isKnownSymbol(name))
            << "\"" << name << "\" is used in the sources but is not in core/form/symbol_names.cpp "
            << "(add it there and give it a fallback drawing, or list it here as no symbol)";
    }
}

// Runs `inspect` on the dialog once it is up, from inside its modal loop.
void whenModal(std::function<void(QWidget*)> inspect) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, inspect = std::move(inspect)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        inspect(modal);
    });
    poll->start(0);
}

QPushButton* buttonTitled(QWidget* dialog, const QString& title) {
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->text() == title) return button;
    }
    return nullptr;
}

TEST(SettingsDialogs, AlertTextsAreShownAsPlainText) {
    application();
    const std::string message = "删除“<b>x</b>”？";
    const std::string informative = "<a href=\"https://example.com\">应用</a> & <i>盒子</i>";
    QtSettingsDialogs dialogs;

    for (const bool withField : {false, true}) {
        platform::ModalAlert alert;
        alert.message = message;
        alert.informativeText = informative;
        alert.buttons = {"删除", "取消"};
        if (withField) {
            alert.textField = "<b>name</b>";
            alert.textFieldWarning = "<font color=red>warn</font>";
        }
        std::set<QString> shown;
        bool inspected = false;
        whenModal([&](QWidget* dialog) {
            inspected = true;
            for (QLabel* label : dialog->findChildren<QLabel*>()) {
                if (label->text().isEmpty()) continue;  // the icon
                EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
                shown.insert(label->text());
            }
            QPushButton* confirm = buttonTitled(dialog, QStringLiteral("删除"));
            ASSERT_TRUE(confirm);
            confirm->click();
        });
        const platform::ModalAlertResponse response = dialogs.runModal(alert);
        ASSERT_TRUE(inspected);
        EXPECT_TRUE(response.isFirstButton());
        EXPECT_TRUE(shown.contains(QString::fromStdString(message))) << withField;
        EXPECT_TRUE(shown.contains(QString::fromStdString(informative))) << withField;
        if (withField) {
            EXPECT_TRUE(shown.contains(QStringLiteral("<font color=red>warn</font>")));
            EXPECT_EQ(response.text, "<b>name</b>");
        }
    }
}

TEST(SettingsDialogs, TheOpenPanelStartsInTheHomeFolder) {
    application();
    QDir::setCurrent(QDir::tempPath());
    QtSettingsDialogs dialogs;
    QString directory;
    whenModal([&](QWidget* dialog) {
        auto* files = qobject_cast<QFileDialog*>(dialog);
        ASSERT_TRUE(files);
        directory = files->directory().absolutePath();
        files->reject();
    });
    const auto chosen = dialogs.openFile({"选择模板", {}, false, "导入"});
    EXPECT_FALSE(chosen);
    EXPECT_EQ(directory, QDir::homePath());
    EXPECT_NE(directory, QDir::tempPath());
}

// The lightness of the preview's own pixels where no shape lies (the container) and inside a
// white window of the switcher drawing, painted over the window background.
struct PreviewLightness {
    double container;
    double window;
};

PreviewLightness previewLightness(MiniPreviewView& preview) {
    const QImage image = preview.grab().toImage();
    const qreal ratio = image.devicePixelRatio();
    const auto at = [&](int x, int y) {
        return image.pixelColor(qRound(x * ratio), qRound(y * ratio)).lightnessF();
    };
    // Content area (14, 9)–(154, 45); the left window spans x 14…44 and y 9…35 from the bottom.
    return {at(8, 27), at(43, 22)};
}

TEST(MiniPreviewLooks, FollowsTheAppearance) {
    application();
    applyPalette(lightSettingsPalette());
    // A child of a shown window, as in the settings window: the application's palette reaches
    // widgets through their window.
    QWidget window;
    auto& preview = *new MiniPreviewView(&window);
    preview.setKind(FeaturePage::switcher);
    preview.setGeometry(0, 0, 168, 54);
    window.show();
    const PreviewLightness light = previewLightness(preview);
    EXPECT_GT(light.container, 0.85);
    EXPECT_GT(light.window, 0.85);

    applyPalette(darkSettingsPalette());
    ASSERT_TRUE(isDarkPalette(preview.palette()));
    const PreviewLightness dark = previewLightness(preview);
    const double background = darkSettingsPalette().color(QPalette::Window).lightnessF();
    // Lifted off the dark window a little, nowhere near the light drawing.
    EXPECT_GT(dark.container, background);
    EXPECT_LT(dark.container, 0.3);
    EXPECT_GT(dark.window, dark.container);
    EXPECT_LT(dark.window, 0.4);

    applyPalette(lightSettingsPalette());
    EXPECT_GT(previewLightness(preview).window, 0.85);
}

TEST(ThemeHeroLooks, TheOrLabelFollowsTheAppearance) {
    application();
    applyPalette(lightSettingsPalette());
    QWidget window;
    auto& hero = *new TaskbarThemeHeroView(TaskbarTheme::windows, {}, &window);
    window.show();
    QLabel* orLabel = nullptr;
    for (QLabel* label : hero.findChildren<QLabel*>()) {
        if (label->text() == QStringLiteral("or")) orLabel = label;
    }
    ASSERT_TRUE(orLabel);
    const auto textColor = [&] { return orLabel->palette().color(QPalette::WindowText); };
    EXPECT_EQ(textColor(), settingsSecondaryLabelColor(lightSettingsPalette()));
    applyPalette(darkSettingsPalette());
    EXPECT_EQ(textColor(), settingsSecondaryLabelColor(darkSettingsPalette()));
    EXPECT_GT(textColor().lightnessF(), 0.5);
    applyPalette(lightSettingsPalette());
    EXPECT_LT(textColor().lightnessF(), 0.5);
}

TEST(WorkspaceIcons, ThemeNamesAndFilesBecomeIcons) {
    application();
    TemporaryDirectory root;
    const fs::path theme = root / "tavrel-test/16x16/apps";
    fs::create_directories(theme);
    std::ofstream(root / "tavrel-test/index.theme")
        << "[Icon Theme]\nName=Tavrel test\nDirectories=16x16/apps\n\n"
           "[16x16/apps]\nSize=16\nType=Fixed\n";
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdString((theme / "org.example.Viewer.png").string())));
    const fs::path picture = root / "picture.png";
    ASSERT_TRUE(image.save(QString::fromStdString(picture.string())));
    std::ofstream(root / "not-a-picture.png") << "text";
    QIcon::setThemeSearchPaths({QString::fromStdString(root.path().string())});
    QIcon::setFallbackSearchPaths({});
    QIcon::setThemeName(QStringLiteral("tavrel-test"));

    EXPECT_FALSE(iconFor({"org.example.Viewer", {}}).isNull());
    EXPECT_FALSE(iconFor({{}, picture}).isNull());
    EXPECT_FALSE(iconFor({"no-such-icon", picture}).isNull());  // the file when the theme fails
    EXPECT_TRUE(iconFor({"no-such-icon", {}}).isNull());
    EXPECT_TRUE(iconFor({{}, root / "missing.png"}).isNull());
    EXPECT_TRUE(iconFor({{}, root / "not-a-picture.png"}).isNull());
    EXPECT_TRUE(iconFor({}).isNull());
}

}  // namespace
}  // namespace tavrel
