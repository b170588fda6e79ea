#include "core/helper/widget_click_filter.h"

#include <chrono>
#include <cmath>
#include <utility>

namespace tavrel {

namespace {

double seconds(platform::Clock::Duration duration) {
    return std::chrono::duration<double>(duration).count();
}

}  // namespace

WidgetClickFilter::WidgetClickFilter(std::shared_ptr<const platform::Clock> clock)
    : clock_(std::move(clock)) {}

std::optional<WidgetClickFilter::Report> WidgetClickFilter::evaluate(
    std::optional<double> secondsSinceLastMouseUp) {
    const platform::Clock::Duration now = clock_->uptime();
    const double uptime = seconds(now);

    std::optional<double> clickUptime;
    if (secondsSinceLastMouseUp && *secondsSinceLastMouseUp >= 0 &&
        *secondsSinceLastMouseUp <= kRecentClickSeconds) {
        clickUptime = uptime - *secondsSinceLastMouseUp;
        if (lastHandledClickUptime_ &&
            std::fabs(*clickUptime - *lastHandledClickUptime_) < kSameClickSeconds) {
            return std::nullopt;
        }
    }
    if (lastHandledClickPostUptime_ &&
        now - *lastHandledClickPostUptime_ <= kMinimumReportSpacing) {
        return std::nullopt;
    }
    lastHandledClickPostUptime_ = now;
    if (clickUptime) lastHandledClickUptime_ = clickUptime;
    return Report{clickUptime};
}

}  // namespace tavrel
