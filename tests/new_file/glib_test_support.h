#pragma once

// Child processes and waiting for GLib programs under test: a child's output read line by line
// while the test's own main context keeps running, so bus signals to this process are handled
// meanwhile. The waits are upper bounds for a hung peer, not measurements.

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gio/gio.h>

namespace tavrel::testing {

inline constexpr std::chrono::seconds kPatience{20};

// Runs the default main context until `done` or until `patience` passed; whether `done` holds.
bool iterateUntil(const std::function<bool()>& done,
                  std::chrono::milliseconds patience = kPatience);

class GChild {
public:
    // Standard error is merged into standard output.
    explicit GChild(const std::vector<std::string>& argv);
    ~GChild();
    GChild(const GChild&) = delete;
    GChild& operator=(const GChild&) = delete;

    bool started() const { return process_ != nullptr; }
    // The next line, or nothing at the end of the output or when `patience` passed.
    std::optional<std::string> readLine(std::chrono::milliseconds patience = kPatience);
    // Reads lines until one equals `line` (or starts with it when `prefix`).
    bool awaitLine(const std::string& line, bool prefix = false);
    // Waits for the end; the exit status, or -1 when it did not end normally.
    int wait();
    void sendSignal(int signal);
    // The process id, while it runs.
    std::string identifier() const;

private:
    GSubprocess* process_ = nullptr;
    GDataInputStream* output_ = nullptr;
    GCancellable* cancellable_ = nullptr;
    bool reading_ = false;
    bool ended_ = false;
    std::vector<std::string> lines_;
};

struct Finished {
    int status = -1;
    std::string output;  // standard output and error
};
Finished runToEnd(const std::vector<std::string>& argv);

std::string toolPath(const std::string& name);

// An X server of our own (Xvfb) with one screen of the given size; sets DISPLAY while alive.
class VirtualDisplay {
public:
    VirtualDisplay(int width, int height);
    ~VirtualDisplay();
    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;

    bool running() const { return !display_.empty(); }
    // Puts the pointer at (x, y) of the root window.
    bool movePointer(int x, int y);

private:
    GSubprocess* server_ = nullptr;
    std::string display_;
    std::optional<std::string> previousDisplay_;
};

}  // namespace tavrel::testing
