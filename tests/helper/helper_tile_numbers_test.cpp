// The tiles' numbers: geometry for the 512-point canvas, level colours, labels, signatures,
// memory statistics and the launcher ring.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/helper/launcher_tile_layout.h"
#include "core/helper/memory_statistics.h"
#include "core/helper/widget_tile_geometry.h"

namespace tavrel {
namespace {

void expectRect(const TileRect& actual, TileRect expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
    EXPECT_NEAR(actual.width, expected.width, 1e-9);
    EXPECT_NEAR(actual.height, expected.height, 1e-9);
}

TEST(WidgetTileGeometry, CardAndGaugeForTheDockCanvas) {
    const TileRect square = widgetContentSquare(512);
    expectRect(square, {45.88, 45.88, 420.24, 420.24});
    // Tiny and degenerate canvases still give a square of at least a point, grown by 1 %.
    expectRect(widgetContentSquare(0), {-0.01, -0.01, 1.02, 1.02});

    const WidgetCard card = widgetCard(square, 1);
    EXPECT_NEAR(card.m, 420.24, 1e-9);
    EXPECT_NEAR(card.cornerRadius, 105.06, 1e-9);
    EXPECT_NEAR(card.shadowOffsetY, 1, 1e-12);
    EXPECT_NEAR(card.shadowBlurRadius, 14.7084, 1e-9);
    EXPECT_EQ(card.shadowColor, (TileColor{0, 0, 0, 0.14}));
    EXPECT_NEAR(widgetCard(square, 9).shadowOffsetY, 1.5, 1e-12);
    EXPECT_NEAR(widgetCard(square, 0).shadowOffsetY, 0.01, 1e-12);
    EXPECT_NEAR(widgetCard(widgetContentSquare(1), 1).shadowBlurRadius, 1.2, 1e-12);

    const double m = 420.24;
    const double b = m * 0.082;
    const double w = 1.3 * b;
    const MemoryGaugeLayout half = memoryGaugeLayout(card, 50);
    expectRect(half.tube, {45.88 + 0.14 * m - 0.15 * b, 45.88 + 0.19 * m, w, 0.58 * m});
    EXPECT_NEAR(half.tubeRadius, w / 2, 1e-9);
    const double h = 0.5 * 0.58 * m;
    expectRect(half.level,
               {half.tube.x + 0.22 * w, half.tube.bottom() - h + 0.11 * w, 0.56 * w, h - 0.22 * w});
    expectRect(half.labelRect, {45.88 + 0.35 * m, 45.88 + 0.24 * m, 0.58 * m, 0.2 * m});
    expectRect(half.percentRect, {45.88 + 0.32 * m, 45.88 + 0.47 * m, 0.66 * m, 0.32 * m});
    EXPECT_NEAR(half.glowCenterX, 45.88 + m - 0.06 * m, 1e-9);
    EXPECT_NEAR(half.glowCenterY, 45.88 + 0.08 * m, 1e-9);
    EXPECT_NEAR(half.glowRadius, 0.96 * m, 1e-9);

    const CalendarPageLayout page = calendarPageLayout(card);
    EXPECT_NEAR(page.weekdayFontSize, 0.19 * m, 1e-9);
    EXPECT_NEAR(page.weekdayCenterY, 45.88 + 0.245 * m, 1e-9);
    EXPECT_NEAR(page.dayFontSize, 0.608 * m, 1e-9);
    EXPECT_NEAR(page.dayCenterY, 45.88 + 0.62 * m, 1e-9);
}

TEST(WidgetTileGeometry, LevelColourAndHeightFollowTheClampedPercentage) {
    const WidgetCard card = widgetCard(widgetContentSquare(512), 1);
    const TileColor green{52 / 255.0, 199 / 255.0, 89 / 255.0, 1};
    const TileColor amber{0.95, 0.66, 0.20, 1};
    const TileColor red{1.0, 0.36, 0.32, 1};
    struct Case {
        int percentage;
        TileColor color;
        std::string text;
        double levelHeightInTubeWidths;  // the bar's height over the tube's width
    };
    const double tubeHeightInWidths = 0.58 / (1.3 * 0.082);
    const std::vector<Case> cases{
        {0, green, "0%", 0.78},
        {-20, green, "0%", 0.78},
        {64, green, "64%", 0.64 * tubeHeightInWidths - 0.22},
        {65, amber, "65%", 0.65 * tubeHeightInWidths - 0.22},
        {79, amber, "79%", 0.79 * tubeHeightInWidths - 0.22},
        {80, red, "80%", 0.80 * tubeHeightInWidths - 0.22},
        {100, red, "100%", tubeHeightInWidths - 0.22},
        {250, red, "100%", tubeHeightInWidths - 0.22},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.percentage);
        const MemoryGaugeLayout layout = memoryGaugeLayout(card, c.percentage);
        EXPECT_EQ(layout.levelColor, c.color);
        EXPECT_EQ(layout.percentText, c.text);
        EXPECT_NEAR(layout.level.height / layout.tube.width, c.levelHeightInTubeWidths, 1e-9);
        // The bar always ends 0.11 tube widths above the tube's bottom.
        EXPECT_NEAR(layout.tube.bottom() - layout.level.bottom(), 0.11 * layout.tube.width, 1e-9);
    }
}

TEST(WidgetTileGeometry, WeekdaysDaysAndSignatures) {
    const std::vector<std::pair<std::optional<int>, std::string>> weekdays{
        {1, "周日"}, {2, "周一"}, {3, "周二"}, {4, "周三"},
        {5, "周四"}, {6, "周五"}, {7, "周六"}, {std::nullopt, "周日"},
        {0, "周日"}, {9, "周六"},
    };
    for (const auto& [weekday, label] : weekdays) EXPECT_EQ(weekdayLabel(weekday), label);
    EXPECT_EQ(dayLabel(9), "9");
    EXPECT_EQ(dayLabel(std::nullopt), "1");

    EXPECT_EQ(timeSignature({1, 2025, 3, 9, 1}), "1-2025-3-9-1");
    EXPECT_EQ(timeSignature({std::nullopt, 2025, std::nullopt, 9, 7}), "0-2025-0-9-7");

    const std::vector<std::pair<double, int>> usages{
        {0, 0},       {0.004, 0}, {0.005, 1}, {0.424, 42},
        {0.995, 100}, {1.7, 100}, {-1, 0},    {std::numeric_limits<double>::quiet_NaN(), 0},
    };
    for (const auto& [usage, percentage] : usages) {
        SCOPED_TRACE(usage);
        EXPECT_EQ(memoryPercentage(usage), percentage);
    }
    EXPECT_EQ(memorySignature(42), "42");
}

TEST(MemoryStatistics, ReadsMeminfoAndCountsFreeAndFileBackedAsAvailable) {
    const std::string typical =
        "MemTotal:       16000000 kB\n"
        "MemFree:         2000000 kB\n"
        "MemAvailable:    9000000 kB\n"
        "Buffers:          100000 kB\n"
        "Cached:          7000000 kB\n"
        "Active(anon):    4000000 kB\n"
        "Inactive(anon):   500000 kB\n"
        "Active(file):    3000000 kB\n"
        "Inactive(file):  3000000 kB\n"
        "HugePages_Total:       0\n";
    const auto statistics = parseProcMeminfo(typical);
    ASSERT_TRUE(statistics);
    EXPECT_EQ(*statistics,
              (MemoryStatistics{16000000ull * 1024, 2000000ull * 1024, 6000000ull * 1024}));
    EXPECT_DOUBLE_EQ(memoryUsage(statistics), 0.5);

    struct Case {
        const char* label;
        std::string text;
        double usage;
    };
    const std::vector<Case> cases{
        {"empty", "", 0},
        {"no file lists", "MemTotal: 100 kB\nMemFree: 10 kB\n", 0},
        {"zero total", "MemTotal: 0 kB\nMemFree: 0 kB\nActive(file): 0 kB\nInactive(file): 0 kB\n",
         0},
        {"more available than total",
         "MemTotal: 100 kB\nMemFree: 60 kB\nActive(file): 30 kB\nInactive(file): 30 kB\n", 0},
        {"no unit", "MemTotal: 100\nMemFree: 10 kB\nActive(file): 0 kB\nInactive(file): 0 kB\n", 0},
        {"overflowing number",
         "MemTotal: 99999999999999999999999 kB\nMemFree: 1 kB\nActive(file): 0 kB\n"
         "Inactive(file): 0 kB\n",
         0},
        {"CRLF lines and any order",
         "Inactive(file): 10 kB\r\nMemFree: 20 kB\r\nActive(file): 10 kB\r\nMemTotal: 200 kB\r\n",
         0.8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_DOUBLE_EQ(memoryUsage(parseProcMeminfo(c.text)), c.usage);
    }
    EXPECT_DOUBLE_EQ(memoryUsage(std::nullopt), 0);
}

TEST(MemoryStatistics, ThisMachineGivesAFraction) {
    const double usage = currentMemoryUsage();
    EXPECT_GT(usage, 0);
    EXPECT_LT(usage, 1);
}

TEST(LauncherTileLayout, RingAndAvatarSources) {
    expectRect(launcherAvatarCircle(), {14, 14, 100, 100});
    const std::vector<std::pair<std::optional<double>, double>> widths{
        {std::nullopt, 2}, {2, 2}, {20, 8}, {0.1, 0.5}, {-3, 0.5}, {0, 0.5}, {8, 8}, {3.25, 3.25},
    };
    for (const auto& [stored, width] : widths) EXPECT_EQ(launcherAvatarRingWidth(stored), width);

    EXPECT_EQ(launcherAvatarRingColor(std::nullopt), (TileColor{1, 1, 1, 1}));
    EXPECT_EQ(launcherAvatarRingColor(HelperDockTileCodableColor{0.2, 1.5, -1, 0.5}),
              (TileColor{0.2, 1, 0, 0.5}));

    HelperDockTileStoredSettings settings;
    settings.nativeDockLauncherUseUserAvatar = true;
    EXPECT_EQ(launcherTileContent(settings), (LauncherTileContent{true, {1, 1, 1, 1}, 2}));
    EXPECT_EQ(launcherTileContent(std::nullopt), (LauncherTileContent{false, {1, 1, 1, 1}, 2}));

    using Paths = std::vector<std::filesystem::path>;
    EXPECT_EQ(userAvatarFileCandidates({"/var/lib/AccountsService/icons", "ana", "/home/ana"}),
              (Paths{"/var/lib/AccountsService/icons/ana", "/home/ana/.face"}));
    EXPECT_EQ(userAvatarFileCandidates({"/icons", "../etc", "/home/x"}), (Paths{"/home/x/.face"}));
    EXPECT_EQ(userAvatarFileCandidates({"/icons", "..", ""}), Paths{});
}

}  // namespace
}  // namespace tavrel
