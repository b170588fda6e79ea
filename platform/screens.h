#pragma once

// The displays that are connected now, and word when that changes. An identifier stays the same
// for one display across reconnects and restarts, so it can be stored in settings; the name is
// what a person recognises the display by.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavrel::platform {

struct ScreenInfo {
    std::string identifier;
    std::string name;
    bool isPrimary = false;
    friend bool operator==(const ScreenInfo&, const ScreenInfo&) = default;
};

class Screens {
public:
    using ObserverId = std::uint64_t;

    virtual ~Screens() = default;

    // The online displays, the primary one first; identifiers are unique within the list.
    virtual std::vector<ScreenInfo> onlineScreens() const = 0;

    // Called on the main thread after a display was connected or removed (or changed what it
    // reports), once per change.
    virtual ObserverId observe(std::function<void()> changed) = 0;
    virtual void removeObserver(ObserverId id) = 0;
};

}  // namespace tavrel::platform
