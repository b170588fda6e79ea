// What assistive technologies see of the settings controls, asked of Qt's accessibility layer
// in this process (offscreen): the names and help texts of the rows, the segments as children
// with their state and press action, sliders in the row's units, switches and check boxes with
// a toggle action, and the sidebar row of the shown page.

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include "core/form/form_content.h"
#include "core/settings_pages/feature_page.h"
#include "tests/form_controls/control_test_support.h"
#include "ui/form/form_renderer.h"
#include "ui/form/help_button.h"
#include "ui/form/settings_accessibility.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/settings/feature_sidebar.h"

namespace tavrel {
namespace {

QAccessibleInterface* accessible(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}

QAccessibleActionInterface* actions(QAccessibleInterface* iface) {
    return iface ? iface->actionInterface() : nullptr;
}

QStringList actionNames(QAccessibleInterface* iface) {
    QAccessibleActionInterface* action = actions(iface);
    return action ? action->actionNames() : QStringList();
}

class Accessibility : public ::testing::Test {
protected:
    void SetUp() override {
        test::controlsApplication();
        installSettingsAccessibility();
    }

    // Renders the form in a shown window and keeps both.
    QWidget* show(std::shared_ptr<FormContent> form) {
        content = std::move(form);
        window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(window.get());
        layout->addWidget(renderForm(content, {}, window.get()));
        window->resize(640, 700);
        window->show();
        test::runQueued();
        return window.get();
    }

    template <class W>
    W* control(const char* title) {
        QWidget* row = findFormRow(window.get(), QString::fromUtf8(title));
        return row ? row->findChild<W*>() : nullptr;
    }

    std::shared_ptr<FormContent> content;
    std::unique_ptr<QWidget> window;
    std::vector<std::string> log;
};

struct SegmentCase {
    const char* name;
    bool tabRow;
    QAccessible::Role group;
    QAccessible::Role segment;
};

class SegmentAccessibility : public Accessibility,
                             public ::testing::WithParamInterface<SegmentCase> {};

TEST_P(SegmentAccessibility, SegmentsAreChildrenWithLabelStateAndAPressActionThatSelects) {
    const SegmentCase& c = GetParam();
    auto form = std::make_shared<FormContent>();
    form->addSegment("对齐", "帮助", {"靠左", "居中", "靠右"}, 1,
                     [this](int index) { log.push_back("segment " + std::to_string(index)); });
    show(form);
    auto* segmented = control<SettingsSegmentedControl>("对齐");
    ASSERT_TRUE(segmented);
    segmented->setTabRow(c.tabRow);

    QAccessibleInterface* group = accessible(segmented);
    ASSERT_TRUE(group);
    EXPECT_EQ(group->role(), c.group);
    EXPECT_EQ(group->text(QAccessible::Name), "对齐");
    ASSERT_EQ(group->childCount(), 3);
    const QStringList labels = {"靠左", "居中", "靠右"};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        QAccessibleInterface* segment = group->child(i);
        ASSERT_TRUE(segment && segment->isValid());
        EXPECT_EQ(segment->role(), c.segment);
        EXPECT_EQ(segment->text(QAccessible::Name), labels[i]);
        EXPECT_EQ(segment->state().checked, i == 1);
        EXPECT_EQ(segment->state().selected, i == 1);
        EXPECT_TRUE(segment->state().selectable);
        EXPECT_EQ(segment->parent(), group);
        EXPECT_EQ(group->indexOfChild(segment), i);
        EXPECT_EQ(group->child(i), segment);  // one interface per segment
        // Where it is drawn, and found there.
        const QRect drawn = segmented->segmentRect(i).toAlignedRect();
        EXPECT_EQ(segment->rect(), QRect(segmented->mapToGlobal(drawn.topLeft()), drawn.size()));
        EXPECT_EQ(group->childAt(segment->rect().center().x(), segment->rect().center().y()),
                  segment);
        EXPECT_EQ(actionNames(segment), QStringList{QAccessibleActionInterface::pressAction()});
    }

    // Pressing the third selects it as a click does, once the event loop turns.
    actions(group->child(2))->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(log, std::vector<std::string>{});
    test::runQueued();
    EXPECT_EQ(log, std::vector<std::string>{"segment 2"});
    EXPECT_EQ(segmented->selectedSegment(), 2);
    EXPECT_TRUE(group->child(2)->state().checked);
    EXPECT_FALSE(group->child(1)->state().checked);

    // A disabled control offers nothing to press.
    segmented->setEnabled(false);
    EXPECT_EQ(actionNames(group->child(0)), QStringList{});
    EXPECT_TRUE(group->child(0)->state().disabled);
}

INSTANTIATE_TEST_SUITE_P(Kinds, SegmentAccessibility,
                         ::testing::Values(SegmentCase{"RadioGroup", false, QAccessible::Grouping,
                                                       QAccessible::RadioButton},
                                           SegmentCase{"TabRow", true, QAccessible::PageTabList,
                                                       QAccessible::PageTab}),
                         [](const auto& param) { return std::string(param.param.name); });

TEST_F(Accessibility, SegmentInterfacesEndWithTheirControl) {
    auto* segmented = new SettingsSegmentedControl({"一", "二"}, 0);
    QAccessibleInterface* segment = accessible(segmented)->child(1);
    const QAccessible::Id id = QAccessible::uniqueId(segment);
    ASSERT_EQ(QAccessible::accessibleInterface(id), segment);
    delete segmented;
    EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
}

struct SliderCase {
    const char* name;
    double requested;
    std::vector<double> acted;  // what the row's action receives
    double shown;               // the value afterwards
};

void PrintTo(const SliderCase& c, std::ostream* out) {
    *out << c.name;
}

class SliderAccessibility : public Accessibility,
                            public ::testing::WithParamInterface<SliderCase> {};

TEST_P(SliderAccessibility, TakesValuesInTheRowsUnitsThroughTheDragPath) {
    const SliderCase& c = GetParam();
    std::vector<double> acted;
    auto form = std::make_shared<FormContent>();
    // A corner radius of 18 on a 0…40 range in steps of 1; 25 is refused.
    form->addSlider(
        "背景圆角", "帮助", 18, 0, 40, 1, [&acted](double value) { acted.push_back(value); },
        formatWholeNumber, [](double value) { return value != 25; });
    show(form);
    auto* slider = control<SliderRowControl>("背景圆角");
    ASSERT_TRUE(slider);

    QAccessibleInterface* iface = accessible(slider->slider());
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->role(), QAccessible::Slider);
    QAccessibleValueInterface* value = iface->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->currentValue().toDouble(), 18);
    EXPECT_EQ(value->minimumValue().toDouble(), 0);
    EXPECT_EQ(value->maximumValue().toDouble(), 40);
    EXPECT_EQ(value->minimumStepSize().toDouble(), 1);
    EXPECT_EQ(iface->text(QAccessible::Value), "18");

    value->setCurrentValue(c.requested);
    test::runQueued();
    EXPECT_EQ(acted, c.acted);
    EXPECT_EQ(value->currentValue().toDouble(), c.shown);
    EXPECT_EQ(slider->field()->text(), QString::fromStdString(formatWholeNumber(c.shown)));
    EXPECT_DOUBLE_EQ(slider->sliderValue(), c.shown);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SliderAccessibility,
    ::testing::Values(SliderCase{"Stepped", 22.4, {22}, 22},
                      SliderCase{"AboveTheRange", 500, {40}, 40},
                      SliderCase{"BelowTheRange", -3, {0}, 0}, SliderCase{"Refused", 25, {}, 18},
                      SliderCase{"NotANumber", std::numeric_limits<double>::quiet_NaN(), {}, 18},
                      SliderCase{"Infinite", std::numeric_limits<double>::infinity(), {}, 18}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(Accessibility, SliderWithoutAStepMovesByAHundredthOfItsRange) {
    auto form = std::make_shared<FormContent>();
    form->addSlider("不透明度", "帮助", 0.5, 0, 1, 0, [](double) {});
    show(form);
    QAccessibleValueInterface* value =
        accessible(control<SliderRowControl>("不透明度")->slider())->valueInterface();
    ASSERT_TRUE(value);
    EXPECT_DOUBLE_EQ(value->minimumStepSize().toDouble(), 0.01);
    EXPECT_EQ(value->currentValue().toDouble(), 0.5);
}

TEST_F(Accessibility, DescribedControlsCarryTheRowTitleAndHelpText) {
    auto form = std::make_shared<FormContent>();
    form->addSlider("背景圆角", "", 18, 0, 40, 1, [](double) {});
    show(form);
    auto* slider = control<SliderRowControl>("背景圆角");
    describeControl(slider, "背景圆角", "任务栏背景的圆角半径。");
    QAccessibleInterface* handle = accessible(slider->slider());
    EXPECT_EQ(handle->text(QAccessible::Name), "背景圆角");
    EXPECT_EQ(handle->text(QAccessible::Description), "任务栏背景的圆角半径。");
    QAccessibleInterface* field = accessible(slider->field());
    EXPECT_EQ(field->text(QAccessible::Name), "背景圆角 数值");
    EXPECT_EQ(field->text(QAccessible::Description), "任务栏背景的圆角半径。");

    SettingsSwitch toggle;
    describeControl(&toggle, "显示时间", "在任务栏右侧显示时间。");
    EXPECT_EQ(accessible(&toggle)->text(QAccessible::Name), "显示时间");
    EXPECT_EQ(accessible(&toggle)->text(QAccessible::Description), "在任务栏右侧显示时间。");

    HelpButton help(QStringLiteral("在任务栏右侧显示时间。"));
    EXPECT_EQ(accessible(&help)->text(QAccessible::Name), "说明");
    EXPECT_EQ(accessible(&help)->text(QAccessible::Description), "在任务栏右侧显示时间。");
}

TEST_F(Accessibility, SwitchRowTogglesThroughItsActionAndRunsTheRowAction) {
    auto form = std::make_shared<FormContent>();
    form->addSwitch("显示时间", "帮助", false,
                    [this](bool on) { log.push_back(on ? "on" : "off"); });
    show(form);
    auto* toggle = control<SettingsSwitch>("显示时间");
    QAccessibleInterface* iface = accessible(toggle);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_EQ(iface->text(QAccessible::Name), "显示时间");
    EXPECT_TRUE(iface->state().checkable);
    EXPECT_FALSE(iface->state().checked);
    ASSERT_TRUE(actionNames(iface).contains(QAccessibleActionInterface::toggleAction()));

    actions(iface)->doAction(QAccessibleActionInterface::toggleAction());
    test::runQueued();
    EXPECT_TRUE(toggle->isChecked());
    EXPECT_TRUE(iface->state().checked);
    actions(iface)->doAction(QAccessibleActionInterface::toggleAction());
    test::runQueued();
    EXPECT_EQ(log, (std::vector<std::string>{"on", "off"}));

    toggle->setEnabled(false);
    EXPECT_FALSE(actionNames(iface).contains(QAccessibleActionInterface::toggleAction()));
    actions(iface)->doAction(QAccessibleActionInterface::toggleAction());
    test::runQueued();
    EXPECT_EQ(log.size(), 2u);
}

TEST_F(Accessibility, DescribedCheckBoxTogglesAsAClick) {
    QCheckBox check(QStringLiteral("显示"));
    describeControl(&check, "显示标题", "帮助");
    std::vector<std::string> seen;
    QObject::connect(&check, &QCheckBox::clicked,
                     [&](bool on) { seen.push_back(on ? "clicked on" : "clicked off"); });
    QAccessibleInterface* iface = accessible(&check);
    EXPECT_EQ(iface->role(), QAccessible::CheckBox);
    EXPECT_EQ(iface->text(QAccessible::Name), "显示标题");
    EXPECT_EQ(iface->text(QAccessible::Description), "帮助");
    actions(iface)->doAction(QAccessibleActionInterface::toggleAction());
    test::runQueued();
    EXPECT_TRUE(check.isChecked());
    EXPECT_TRUE(iface->state().checked);
    EXPECT_EQ(seen, std::vector<std::string>{"clicked on"});

    check.setTristate(true);
    check.setCheckState(Qt::PartiallyChecked);
    EXPECT_TRUE(iface->state().checkStateMixed);
    EXPECT_FALSE(iface->state().checked);
}

TEST_F(Accessibility, TheShownPagesSidebarRowIsSelectedAndRowsPressToShowTheirPage) {
    QWidget sidebar;
    auto* layout = new QVBoxLayout(&sidebar);
    std::vector<FeatureSidebarButton*> rows;
    std::vector<std::string> pressed;
    for (FeaturePage page : {FeaturePage::taskbar, FeaturePage::switcher}) {
        auto* row = new FeatureSidebarButton(page, &sidebar);
        row->configure(page == FeaturePage::taskbar, true, QStringLiteral("已开启"));
        QObject::connect(row, &QAbstractButton::clicked, row, [&pressed, page] {
            pressed.push_back(std::string(featurePageInfo(page).title));
        });
        layout->addWidget(row);
        rows.push_back(row);
    }
    sidebar.show();
    test::runQueued();

    const auto title = [](FeaturePage page) {
        return QString::fromUtf8(featurePageInfo(page).title.data(),
                                 static_cast<int>(featurePageInfo(page).title.size()));
    };
    QAccessibleInterface* shown = accessible(rows[0]);
    QAccessibleInterface* other = accessible(rows[1]);
    EXPECT_EQ(shown->role(), QAccessible::PageTab);
    EXPECT_EQ(shown->text(QAccessible::Name), title(FeaturePage::taskbar));
    EXPECT_TRUE(shown->state().selected);
    EXPECT_TRUE(shown->state().checked);
    EXPECT_FALSE(other->state().selected);
    EXPECT_FALSE(other->state().checked);
    QAccessibleInterface* toggle = accessible(rows[1]->featureSwitch());
    EXPECT_EQ(toggle->text(QAccessible::Name), title(FeaturePage::switcher));
    EXPECT_EQ(toggle->parent(), other);

    ASSERT_TRUE(actionNames(other).contains(QAccessibleActionInterface::pressAction()));
    actions(other)->doAction(QAccessibleActionInterface::pressAction());
    test::runQueued();
    EXPECT_EQ(pressed,
              std::vector<std::string>{std::string(featurePageInfo(FeaturePage::switcher).title)});

    // The window shows the other page: the selection moves.
    rows[0]->configure(false, true, QStringLiteral("已开启"));
    rows[1]->configure(true, true, QStringLiteral("已开启"));
    EXPECT_FALSE(shown->state().selected);
    EXPECT_TRUE(other->state().selected);
}

}  // namespace
}  // namespace tavrel
