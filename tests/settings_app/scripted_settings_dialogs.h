#pragma once

// Dialogs for tests: every question is recorded and answered from a script, in order. An
// unscripted question fails the test and is answered as closed (no button).

#include <deque>
#include <filesystem>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "platform/dialogs.h"

namespace tavrel::test {

class ScriptedSettingsDialogs final : public platform::Dialogs {
public:
    // Answers the next question by pressing the button with this title.
    void answer(std::string button) { answers_.push_back(std::move(button)); }
    void answerOpenFile(std::optional<std::filesystem::path> file) {
        files_.push_back(std::move(file));
    }
    void answerSaveFile(std::optional<std::filesystem::path> file) {
        saveFiles_.push_back(std::move(file));
    }
    // Answers the next application chooser by choosing the application of this name; nothing
    // cancels it.
    void answerApplicationChoice(std::optional<std::string> name) {
        applicationChoices_.push_back(std::move(name));
    }
    // Every alert nobody scripted is confirmed (its first button) instead of failing the test.
    bool confirmUnscriptedAlerts = false;

    platform::ModalAlertResponse runModal(const platform::ModalAlert& alert) override {
        return respond(alert, false);
    }
    platform::ModalAlertResponse runSheet(const platform::ModalAlert& alert) override {
        return respond(alert, true);
    }

    std::optional<std::filesystem::path> openFile(
        const platform::OpenFileRequest& request) override {
        openRequests.push_back(request);
        return nextFile(files_, "open-file panel");
    }

    std::optional<std::filesystem::path> saveFile(
        const platform::SaveFileRequest& request) override {
        saveRequests.push_back(request);
        return nextFile(saveFiles_, "save panel");
    }

    void beep() override { ++beeps; }

    std::optional<std::size_t> chooseApplication(
        const platform::ApplicationChoiceRequest& request) override {
        applicationRequests.push_back(request);
        if (applicationChoices_.empty()) {
            ADD_FAILURE() << "unexpected application chooser";
            return std::nullopt;
        }
        const std::optional<std::string> name = std::move(applicationChoices_.front());
        applicationChoices_.pop_front();
        if (!name) return std::nullopt;
        for (std::size_t i = 0; i < request.applications.size(); ++i) {
            if (request.applications[i].name == *name) return i;
        }
        ADD_FAILURE() << "the chooser offers no application \"" << *name << "\"";
        return std::nullopt;
    }

    std::vector<platform::ModalAlert> asked;
    std::vector<bool> askedAsSheet;
    std::vector<platform::OpenFileRequest> openRequests;
    std::vector<platform::SaveFileRequest> saveRequests;
    std::vector<platform::ApplicationChoiceRequest> applicationRequests;
    int beeps = 0;

    bool allAnswersUsed() const {
        return answers_.empty() && files_.empty() && saveFiles_.empty() &&
               applicationChoices_.empty();
    }

private:
    static std::optional<std::filesystem::path> nextFile(
        std::deque<std::optional<std::filesystem::path>>& answers, const char* panel) {
        if (answers.empty()) {
            ADD_FAILURE() << "unexpected " << panel;
            return std::nullopt;
        }
        auto file = std::move(answers.front());
        answers.pop_front();
        return file;
    }

    platform::ModalAlertResponse respond(const platform::ModalAlert& alert, bool sheet) {
        asked.push_back(alert);
        askedAsSheet.push_back(sheet);
        platform::ModalAlertResponse response;
        if (answers_.empty()) {
            if (confirmUnscriptedAlerts && !alert.buttons.empty()) {
                response.button = 0;
                response.text = alert.textField.value_or("");
                return response;
            }
            ADD_FAILURE() << "unexpected alert: " << alert.message;
            return response;
        }
        const std::string button = std::move(answers_.front());
        answers_.pop_front();
        for (std::size_t i = 0; i < alert.buttons.size(); ++i) {
            if (alert.buttons[i] == button) response.button = i;
        }
        EXPECT_TRUE(response.button.has_value())
            << "alert \"" << alert.message << "\" has no button \"" << button << "\"";
        response.text = alert.textField.value_or("");
        return response;
    }

    std::deque<std::string> answers_;
    std::deque<std::optional<std::filesystem::path>> files_;
    std::deque<std::optional<std::filesystem::path>> saveFiles_;
    std::deque<std::optional<std::string>> applicationChoices_;
};

}  // namespace tavrel::test
