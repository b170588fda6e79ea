#pragma once

// Decides whether a widget copy reports a click on its tile. A launch without the sync argument
// counts as a click, and the taskbar may start a copy twice for one click, so a report is
// dropped when it would repeat the mouse-up already reported (uptimes within 0.05 s) or come
// within 0.15 s of the last report.

#include <chrono>
#include <memory>
#include <optional>

#include "platform/clock.h"

namespace tavrel {

class WidgetClickFilter {
public:
    static constexpr double kRecentClickSeconds = 1.0;
    static constexpr double kSameClickSeconds = 0.05;
    static constexpr std::chrono::milliseconds kMinimumReportSpacing{150};

    struct Report {
        // System uptime of the mouse-up, only when it was recent.
        std::optional<double> clickUptime;
    };

    explicit WidgetClickFilter(std::shared_ptr<const platform::Clock> clock);

    // `secondsSinceLastMouseUp` is nothing when the platform cannot tell; the report then carries
    // no click time. Gives the report to post, or nothing; a report given counts as posted.
    std::optional<Report> evaluate(std::optional<double> secondsSinceLastMouseUp);

private:
    std::shared_ptr<const platform::Clock> clock_;
    std::optional<double> lastHandledClickUptime_;
    // Measured on the uptime clock, not the wall clock: a wall clock set back would otherwise
    // swallow every click until it caught up again.
    std::optional<platform::Clock::Duration> lastHandledClickPostUptime_;
};

}  // namespace tavrel
