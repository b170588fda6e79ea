#include "tests/native_dock/native_dock_fakes.h"

#include <utility>

namespace tavrel {

platform::ModalAlertResponse ScriptedModalAlertPresenter::runModal(const platform::ModalAlert& alert) {
    shown_.push_back(alert);
    if (answers_.empty()) {
        ++unscripted_;
        return platform::ModalAlertResponse{std::nullopt, alert.textField.value_or("")};
    }
    platform::ModalAlertResponse response = std::move(answers_.front());
    answers_.pop_front();
    return response;
}

void ScriptedModalAlertPresenter::answerFirstButton(std::string text) {
    answerButton(0, std::move(text));
}

void ScriptedModalAlertPresenter::answerButton(std::size_t index, std::string text) {
    answers_.push_back(platform::ModalAlertResponse{index, std::move(text)});
}

void ScriptedModalAlertPresenter::answerClosed() {
    answers_.push_back(platform::ModalAlertResponse{std::nullopt, {}});
}

void ManualBackgroundWorkQueue::submit(Work work) {
    std::lock_guard lock(mutex_);
    items_.push_back(std::move(work));
}

std::size_t ManualBackgroundWorkQueue::runAll() {
    std::size_t ran = 0;
    for (;;) {
        Work work;
        {
            std::lock_guard lock(mutex_);
            if (items_.empty()) return ran;
            work = std::move(items_.front());
            items_.pop_front();
        }
        work();
        ++ran;
    }
}

std::size_t ManualBackgroundWorkQueue::pending() const {
    std::lock_guard lock(mutex_);
    return items_.size();
}

}  // namespace tavrel
