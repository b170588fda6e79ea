#include "core/update/manual_app_update_checker.h"

#include <utility>

#include "core/update/settings_semantic_version.h"

#ifndef TAVREL_UPDATE_SERVICE_ORIGIN
#error "TAVREL_UPDATE_SERVICE_ORIGIN is set by the build"
#endif
#ifndef TAVREL_UPDATE_WEBSITE_URL
#error "TAVREL_UPDATE_WEBSITE_URL is set by the build"
#endif

namespace tavrel {

namespace {

constexpr const char* kNoNotes = "暂无更新说明";

platform::ModalAlert informational(std::string message, std::string informativeText,
                                   std::vector<std::string> buttons) {
    platform::ModalAlert alert;
    alert.style = platform::ModalAlert::Style::informational;
    alert.message = std::move(message);
    alert.informativeText = std::move(informativeText);
    alert.buttons = std::move(buttons);
    return alert;
}

}  // namespace

ManualAppUpdateChecker::Addresses ManualAppUpdateChecker::builtInAddresses() {
    return {std::string(TAVREL_UPDATE_SERVICE_ORIGIN) + std::string(endpointPath),
            TAVREL_UPDATE_WEBSITE_URL};
}

std::string ManualAppUpdateChecker::currentVersionFromInfo(
    const std::optional<std::string>& infoValue) {
    return infoValue ? *infoValue : std::string("0.0.0");
}

ManualAppUpdateChecker::ManualAppUpdateChecker(Dependencies dependencies)
    : dependencies_(std::move(dependencies)),
      self_(std::make_shared<ManualAppUpdateChecker*>(this)) {}

ManualAppUpdateChecker::~ManualAppUpdateChecker() = default;

UpdateRequest ManualAppUpdateChecker::request() const {
    return {dependencies_.addresses.endpoint,
            {{"Accept", "application/json"}},
            std::chrono::duration_cast<std::chrono::milliseconds>(requestTimeout)};
}

void ManualAppUpdateChecker::check(std::shared_ptr<UpdateAlertPresenter> presenter) {
    if (isChecking_ || !presenter) return;
    isChecking_ = true;
    ++checkNumber_;
    const std::weak_ptr<ManualAppUpdateChecker*> weakSelf = self_;
    dependencies_.transport.get(
        request(), [weakSelf, presenter = std::move(presenter)](Result<UpdateHttpResponse> answer) {
            const auto self = weakSelf.lock();
            if (!self) return;  // the checker is gone: nobody to answer
            (*self)->finish(answer, presenter);
        });
}

Result<SettingsUpdateResponse> ManualAppUpdateChecker::interpret(
    const Result<UpdateHttpResponse>& answer) {
    if (!answer) return answer.error();
    if (answer->statusCode < 200 || answer->statusCode > 299) {
        return Error{"the service answered with status " + std::to_string(answer->statusCode)};
    }
    auto response = decodeSettingsUpdateResponse(answer->body);
    if (!response) return response.error();
    if (!response->ok) return Error{"the service reported \"ok\": false"};
    return response;
}

std::string ManualAppUpdateChecker::notesBoxText(
    const std::vector<SettingsUpdateVersionRecord>& versions) const {
    std::string text = releaseNotesText(versions, dependencies_.utcOffsetAt);
    return text.empty() ? std::string(kNoNotes) : text;
}

UpdateAlert ManualAppUpdateChecker::resultAlert(const SettingsUpdateResponse& response) const {
    const auto current = SettingsSemanticVersion::parse(dependencies_.currentVersion);
    if (!current) return failureAlert();
    std::optional<SettingsSemanticVersion> latest;
    if (response.latestVersion) latest = SettingsSemanticVersion::parse(*response.latestVersion);
    const std::string informativeText = "当前版本：" + dependencies_.currentVersion;
    if (latest && *current < *latest) {
        return {informational("检查到新版本 " + *response.latestVersion, informativeText,
                              {"去官网下载", "稍后"}),
                notesBoxText(response.versions)};
    }
    return {informational("当前版本为最新版本", informativeText, {"去官网查看", "关闭"}),
            std::nullopt};
}

UpdateAlert ManualAppUpdateChecker::failureAlert() {
    platform::ModalAlert alert;
    alert.style = platform::ModalAlert::Style::warning;
    alert.message = "检查更新失败";
    alert.informativeText = "暂时无法连接更新服务，请检查网络后稍后重试。";
    alert.buttons = {"知道了"};
    return {std::move(alert), std::nullopt};
}

void ManualAppUpdateChecker::finish(const Result<UpdateHttpResponse>& answer,
                                    const std::shared_ptr<UpdateAlertPresenter>& presenter) {
    const auto response = interpret(answer);
    if (!response) {
        present(*presenter, failureAlert(), /*opensWebsiteOnFirstButton=*/false);
        return;
    }
    // An unparsable current version ends in the failure alert, whose button opens nothing.
    const bool canCompare =
        SettingsSemanticVersion::parse(dependencies_.currentVersion).has_value();
    present(*presenter, resultAlert(*response), canCompare);
}

void ManualAppUpdateChecker::present(UpdateAlertPresenter& presenter, const UpdateAlert& alert,
                                     bool opensWebsiteOnFirstButton) {
    const std::weak_ptr<ManualAppUpdateChecker*> weakSelf = self_;
    const std::uint64_t number = checkNumber_;
    // A modal alert keeps the check running until it is closed; a sheet ends it once it is up,
    // and a later check may then be running when the sheet closes.
    const UpdateAlertPresentation presentation = presenter.present(
        alert,
        [weakSelf, number, opensWebsiteOnFirstButton](const platform::ModalAlertResponse& answer) {
            const auto self = weakSelf.lock();
            if (!self) return;
            ManualAppUpdateChecker& checker = **self;
            if (opensWebsiteOnFirstButton && answer.isFirstButton()) {
                checker.dependencies_.workspace.openURL(checker.dependencies_.addresses.website);
            }
            if (checker.checkNumber_ == number) checker.isChecking_ = false;
        });
    if (presentation == UpdateAlertPresentation::sheet) isChecking_ = false;
}

}  // namespace tavrel
