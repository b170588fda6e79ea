#include "apps/settings/settings_application.h"

#include <chrono>
#include <functional>
#include <utility>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDateTime>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "core/native_dock/native_dock_bounce_backup.h"
#include "core/native_dock/native_dock_folder_settings_store.h"
#include "core/new_file/new_file_settings.h"
#include "core/notifications/notification_names.h"
#include "core/settings_pages/native_dock_visibility_bridge.h"
#include "core/settings_transfer/settings_reset.h"
#include "platform/bundle.h"
#include "platform/linux/desktop_workspace.h"
#include "platform/linux/qt_screens.h"
#include "platform/log.h"
#include "platform/main_queue.h"
#include "platform/process.h"
#include "platform/tool_resolver.h"
#include "ui/form/settings_accessibility.h"
#include "ui/settings/settings_panel_controller.h"
#include "ui/update/qt_app_update_check.h"

namespace tavrel {

namespace {

// The edit items act on the focused field, like actions without a target.
void editFocused(const std::function<void(QLineEdit*)>& action) {
    if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget())) action(field);
}

// Runs an action once, on the turn after the window's first paint; goes with the window.
class AfterFirstPaint final : public QObject {
public:
    AfterFirstPaint(QWidget* window, std::function<void()> action)
        : QObject(window), action_(std::move(action)) {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                const std::function<void()> action = std::move(action_);
                deleteLater();
                if (action) action();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> action_;
};

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
    installSettingsAccessibility();
    // The markers and resets measure against what a first start loads (the taskbar on the
    // edge the native Dock leaves free, for one).
    installFirstStartSettingsDefaults(options_.environment);
    mainQueue_ = platform::makeMainQueue();
    dialogs_ = options_.dialogs ? std::move(options_.dialogs)
                                : std::make_unique<QtSettingsDialogs>([this]() -> QWidget* {
                                      return panel_ ? panel_->window() : nullptr;
                                  });
    privacy_ = options_.privacy ? std::move(options_.privacy) : makeDesktopPrivacySettingsOpener();
    workspace_ =
        options_.workspace ? std::move(options_.workspace) : platform::makeDesktopWorkspace();
    screens_ = options_.screens ? std::move(options_.screens) : platform::makeQtScreens();
    addStandardSettingsViews(views_);
    // One checker for the process: a check that runs keeps further presses away across page
    // rebuilds and windows.
    {
        QtAppUpdateCheck::Options update;
        update.window = [this]() -> QWidget* { return panel_ ? panel_->window() : nullptr; };
        if (const auto bundle = platform::Bundle::main()) {
            update.infoVersion = bundle->infoString("CFBundleShortVersionString");
        }
        updateCheck_ = std::make_unique<QtAppUpdateCheck>(*workspace_, std::move(update));
    }
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
        auto controller = std::make_unique<SettingsPanelController>(
            std::move(panelSettings), std::move(callbacks), *this, views_,
            SettingsWindowOptions{/*buildBelowFirstScreenLater=*/true});
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

NativeDockFolderSettingsStore& SettingsApplication::nativeDockFolders() {
    return NativeDockFolderSettingsStore::shared();
}

PermissionProbe& SettingsApplication::permissionProbe(PermissionKind permission) {
    return permission == PermissionKind::screenRecording ? *screenRecordingProbe_
                                                         : *accessibilityProbe_;
}

void SettingsApplication::installMainMenu(QWidget* window) {
    // The items are the window's actions, so their keys work from its first frame on.
    auto* quit = new QAction(QStringLiteral("退出 Tavrel 设置"), window);
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

    std::vector<QAction*> editItems;  // nullptr: a separator
    const auto add = [&](const char* title, QKeySequence keys,
                         std::function<void(QLineEdit*)> action) {
        auto* item = new QAction(QString::fromUtf8(title), window);
        item->setShortcut(keys);
        item->setShortcutContext(Qt::WindowShortcut);
        connect(item, &QAction::triggered, this, [action] { editFocused(action); });
        window->addAction(item);
        editItems.push_back(item);
        return item;
    };
    add("撤销", QKeySequence(Qt::CTRL | Qt::Key_Z), [](QLineEdit* f) { f->undo(); });
    add("重做", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), [](QLineEdit* f) { f->redo(); });
    editItems.push_back(nullptr);
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

    // The bar follows the window's first frame: making a QMenuBar loads every image plugin Qt
    // has (for its overflow button), which that frame does not need, and the bar shows nowhere
    // in the window; where the desktop has no global menu it stays hidden.
    new AfterFirstPaint(window, [this, window, quit, editItems] {
        // The window's own menu too: its button at the sidebar's top right comes with it.
        QMenu* file = makeSettingsFileMenu(window);
        if (panel_ && panel_->window() == window) panel_->setWindowMenu(file);
        auto* menuBar = new QMenuBar(window);
        menuBar->setNativeMenuBar(true);
        menuBar->addMenu(QString())->addAction(quit);
        menuBar->addMenu(file);
        QMenu* edit = menuBar->addMenu(QStringLiteral("编辑"));
        for (QAction* item : editItems) {
            if (item) {
                edit->addAction(item);
            } else {
                edit->addSeparator();
            }
        }
        if (!menuBar->isNativeMenuBar()) menuBar->hide();
    });
}

QMenu* SettingsApplication::makeSettingsFileMenu(QWidget* window) {
    auto* menu = new QMenu(QStringLiteral("文件"), window);
    QAction* exportItem = menu->addAction(QString::fromUtf8(SettingsTransferTexts::exportItem));
    QAction* importItem = menu->addAction(QString::fromUtf8(SettingsTransferTexts::importItem));
    QMenu* restore = menu->addMenu(QString::fromUtf8(SettingsTransferTexts::restoreMenu));
    // Every item runs on the next turn, once the menu is closed: the dialogs it opens are modal.
    connect(exportItem, &QAction::triggered, this, [this] {
        QTimer::singleShot(0, this,
                           [this] { exportSettingsThroughDialogs(settingsTransferContext()); });
    });
    connect(importItem, &QAction::triggered, this, [this] {
        QTimer::singleShot(0, this,
                           [this] { importSettingsThroughDialogs(settingsTransferContext()); });
    });
    // The backups as they are when the menu opens.
    connect(restore, &QMenu::aboutToShow, this, [this, restore] {
        restore->clear();
        const auto items = settingsBackupMenuItems(settingsTransferContext());
        if (items.empty()) {
            restore->addAction(QString::fromUtf8(SettingsTransferTexts::noBackupsItem))
                ->setEnabled(false);
        }
        for (const SettingsBackupMenuItem& item : items) {
            QAction* action = restore->addAction(QString::fromStdString(item.title));
            connect(action, &QAction::triggered, this, [this, name = item.name] {
                QTimer::singleShot(0, this, [this, name] {
                    restoreSettingsBackupThroughDialogs(settingsTransferContext(), name);
                });
            });
        }
    });
    return menu;
}

SettingsTransferContext SettingsApplication::settingsTransferContext() {
    SettingsTransferContext context{.dialogs = *dialogs_,
                                    .locations = {options_.environment.directory}};
    if (const auto bundle = platform::Bundle::main()) {
        context.appVersion = bundle->infoString("CFBundleShortVersionString").value_or("");
    }
    context.durability = options_.environment.durability;
    context.localTime = [](std::chrono::system_clock::time_point time) {
        const auto milliseconds =
            std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
        return QDateTime::fromMSecsSinceEpoch(milliseconds.count())
            .toLocalTime()
            .toString(QStringLiteral("yyyy年M月d日 HH:mm"))
            .toStdString();
    };
    context.announce = [this](SettingsDocumentKind kind) { documentsReplaced({kind}); };
    return context;
}

void SettingsApplication::documentsReplaced(const std::vector<SettingsDocumentKind>& kinds) {
    for (const SettingsDocumentKind kind : kinds) {
        switch (kind) {
            case SettingsDocumentKind::settings:
                // The window shows the file's values; the taskbar hears as of any edit.
                delegate_->settingsFileReplaced();
                break;
            case SettingsDocumentKind::nativeDockFolders: {
                Notification changed;
                changed.name = nativeDockFoldersChangedNotification;
                if (Status posted = center_->post(changed); !posted) {
                    platform::log("Tavrel: the imported native Dock folders were not announced: " +
                                  posted.error().message);
                }
                if (panel_) panel_->refreshNativeDockFolderState();
                break;
            }
            case SettingsDocumentKind::newFile:
                // The file manager's extension takes its copy from the sync payload.
                NewFileSettings::postCurrentSettingsSync(newFile_->environment());
                newFile_->notifyNewFileSettingsChanged();
                // The page and its sidebar switch read the document when they are built.
                if (panel_) panel_->refreshNativeDockFolderState();
                break;
        }
    }
}

}  // namespace tavrel
