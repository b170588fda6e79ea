// The form toolkit as data: the slider/field normalisation and validation order, field reading,
// formatters, segment widths, separators and the help popup's placement.

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/form/form_content.h"
#include "core/form/form_layout.h"
#include "core/form/slider_model.h"

namespace tavrel {
namespace {

struct SliderCase {
    const char* name;
    SliderRange range;
    double initial;
    std::string typed;
    std::string shown;
    std::optional<double> acted;
};

void PrintTo(const SliderCase& c, std::ostream* out) {
    *out << c.name;
}

class SliderFieldTest : public ::testing::TestWithParam<SliderCase> {};

TEST_P(SliderFieldTest, FieldCommitNormalisesShowsAndActs) {
    const SliderCase& c = GetParam();
    SliderModel model(c.range, c.initial);
    const SliderUpdate update = model.fieldCommitted(c.typed);
    EXPECT_EQ(update.fieldText, c.shown);
    EXPECT_EQ(update.actionValue, c.acted);
    if (c.acted) {
        EXPECT_DOUBLE_EQ(update.sliderValue, *c.acted);
        EXPECT_DOUBLE_EQ(model.value(), *c.acted);
    }
}

constexpr SliderRange kStep5{30, 200, 5};
INSTANTIATE_TEST_SUITE_P(
    Cases, SliderFieldTest,
    ::testing::Values(
        SliderCase{"RoundsToStep", kStep5, 100, "33", "35.0", 35},
        SliderCase{"RoundsUpToMax", kStep5, 100, "199", "200.0", 200},
        SliderCase{"ClampsAboveMax", kStep5, 100, "500", "200.0", 200},
        SliderCase{"TextReadsAsZeroThenMin", kStep5, 100, "abc", "30.0", 30},
        SliderCase{"EmptyReadsAsZero", kStep5, 100, "", "30.0", 30},
        SliderCase{"StepCountsFromZeroNotMin", SliderRange{3, 20, 5}, 10, "4", "5.0", 5},
        SliderCase{"HalfStepRoundsAwayFromZero", SliderRange{-100, 100, 5}, 0, "-2.5", "-5.0", -5},
        SliderCase{"LeadingNumberCounts", kStep5, 100, " 45abc", "45.0", 45},
        SliderCase{"NoStepKeepsFraction", SliderRange{0, 1, 0}, 0.5, "0.123", "0.1", 0.123},
        SliderCase{"HugeExponentClamps", kStep5, 100, "1e999", "200.0", 200}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(SliderModelTest, DraggingWithoutStepActsWithUnroundedValuesAndShowsOneDecimal) {
    SliderModel model(SliderRange{0, 1, 0}, 0.2);
    EXPECT_EQ(model.fieldText(), "0.2");
    for (double raw : {0.337, 0.9999, 0.05}) {
        const SliderUpdate update = model.sliderMoved(raw);
        EXPECT_EQ(update.actionValue, raw);
        EXPECT_DOUBLE_EQ(update.sliderValue, raw);
    }
    EXPECT_EQ(model.sliderMoved(0.337).fieldText, "0.3");
    EXPECT_EQ(model.sliderMoved(1.5).actionValue, 1.0);
}

TEST(SliderModelTest, StoredValueOutsideRangeIsClampedBeforeShown) {
    EXPECT_DOUBLE_EQ(SliderModel(kStep5, 1000).value(), 200);
    EXPECT_DOUBLE_EQ(SliderModel(kStep5, -4).value(), 30);
    EXPECT_EQ(SliderModel(kStep5, 31).fieldText(), "30.0");
}

TEST(SliderModelTest, RefusedValueRestoresBothControlsAndSkipsTheAction) {
    std::vector<double> asked;
    SliderModel model(SliderRange{0, 120, 0}, 8, {}, [&](double value) {
        asked.push_back(value);
        return value <= 10;
    });
    const SliderUpdate refused = model.sliderMoved(40);
    EXPECT_FALSE(refused.actionValue);
    EXPECT_DOUBLE_EQ(refused.sliderValue, 8);
    EXPECT_EQ(refused.fieldText, "8.0");
    EXPECT_DOUBLE_EQ(model.value(), 8);

    const SliderUpdate refusedField = model.fieldCommitted("999");
    EXPECT_FALSE(refusedField.actionValue);
    EXPECT_EQ(refusedField.fieldText, "8.0");

    EXPECT_EQ(model.fieldCommitted("9.5").actionValue, 9.5);
    // The validator sees normalised values only.
    EXPECT_EQ(asked, (std::vector<double>{40, 120, 9.5}));
}

TEST(SliderModelTest, FormatterShapesTheField) {
    SliderModel model(SliderRange{0, 100, 0}, 42.5, formatPercent);
    EXPECT_EQ(model.fieldText(), "43%");
    EXPECT_EQ(model.fieldCommitted("12%").fieldText, "12%");
}

TEST(FormattersTest, WholeNumberAndPercentRoundHalvesAwayFromZero) {
    struct Case {
        double value;
        const char* oneDecimal;
        const char* whole;
        const char* percent;
    };
    for (const Case& c : {Case{2.5, "2.5", "3", "3%"}, Case{-2.5, "-2.5", "-3", "-3%"},
                          Case{0.05, "0.1", "0", "0%"}, Case{-0.04, "0.0", "0", "0%"},
                          Case{199.96, "200.0", "200", "200%"}, Case{19.7, "19.7", "20", "20%"}}) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(formatOneDecimal(c.value), c.oneDecimal);
        EXPECT_EQ(formatWholeNumber(c.value), c.whole);
        EXPECT_EQ(formatPercent(c.value), c.percent);
    }
}

TEST(SegmentLayoutTest, WidthRule) {
    struct Case {
        std::vector<double> labels;
        double segment;
        double control;
    };
    for (const Case& c : {
             Case{{26, 26}, 92, 184},       // "靠左", "居中"
             Case{{26}, 92, 166},           // never below 166
             Case{{50.2, 20}, 93, 186},     // widest rounded up, + 42
             Case{{78, 78, 96}, 138, 414},  // three long labels
             Case{{}, 92, 166},
         }) {
        const SegmentLayout layout = segmentLayout(c.labels);
        EXPECT_DOUBLE_EQ(layout.segmentWidth, c.segment);
        EXPECT_DOUBLE_EQ(layout.controlWidth, c.control);
        EXPECT_DOUBLE_EQ(layout.height, 30);
    }
}

TEST(FormContentTest, RowsGoIntoCardsWithSeparatorsAfterTheFirst) {
    FormContent form;
    form.addSwitch("a", "", true, {});  // opens the default section
    form.addSection("外观");
    form.addSlider("b", "", 0, 0, 1, 0, {});
    form.addSegment("c", "", {"x"}, 0, {});
    form.addCustomView(CustomViewSpec{"banner", {}});
    form.addButton("d", "", std::nullopt, {});  // after a custom view: a new card

    std::vector<std::pair<std::string, std::vector<bool>>> cards;
    for (const FormItem& item : form.items()) {
        if (const auto* section = std::get_if<FormSection>(&item)) {
            std::vector<bool> separators;
            for (std::size_t i = 0; i < section->rows.size(); ++i) {
                separators.push_back(hasSeparatorBefore(i));
            }
            cards.emplace_back(section->title, separators);
        }
    }
    const std::vector<std::pair<std::string, std::vector<bool>>> expected{
        {"设置", {false}}, {"外观", {false, true}}, {"设置", {false}}};
    EXPECT_EQ(cards, expected);
    EXPECT_EQ(form.rowTitles(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(HelpPopupTest, SizeIsClampedToItsBounds) {
    EXPECT_EQ(helpPopupSize({10, 10}), (FormSize{180, 42}));
    EXPECT_EQ(helpPopupSize({200.2, 40.1}), (FormSize{225, 61}));
    EXPECT_EQ(helpPopupSize({290, 240}), (FormSize{300, 260}));
}

TEST(HelpPopupTest, PlacementStaysEightPointsInsideTheVisibleFrame) {
    const FormRect screen{0, 0, 1440, 900};
    const FormSize popup{200, 60};
    struct Case {
        const char* name;
        FormRect button;
        FormPoint origin;
    };
    for (const Case& c : {
             Case{"RightOfButtonCentred", {400, 300, 18, 18}, {426, 279}},
             Case{"NearRightEdgeClampsLeft", {1420, 300, 18, 18}, {1232, 279}},
             Case{"NearTopEdge", {400, 0, 18, 18}, {426, 8}},
             Case{"NearBottomEdge", {400, 890, 18, 18}, {426, 832}},
             Case{"LeftOfScreen", {-50, 300, 18, 18}, {8, 279}},
         }) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(helpPopupOrigin(c.button, popup, screen), c.origin);
    }
    // A screen that does not start at the origin.
    EXPECT_EQ(helpPopupOrigin({3000, 100, 18, 18}, popup, {1440, 0, 1920, 1080}),
              (FormPoint{3026, 79}));
    EXPECT_EQ(helpPopupOrigin({3340, 100, 18, 18}, popup, {1440, 0, 1920, 1080}),
              (FormPoint{3152, 79}));
}

TEST(ScrollClampTest, OffsetsStayWithinTheContent) {
    EXPECT_DOUBLE_EQ(clampScrollOffset(300, 1000, 600), 300);
    EXPECT_DOUBLE_EQ(clampScrollOffset(700, 1000, 600), 400);
    EXPECT_DOUBLE_EQ(clampScrollOffset(-20, 1000, 600), 0);
    EXPECT_DOUBLE_EQ(clampScrollOffset(50, 400, 600), 0);
}

}  // namespace
}  // namespace tavrel
