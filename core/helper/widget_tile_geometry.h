#pragma once

// The numbers of the widget tiles: where the card, its shadow, the calendar labels and the memory
// gauge go for a canvas of a given side, which colour the memory level takes, the weekday
// labels, and the signatures that decide whether a tile needs drawing again. Everything is in
// points with the origin at the top left and y growing downward.

#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct TileRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double right() const { return x + width; }
    double bottom() const { return y + height; }
    double centerX() const { return x + width / 2; }
    double centerY() const { return y + height / 2; }
    friend bool operator==(const TileRect&, const TileRect&) = default;
};

// Components 0…1 (sRGB on this platform).
struct TileColor {
    double red = 0;
    double green = 0;
    double blue = 0;
    double alpha = 1;
    friend bool operator==(const TileColor&, const TileColor&) = default;
};

struct TileGradientStop {
    double location = 0;
    TileColor color;
};

// The picture handed to the Dock is always this size, at scale 1 and without pressed darkness.
inline constexpr double kWidgetTileCanvasSide = 512;
inline constexpr double kWidgetTileContentScale = 1;

// 103/128 of the side, centred, then grown by 1 % on every side: 420.24 at 45.88 for 512.
TileRect widgetContentSquare(double canvasSide);

// The rounded card both widgets draw first, and the shadow under it.
struct WidgetCard {
    TileRect rect;
    double m = 0;  // the card's smaller side
    double cornerRadius = 0;
    double shadowOffsetY = 0;  // downward
    double shadowBlurRadius = 0;
    TileColor shadowColor;
};
WidgetCard widgetCard(const TileRect& contentSquare, double contentScale);

// The calendar page: weekday above, day of the month below, each centred on a line.
struct CalendarPageLayout {
    double centerX = 0;
    double weekdayFontSize = 0;
    double weekdayCenterY = 0;
    TileColor weekdayColor;
    double dayFontSize = 0;
    double dayCenterY = 0;
    TileColor dayColor;
    TileColor background;
    TileGradientStop gradient[3];  // top to bottom of the card
};
CalendarPageLayout calendarPageLayout(const WidgetCard& card);

enum class MemoryLevel { normal, elevated, critical };

// Percentages are clamped to 0…100 first: green below 65 %, amber below 80 %, red from 80 %.
int clampedMemoryPercentage(int percentage);
MemoryLevel memoryLevel(int percentage);
TileColor memoryLevelColor(MemoryLevel level);

struct MemoryGaugeLayout {
    TileColor background;
    double glowCenterX = 0;
    double glowCenterY = 0;
    double glowRadius = 0;
    TileGradientStop glow[3];
    TileRect tube;
    double tubeRadius = 0;
    TileColor tubeColor;
    TileRect level;  // rises from the bottom of the tube; never shorter than 0.78 tube widths
    double levelRadius = 0;
    TileColor levelColor;
    TileRect labelRect;  // "RAM"
    double labelFontSize = 0;
    TileColor labelColor;
    TileRect percentRect;
    double percentFontSize = 0;
    TileColor percentColor;
    std::string percentText;  // "42%"
};
MemoryGaugeLayout memoryGaugeLayout(const WidgetCard& card, int percentage);

inline constexpr std::string_view kMemoryLabel = "RAM";

// Calendar components of a date as the tile uses them; a missing component is nothing.
struct CalendarComponents {
    std::optional<int> era;
    std::optional<int> year;
    std::optional<int> month;
    std::optional<int> day;
    std::optional<int> weekday;  // 1 = Sunday … 7 = Saturday
    friend bool operator==(const CalendarComponents&, const CalendarComponents&) = default;
};

// "周日" … "周六"; a missing weekday counts as Sunday, out-of-range ones are clamped.
std::string_view weekdayLabel(std::optional<int> weekday);
// The day of the month, 1 when missing.
std::string dayLabel(std::optional<int> day);

// era-year-month-day-weekday, a missing component as 0 (for example 1-2025-3-9-1).
std::string timeSignature(const CalendarComponents& components);
// usage × 100 rounded to the nearest integer, within 0…100 (0 for a value that is no number).
int memoryPercentage(double usage);
std::string memorySignature(int percentage);

}  // namespace tavrel
