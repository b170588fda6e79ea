#pragma once

// The update check's request over QtNetwork: HTTPS only, GET, no HTTP cache and no cookies in
// either direction, only the headers the request names, one time limit for the whole exchange,
// the body refused as soon as it grows past the decoder's limit. Redirects are followed only
// from https to https.

#include <chrono>
#include <optional>

#include <QNetworkAccessManager>
#include <QSslConfiguration>

#include "core/update/manual_app_update_checker.h"

namespace tavrel {

class QtUpdateTransport final : public UpdateTransport {
public:
    struct Options {
        // The TLS settings to trust the service by; the system's when none.
        std::optional<QSslConfiguration> tls;
        // Replaces the request's time limit (tests shorten it).
        std::optional<std::chrono::milliseconds> timeout;
    };

    explicit QtUpdateTransport(Options options = {});
    ~QtUpdateTransport() override;

    // The completion runs on a later turn of the event loop, never inside this call, and not at
    // all once the transport is gone.
    void get(const UpdateRequest& request, Completion completion) override;

private:
    Options options_;
    QNetworkAccessManager manager_;
};

}  // namespace tavrel
