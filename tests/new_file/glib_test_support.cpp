#include "tests/new_file/glib_test_support.h"

#include <cstdlib>

#include <X11/Xlib.h>
#include <unistd.h>

namespace tavrel::testing {

bool iterateUntil(const std::function<bool()>& done, std::chrono::milliseconds patience) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // Wake up now and then even when nothing arrives, to look at the clock.
        guint wakeUp = g_timeout_add(
            50, [](gpointer) { return G_SOURCE_REMOVE; }, nullptr);
        g_main_context_iteration(nullptr, TRUE);
        if (GSource* source = g_main_context_find_source_by_id(nullptr, wakeUp)) {
            g_source_destroy(source);
        }
    }
    return true;
}

namespace {

std::vector<const gchar*> cArguments(const std::vector<std::string>& argv) {
    std::vector<const gchar*> arguments;
    for (const std::string& argument : argv) arguments.push_back(argument.c_str());
    arguments.push_back(nullptr);
    return arguments;
}

}  // namespace

GChild::GChild(const std::vector<std::string>& argv) {
    const auto arguments = cArguments(argv);
    GError* error = nullptr;
    process_ = g_subprocess_newv(arguments.data(),
                                 static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                               G_SUBPROCESS_FLAGS_STDERR_MERGE),
                                 &error);
    if (!process_) {
        g_error_free(error);
        return;
    }
    output_ = g_data_input_stream_new(g_subprocess_get_stdout_pipe(process_));
    cancellable_ = g_cancellable_new();
}

GChild::~GChild() {
    if (!process_) return;
    g_subprocess_send_signal(process_, SIGTERM);
    // A pending read refers to this object: cancel it and let its callback run before leaving.
    g_cancellable_cancel(cancellable_);
    iterateUntil([this] { return !reading_; });
    (void)wait();
    g_object_unref(output_);
    g_object_unref(cancellable_);
    g_object_unref(process_);
}

std::optional<std::string> GChild::readLine(std::chrono::milliseconds patience) {
    if (!process_) return std::nullopt;
    if (lines_.empty() && !ended_ && !reading_) {
        reading_ = true;
        g_data_input_stream_read_line_async(
            output_, G_PRIORITY_DEFAULT, cancellable_,
            [](GObject* source, GAsyncResult* result, gpointer data) {
                auto* child = static_cast<GChild*>(data);
                gsize length = 0;
                gchar* line = g_data_input_stream_read_line_finish(G_DATA_INPUT_STREAM(source),
                                                                   result, &length, nullptr);
                child->reading_ = false;
                if (line) {
                    child->lines_.emplace_back(line, length);
                    g_free(line);
                } else {
                    child->ended_ = true;
                }
            },
            this);
    }
    iterateUntil([this] { return !lines_.empty() || ended_; }, patience);
    if (lines_.empty()) return std::nullopt;
    std::string line = lines_.front();
    lines_.erase(lines_.begin());
    return line;
}

bool GChild::awaitLine(const std::string& line, bool prefix) {
    while (auto next = readLine()) {
        if (*next == line || (prefix && next->rfind(line, 0) == 0)) return true;
    }
    return false;
}

int GChild::wait() {
    if (!process_) return -1;
    if (!g_subprocess_wait(process_, nullptr, nullptr)) return -1;
    return g_subprocess_get_if_exited(process_) ? g_subprocess_get_exit_status(process_) : -1;
}

void GChild::sendSignal(int signal) {
    if (process_) g_subprocess_send_signal(process_, signal);
}

std::string GChild::identifier() const {
    const gchar* id = process_ ? g_subprocess_get_identifier(process_) : nullptr;
    return id ? id : "";
}

Finished runToEnd(const std::vector<std::string>& argv) {
    const auto arguments = cArguments(argv);
    Finished finished;
    GError* error = nullptr;
    GSubprocess* process =
        g_subprocess_newv(arguments.data(),
                          static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE |
                                                        G_SUBPROCESS_FLAGS_STDERR_MERGE),
                          &error);
    if (!process) {
        finished.output = error->message;
        g_error_free(error);
        return finished;
    }
    gchar* output = nullptr;
    if (g_subprocess_communicate_utf8(process, nullptr, nullptr, &output, nullptr, nullptr)) {
        finished.output = output ? output : "";
        g_free(output);
        if (g_subprocess_get_if_exited(process)) {
            finished.status = g_subprocess_get_exit_status(process);
        }
    }
    g_object_unref(process);
    return finished;
}

std::string toolPath(const std::string& name) {
    return std::string(TAVREL_BINARY_DIR) + "/bin/" + name;
}

VirtualDisplay::VirtualDisplay(int width, int height) {
    int pipe[2];
    if (::pipe(pipe) != 0) return;
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    GSubprocessLauncher* launcher = g_subprocess_launcher_new(static_cast<GSubprocessFlags>(
        G_SUBPROCESS_FLAGS_STDOUT_SILENCE | G_SUBPROCESS_FLAGS_STDERR_SILENCE));
    g_subprocess_launcher_take_fd(launcher, pipe[1], 3);
    // -noreset: without it the server starts afresh, pointer and all, whenever its last client
    // goes, which here is after every question.
    const gchar* argv[] = {"Xvfb",         "-displayfd", "3",   "-screen",  "0",
                           screen.c_str(), "-nolisten",  "tcp", "-noreset", nullptr};
    server_ = g_subprocess_launcher_spawnv(launcher, argv, nullptr);
    g_object_unref(launcher);
    if (!server_) {
        ::close(pipe[0]);
        return;
    }
    // Xvfb writes its display number once it accepts connections.
    std::string number;
    char c = 0;
    while (::read(pipe[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(pipe[0]);
    if (number.empty()) return;
    display_ = ":" + number;
    if (const char* previous = std::getenv("DISPLAY")) previousDisplay_ = previous;
    ::setenv("DISPLAY", display_.c_str(), 1);
}

VirtualDisplay::~VirtualDisplay() {
    if (!display_.empty()) {
        if (previousDisplay_) {
            ::setenv("DISPLAY", previousDisplay_->c_str(), 1);
        } else {
            ::unsetenv("DISPLAY");
        }
    }
    if (server_) {
        g_subprocess_send_signal(server_, SIGTERM);
        g_subprocess_wait(server_, nullptr, nullptr);
        g_object_unref(server_);
    }
}

bool VirtualDisplay::movePointer(int x, int y) {
    Display* display = XOpenDisplay(display_.c_str());
    if (!display) return false;
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, x, y);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}

}  // namespace tavrel::testing
