#include "platform/linux/dock_tile/qt_dock_application.h"

#include <cerrno>
#include <utility>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QCursor>
#include <QStringList>

namespace tavrel::platform {

namespace {

int signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
    const int saved = errno;
    const char byte = 1;
    // Non-blocking: when the pipe is full a request is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

bool installSignalPipe() {
    if (signalPipe[0] >= 0) return true;
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) ::sigaction(signal, &action, nullptr);
    return true;
}

}  // namespace

QtDockApplication::QtDockApplication() {
    if (installSignalPipe()) {
        signalNotifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
        QObject::connect(signalNotifier_.get(), &QSocketNotifier::activated, this, [this] {
            char bytes[64];
            while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
            }
            terminate();
        });
    }
}

QtDockApplication::~QtDockApplication() = default;

std::vector<std::string> QtDockApplication::arguments() const {
    std::vector<std::string> result;
    for (const QString& argument : QCoreApplication::arguments()) {
        result.push_back(argument.toStdString());
    }
    return result;
}

void QtDockApplication::terminate() {
    if (terminating_) return;
    terminating_ = true;
    if (willTerminate_) willTerminate_();
    QCoreApplication::quit();
}

void QtDockApplication::setWillTerminateHandler(std::function<void()> handler) {
    willTerminate_ = std::move(handler);
}

void QtDockApplication::setApplicationActivatedHandler(std::function<void()> handler) {
    activationWatcher_.reset();
    if (handler) activationWatcher_ = X11ActivationWatcher::create(std::move(handler));
}

DockPoint QtDockApplication::mouseLocation() const {
    const QPoint point = QCursor::pos();
    return {static_cast<double>(point.x()), static_cast<double>(point.y())};
}

Status QtDockApplication::setBundleIcon(const std::filesystem::path&, const DockTileImage&) {
    return Error{"bundle icons are not supported on this platform"};
}

std::unique_ptr<DockApplication> makeDockApplication() {
    return std::make_unique<QtDockApplication>();
}

}  // namespace tavrel::platform
