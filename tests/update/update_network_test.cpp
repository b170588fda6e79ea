// The update check end to end inside the process: QtNetwork over TLS to a loopback HTTPS server
// whose certificate is made for this run and trusted through the transport's TLS settings, the
// checker's decisions, and the real message boxes (offscreen). Nothing waits on time: each step
// runs the event loop until what it waits for can be seen.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QByteArray>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include "core/update/manual_app_update_checker.h"
#include "platform/fake/fake_workspace.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/settings_fonts.h"
#include "ui/update/qt_app_update_check.h"
#include "ui/update/qt_update_alert_presenter.h"
#include "ui/update/qt_update_transport.h"

namespace tavrel {
namespace {

using test::runUntil;
using test::widgetApplication;

constexpr std::chrono::minutes kHangGuard{2};

// A self-signed certificate for 127.0.0.1, made once per run with the openssl command.
struct TestCertificate {
    QSslCertificate certificate;
    QSslKey key;
};

const TestCertificate& testCertificate() {
    static const TestCertificate made = [] {
        QTemporaryDir dir;
        QProcess openssl;
        openssl.start(QStringLiteral("openssl"),
                      {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"),
                       QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
                       QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
                       QStringLiteral("-days"), QStringLiteral("2"), QStringLiteral("-subj"),
                       QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
                       QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"),
                       dir.filePath(QStringLiteral("key.pem")), QStringLiteral("-out"),
                       dir.filePath(QStringLiteral("cert.pem"))});
        openssl.waitForFinished(-1);
        TestCertificate result;
        QFile certFile(dir.filePath(QStringLiteral("cert.pem")));
        QFile keyFile(dir.filePath(QStringLiteral("key.pem")));
        if (certFile.open(QIODevice::ReadOnly) && keyFile.open(QIODevice::ReadOnly)) {
            result.certificate = QSslCertificate(certFile.readAll(), QSsl::Pem);
            result.key = QSslKey(keyFile.readAll(), QSsl::Ec, QSsl::Pem);
        }
        return result;
    }();
    return made;
}

QByteArray httpAnswer(int status, const QByteArray& body,
                      const QByteArray& contentType = "application/json") {
    return "HTTP/1.1 " + QByteArray::number(status) + " Status\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

// Answers every request with what `answer` gives for it; nothing means the request is held open
// until the test releases it.
class LoopbackHttpsServer {
public:
    std::function<std::optional<QByteArray>(const QByteArray& head)> answer;

    LoopbackHttpsServer() {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        tls.setLocalCertificate(testCertificate().certificate);
        tls.setPrivateKey(testCertificate().key);
        tls.setPeerVerifyMode(QSslSocket::VerifyNone);
        server_.setSslConfiguration(tls);
        QObject::connect(&server_, &QTcpServer::pendingConnectionAvailable, &server_, [this] {
            while (QTcpSocket* socket = server_.nextPendingConnection()) serve(socket);
        });
        listening_ = server_.listen(QHostAddress::LocalHost, 0);
    }

    bool listening() const { return listening_; }
    std::string origin() const {
        return "https://127.0.0.1:" + std::to_string(server_.serverPort());
    }
    std::string endpoint() const { return origin() + "/api/app-versions/latest"; }

    // Every request head received, in order.
    const std::vector<QByteArray>& requests() const { return requests_; }

    // Answers the held requests.
    void release(const QByteArray& response) {
        for (const QPointer<QTcpSocket>& socket : held_) {
            if (socket) send(socket, response);
        }
        held_.clear();
    }

private:
    void serve(QTcpSocket* socket) {
        auto buffer = std::make_shared<QByteArray>();
        QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
            *buffer += socket->readAll();
            const qsizetype end = buffer->indexOf("\r\n\r\n");
            if (end < 0) return;
            const QByteArray head = buffer->left(end);
            buffer->clear();
            requests_.push_back(head);
            const std::optional<QByteArray> response = answer ? answer(head) : std::nullopt;
            if (response) {
                send(socket, *response);
            } else {
                held_.emplace_back(socket);
            }
        });
    }

    static void send(QTcpSocket* socket, const QByteArray& response) {
        socket->write(response);
        socket->disconnectFromHost();
    }

    QSslServer server_;
    bool listening_ = false;
    std::vector<QByteArray> requests_;
    std::vector<QPointer<QTcpSocket>> held_;
};

QtUpdateTransport::Options trustingTestCertificate(
    std::optional<std::chrono::milliseconds> timeout = std::nullopt) {
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setCaCertificates({testCertificate().certificate});
    return {tls, timeout};
}

class RecordingPresenter final : public UpdateAlertPresenter {
public:
    UpdateAlertPresentation present(const UpdateAlert& alert, Finished finished) override {
        alerts.push_back(alert);
        if (finished) finished(platform::ModalAlertResponse{});
        return UpdateAlertPresentation::applicationModal;
    }
    std::vector<UpdateAlert> alerts;
};

QByteArray record(const char* version, const char* notes, const char* createdAt) {
    return QByteArray(R"({"version": ")") + version + R"(", "releaseNotes": ")" + notes +
           R"(", "createdAt": ")" + createdAt + R"("})";
}

QByteArray okBody(const QByteArray& latest, const QByteArray& versions = "[]") {
    return R"({"ok": true, "latestVersion": ")" + latest + R"(", "versions": )" + versions + "}";
}

// Made before the fixture's members, which are Qt objects.
struct WithApplication {
    WithApplication() { widgetApplication(); }
};

class UpdateNetworkTest : public ::testing::Test, private WithApplication {
protected:
    void SetUp() override {
        ASSERT_FALSE(testCertificate().certificate.isNull()) << "openssl made no certificate";
        ASSERT_TRUE(server.listening());
    }

    std::unique_ptr<ManualAppUpdateChecker> makeChecker(UpdateTransport& transport,
                                                        const std::string& current = "2.9.9") {
        return std::make_unique<ManualAppUpdateChecker>(ManualAppUpdateChecker::Dependencies{
            transport,
            workspace,
            current,
            [](std::chrono::sys_seconds) { return std::chrono::seconds{0}; },
            {server.endpoint(), "https://www.example.invalid/"}});
    }

    // The one alert a check against the server puts up.
    UpdateAlert checkOnce(std::optional<std::chrono::milliseconds> timeout = std::nullopt,
                          const std::string& current = "2.9.9") {
        QtUpdateTransport transport(trustingTestCertificate(timeout));
        auto checker = makeChecker(transport, current);
        auto presenter = std::make_shared<RecordingPresenter>();
        checker->check(presenter);
        EXPECT_TRUE(runUntil([&] { return !presenter->alerts.empty(); }, kHangGuard));
        EXPECT_EQ(presenter->alerts.size(), 1u);
        return presenter->alerts.empty() ? UpdateAlert{} : presenter->alerts.front();
    }

    LoopbackHttpsServer server;
    platform::FakeWorkspace workspace;
};

TEST_F(UpdateNetworkTest, SendsOneGetWithTheAcceptHeaderAndNothingToRemember) {
    server.answer = [](const QByteArray&) { return httpAnswer(200, okBody("2.9.9")); };
    EXPECT_EQ(checkOnce().alert.message, "当前版本为最新版本");
    ASSERT_EQ(server.requests().size(), 1u);
    const QList<QByteArray> lines = server.requests().front().split('\n');
    EXPECT_EQ(lines.front().trimmed(), "GET /api/app-versions/latest HTTP/1.1");
    QList<QByteArray> names;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon < 0) continue;
        names << line.left(colon).toLower();
        if (names.back() == "accept") {
            EXPECT_EQ(line.mid(colon + 1).trimmed(), "application/json");
        }
    }
    EXPECT_TRUE(names.contains("accept"));
    // What HTTP itself needs and the no-cache request of the cache policy; no cookies, no
    // conditional request, no body.
    const QList<QByteArray> allowed = {"host",          "accept",          "connection",
                                       "user-agent",    "accept-encoding", "accept-language",
                                       "cache-control", "pragma"};
    for (const QByteArray& name : names) EXPECT_TRUE(allowed.contains(name)) << name.toStdString();
}

TEST_F(UpdateNetworkTest, ComparesTheServicesVersionWithTheCurrentOne) {
    struct Case {
        const char* current;
        QByteArray latest;
        const char* message;
    };
    const std::vector<Case> cases = {
        {"2.9.9", "2.10.0", "检查到新版本 2.10.0"},
        {"0.0.0", "0.0.1", "检查到新版本 0.0.1"},
        {"2.9.9", "2.9.9", "当前版本为最新版本"},
        {"2.9.9", "2.9.8", "当前版本为最新版本"},
        {"2.9.9", "2.9", "当前版本为最新版本"},
        {"2.9.9", "2.9.0-beta", "当前版本为最新版本"},
        {"2.9.9", "+2.9.0", "当前版本为最新版本"},
        {"2.9.9", "v3.0.0", "当前版本为最新版本"},
        {"2.9.9", "18446744073709551616.0.0", "当前版本为最新版本"},
    };
    for (const Case& c : cases) {
        server.answer = [&](const QByteArray&) { return httpAnswer(200, okBody(c.latest)); };
        const UpdateAlert alert = checkOnce(std::nullopt, c.current);
        EXPECT_EQ(alert.alert.message, c.message) << c.latest.toStdString();
        EXPECT_EQ(alert.alert.informativeText, std::string("当前版本：") + c.current);
    }
}

TEST_F(UpdateNetworkTest, NotesShowTheFirstThreeReleasesWithTheirDates) {
    const QByteArray four = "[" + record("2.10.0", "第一条\\n第二条", "2025-03-01T10:20:30.250Z") +
                            "," + record("2.9.5", "  小修复  ", "2025-02-01") + "," +
                            record("2.9.4", "旧的", "2025-01-15T08:00:00Z") + "," +
                            record("3.0.0", "never shown", "2025-04-01T00:00:00Z") + "]";
    server.answer = [&](const QByteArray&) { return httpAnswer(200, okBody("2.10.0", four)); };
    EXPECT_EQ(checkOnce().notes,
              "版本 2.10.0    更新日期：2025年3月1日\n第一条\n第二条\n\n"
              "版本 2.9.5\n小修复\n\n"
              "版本 2.9.4    更新日期：2025年1月15日\n旧的");

    server.answer = [](const QByteArray&) { return httpAnswer(200, okBody("2.10.0")); };
    EXPECT_EQ(checkOnce().notes, "暂无更新说明");
}

TEST_F(UpdateNetworkTest, EveryKindOfBadAnswerGivesTheFailureAlert) {
    const QByteArray big(SettingsUpdateResponseLimits::maxBytes + 1, ' ');
    struct Case {
        const char* what;
        QByteArray response;
    };
    const std::vector<Case> cases = {
        {"304", httpAnswer(304, "")},
        {"500", httpAnswer(500, okBody("3.0.0"))},
        {"redirect to nowhere",
         "HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:1/\r\n"
         "Content-Length: 0\r\nConnection: close\r\n\r\n"},
        {"HTML with 200",
         httpAnswer(200, "<html><body>Service unavailable</body></html>", "text/html")},
        {"ok false", httpAnswer(200, R"({"ok": false, "latestVersion": "3.0.0", "versions": [)" +
                                         record("3.0.0", "x", "2025-03-01T00:00:00Z") + "]}")},
        {"record without createdAt",
         httpAnswer(200, okBody("3.0.0", R"([{"version": "3.0.0", "releaseNotes": "x"}])"))},
        {"declared length over the limit", httpAnswer(200, big)},
        {"undeclared length over the limit",
         "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\nConnection: close\r\n\r\n" +
             okBody("3.0.0").chopped(1) + ", \"padding\": \"" + big + "\"}"},
        {"not HTTP", "SSH-2.0-OpenSSH_9.2\r\n\r\n"},
    };
    for (const Case& c : cases) {
        server.answer = [&](const QByteArray&) { return c.response; };
        EXPECT_EQ(checkOnce(), ManualAppUpdateChecker::failureAlert()) << c.what;
    }
}

TEST_F(UpdateNetworkTest, AServerThatNeverAnswersTimesOut) {
    server.answer = [](const QByteArray&) { return std::nullopt; };
    EXPECT_EQ(checkOnce(std::chrono::milliseconds(300)), ManualAppUpdateChecker::failureAlert());
}

TEST_F(UpdateNetworkTest, AnUntrustedCertificateFails) {
    server.answer = [](const QByteArray&) { return httpAnswer(200, okBody("3.0.0")); };
    QtUpdateTransport transport;  // the system's trust: the test certificate is unknown to it
    auto checker = makeChecker(transport);
    auto presenter = std::make_shared<RecordingPresenter>();
    checker->check(presenter);
    ASSERT_TRUE(runUntil([&] { return !presenter->alerts.empty(); }, kHangGuard));
    EXPECT_EQ(presenter->alerts.front(), ManualAppUpdateChecker::failureAlert());
}

TEST_F(UpdateNetworkTest, PlainHttpIsNeverAsked) {
    QtUpdateTransport transport(trustingTestCertificate());
    std::optional<Result<UpdateHttpResponse>> answer;
    transport.get({"http://127.0.0.1:" + server.origin().substr(server.origin().rfind(':') + 1) +
                       "/api/app-versions/latest",
                   {},
                   std::chrono::seconds(15)},
                  [&](Result<UpdateHttpResponse> result) { answer = std::move(result); });
    EXPECT_FALSE(answer.has_value());  // never inside the call
    ASSERT_TRUE(runUntil([&] { return answer.has_value(); }, kHangGuard));
    EXPECT_FALSE(answer->ok());
    EXPECT_TRUE(server.requests().empty());
}

TEST_F(UpdateNetworkTest, ATransportGoneDuringTheRequestCallsNothing) {
    server.answer = [](const QByteArray&) { return std::nullopt; };
    bool called = false;
    {
        QtUpdateTransport transport(trustingTestCertificate());
        transport.get({server.endpoint(), {}, std::chrono::seconds(15)},
                      [&](Result<UpdateHttpResponse>) { called = true; });
        ASSERT_TRUE(runUntil([&] { return server.requests().size() == 1; }, kHangGuard));
    }
    server.release(httpAnswer(200, okBody("3.0.0")));
    test::settle();
    EXPECT_FALSE(called);
}

// --- the real alerts

QMessageBox* visibleUpdateAlert() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box && box->isVisible() &&
            box->objectName() == QtUpdateAlertPresenter::alertObjectName()) {
            return box;
        }
    }
    return nullptr;
}

std::vector<QString> buttonTexts(QMessageBox& box) {
    std::vector<QString> texts;
    for (QAbstractButton* button : box.buttons()) texts.push_back(button->text());
    return texts;
}

QAbstractButton* buttonNamed(QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text) return button;
    }
    return nullptr;
}

class UpdateAlertTest : public UpdateNetworkTest {
protected:
    std::unique_ptr<QtAppUpdateCheck> makeAppCheck() {
        QtAppUpdateCheck::Options options;
        options.window = [this]() -> QWidget* { return window.data(); };
        options.infoVersion = "2.9.9";
        options.transport = trustingTestCertificate();
        options.addresses = {server.endpoint(), "https://www.example.invalid/"};
        return std::make_unique<QtAppUpdateCheck>(workspace, std::move(options));
    }

    void TearDown() override {
        if (QMessageBox* box = visibleUpdateAlert()) box->done(0);
        delete window.data();
        test::settle();
    }

    QPointer<QWidget> window = new QWidget;
};

TEST_F(UpdateAlertTest, NewerVersionIsASheetWithThePlainNotesBox) {
    const QByteArray notes =
        "[" + record("2.10.0", "<b>粗体</b> & <a href='x'>链接</a>", "2025-03-01T10:20:30Z") + "]";
    server.answer = [&](const QByteArray&) { return httpAnswer(200, okBody("2.10.0", notes)); };
    window->show();
    auto check = makeAppCheck();
    EXPECT_EQ(check->currentVersion(), "2.9.9");
    check->check();
    ASSERT_TRUE(runUntil([] { return visibleUpdateAlert() != nullptr; }, kHangGuard));
    QMessageBox& box = *visibleUpdateAlert();

    EXPECT_EQ(box.parentWidget(), window.data());
    EXPECT_EQ(box.windowModality(), Qt::WindowModal);
    EXPECT_EQ(box.icon(), QMessageBox::Information);
    EXPECT_EQ(box.text(), QStringLiteral("检查到新版本 2.10.0"));
    EXPECT_EQ(box.informativeText(), QStringLiteral("当前版本：2.9.9"));
    for (QLabel* label : box.findChildren<QLabel*>()) {
        EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    }
    EXPECT_EQ(buttonTexts(box),
              (std::vector<QString>{QStringLiteral("去官网下载"), QStringLiteral("稍后")}));
    EXPECT_EQ(box.defaultButton(), buttonNamed(box, QStringLiteral("去官网下载")));

    auto* notesBox = box.findChild<QPlainTextEdit*>(QStringLiteral("updateNotes"));
    ASSERT_NE(notesBox, nullptr);
    EXPECT_TRUE(notesBox->isVisible());
    EXPECT_EQ(notesBox->size(), QSize(520, 230));
    EXPECT_TRUE(notesBox->isReadOnly());
    EXPECT_EQ(notesBox->font(), settingsFont(13));
    EXPECT_EQ(notesBox->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(notesBox->toPlainText(),
              QStringLiteral("版本 2.10.0    更新日期：%1\n<b>粗体</b> & <a href='x'>链接</a>")
                  .arg(QString::fromStdString(
                      *formattedReleaseDate("2025-03-01T10:20:30Z", systemUtcOffsetAt()))));
    // The notes box sits between the texts and the buttons.
    const QWidget* buttons = box.findChild<QWidget*>(QStringLiteral("qt_msgbox_buttonbox"));
    ASSERT_NE(buttons, nullptr);
    EXPECT_LT(notesBox->geometry().bottom(), buttons->geometry().top());

    // A sheet ends the check as soon as it is up.
    EXPECT_FALSE(check->checker().isChecking());
    buttonNamed(box, QStringLiteral("去官网下载"))->click();
    EXPECT_EQ(workspace.openedURLs(), std::vector<std::string>{"https://www.example.invalid/"});
}

TEST_F(UpdateAlertTest, TwoQuickPressesGiveOneRequestAndOneAlert) {
    server.answer = [](const QByteArray&) { return httpAnswer(200, okBody("2.9.9")); };
    window->show();
    auto check = makeAppCheck();
    check->check();
    check->check();
    ASSERT_TRUE(runUntil([] { return visibleUpdateAlert() != nullptr; }, kHangGuard));
    test::settle();
    EXPECT_EQ(server.requests().size(), 1u);
    int alerts = 0;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() &&
            widget->objectName() == QtUpdateAlertPresenter::alertObjectName()) {
            ++alerts;
        }
    }
    EXPECT_EQ(alerts, 1);
    QMessageBox& box = *visibleUpdateAlert();
    EXPECT_EQ(box.text(), QStringLiteral("当前版本为最新版本"));
    EXPECT_EQ(buttonTexts(box),
              (std::vector<QString>{QStringLiteral("去官网查看"), QStringLiteral("关闭")}));
    EXPECT_EQ(box.findChild<QPlainTextEdit*>(), nullptr);
    buttonNamed(box, QStringLiteral("关闭"))->click();
    EXPECT_TRUE(workspace.openedURLs().empty());
}

TEST_F(UpdateAlertTest, AWindowClosedDuringTheRequestGivesAnApplicationModalAlert) {
    server.answer = [](const QByteArray&) { return std::nullopt; };
    window->show();
    auto check = makeAppCheck();
    check->check();
    ASSERT_TRUE(runUntil([&] { return server.requests().size() == 1; }, kHangGuard));
    delete window.data();  // the settings window went away meanwhile
    server.release(httpAnswer(500, ""));
    ASSERT_TRUE(runUntil([] { return visibleUpdateAlert() != nullptr; }, kHangGuard));
    QMessageBox& box = *visibleUpdateAlert();
    EXPECT_EQ(box.parentWidget(), nullptr);
    EXPECT_EQ(box.windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(box.icon(), QMessageBox::Warning);
    EXPECT_EQ(box.text(), QStringLiteral("检查更新失败"));
    EXPECT_EQ(box.informativeText(),
              QStringLiteral("暂时无法连接更新服务，请检查网络后稍后重试。"));
    EXPECT_EQ(buttonTexts(box), std::vector<QString>{QStringLiteral("知道了")});

    // A modal alert keeps the check running until it is closed; its one button opens nothing.
    EXPECT_TRUE(check->checker().isChecking());
    buttonNamed(box, QStringLiteral("知道了"))->click();
    EXPECT_FALSE(check->checker().isChecking());
    EXPECT_TRUE(workspace.openedURLs().empty());
}

TEST_F(UpdateAlertTest, AHiddenWindowGetsNoSheet) {
    server.answer = [](const QByteArray&) { return httpAnswer(200, okBody("2.9.9")); };
    auto check = makeAppCheck();  // the window exists but was never shown
    check->check();
    ASSERT_TRUE(runUntil([] { return visibleUpdateAlert() != nullptr; }, kHangGuard));
    EXPECT_EQ(visibleUpdateAlert()->parentWidget(), nullptr);
    EXPECT_EQ(visibleUpdateAlert()->windowModality(), Qt::ApplicationModal);
}

}  // namespace
}  // namespace tavrel
