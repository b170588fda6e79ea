#include "core/helper/widget_tile_geometry.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace tavrel {

namespace {

constexpr TileColor gray(double white, double alpha = 1) {
    return {white, white, white, alpha};
}

}  // namespace

TileRect widgetContentSquare(double canvasSide) {
    const double side = std::max(canvasSide, 1.0);
    const double d = std::max(side * 0.8046875, 1.0);
    const double origin = (side - d) / 2;
    const double grow = d * 0.01;
    return {origin - grow, origin - grow, d + 2 * grow, d + 2 * grow};
}

WidgetCard widgetCard(const TileRect& contentSquare, double contentScale) {
    WidgetCard card;
    card.rect = contentSquare;
    card.m = std::min(contentSquare.width, contentSquare.height);
    card.cornerRadius = std::min(card.m * 0.25, card.m * 0.5);
    card.shadowOffsetY = std::clamp(contentScale, 0.01, 1.5);
    card.shadowBlurRadius = std::max(card.m * 0.035, 1.2);
    card.shadowColor = gray(0, 0.14);
    return card;
}

CalendarPageLayout calendarPageLayout(const WidgetCard& card) {
    const double m = card.m;
    CalendarPageLayout layout;
    layout.centerX = card.rect.centerX();
    layout.weekdayFontSize = std::max(m * 0.19, 1.0);
    layout.weekdayCenterY = card.rect.y + m * 0.245;
    layout.weekdayColor = {1.0, 0.23, 0.25, 1};
    layout.dayFontSize = std::max(m * 0.64 * 0.95, 1.0);
    layout.dayCenterY = card.rect.y + m * 0.62;
    layout.dayColor = {0.12, 0.12, 0.12, 1};
    layout.background = gray(1);
    layout.gradient[0] = {0, gray(1)};
    layout.gradient[1] = {0.08, gray(1)};
    layout.gradient[2] = {1, gray(234.0 / 255.0)};
    return layout;
}

int clampedMemoryPercentage(int percentage) {
    return std::clamp(percentage, 0, 100);
}

MemoryLevel memoryLevel(int percentage) {
    const int p = clampedMemoryPercentage(percentage);
    if (p < 65) return MemoryLevel::normal;
    if (p < 80) return MemoryLevel::elevated;
    return MemoryLevel::critical;
}

TileColor memoryLevelColor(MemoryLevel level) {
    switch (level) {
        case MemoryLevel::normal:
            // The system green of a light appearance.
            return {52.0 / 255.0, 199.0 / 255.0, 89.0 / 255.0, 1};
        case MemoryLevel::elevated:
            return {0.95, 0.66, 0.20, 1};
        case MemoryLevel::critical:
            return {1.0, 0.36, 0.32, 1};
    }
    return {};
}

MemoryGaugeLayout memoryGaugeLayout(const WidgetCard& card, int percentage) {
    const double m = card.m;
    const TileRect& r = card.rect;
    const int p = clampedMemoryPercentage(percentage);
    const double f = p / 100.0;

    MemoryGaugeLayout layout;
    layout.background = {0.035, 0.04, 0.042, 1};
    layout.glowCenterX = r.right() - m * 0.06;
    layout.glowCenterY = r.y + m * 0.08;
    layout.glowRadius = m * 0.96;
    layout.glow[0] = {0, {0.28, 0.70, 0.62, 0.30}};
    layout.glow[1] = {0.42, {0.18, 0.48, 0.43, 0.13}};
    layout.glow[2] = {1, {0.08, 0.16, 0.15, 0.0}};

    const double b = std::max(m * 0.082, 1.0);
    const double w = 1.3 * b;
    const double h = 0.58 * m;
    layout.tube = {r.x + 0.14 * m - (w - b) / 2, r.y + 0.19 * m, w, h};
    layout.tubeRadius = w / 2;
    layout.tubeColor = gray(1, 0.95);

    const double level = std::max(f * h, w);
    layout.level = {layout.tube.x + 0.22 * w, layout.tube.bottom() - level + 0.11 * w, 0.56 * w,
                    level - 0.22 * w};
    layout.levelRadius = layout.level.width / 2;
    layout.levelColor = memoryLevelColor(memoryLevel(p));

    layout.labelRect = {r.x + 0.35 * m, r.y + 0.24 * m, 0.58 * m, 0.2 * m};
    layout.labelFontSize = std::max(m * 0.145, 1.0);
    layout.labelColor = gray(0.62);
    layout.percentRect = {r.x + 0.32 * m, r.y + 0.47 * m, 0.66 * m, 0.32 * m};
    layout.percentFontSize = std::max(m * 0.225, 1.0);
    layout.percentColor = gray(1, 0.9);
    layout.percentText = std::to_string(p) + "%";
    return layout;
}

std::string_view weekdayLabel(std::optional<int> weekday) {
    static constexpr std::array<std::string_view, 7> kLabels{"周日", "周一", "周二", "周三",
                                                             "周四", "周五", "周六"};
    const int w = weekday.value_or(1);
    return kLabels[static_cast<std::size_t>(std::clamp(w - 1, 0, 6))];
}

std::string dayLabel(std::optional<int> day) {
    return std::to_string(day.value_or(1));
}

std::string timeSignature(const CalendarComponents& c) {
    std::string signature;
    for (const auto& component : {c.era, c.year, c.month, c.day, c.weekday}) {
        if (!signature.empty()) signature += '-';
        signature += std::to_string(component.value_or(0));
    }
    return signature;
}

int memoryPercentage(double usage) {
    if (!std::isfinite(usage)) return 0;
    return static_cast<int>(std::lround(std::clamp(usage, 0.0, 1.0) * 100));
}

std::string memorySignature(int percentage) {
    return std::to_string(percentage);
}

}  // namespace tavrel
