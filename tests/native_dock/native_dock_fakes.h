#pragma once

// Stand-ins for the window side of the native Dock logic: a modal alert presenter answering from
// a script, and a background queue that runs its items only when the test says so. Usable by
// the page tests as well.

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "core/native_dock/background_work_queue.h"
#include "platform/dialogs.h"

namespace tavrel {

class ScriptedModalAlertPresenter final : public platform::ModalAlertPresenter {
public:
    // Answers in order. With nothing scripted an alert is closed without a button, which every
    // caller treats as a cancel, and is counted in unscripted().
    platform::ModalAlertResponse runModal(const platform::ModalAlert& alert) override;

    void answerFirstButton(std::string text = {});
    void answerButton(std::size_t index, std::string text = {});
    void answerClosed();

    const std::vector<platform::ModalAlert>& shown() const { return shown_; }
    std::size_t unscripted() const { return unscripted_; }
    std::size_t pendingAnswers() const { return answers_.size(); }

private:
    std::deque<platform::ModalAlertResponse> answers_;
    std::vector<platform::ModalAlert> shown_;
    std::size_t unscripted_ = 0;
};

class ManualBackgroundWorkQueue final : public BackgroundWorkQueue {
public:
    void submit(Work work) override;
    // Runs the queued items (and those they queue) on the calling thread; how many ran.
    std::size_t runAll();
    std::size_t pending() const;

private:
    mutable std::mutex mutex_;
    std::deque<Work> items_;
};

}  // namespace tavrel
