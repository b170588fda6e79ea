#pragma once

// Making a Qt GUI application object where no display may answer. When Qt can start none of its
// windowing platforms (DISPLAY names an X server that is not there, WAYLAND_DISPLAY a compositor
// that is gone, QT_QPA_PLATFORM a platform that cannot start), it ends the process with abort()
// and a message that suggests reinstalling. Made through makeGuiApplicationOrExit, the program
// instead says that it cannot open the display and ends with status 1, as it does when no display
// is set at all.
//
// Header only, so that every GUI program of the suite, tools included, can use it.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QtGlobal>

namespace tavrel::platform {

namespace display_guard_detail {

struct Held {
    QtMsgType type;
    std::string category;
    std::string file;
    std::string function;
    int line;
    QString text;
};

struct State {
    std::mutex mutex;
    std::string program;
    QtMessageHandler previous = nullptr;
    std::vector<Held> held;
};

inline State& state() {
    static State instance;
    return instance;
}

inline std::string variable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value) return std::string(name) + " not set";
    return std::string(name) + "=" + value;
}

inline void pass(QtMessageHandler handler, const Held& message) {
    const QMessageLogContext context(message.file.c_str(), message.line, message.function.c_str(),
                                     message.category.c_str());
    if (handler) {
        handler(message.type, context, message.text);
    } else {
        std::fprintf(stderr, "%s\n", message.text.toLocal8Bit().constData());
    }
}

inline void hold(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    State& s = state();
    std::unique_lock lock(s.mutex);
    // Qt's words for "no windowing platform could start"; anything else fatal stays Qt's own.
    if (type == QtFatalMsg && text.contains(QLatin1String("platform plugin"))) {
        std::string where = variable("DISPLAY") + ", " + variable("WAYLAND_DISPLAY");
        if (std::getenv("QT_QPA_PLATFORM")) where += ", " + variable("QT_QPA_PLATFORM");
        std::fprintf(stderr, "%s: cannot open the display (%s): no display server answers\n",
                     s.program.c_str(), where.c_str());
        std::fflush(stderr);
        // Nothing of the program runs yet: there is nothing to save or close.
        std::_Exit(1);
    }
    Held message{type,
                 context.category ? context.category : "",
                 context.file ? context.file : "",
                 context.function ? context.function : "",
                 context.line,
                 text};
    if (type == QtFatalMsg) {
        // Qt aborts once this returns: show what was held back, then the message.
        for (const Held& earlier : s.held) pass(s.previous, earlier);
        s.held.clear();
        pass(s.previous, message);
        return;
    }
    s.held.push_back(std::move(message));
}

}  // namespace display_guard_detail

// Constructs the application object (QGuiApplication, QApplication) on `argc`/`argv`. Qt's
// messages meanwhile are held back: after a display failure they would only repeat it in
// misleading words, and otherwise they are passed on once the object exists.
template <typename Application>
std::unique_ptr<Application> makeGuiApplicationOrExit(std::string_view program, int& argc,
                                                      char** argv) {
    namespace detail = display_guard_detail;
    detail::State& s = detail::state();
    {
        std::lock_guard lock(s.mutex);
        s.program = std::string(program);
        s.held.clear();
    }
    s.previous = qInstallMessageHandler(detail::hold);
    auto application = std::make_unique<Application>(argc, argv);
    qInstallMessageHandler(s.previous);
    std::vector<detail::Held> held;
    {
        std::lock_guard lock(s.mutex);
        held.swap(s.held);
    }
    for (const detail::Held& message : held) detail::pass(s.previous, message);
    return application;
}

}  // namespace tavrel::platform
