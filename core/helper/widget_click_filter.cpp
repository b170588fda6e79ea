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
    const double uptime = seconds(clock_->uptime());

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
        uptime - *lastHandledClickPostUptime_ <= kMinimumReportSpacingSeconds) {
        return std::nullopt;
    }
    lastHandledClickPostUptime_ = uptime;
    if (clickUptime) lastHandledClickUptime_ = clickUptime;
    return Report{clickUptime};
}

}  // namespace tavrel
