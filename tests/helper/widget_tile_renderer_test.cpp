// The widget tiles as drawn: probes of the rendered pixels at the places the geometry names.

#include "ui/helper/widget_tile_renderer.h"

#include <cstring>
#include <fstream>
#include <functional>
#include <optional>
#include <vector>

#include <QRectF>

#include <gtest/gtest.h>

#include "core/helper/launcher_tile_layout.h"
#include "core/helper/widget_tile_geometry.h"
#include "tests/helper/gui_test_support.h"
#include "ui/helper/launcher_tile_renderer.h"

namespace tavrel {
namespace {

using testing::near;
using testing::pointColor;

const CalendarComponents kSunday{1, 2025, 3, 9, 1};
const CalendarComponents kSaturday{1, 2025, 3, 15, 7};

class WidgetTileRendererTest : public ::testing::Test {
protected:
    void SetUp() override { testing::guiApplication(); }

    static QImage memory(int percentage) {
        return WidgetTileRenderer::tileImage(TavrelWidgetKind::memory, 512, 1, percentage, {});
    }
    static QImage time(const CalendarComponents& date) {
        return WidgetTileRenderer::tileImage(TavrelWidgetKind::time, 512, 1, 0, date);
    }
    static MemoryGaugeLayout gauge(int percentage) {
        return memoryGaugeLayout(widgetCard(widgetContentSquare(512), 1), percentage);
    }

    // The bounding box, in points, of the pixels inside `area` that `ink` accepts.
    static std::optional<QRectF> inkBounds(const QImage& image, const QRectF& area,
                                           const std::function<bool(const QColor&)>& ink) {
        const double ratio = image.devicePixelRatio();
        std::optional<QRectF> bounds;
        for (int y = static_cast<int>(area.top() * ratio); y < area.bottom() * ratio; ++y) {
            for (int x = static_cast<int>(area.left() * ratio); x < area.right() * ratio; ++x) {
                if (!ink(image.pixelColor(x, y))) continue;
                const QRectF pixel(x / ratio, y / ratio, 1 / ratio, 1 / ratio);
                bounds = bounds ? bounds->united(pixel) : pixel;
            }
        }
        return bounds;
    }
};

TEST_F(WidgetTileRendererTest, TheCardFillsTheContentSquareWithItsShadowBelow) {
    for (const QImage& image : {memory(50), time(kSunday)}) {
        ASSERT_EQ(image.size(), QSize(1024, 1024));
        EXPECT_EQ(image.devicePixelRatio(), 2);
        // The square spans 45.88 … 466.12 points; the card is opaque right inside its edges.
        for (auto [x, y] :
             {std::pair{46.5, 256.0}, {465.5, 256.0}, {256.0, 46.5}, {256.0, 465.5}}) {
            EXPECT_EQ(pointColor(image, x, y).alpha(), 255) << x << "," << y;
        }
        // Outside it there is only the shadow (black at 14 % at most) and then nothing.
        for (auto [x, y] : {std::pair{45.0, 256.0}, {467.0, 256.0}, {256.0, 45.0}}) {
            const QColor outside = pointColor(image, x, y);
            EXPECT_LE(outside.alpha(), 36) << x << "," << y;
            EXPECT_LE(outside.red(), 1);
        }
        EXPECT_EQ(pointColor(image, 10, 256).alpha(), 0);
        EXPECT_EQ(pointColor(image, 256, 500).alpha(), 0);
        // The shadow falls downward: more of it under the card than above it.
        int below = 0;
        int above = 0;
        for (double d = 0.5; d < 25; d += 0.5) {
            below += pointColor(image, 256, 466.12 + d).alpha();
            above += pointColor(image, 256, 45.88 - d).alpha();
        }
        EXPECT_GT(below, above);
        EXPECT_GT(above, 0);
        // The corners are rounded well inside the square's corners.
        EXPECT_LE(pointColor(image, 52, 52).alpha(), 36);
        EXPECT_EQ(pointColor(image, 100, 100).alpha(), 255);
    }
}

TEST_F(WidgetTileRendererTest, MemoryLevelColourSwitchesAt65And80Percent) {
    const QColor green(52, 199, 89);
    const QColor amber = QColor::fromRgbF(0.95f, 0.66f, 0.20f);
    const QColor red = QColor::fromRgbF(1.0f, 0.36f, 0.32f);
    const std::vector<std::pair<int, QColor>> cases{{0, green},  {64, green}, {65, amber},
                                                    {79, amber}, {80, red},   {100, red}};
    for (const auto& [percentage, color] : cases) {
        SCOPED_TRACE(percentage);
        const MemoryGaugeLayout layout = gauge(percentage);
        const QImage image = memory(percentage);
        EXPECT_TRUE(
            near(pointColor(image, layout.level.centerX(), layout.level.bottom() - 3), color));
    }
}

TEST_F(WidgetTileRendererTest, LevelRisesFromTheBottomWithAMinimumAndStopsAtTheTop) {
    // 0 %: the bar is 0.78 tube widths tall; above it the tube is white.
    const MemoryGaugeLayout empty = gauge(0);
    const QImage none = memory(0);
    const double w = empty.tube.width;
    const double x = empty.level.centerX();
    EXPECT_NEAR(empty.level.height, 0.78 * w, 1e-9);
    EXPECT_TRUE(
        near(pointColor(none, x, empty.tube.bottom() - 0.11 * w - 0.39 * w), QColor(52, 199, 89)));
    const QColor tube = pointColor(none, x, empty.tube.bottom() - 0.11 * w - 0.78 * w - 3);
    EXPECT_GT(tube.red(), 230);
    EXPECT_GT(tube.green(), 230);
    EXPECT_GT(tube.blue(), 230);

    // Half: level colour just below the middle of the tube, white just above the level.
    const MemoryGaugeLayout half = gauge(50);
    const QImage fifty = memory(50);
    EXPECT_TRUE(near(pointColor(fifty, x, half.level.y + 3), QColor(52, 199, 89)));
    EXPECT_GT(pointColor(fifty, x, half.level.y - 3).green(), 230);
    EXPECT_GT(pointColor(fifty, x, half.level.y - 3).red(), 230);

    // Above 100 % is drawn exactly as 100 %.
    EXPECT_EQ(memory(150), memory(100));
    EXPECT_EQ(memory(-5), memory(0));
    EXPECT_NE(memory(100), memory(99));
}

TEST_F(WidgetTileRendererTest, MemoryLabelsSitInTheirRectangles) {
    const MemoryGaugeLayout layout = gauge(42);
    const QImage image = memory(42);
    auto grayInk = [](const QColor& c) {
        return c.red() > 110 && c.red() < 180 && std::abs(c.red() - c.blue()) < 12;
    };
    auto whiteInk = [](const QColor& c) {
        return c.red() > 200 && c.green() > 200 && c.blue() > 200;
    };
    // Search around each rectangle (not reaching the other one); the ink stays inside.
    const QRectF labelRect(layout.labelRect.x, layout.labelRect.y, layout.labelRect.width,
                           layout.labelRect.height);
    const QRectF percentRect(layout.percentRect.x, layout.percentRect.y, layout.percentRect.width,
                             layout.percentRect.height);
    ASSERT_LT(labelRect.bottom() + 10, percentRect.top());
    const auto label = inkBounds(image, labelRect.adjusted(-10, -10, 10, 10), grayInk);
    ASSERT_TRUE(label);
    EXPECT_TRUE(labelRect.adjusted(-1, -1, 1, 1).contains(*label));
    EXPECT_LT(label->left() - labelRect.left(), 0.05 * labelRect.width());
    EXPECT_GT(label->width(), 2 * layout.labelFontSize);

    const auto percent = inkBounds(
        image, percentRect.adjusted(-10, labelRect.bottom() + 1 - percentRect.top(), 10, 10),
        whiteInk);
    ASSERT_TRUE(percent);
    EXPECT_TRUE(percentRect.adjusted(-1, -1, 1, 1).contains(*percent));
    // "42%" is several glyphs wide and a line tall.
    EXPECT_GT(percent->width(), 2 * layout.percentFontSize);
    EXPECT_GT(percent->height(), 0.5 * layout.percentFontSize);
}

TEST_F(WidgetTileRendererTest, CalendarPageCentresWeekdayAndDay) {
    const CalendarPageLayout layout = calendarPageLayout(widgetCard(widgetContentSquare(512), 1));
    auto redInk = [](const QColor& c) {
        return c.red() > 200 && c.green() < 140 && c.blue() < 140;
    };
    auto darkInk = [](const QColor& c) {
        return c.alpha() == 255 && c.red() < 90 && c.blue() < 90;
    };
    const QRectF card(45.88, 45.88, 420.24, 420.24);

    const QImage sunday = time(kSunday);
    const auto weekday = inkBounds(sunday, card, redInk);
    ASSERT_TRUE(weekday);
    // Centred by advance width; glyph side bearings move the ink a little.
    EXPECT_NEAR(weekday->center().x(), layout.centerX, 0.1 * layout.weekdayFontSize);
    EXPECT_NEAR(weekday->center().y(), layout.weekdayCenterY, 0.1 * layout.weekdayFontSize);
    // Two CJK glyphs: about two font sizes wide.
    EXPECT_NEAR(weekday->width(), 2 * layout.weekdayFontSize, 0.4 * layout.weekdayFontSize);

    const auto day = inkBounds(sunday, card, darkInk);
    ASSERT_TRUE(day);
    EXPECT_NEAR(day->center().x(), layout.centerX, 0.1 * layout.dayFontSize);
    EXPECT_NEAR(day->center().y(), layout.dayCenterY, 0.1 * layout.dayFontSize);
    EXPECT_GT(day->height(), 0.5 * layout.dayFontSize);

    // The page shades from white at the top to gray 234 at the bottom.
    EXPECT_TRUE(near(pointColor(sunday, 256, 48), QColor(255, 255, 255)));
    EXPECT_TRUE(near(pointColor(sunday, 256, 464), QColor(234, 234, 234)));

    // Another weekday changes the label, another day the number; missing components draw
    // Sunday the 1st.
    const QImage saturday = time(kSaturday);
    const QRect band(static_cast<int>(card.left() * 2),
                     static_cast<int>((layout.weekdayCenterY - layout.weekdayFontSize / 2) * 2),
                     static_cast<int>(card.width() * 2),
                     static_cast<int>(layout.weekdayFontSize * 2));
    EXPECT_NE(sunday.copy(band), saturday.copy(band));
    EXPECT_EQ(time({}), time({1, 2025, 1, 1, 1}));
}

TEST_F(WidgetTileRendererTest, TheDockPictureIsTheSamePicture) {
    const platform::DockTileImage dock =
        WidgetTileRenderer::tileDockImage(TavrelWidgetKind::memory, 512, 1, 73, kSunday);
    const QImage image = memory(73);
    ASSERT_EQ(dock.pixelWidth(), 1024);
    EXPECT_EQ(dock.pointWidth(), 512);
    for (int y = 0; y < 1024; ++y) {
        ASSERT_EQ(std::memcmp(image.constScanLine(y), dock.pixels().data() + y * 1024, 4096), 0)
            << "row " << y;
    }
    EXPECT_TRUE(
        WidgetTileRenderer::tileDockImage(TavrelWidgetKind::time, 1e9, 1, 0, kSunday).isNull());
}

TEST_F(WidgetTileRendererTest, OddCanvasesStillDraw) {
    EXPECT_EQ(WidgetTileRenderer::tileImage(TavrelWidgetKind::memory, 0, 1, 10, {}).size(),
              QSize(2, 2));
    EXPECT_EQ(WidgetTileRenderer::tileImage(TavrelWidgetKind::time, 64, 1, 0, kSunday).size(),
              QSize(128, 128));
    EXPECT_TRUE(WidgetTileRenderer::tileImage(TavrelWidgetKind::time, 1e9, 1, 0, kSunday).isNull());
}

TEST_F(WidgetTileRendererTest, CalendarComponentsOfQtDates) {
    EXPECT_EQ(WidgetTileRenderer::calendarComponents(QDate(2025, 3, 9)),
              (CalendarComponents{1, 2025, 3, 9, 1}));
    EXPECT_EQ(WidgetTileRenderer::calendarComponents(QDate(2025, 3, 15)),
              (CalendarComponents{1, 2025, 3, 15, 7}));
    EXPECT_EQ(WidgetTileRenderer::calendarComponents(QDate(2025, 3, 10)).weekday, 2);
    EXPECT_EQ(WidgetTileRenderer::calendarComponents(QDate()), CalendarComponents{});
}

class LauncherTileRendererTest : public WidgetTileRendererTest {};

TEST_F(LauncherTileRendererTest, AvatarInACircleWithTheClampedRing) {
    QImage avatar(300, 200, QImage::Format_ARGB32_Premultiplied);
    avatar.fill(QColor(40, 90, 200));
    QImage icon(64, 64, QImage::Format_ARGB32_Premultiplied);
    icon.fill(QColor(20, 160, 60));
    const QColor ringColor(230, 20, 20);
    const TileColor ring{230 / 255.0, 20 / 255.0, 20 / 255.0, 1};

    struct Case {
        const char* label;
        std::optional<double> storedWidth;
        bool ringAtThreePointsOut;  // a width of 8 reaches 4 points outside the circle
        bool ringAtTheCircle;
    };
    const std::vector<Case> cases{
        {"default width 2", std::nullopt, false, true},
        {"20 draws 8", 20, true, true},
        {"0.1 draws 0.5", 0.1, false, true},
        {"-3 draws 0.5", -3, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        const LauncherTileContent content{true, ring, launcherAvatarRingWidth(c.storedWidth)};
        const QImage image = LauncherTileRenderer::tileImage(content, avatar, icon);
        ASSERT_EQ(image.size(), QSize(256, 256));
        EXPECT_TRUE(near(pointColor(image, 64, 64), QColor(40, 90, 200)));
        EXPECT_TRUE(near(pointColor(image, 40, 64), QColor(40, 90, 200)));
        EXPECT_EQ(pointColor(image, 6, 6).alpha(), 0);
        EXPECT_EQ(pointColor(image, 16, 16).alpha(), 0);  // outside the circle, inside its square
        EXPECT_EQ(near(pointColor(image, 64 + 53, 64), ringColor, 30), c.ringAtThreePointsOut);
        // On the circle itself the ring (even half a point) covers the avatar's edge.
        const QColor edge = pointColor(image, 64, 14.1);
        EXPECT_EQ(edge.red() > edge.blue(), c.ringAtTheCircle);
    }
}

TEST_F(LauncherTileRendererTest, LauncherIconFillsTheCanvasOrNothingIsDrawn) {
    QImage icon(64, 64, QImage::Format_ARGB32_Premultiplied);
    icon.fill(QColor(20, 160, 60));
    const LauncherTileContent plain{false, {1, 1, 1, 1}, 2};
    const QImage image = LauncherTileRenderer::tileImage(plain, QImage(), icon);
    EXPECT_TRUE(near(pointColor(image, 1, 1), QColor(20, 160, 60)));
    EXPECT_TRUE(near(pointColor(image, 127, 127), QColor(20, 160, 60)));

    QImage empty(256, 256, QImage::Format_ARGB32_Premultiplied);
    empty.fill(Qt::transparent);
    empty.setDevicePixelRatio(2);
    EXPECT_EQ(LauncherTileRenderer::tileImage(plain, QImage(), QImage()), empty);
}

TEST_F(LauncherTileRendererTest, UserPictureSourcesInOrder) {
    const auto icons = testing::freshDirectory("accounts-icons");
    const auto home = testing::freshDirectory("avatar-home");
    const AvatarLocations locations{icons, "ana", home};
    auto colorOf = [&] {
        const QImage picture = LauncherTileRenderer::currentUserAvatar(locations);
        return picture.isNull() ? QColor() : picture.pixelColor(0, 0);
    };

    testing::writePicture(home / ".face", QColor(200, 0, 0));
    testing::writePicture(icons / "ana", QColor(0, 0, 200));
    EXPECT_EQ(colorOf(), QColor(0, 0, 200));
    // An unreadable account picture falls through to ~/.face.
    std::ofstream(icons / "ana") << "not a picture";
    EXPECT_EQ(colorOf(), QColor(200, 0, 0));
    std::filesystem::remove(icons / "ana");
    EXPECT_EQ(colorOf(), QColor(200, 0, 0));
}

}  // namespace
}  // namespace tavrel
