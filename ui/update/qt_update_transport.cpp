#include "ui/update/qt_update_transport.h"

#include <memory>
#include <utility>

#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include "core/update/settings_update_response.h"

namespace tavrel {

namespace {

constexpr int kMaximumRedirects = 5;

// One exchange: the body read so far and the completion that runs once.
struct Exchange {
    UpdateTransport::Completion completion;
    QByteArray body;
    bool done = false;
};

}  // namespace

QtUpdateTransport::QtUpdateTransport(Options options) : options_(std::move(options)) {
    // Nothing is kept between checks: no HTTP cache, no cookies.
    manager_.setCache(nullptr);
    manager_.setCookieJar(nullptr);
}

QtUpdateTransport::~QtUpdateTransport() = default;

void QtUpdateTransport::get(const UpdateRequest& request, Completion completion) {
    auto exchange = std::make_shared<Exchange>();
    exchange->completion = std::move(completion);
    // The completion always comes on a later turn, and never once the manager is gone.
    const auto deliver = [this, exchange](Result<UpdateHttpResponse> result) {
        if (exchange->done) return;
        exchange->done = true;
        QMetaObject::invokeMethod(
            &manager_,
            [exchange, result = std::move(result)]() mutable {
                const Completion finish = std::move(exchange->completion);
                finish(std::move(result));
            },
            Qt::QueuedConnection);
    };

    const QUrl url(QString::fromStdString(request.url), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("https") || url.host().isEmpty()) {
        deliver(Error{"the update service's address is not an https address"});
        return;
    }

    QNetworkRequest networkRequest(url);
    networkRequest.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                                QNetworkRequest::AlwaysNetwork);
    networkRequest.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    networkRequest.setAttribute(QNetworkRequest::CookieLoadControlAttribute,
                                QNetworkRequest::Manual);
    networkRequest.setAttribute(QNetworkRequest::CookieSaveControlAttribute,
                                QNetworkRequest::Manual);
    networkRequest.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                                QNetworkRequest::NoLessSafeRedirectPolicy);
    networkRequest.setMaximumRedirectsAllowed(kMaximumRedirects);
    for (const auto& [name, value] : request.headers) {
        networkRequest.setRawHeader(QByteArray::fromStdString(name),
                                    QByteArray::fromStdString(value));
    }
    if (options_.tls) networkRequest.setSslConfiguration(*options_.tls);

    QNetworkReply* reply = manager_.get(networkRequest);
    const auto limit = static_cast<qint64>(SettingsUpdateResponseLimits::maxBytes);
    const auto tooLarge = [deliver, reply] {
        deliver(Error{"the update service's answer is larger than " +
                      std::to_string(SettingsUpdateResponseLimits::maxBytes) + " bytes"});
        reply->abort();
    };

    // A declared length over the limit ends the exchange before the body comes.
    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, limit, tooLarge] {
        const QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
        if (length.isValid() && length.toLongLong() > limit) tooLarge();
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [reply, exchange, limit, tooLarge] {
        if (exchange->done) return;
        exchange->body += reply->read(limit + 1 - exchange->body.size());
        if (exchange->body.size() > limit) tooLarge();
    });
    QObject::connect(
        reply, &QNetworkReply::finished, reply, [reply, exchange, limit, deliver, tooLarge] {
            reply->deleteLater();
            if (exchange->done) return;
            if (reply->error() != QNetworkReply::NoError) {
                deliver(Error{"the update request failed: " + reply->errorString().toStdString()});
                return;
            }
            exchange->body += reply->read(limit + 1 - exchange->body.size());
            if (exchange->body.size() > limit) {
                tooLarge();
                return;
            }
            const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
            if (!status.isValid()) {
                deliver(Error{"the update service gave no HTTP answer"});
                return;
            }
            deliver(UpdateHttpResponse{status.toInt(), exchange->body.toStdString()});
        });

    const std::chrono::milliseconds timeout = options_.timeout.value_or(request.timeout);
    auto* deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    QObject::connect(deadline, &QTimer::timeout, reply, [deliver, reply] {
        deliver(Error{"the update request timed out"});
        reply->abort();
    });
    deadline->start(timeout);
}

}  // namespace tavrel
