#pragma once

// The connected displays in memory, for tests: the test sets the list and then announces the
// change, as the window system would after a monitor was plugged in or out.

#include <map>
#include <vector>

#include "platform/screens.h"

namespace tavrel::platform {

class FakeScreens final : public Screens {
public:
    FakeScreens() = default;
    explicit FakeScreens(std::vector<ScreenInfo> screens) : screens_(std::move(screens)) {}

    // Replaces the list without telling anyone (a test announces it with fireChange).
    void setScreens(std::vector<ScreenInfo> screens) { screens_ = std::move(screens); }
    // Calls every observer once, in the order they registered.
    void fireChange();
    std::size_t observerCount() const { return observers_.size(); }

    std::vector<ScreenInfo> onlineScreens() const override { return screens_; }
    ObserverId observe(std::function<void()> changed) override;
    void removeObserver(ObserverId id) override { observers_.erase(id); }

private:
    std::vector<ScreenInfo> screens_;
    std::map<ObserverId, std::function<void()>> observers_;
    ObserverId lastObserver_ = 0;
};

}  // namespace tavrel::platform
