#pragma once

// The now-playing source of the media bridge: what the system is playing, who plays it, and the
// three transport commands. It keeps the call-back contract of the macOS media service the bridge
// was written against (four required functions and an optional registration), so the bridge's
// protocol logic is the same on every platform; on Linux the source is MPRIS 2 on the session bus.
//
// Every call-back runs on the main thread, once per call. A source may answer before the call
// returns (the test fakes do) or later (the bus does); callers cope with both.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "core/foundation/result.h"

namespace tavrel::platform {

// An info entry of a type the report cannot carry (a date, a list, a dictionary …).
struct OtherNowPlayingValue {
    friend bool operator==(const OtherNowPlayingValue&, const OtherNowPlayingValue&) = default;
};

using NowPlayingBytes = std::vector<std::uint8_t>;
using NowPlayingValue =
    std::variant<OtherNowPlayingValue, std::string, std::int64_t, double, NowPlayingBytes>;

// Entries by name, e.g. "kMRMediaRemoteNowPlayingInfoTitle" → "Blue in Green".
using NowPlayingInfo = std::map<std::string, NowPlayingValue, std::less<>>;

// Entry names are this prefix followed by the report key ("Title", "Artist", …).
inline constexpr std::string_view kNowPlayingInfoEntryPrefix = "kMRMediaRemoteNowPlayingInfo";
inline constexpr std::string_view kNowPlayingInfoArtworkData =
    "kMRMediaRemoteNowPlayingInfoArtworkData";

inline std::string nowPlayingInfoEntryName(std::string_view reportKey) {
    std::string name(kNowPlayingInfoEntryPrefix);
    name += reportKey;
    return name;
}

// Command numbers as the media service counts them.
inline constexpr int kNowPlayingCommandTogglePlayPause = 2;
inline constexpr int kNowPlayingCommandNextTrack = 4;
inline constexpr int kNowPlayingCommandPreviousTrack = 5;

// The three change notifications; each one asks the bridge for a new report.
enum class NowPlayingChange { infoDidChange, isPlayingDidChange, applicationDidChange };

inline constexpr std::string_view nowPlayingChangeName(NowPlayingChange change) {
    switch (change) {
        case NowPlayingChange::infoDidChange:
            return "kMRMediaRemoteNowPlayingInfoDidChangeNotification";
        case NowPlayingChange::isPlayingDidChange:
            return "kMRMediaRemoteNowPlayingApplicationIsPlayingDidChangeNotification";
        case NowPlayingChange::applicationDidChange:
            return "kMRMediaRemoteNowPlayingApplicationDidChangeNotification";
    }
    return {};
}

class NowPlayingSource {
public:
    using InfoCallback = std::function<void(std::optional<NowPlayingInfo>)>;
    using IsPlayingCallback = std::function<void(bool)>;
    using PidCallback = std::function<void(std::int64_t)>;
    using ChangeObserver = std::function<void(NowPlayingChange)>;

    virtual ~NowPlayingSource() = default;

    // The now-playing application's info entries; nothing when no application plays or paused.
    virtual void getNowPlayingInfo(InfoCallback done) = 0;
    virtual void getNowPlayingApplicationIsPlaying(IsPlayingCallback done) = 0;
    // 0 when there is no now-playing application.
    virtual void getNowPlayingApplicationPID(PidCallback done) = 0;
    // Hands `command` to the now-playing application; false when it could not be delivered.
    virtual bool sendCommand(int command) = 0;
    // Optional: starts delivering change notifications to `observer` (on the main thread). A
    // source without it never announces changes; reports then follow commands only.
    virtual void registerForNowPlayingNotifications(ChangeObserver observer) { (void)observer; }
    // Runs `ready` (on the main thread) once the source knows the applications present when it
    // was made, so that a command sent from then on reaches the now-playing one. A source that
    // knows them at once runs it at once.
    virtual void whenReady(std::function<void()> ready) { ready(); }
    // Runs `done` (on the main thread) once every command sent so far has reached its
    // application or failed. A source whose sendCommand delivers before returning runs it at once.
    virtual void whenCommandsDelivered(std::function<void()> done) { done(); }
};

// The machine's now-playing source. An error when the system's media service cannot be reached
// (on Linux: no session bus). Call on the main thread once the Qt application object exists;
// the source must be destroyed before it.
Result<std::unique_ptr<NowPlayingSource>> makeNowPlayingSource();

}  // namespace tavrel::platform
