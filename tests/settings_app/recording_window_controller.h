#pragma once

// A window controller that records what the delegate asks of it, and lets a test play the
// window's part (an edit with the panel copy, the close button).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/settings_pages/settings_window_controller.h"

namespace tavrel::test {

struct RecordedWindow {
    std::vector<std::string> calls;
    std::optional<PageSelection> selection;
    std::optional<TaskbarSettings> synchronizedFrom;
    int prepareForCloseCount = 0;
    int created = 0;
    bool alive = false;
    // The live controller's panel copy and callbacks (valid while `alive`).
    TaskbarSettings* panel = nullptr;
    SettingsWindowCallbacks callbacks;
};

class RecordingWindowController final : public SettingsWindowController {
public:
    RecordingWindowController(std::shared_ptr<RecordedWindow> record, TaskbarSettings panel,
                              SettingsWindowCallbacks callbacks)
        : record_(std::move(record)), panel_(std::move(panel)) {
        record_->alive = true;
        record_->panel = &panel_;
        record_->callbacks = std::move(callbacks);
        ++record_->created;
    }
    ~RecordingWindowController() override {
        record_->alive = false;
        record_->panel = nullptr;
    }

    bool hasWindow() const override { return !closed_; }
    bool isWindowVisible() const override { return shown_ && !closed_; }
    void select(PageSelection selection) override {
        record_->calls.push_back("select");
        record_->selection = selection;
    }
    void clearPendingSidebarScrollOrigin() override {
        record_->calls.push_back("clearPendingSidebarScrollOrigin");
    }
    void rebuildContentViewBody() override { record_->calls.push_back("rebuild"); }
    void scrollFeatureSidebarToTop() override { record_->calls.push_back("scrollSidebarToTop"); }
    void synchronizeExternalSettings(const TaskbarSettings& fresh) override {
        record_->calls.push_back("synchronizeExternalSettings");
        panel_.apply(fresh);
        record_->synchronizedFrom = fresh;
    }
    void refreshNativeDockFolderState() override {
        record_->calls.push_back("refreshNativeDockFolderState");
    }
    void prepareForClose() override {
        if (prepared_) return;
        prepared_ = true;
        ++record_->prepareForCloseCount;
        record_->calls.push_back("prepareForClose");
    }
    void showWindow() override {
        shown_ = true;
        record_->calls.push_back("showWindow");
    }
    void bringToFront() override { record_->calls.push_back("bringToFront"); }
    void performClose() override {
        record_->calls.push_back("performClose");
        // The window announces its close (twice, as a careless window system might).
        const auto callback = record_->callbacks.onWindowWillClose;
        if (callback) {
            callback();
            callback();
        }
        closed_ = true;
    }

private:
    std::shared_ptr<RecordedWindow> record_;
    TaskbarSettings panel_;
    bool shown_ = false;
    bool closed_ = false;
    bool prepared_ = false;
};

inline SettingsWindowFactory recordingWindowFactory(std::shared_ptr<RecordedWindow> record) {
    return [record](TaskbarSettings panel, SettingsWindowCallbacks callbacks) {
        return std::make_unique<RecordingWindowController>(record, std::move(panel),
                                                           std::move(callbacks));
    };
}

}  // namespace tavrel::test
