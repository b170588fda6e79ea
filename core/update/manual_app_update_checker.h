#pragma once

// The manual update check behind "检查更新": one GET to the vendor's update service, then one
// alert — a newer version (with the notes of up to three releases), the installed version is the
// latest, or the check failed. Nothing is downloaded or installed; the only thing that leaves
// the application is the vendor's website, opened through the workspace from the first button.
//
// The network and the alerts are injected: the transport performs the request asynchronously,
// the presenter shows an alert described as data. Main thread only.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/foundation/result.h"
#include "core/update/release_notes.h"
#include "core/update/settings_update_response.h"
#include "platform/dialogs.h"
#include "platform/workspace.h"

namespace tavrel {

struct UpdateRequest {
    std::string url;
    // Sent as they stand; the transport adds nothing of its own but what its protocol needs.
    std::vector<std::pair<std::string, std::string>> headers;
    std::chrono::milliseconds timeout{0};

    friend bool operator==(const UpdateRequest&, const UpdateRequest&) = default;
};

struct UpdateHttpResponse {
    int statusCode = 0;
    std::string body;
};

// Performs a GET over HTTPS without any cache and calls the completion once, on the main thread,
// with the answer or the transport's failure (no connection, time-out, a body over
// SettingsUpdateResponseLimits::maxBytes, an address that is not https). The completion may run
// after the one who asked is gone; it checks that itself.
class UpdateTransport {
public:
    using Completion = std::function<void(Result<UpdateHttpResponse>)>;
    virtual ~UpdateTransport() = default;
    virtual void get(const UpdateRequest& request, Completion completion) = 0;
};

struct UpdateAlert {
    platform::ModalAlert alert;
    // The notes box under the texts (520 × 230, read-only), with this text; none when absent.
    std::optional<std::string> notes;

    friend bool operator==(const UpdateAlert&, const UpdateAlert&) = default;
};

// How an alert went up.
enum class UpdateAlertPresentation {
    sheet,             // on the visible settings window; the caller does not wait for it
    applicationModal,  // on its own, the application brought to the front
};

// Shows the alerts of one check, on the window that was given when the check started — as a
// sheet when that window still exists and is visible, else application-modally. `finished`
// runs once, when the user closed the alert.
class UpdateAlertPresenter {
public:
    using Finished = std::function<void(const platform::ModalAlertResponse&)>;
    virtual ~UpdateAlertPresenter() = default;
    virtual UpdateAlertPresentation present(const UpdateAlert& alert, Finished finished) = 0;
};

class ManualAppUpdateChecker {
public:
    struct Addresses {
        // https, path "/api/app-versions/latest", no query
        std::string endpoint;
        // https, the root of the vendor's website
        std::string website;
    };

    struct Dependencies {
        UpdateTransport& transport;
        platform::Workspace& workspace;
        // The application's CFBundleShortVersionString (see currentVersionFromInfo).
        std::string currentVersion;
        UtcOffsetAt utcOffsetAt;
        Addresses addresses = builtInAddresses();
    };

    static constexpr std::string_view endpointPath = "/api/app-versions/latest";
    static constexpr std::chrono::seconds requestTimeout{15};

    // The addresses this build was configured with.
    static Addresses builtInAddresses();
    // The Info value, or "0.0.0" when there is none.
    static std::string currentVersionFromInfo(const std::optional<std::string>& infoValue);

    explicit ManualAppUpdateChecker(Dependencies dependencies);
    ~ManualAppUpdateChecker();
    ManualAppUpdateChecker(const ManualAppUpdateChecker&) = delete;
    ManualAppUpdateChecker& operator=(const ManualAppUpdateChecker&) = delete;

    const std::string& currentVersion() const { return dependencies_.currentVersion; }
    const Addresses& addresses() const { return dependencies_.addresses; }

    // A check is running; further requests are ignored until its alert is up.
    bool isChecking() const { return isChecking_; }

    // Starts a check and returns at once; ignored while one runs. The answer comes as one alert
    // through `presenter`.
    void check(std::shared_ptr<UpdateAlertPresenter> presenter);

    // --- the decisions, one by one

    // GET, "Accept: application/json" and nothing else, 15 seconds.
    UpdateRequest request() const;
    // The service's answer as a usable response: status 200…299, a decodable body, "ok" true.
    static Result<SettingsUpdateResponse> interpret(const Result<UpdateHttpResponse>& answer);
    // The newer-version or up-to-date alert; the failure alert when the current version does not
    // parse.
    UpdateAlert resultAlert(const SettingsUpdateResponse& response) const;
    static UpdateAlert failureAlert();
    // The notes box's text: the release notes, or "暂无更新说明" when there are none.
    std::string notesBoxText(const std::vector<SettingsUpdateVersionRecord>& versions) const;

private:
    void finish(const Result<UpdateHttpResponse>& answer,
                const std::shared_ptr<UpdateAlertPresenter>& presenter);
    void present(UpdateAlertPresenter& presenter, const UpdateAlert& alert,
                 bool opensWebsiteOnFirstButton);

    Dependencies dependencies_;
    bool isChecking_ = false;
    std::uint64_t checkNumber_ = 0;
    // Completions that outlive the checker see this expire and do nothing.
    std::shared_ptr<ManualAppUpdateChecker*> self_;
};

}  // namespace tavrel
