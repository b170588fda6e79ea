#pragma once

// A child program the tests talk to by lines: standard input in, standard output out. Waits are
// "eventually" waits with generous limits; nothing here measures time.

#include <deque>
#include <functional>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace tavrel::testing {

inline constexpr int kEventuallyMs = 15000;

class LineProcess {
public:
    LineProcess(const QString& program, const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    ~LineProcess();
    LineProcess(const LineProcess&) = delete;
    LineProcess& operator=(const LineProcess&) = delete;

    bool started() const { return started_; }
    qint64 pid() const { return process_.processId(); }

    void writeLine(const std::string& line);
    void closeInput();

    // The first line (already read or still to come) that `matches`. With `dropEarlier`, lines
    // before it are discarded; otherwise they stay for later waits.
    std::optional<std::string> waitForLine(const std::function<bool(const std::string&)>& matches,
                                           bool dropEarlier, int timeoutMs = kEventuallyMs);
    std::optional<std::string> nextLine(int timeoutMs = kEventuallyMs);
    // Lines read so far and not taken.
    const std::deque<std::string>& unread() const { return lines_; }

    // The exit status once the program ended normally, or nothing.
    std::optional<int> waitForExit(int timeoutMs = kEventuallyMs);

private:
    bool readMore(int timeoutMs);

    QProcess process_;
    bool started_ = false;
    std::string partial_;
    std::deque<std::string> lines_;
};

// The media bridge under test, reading its JSON lines.
class BridgeProcess : public LineProcess {
public:
    explicit BridgeProcess(
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    // The first record from now on that `matches`; earlier records are dropped (and handed to
    // `skipped` when given).
    std::optional<nlohmann::json> waitForRecord(
        const std::function<bool(const nlohmann::json&)>& matches,
        std::vector<nlohmann::json>* skipped = nullptr, int timeoutMs = kEventuallyMs);
    std::optional<nlohmann::json> nextRecord(int timeoutMs = kEventuallyMs);
};

bool isReport(const nlohmann::json& record);

// The scripted MPRIS player (tests/media_bridge/fake_mpris_player.cpp) as a process of its own,
// so that its pid differs from the test's and from other players'.
class FakePlayer : public LineProcess {
public:
    explicit FakePlayer(const std::string& name);

    bool ready() const { return ready_; }
    std::string busName() const { return "org.mpris.MediaPlayer2." + name_; }
    // Sends one command and waits until the player has carried it out (and announced it).
    bool command(const std::string& line);
    bool waitForCall(const std::string& method);

private:
    std::string name_;
    bool ready_ = false;
};

}  // namespace tavrel::testing
