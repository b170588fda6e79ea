// The update check's decisions without a network or a window: version order, the strict answer
// decoder, the notes text and release dates, the alerts chosen, and the guard of one check at a
// time over a scripted transport and a recording presenter.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/update/manual_app_update_checker.h"
#include "core/update/release_notes.h"
#include "core/update/settings_semantic_version.h"
#include "core/update/settings_update_response.h"
#include "platform/fake/fake_workspace.h"

namespace tavrel {
namespace {

using std::chrono::hours;
using std::chrono::seconds;

UtcOffsetAt fixedOffset(seconds offset) {
    return [offset](std::chrono::sys_seconds) { return offset; };
}

// --- versions

TEST(SettingsSemanticVersion, ParsesOnlyThreeDecimalPieces) {
    struct Case {
        const char* text;
        std::optional<SettingsSemanticVersion> expected;
    };
    const std::vector<Case> cases = {
        {"2.9.9", SettingsSemanticVersion{2, 9, 9}},
        {"0.0.0", SettingsSemanticVersion{0, 0, 0}},
        {"2.08.00", SettingsSemanticVersion{2, 8, 0}},
        {"9223372036854775807.0.1", SettingsSemanticVersion{INT64_MAX, 0, 1}},
        {"9223372036854775808.0.0", std::nullopt},  // one past 64 bits
        {"2.9", std::nullopt},
        {"2.9.0.1", std::nullopt},
        {"2..1", std::nullopt},
        {"2.9.", std::nullopt},
        {".2.9", std::nullopt},
        {"", std::nullopt},
        {"2.9.0-beta", std::nullopt},
        {"+2.9.0", std::nullopt},
        {"-2.9.0", std::nullopt},
        {"v2.9.0", std::nullopt},
        {" 2.9.0", std::nullopt},
        {"2.9.0 ", std::nullopt},
        {"2.\xd9\xa3.0", std::nullopt},  // an Arabic-Indic digit
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SettingsSemanticVersion::parse(c.text), c.expected) << c.text;
    }
}

TEST(SettingsSemanticVersion, OrdersNumericallyPieceByPiece) {
    const auto v = [](const char* text) { return *SettingsSemanticVersion::parse(text); };
    EXPECT_LT(v("2.9.9"), v("2.10.0"));
    EXPECT_LT(v("2.10.9"), v("3.0.0"));
    EXPECT_LT(v("2.9.9"), v("2.9.10"));
    EXPECT_EQ(v("2.08.00"), v("2.8.0"));
    EXPECT_GT(v("10.0.0"), v("9.99.99"));
}

// --- the answer

TEST(SettingsUpdateResponse, DecodesEveryKeyAndIgnoresUnknownOnes) {
    const auto response = decodeSettingsUpdateResponse(R"({
        "ok": true, "latestVersion": "2.10.0", "websiteURL": "https://example.invalid/x",
        "extra": {"nested": [1, 2]},
        "versions": [
            {"version": "2.10.0", "releaseNotes": "Fixes\nmore", "createdAt": "2025-03-01T10:20:30Z",
             "size": 12}
        ]})");
    ASSERT_TRUE(response.ok()) << response.error().message;
    EXPECT_TRUE(response->ok);
    EXPECT_EQ(response->latestVersion, "2.10.0");
    EXPECT_EQ(response->websiteURL, "https://example.invalid/x");
    ASSERT_EQ(response->versions.size(), 1u);
    EXPECT_EQ(response->versions[0],
              (SettingsUpdateVersionRecord{"2.10.0", "Fixes\nmore", "2025-03-01T10:20:30Z"}));
}

TEST(SettingsUpdateResponse, OptionalKeysMayBeAbsentOrNull) {
    for (const char* body : {R"({"ok": false, "versions": []})",
                             R"({"ok": true, "latestVersion": null, "websiteURL": null,
                                 "versions": []})"}) {
        const auto response = decodeSettingsUpdateResponse(body);
        ASSERT_TRUE(response.ok()) << body;
        EXPECT_EQ(response->latestVersion, std::nullopt);
        EXPECT_EQ(response->websiteURL, std::nullopt);
    }
}

TEST(SettingsUpdateResponse, RefusesAnswersThatAreNotTheServicesShape) {
    const std::string record = R"({"version": "1.0.0", "releaseNotes": "", "createdAt": ""})";
    const std::vector<std::string> bodies = {
        "",
        "<html><body>502 Bad Gateway</body></html>",
        "[]",
        R"("ok")",
        R"({"versions": []})",           // no "ok"
        R"({"ok": 1, "versions": []})",  // "ok" not a boolean
        R"({"ok": "true", "versions": []})",
        R"({"ok": true})",  // no "versions"
        R"({"ok": true, "versions": null})",
        R"({"ok": true, "versions": {}})",
        R"({"ok": true, "latestVersion": 210, "versions": []})",  // not a string
        R"({"ok": true, "websiteURL": [], "versions": []})",
        R"({"ok": true, "versions": [1]})",
        R"({"ok": true, "versions": [{"version": "1.0.0", "releaseNotes": ""}]})",  // no createdAt
        R"({"ok": true, "versions": [{"version": "1.0.0", "createdAt": ""}]})",
        R"({"ok": true, "versions": [{"releaseNotes": "", "createdAt": ""}]})",
        R"({"ok": true, "versions": [{"version": null, "releaseNotes": "", "createdAt": ""}]})",
        R"({"ok": true, "versions": [{"version": 1, "releaseNotes": "", "createdAt": ""}]})",
        R"({"ok": true, "versions": [)" + record + "," +
            R"({"version": "0.9.0", "releaseNotes": ""}]})",  // one bad record spoils all
        R"({"ok": true, "versions": []} trailing)",
        "{\"ok\": true, \"latestVersion\": \"\xff\", \"versions\": []}",  // not UTF-8
        // Nested past the limit, even in a key that is ignored.
        R"({"ok": true, "versions": [], "x": )" + std::string(40, '[') + std::string(40, ']') + "}",
    };
    for (const std::string& body : bodies) {
        EXPECT_FALSE(decodeSettingsUpdateResponse(body).ok()) << body;
    }
}

TEST(SettingsUpdateResponse, RefusesABodyOverTheLimit) {
    const std::string prefix = R"({"ok": true, "versions": [], "padding": ")";
    const std::string suffix = "\"}";
    std::string body = prefix;
    body.append(SettingsUpdateResponseLimits::maxBytes - prefix.size() - suffix.size(), 'x');
    body += suffix;
    ASSERT_EQ(body.size(), SettingsUpdateResponseLimits::maxBytes);
    EXPECT_TRUE(decodeSettingsUpdateResponse(body).ok());
    body.insert(prefix.size(), "x");
    EXPECT_FALSE(decodeSettingsUpdateResponse(body).ok());
}

// --- dates and notes

TEST(FormattedReleaseDate, ReadsInternetDateTimesOnly) {
    struct Case {
        const char* createdAt;
        seconds offset;
        std::optional<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"2025-03-01T10:20:30.250Z", hours{0}, "2025年3月1日"},
        {"2025-03-01T10:20:30Z", hours{0}, "2025年3月1日"},
        {"2025-11-21T10:20:30.123456789Z", hours{0}, "2025年11月21日"},
        // The day is the local one.
        {"2025-03-01T20:00:00Z", hours{8}, "2025年3月2日"},
        {"2025-03-01T02:00:00Z", hours{-5}, "2025年2月28日"},
        {"2025-03-01T02:00:00+08:00", hours{0}, "2025年2月28日"},
        {"2024-12-31T23:30:00-01:00", hours{0}, "2025年1月1日"},
        {"2025-03-01t10:20:30z", hours{0}, "2025年3月1日"},
        {"0999-05-06T00:00:00Z", hours{0}, "0999年5月6日"},
        // No moment: a date alone, a time without a zone, other shapes, impossible values.
        {"2025-03-01", hours{0}, std::nullopt},
        {"2025-03-01T10:20:30", hours{0}, std::nullopt},
        {"2025-03-01T10:20:30.250", hours{0}, std::nullopt},
        {"2025-03-01 10:20:30Z", hours{0}, std::nullopt},
        {"2025-03-01T10:20Z", hours{0}, std::nullopt},
        {"2025-03-01T10:20:30.Z", hours{0}, std::nullopt},
        {"2025-03-01T10:20:30+0800", hours{0}, std::nullopt},
        {"2025-03-01T10:20:30Z ", hours{0}, std::nullopt},
        {"2025-02-30T10:20:30Z", hours{0}, std::nullopt},
        {"2025-13-01T10:20:30Z", hours{0}, std::nullopt},
        {"2025-03-01T24:00:00Z", hours{0}, std::nullopt},
        {"2025-03-01T10:60:00Z", hours{0}, std::nullopt},
        {"+2025-03-01T10:20:30Z", hours{0}, std::nullopt},
        {"yesterday", hours{0}, std::nullopt},
        {"", hours{0}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(formattedReleaseDate(c.createdAt, fixedOffset(c.offset)), c.expected)
            << c.createdAt;
    }
}

TEST(ReleaseNotesText, ShowsTheFirstThreeReleasesInTheServicesOrder) {
    const std::vector<SettingsUpdateVersionRecord> versions = {
        {"2.10.0", "  \n修复了任务栏闪烁。\n新增时钟样式。\n\n ", "2025-03-01T10:20:30.250Z"},
        {"2.9.1", "\u3000小修复\u3000", "2025-02-01"},  // a date alone: no date part
        {"2.9.0", "", "2025-01-15T08:00:00Z"},
        {"3.0.0", "never shown, even though it is the newest", "2025-04-01T00:00:00Z"},
    };
    EXPECT_EQ(releaseNotesText(versions, fixedOffset(hours{0})),
              "版本 2.10.0    更新日期：2025年3月1日\n修复了任务栏闪烁。\n新增时钟样式。\n\n"
              "版本 2.9.1\n小修复\n\n"
              "版本 2.9.0    更新日期：2025年1月15日\n");
    EXPECT_EQ(releaseNotesText({}, fixedOffset(hours{0})), "");
}

// --- the checker

// Answers each request when the test says so.
class ScriptedTransport final : public UpdateTransport {
public:
    void get(const UpdateRequest& request, Completion completion) override {
        requests.push_back(request);
        pending.push_back(std::move(completion));
    }
    void answer(Result<UpdateHttpResponse> result) {
        ASSERT_FALSE(pending.empty());
        Completion completion = std::move(pending.front());
        pending.erase(pending.begin());
        completion(std::move(result));
    }
    std::vector<UpdateRequest> requests;
    std::vector<Completion> pending;
};

class RecordingPresenter final : public UpdateAlertPresenter {
public:
    explicit RecordingPresenter(UpdateAlertPresentation presentation)
        : presentation(presentation) {}
    UpdateAlertPresentation present(const UpdateAlert& alert, Finished finish) override {
        alerts.push_back(alert);
        finishers.push_back(std::move(finish));
        return presentation;
    }
    void close(std::optional<std::size_t> button) {
        ASSERT_FALSE(finishers.empty());
        Finished finish = std::move(finishers.front());
        finishers.erase(finishers.begin());
        finish(platform::ModalAlertResponse{button, {}});
    }
    UpdateAlertPresentation presentation;
    std::vector<UpdateAlert> alerts;
    std::vector<Finished> finishers;
};

UpdateHttpResponse okAnswer(const std::string& latest, const std::string& versions = "[]") {
    return {200,
            R"({"ok": true, "latestVersion": ")" + latest + R"(", "versions": )" + versions + "}"};
}

class CheckerTest : public ::testing::Test {
protected:
    std::unique_ptr<ManualAppUpdateChecker> makeChecker(const std::string& current) {
        return std::make_unique<ManualAppUpdateChecker>(ManualAppUpdateChecker::Dependencies{
            transport,
            workspace,
            current,
            fixedOffset(hours{0}),
            {"https://updates.example.invalid/api/app-versions/latest",
             "https://www.example.invalid/"}});
    }
    // The alert one check with this answer puts up.
    UpdateAlert alertFor(const std::string& current, Result<UpdateHttpResponse> answer) {
        auto checker = makeChecker(current);
        auto presenter =
            std::make_shared<RecordingPresenter>(UpdateAlertPresentation::applicationModal);
        checker->check(presenter);
        transport.answer(std::move(answer));
        EXPECT_EQ(presenter->alerts.size(), 1u);
        return presenter->alerts.empty() ? UpdateAlert{} : presenter->alerts.front();
    }

    ScriptedTransport transport;
    platform::FakeWorkspace workspace;
};

TEST_F(CheckerTest, AsksOnceWithOnlyTheAcceptHeader) {
    auto checker = makeChecker("2.9.9");
    auto presenter = std::make_shared<RecordingPresenter>(UpdateAlertPresentation::sheet);
    checker->check(presenter);
    ASSERT_EQ(transport.requests.size(), 1u);
    EXPECT_EQ(transport.requests[0],
              (UpdateRequest{"https://updates.example.invalid/api/app-versions/latest",
                             {{"Accept", "application/json"}},
                             std::chrono::seconds{15}}));
}

TEST_F(CheckerTest, ChoosesNewerOnlyForAStrictlyHigherParsableVersion) {
    struct Case {
        const char* current;
        const char* latest;
        bool newer;
    };
    const std::vector<Case> cases = {
        {"2.9.9", "2.10.0", true},
        {"0.0.0", "0.0.1", true},
        {"2.9.9", "2.9.9", false},
        {"2.9.9", "2.9.8", false},
        {"2.9.9", "2.9", false},
        {"2.9.9", "2.10.0-beta", false},
        {"2.9.9", "+2.10.0", false},
        {"2.9.9", "v3.0.0", false},
        {"2.9.9", "99999999999999999999.0.0", false},  // beyond 64 bits
        {"2.9.9", "", false},
    };
    for (const Case& c : cases) {
        const UpdateAlert alert = alertFor(c.current, okAnswer(c.latest));
        if (c.newer) {
            EXPECT_EQ(alert.alert.message, std::string("检查到新版本 ") + c.latest) << c.latest;
            EXPECT_EQ(alert.alert.buttons, (std::vector<std::string>{"去官网下载", "稍后"}));
            EXPECT_TRUE(alert.notes.has_value());
        } else {
            EXPECT_EQ(alert.alert.message, "当前版本为最新版本") << c.latest;
            EXPECT_EQ(alert.alert.buttons, (std::vector<std::string>{"去官网查看", "关闭"}));
            EXPECT_FALSE(alert.notes.has_value());
        }
        EXPECT_EQ(alert.alert.style, platform::ModalAlert::Style::informational);
        EXPECT_EQ(alert.alert.informativeText, std::string("当前版本：") + c.current);
    }
    // No "latestVersion" at all is up to date too.
    EXPECT_EQ(
        alertFor("2.9.9", UpdateHttpResponse{200, R"({"ok": true, "versions": []})"}).alert.message,
        "当前版本为最新版本");
}

TEST_F(CheckerTest, NewerAlertCarriesTheNotesOrTheNoNotesText) {
    EXPECT_EQ(alertFor("2.9.9", okAnswer("2.10.0")).notes, "暂无更新说明");
    EXPECT_EQ(alertFor("2.9.9", okAnswer("2.10.0", R"([{"version": "2.10.0",
                  "releaseNotes": " 新功能 ", "createdAt": "2025-03-01"}])"))
                  .notes,
              "版本 2.10.0\n新功能");
}

TEST_F(CheckerTest, EveryFailureGivesTheSameWarning) {
    const UpdateAlert failure = ManualAppUpdateChecker::failureAlert();
    EXPECT_EQ(failure.alert.style, platform::ModalAlert::Style::warning);
    EXPECT_EQ(failure.alert.message, "检查更新失败");
    EXPECT_EQ(failure.alert.informativeText, "暂时无法连接更新服务，请检查网络后稍后重试。");
    EXPECT_EQ(failure.alert.buttons, std::vector<std::string>{"知道了"});
    EXPECT_FALSE(failure.notes.has_value());

    const std::string full =
        R"({"ok": false, "latestVersion": "3.0.0", "versions": [{"version": "3.0.0",
            "releaseNotes": "x", "createdAt": "2025-03-01T00:00:00Z"}]})";
    const std::vector<Result<UpdateHttpResponse>> answers = {
        Error{"host not found"},
        UpdateHttpResponse{304, ""},
        UpdateHttpResponse{500, okAnswer("3.0.0").body},
        UpdateHttpResponse{199, okAnswer("3.0.0").body},
        UpdateHttpResponse{300, okAnswer("3.0.0").body},
        UpdateHttpResponse{200, "<!doctype html><title>Error</title>"},
        UpdateHttpResponse{200, full},
    };
    for (const auto& answer : answers) EXPECT_EQ(alertFor("2.9.9", answer), failure);
    // A current version that does not parse cannot be compared.
    EXPECT_EQ(alertFor("2.9", okAnswer("3.0.0")), failure);
    // Any status of 200…299 carries an answer.
    EXPECT_EQ(alertFor("2.9.9", UpdateHttpResponse{299, okAnswer("2.9.9").body}).alert.message,
              "当前版本为最新版本");
}

TEST_F(CheckerTest, FirstButtonOpensTheWebsiteExceptOnTheFailureAlert) {
    struct Case {
        Result<UpdateHttpResponse> answer;
        std::optional<std::size_t> button;
        bool opens;
    };
    const std::vector<Case> cases = {
        {okAnswer("3.0.0"), 0, true},
        {okAnswer("3.0.0"), 1, false},
        {okAnswer("2.9.9"), 0, true},
        {okAnswer("2.9.9"), 1, false},
        {okAnswer("2.9.9"), std::nullopt, false},
        {Error{"offline"}, 0, false},
    };
    for (const Case& c : cases) {
        platform::FakeWorkspace fresh;
        auto checker =
            std::make_unique<ManualAppUpdateChecker>(ManualAppUpdateChecker::Dependencies{
                transport,
                fresh,
                "2.9.9",
                fixedOffset(hours{0}),
                {"https://updates.example.invalid/api/app-versions/latest",
                 "https://www.example.invalid/"}});
        auto presenter =
            std::make_shared<RecordingPresenter>(UpdateAlertPresentation::applicationModal);
        checker->check(presenter);
        transport.answer(c.answer);
        presenter->close(c.button);
        EXPECT_EQ(fresh.openedURLs(), c.opens
                                          ? std::vector<std::string>{"https://www.example.invalid/"}
                                          : std::vector<std::string>{});
    }
}

TEST_F(CheckerTest, ASecondPressDuringACheckIsIgnored) {
    auto checker = makeChecker("2.9.9");
    auto presenter =
        std::make_shared<RecordingPresenter>(UpdateAlertPresentation::applicationModal);
    checker->check(presenter);
    checker->check(presenter);
    EXPECT_EQ(transport.requests.size(), 1u);
    EXPECT_TRUE(checker->isChecking());
    transport.answer(okAnswer("3.0.0"));
    EXPECT_EQ(presenter->alerts.size(), 1u);

    // A modal alert keeps the check running until it is closed.
    EXPECT_TRUE(checker->isChecking());
    checker->check(presenter);
    EXPECT_EQ(transport.requests.size(), 1u);
    presenter->close(1);
    EXPECT_FALSE(checker->isChecking());
    checker->check(presenter);
    EXPECT_EQ(transport.requests.size(), 2u);
}

TEST_F(CheckerTest, ASheetEndsTheCheckOnceItIsUp) {
    auto checker = makeChecker("2.9.9");
    auto presenter = std::make_shared<RecordingPresenter>(UpdateAlertPresentation::sheet);
    checker->check(presenter);
    transport.answer(okAnswer("2.9.9"));
    EXPECT_FALSE(checker->isChecking());

    // A further check may start while the first sheet is still up; closing that sheet does not
    // end the second check.
    checker->check(presenter);
    EXPECT_TRUE(checker->isChecking());
    presenter->close(1);
    EXPECT_TRUE(checker->isChecking());
    checker->check(presenter);
    EXPECT_EQ(transport.requests.size(), 2u);
}

TEST_F(CheckerTest, AnAnswerAfterTheCheckerIsGoneShowsNothing) {
    auto checker = makeChecker("2.9.9");
    auto presenter = std::make_shared<RecordingPresenter>(UpdateAlertPresentation::sheet);
    checker->check(presenter);
    checker.reset();
    transport.answer(okAnswer("3.0.0"));
    EXPECT_TRUE(presenter->alerts.empty());
}

TEST(CurrentVersion, IsTheInfoValueOrZero) {
    EXPECT_EQ(ManualAppUpdateChecker::currentVersionFromInfo(std::string("2.8.0")), "2.8.0");
    EXPECT_EQ(ManualAppUpdateChecker::currentVersionFromInfo(std::nullopt), "0.0.0");
}

TEST(BuiltInAddresses, AreHttpsWithTheFixedPath) {
    const auto addresses = ManualAppUpdateChecker::builtInAddresses();
    EXPECT_TRUE(addresses.endpoint.starts_with("https://"));
    EXPECT_TRUE(addresses.endpoint.ends_with("/api/app-versions/latest"));
    EXPECT_TRUE(addresses.website.starts_with("https://"));
}

}  // namespace
}  // namespace tavrel
