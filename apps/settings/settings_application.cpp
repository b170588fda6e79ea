#include "apps/settings/settings_application.h"

#include <functional>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/settings_pages/native_dock_visibility_bridge.h"
#include "platform/bundle.h"
#include "platform/main_queue.h"
#include "platform/process.h"
#include "platform/tool_resolver.h"
#include "ui/settings/settings_panel_controller.h"

namespace tavrel {

namespace {

// The edit items act on the focused field, like actions without a target.
void editFocused(const std::function<void(QLineEdit*)>& action) {
    if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget())) action(field);
}

}  // namespace

Result<std::unique_ptr<SettingsApplication>> SettingsApplication::make(Options options) {
    auto center = platform::makeSessionNotificationCenter();
    if (!center) return center.error();
    return std::unique_ptr<SettingsApplication>(
        new SettingsApplication(std::move(options), std::move(center).value()));
}

SettingsApplication::SettingsApplication(Options options,
                                         std::unique_ptr<platform::NotificationCenter> center)
    : options_(std::move(options)), center_(std::move(center)) {
    mainQueue_ = platform::makeMainQueue();
    dialogs_ = options_.dialogs ? std::move(options_.dialogs)
                                : std::make_unique<QtSettingsDialogs>([this]() -> QWidget* {
                                      return panel_ ? panel_->window() : nullptr;
                                  });
    privacy_ = options_.privacy ? std::move(options_.privacy) : makeDesktopPrivacySettingsOpener();
    std::optional<std::filesystem::path> newFileResources = options_.newFileResources;
    if (!newFileResources) {
        if (const auto bundle = platform::Bundle::main()) {
            newFileResources = bundle->resourcesDirectory();
        }
    }
    newFile_ =
        std::make_unique<NewFileFeature>(NewFileEnvironment{newFileResources, center_.get()});
    // "/usr/bin/defaults" and "/usr/bin/killall" run as the suite's stand-ins; the change lands in
    // whichever window is open when it completes.
    nativeDock_ =
        std::make_unique<NativeDockVisibilityBridge>(NativeDockVisibilityBridge::Dependencies{
            platform::makeToolResolvingProcessRunner(platform::makeProcessRunner(),
                                                     platform::ToolResolver::standard()),
            nullptr, *center_, *mainQueue_, *dialogs_,
            NativeDockBounceBackup::urlBeside(options_.environment.settingsURL()),
            [this]() -> SettingsPageHost* { return panel_; }});
    screenRecordingProbe_ =
        std::make_unique<PermissionProbe>(*center_, PermissionKind::screenRecording);
    accessibilityProbe_ =
        std::make_unique<PermissionProbe>(*center_, PermissionKind::accessibility);

    SettingsWindowFactory makeWindow = [this](TaskbarSettings panelSettings,
                                              SettingsWindowCallbacks callbacks) {
        SettingsPanelController::Dependencies dependencies{
            *dialogs_,
            *screenRecordingProbe_,
            *accessibilityProbe_,
            *newFile_,
            *nativeDock_,
            *privacy_,
            [this](TavrelAppearanceMode mode) { appearance_.apply(mode); },
            options_.images,
            NativeDockFolderSettingsStore::shared(),
            *center_};
        auto controller = std::make_unique<SettingsPanelController>(
            std::move(panelSettings), std::move(callbacks), std::move(dependencies));
        panel_ = controller.get();
        QObject::connect(controller.get(), &QObject::destroyed, this, [this] { panel_ = nullptr; });
        installMainMenu(controller->window());
        return std::unique_ptr<SettingsWindowController>(std::move(controller));
    };

    SettingsHelperDelegate::Dependencies dependencies{
        options_.environment,
        *center_,
        *mainQueue_,
        options_.arguments,
        [this](TavrelAppearanceMode mode) { appearance_.apply(mode); },
        [] { QCoreApplication::quit(); },
        std::move(makeWindow)};
    delegate_ = std::make_unique<SettingsHelperDelegate>(std::move(dependencies));

    connect(qGuiApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state == Qt::ApplicationActive) delegate_->applicationDidBecomeActive();
            });
}

SettingsApplication::~SettingsApplication() {
    delegate_.reset();
}

void SettingsApplication::start() {
    delegate_->applicationDidFinishLaunching();
}

SettingsPanelController* SettingsApplication::panel() const {
    return panel_;
}

void SettingsApplication::installMainMenu(QWidget* window) {
    auto* menuBar = new QMenuBar(window);
    menuBar->setNativeMenuBar(true);

    QMenu* appMenu = menuBar->addMenu(QString());
    auto* quit = appMenu->addAction(QStringLiteral("退出 Tavrel 设置"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setMenuRole(QAction::QuitRole);
    // Quitting closes the window first, so the taskbar hears that it went away.
    connect(quit, &QAction::triggered, this, [this] {
        if (panel_) {
            panel_->performClose();
        } else {
            QCoreApplication::quit();
        }
    });

    QMenu* edit = menuBar->addMenu(QStringLiteral("编辑"));
    const auto add = [&](const char* title, QKeySequence keys,
                         std::function<void(QLineEdit*)> action) {
        QAction* item = edit->addAction(QString::fromUtf8(title));
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WindowShortcut);
        connect(item, &QAction::triggered, this, [action] { editFocused(action); });
        window->addAction(item);
        return item;
    };
    add("撤销", QKeySequence(Qt::CTRL | Qt::Key_Z), [](QLineEdit* f) { f->undo(); });
    add("重做", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [](QLineEdit* f) { f->redo(); });
    edit->addSeparator();
    add("剪切", QKeySequence(Qt::CTRL | Qt::Key_X), [](QLineEdit* f) { f->cut(); });
    QAction* copy =
        add("复制", QKeySequence(Qt::CTRL | Qt::Key_C), [](QLineEdit* f) { f->copy(); });
    // A selected label text is copied too.
    connect(copy, &QAction::triggered, this, [] {
        if (auto* label = qobject_cast<QLabel*>(QApplication::focusWidget())) {
            if (label->hasSelectedText())
                QGuiApplication::clipboard()->setText(label->selectedText());
        }
    });
    add("粘贴", QKeySequence(Qt::CTRL | Qt::Key_V), [](QLineEdit* f) { f->paste(); });
    add("全选", QKeySequence(Qt::CTRL | Qt::Key_A), [](QLineEdit* f) { f->selectAll(); });
    window->addAction(quit);

    // Where the desktop has no global menu bar the items stay reachable by their keys only; a
    // bar inside the window would cover its top edge.
    if (!menuBar->isNativeMenuBar()) menuBar->hide();
}

}  // namespace tavrel
