#include "core/settings_pages/settings_helper_delegate.h"

#include <utility>

#include "core/notifications/notification_names.h"
#include "core/settings/stored_settings.h"
#include "platform/files.h"
#include "platform/log.h"

namespace tavrel {

namespace {

std::optional<PageSelection> launchSelection(const std::vector<std::string>& arguments) {
    std::vector<std::string_view> views(arguments.begin(), arguments.end());
    if (const auto name = launchPageName(views)) return selectionForPageName(*name);
    return std::nullopt;
}

}  // namespace

SettingsHelperDelegate::SettingsHelperDelegate(Dependencies dependencies)
    : dependencies_(std::move(dependencies)) {}

SettingsHelperDelegate::~SettingsHelperDelegate() {
    *alive_ = false;
    for (const auto id : observers_) dependencies_.notifications.removeObserver(id);
    if (controller_) controller_->prepareForClose();
}

std::optional<std::string> SettingsHelperDelegate::readSignature() const {
    auto bytes = platform::readFile(dependencies_.environment.settingsURL(),
                                    SettingsDocumentLimits::maxBytes);
    return std::move(bytes).toOptional();
}

void SettingsHelperDelegate::post(std::string_view name, std::string_view key,
                                  std::string_view value) {
    Notification notification{
        std::string(name), std::nullopt, {{std::string(key), std::string(value)}}};
    if (Status posted = dependencies_.notifications.post(notification); !posted) {
        platform::log("Tavrel: " + std::string(name) + " not posted: " + posted.error().message);
    }
}

void SettingsHelperDelegate::applicationDidFinishLaunching() {
    settings_.load(dependencies_.environment);
    dependencies_.applyAppearance(settings_.appearanceMode);

    auto& center = dependencies_.notifications;
    observers_.push_back(center.observe(std::string(TavrelDistributedNotification::settingsReopen),
                                        [this](const Notification& n) { handleReopen(n); }));
    observers_.push_back(center.observe(std::string(TavrelDistributedNotification::settingsClose),
                                        [this](const Notification&) { handleClose(); }));
    observers_.push_back(
        center.observe(std::string(TavrelDistributedNotification::mainAppSettingsChanged),
                       [this](const Notification&) { handleMainAppSettingsChanged(); }));
    observers_.push_back(
        center.observe(std::string(nativeDockFoldersChangedNotification),
                       [this](const Notification&) { handleNativeDockFoldersChanged(); }));
    showSettings();
}

void SettingsHelperDelegate::applicationDidBecomeActive() {
    if (controller_ && controller_->hasWindow() && controller_->isWindowVisible()) {
        controller_->bringToFront();
    }
}

void SettingsHelperDelegate::selectPage(PageSelection selection) {
    controller_->select(selection);
    controller_->clearPendingSidebarScrollOrigin();
    controller_->showSelectedPage();
    controller_->scrollFeatureSidebarToTop();
}

void SettingsHelperDelegate::bringToFrontNowAndNextTurn() {
    controller_->bringToFront();
    // Once more on the next turn: the window manager may still be placing the window.
    dependencies_.mainQueue.async([this, alive = std::weak_ptr<bool>(alive_)] {
        const auto still = alive.lock();
        if (!still || !*still || !controller_) return;
        controller_->bringToFront();
    });
}

void SettingsHelperDelegate::showSettings() {
    // Read on every call, so each showing by this operation selects the start page again.
    const std::optional<PageSelection> launchPage = launchSelection(dependencies_.arguments);

    if (controller_ && controller_->hasWindow()) {
        if (launchPage) selectPage(*launchPage);
        bringToFrontNowAndNextTurn();
        return;
    }

    lastSavedSettingsSignature_ = readSignature();
    TaskbarSettings panel;
    panel.apply(settings_);
    SettingsWindowCallbacks callbacks;
    callbacks.onChange = [this](const TaskbarSettings& edited) {
        if (!isClosingWindow_) saveAndNotifyIfChanged(edited);
    };
    callbacks.onCloseTaskbar = [this] {
        post(TavrelDistributedNotification::settingsCommand, NotificationKey::command,
             SettingsCommandName::closeTaskbar);
    };
    callbacks.onRestartTaskbar = [this] {
        post(TavrelDistributedNotification::settingsCommand, NotificationKey::command,
             SettingsCommandName::restartTaskbar);
    };
    callbacks.onWindowWillClose = [this] { windowWillClose(); };
    controller_ = dependencies_.makeWindow(std::move(panel), std::move(callbacks));
    if (!controller_) return;

    controller_->clearPendingSidebarScrollOrigin();
    controller_->scrollFeatureSidebarToTop();
    controller_->showWindow();
    if (launchPage) selectPage(*launchPage);
    bringToFrontNowAndNextTurn();
}

void SettingsHelperDelegate::takeExternalSettings() {
    TaskbarSettings fresh;
    fresh.load(dependencies_.environment);
    settings_.apply(fresh);
    dependencies_.applyAppearance(settings_.appearanceMode);
    lastSavedSettingsSignature_ = readSignature();
    if (controller_) controller_->synchronizeExternalSettings(fresh);
}

void SettingsHelperDelegate::settingsFileReplaced() {
    takeExternalSettings();
    post(TavrelDistributedNotification::settingsChanged, NotificationKey::reason,
         SettingsNotificationReason::settingsHelperChange);
}

void SettingsHelperDelegate::saveAndNotifyIfChanged(const TaskbarSettings& panelSettings) {
    const std::optional<std::string> baseline =
        lastSavedSettingsSignature_ ? lastSavedSettingsSignature_ : readSignature();
    const std::optional<std::string> current = readSignature();
    if (current && baseline && *baseline != *current) {
        // Someone else (the taskbar application) rewrote the file since this process last
        // looked: the file wins, this edit is dropped and the window shows the file's values.
        takeExternalSettings();
        return;
    }

    if (panelSettings.hasSameStoredValues(settings_)) return;

    if (Status saved = panelSettings.save(dependencies_.environment); !saved) {
        platform::log("Tavrel: settings not saved: " + saved.error().message);
    }
    settings_.apply(panelSettings);
    dependencies_.applyAppearance(settings_.appearanceMode);

    const std::optional<std::string> after = readSignature();
    lastSavedSettingsSignature_ = after;
    if (after != baseline) {
        post(TavrelDistributedNotification::settingsChanged, NotificationKey::reason,
             SettingsNotificationReason::settingsHelperChange);
    }
}

void SettingsHelperDelegate::handleReopen(const Notification& notification) {
    const std::string* page = userInfoString(notification.userInfo, NotificationKey::page);
    // The latest request names the page; one without a page asks for the window only.
    pending_.reopen = true;
    pending_.reopenPage = page ? std::optional<std::string>(*page) : std::nullopt;
    scheduleNotificationWork();
}

void SettingsHelperDelegate::handleClose() {
    // Closing happens now: a reopen still waiting would only bring back the window going away.
    pending_.reopen = false;
    if (controller_ && controller_->hasWindow()) {
        controller_->performClose();
    }
}

void SettingsHelperDelegate::handleMainAppSettingsChanged() {
    pending_.externalSettings = true;
    scheduleNotificationWork();
}

void SettingsHelperDelegate::handleNativeDockFoldersChanged() {
    pending_.nativeDockFolders = true;
    scheduleNotificationWork();
}

void SettingsHelperDelegate::scheduleNotificationWork() {
    // Other programs may post in bursts: what they ask for is done once per turn of the main
    // queue, reading the state as it is by then.
    if (pending_.scheduled) return;
    pending_.scheduled = true;
    dependencies_.mainQueue.async([this, alive = std::weak_ptr<bool>(alive_)] {
        const auto still = alive.lock();
        if (!still || !*still) return;
        runNotificationWork();
    });
}

void SettingsHelperDelegate::runNotificationWork() {
    PendingNotificationWork work = std::exchange(pending_, PendingNotificationWork{});
    if (isClosingWindow_) return;
    if (work.externalSettings) {
        // The rebuild shows the folder file as it is now too.
        takeExternalSettings();
    } else if (work.nativeDockFolders && controller_) {
        controller_->refreshNativeDockFolderState();
    }
    if (work.reopen) {
        showSettings();
        if (!work.reopenPage || !controller_) return;
        // Applied after showSettings(), so the notification's page wins over the launch page.
        if (const auto selection = selectionForPageName(*work.reopenPage)) selectPage(*selection);
    }
}

void SettingsHelperDelegate::windowWillClose() {
    if (isClosingWindow_) return;  // the close is announced once
    isClosingWindow_ = true;
    post(TavrelDistributedNotification::settingsWillClose, NotificationKey::reason,
         SettingsNotificationReason::settingsWindowWillClose);
    std::unique_ptr<SettingsWindowController> closing = std::move(controller_);
    if (closing) closing->prepareForClose();
    // The window is still inside its own close handling: it is released, and the application
    // ends, on the next turn of the main queue.
    dependencies_.mainQueue.async(
        [closing = std::shared_ptr<SettingsWindowController>(std::move(closing)),
         terminate = dependencies_.terminate]() mutable {
            closing.reset();
            if (terminate) terminate();
        });
}

}  // namespace tavrel
