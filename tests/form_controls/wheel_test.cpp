// The wheel never edits: over any control it scrolls the page, leaves the value alone, calls no
// action (so nothing is saved) and gives the control no focus. Three notches over an opacity
// slider once took it from 1 to 0.91 and saved three times.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

#include <gtest/gtest.h>

#include "core/form/form_content.h"
#include "core/settings_pages/page_registry.h"
#include "tests/form_controls/control_test_support.h"
#include "ui/form/color_well.h"
#include "ui/form/form_renderer.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"
#include "ui/form/wheel_passthrough.h"
#include "ui/settings/feature_sidebar.h"

namespace tavrel {
namespace {

// One wheel notch as the window system delivers it: a spontaneous event to the window, which
// gives it to the widget under the pointer, from where it travels up until someone takes it. (An
// event the program sends itself would not travel; QTest delivers its key events this way.)
// Gives the widget that was under the pointer.
QWidget* wheelOver(QWidget* target, QPoint angleDelta = {0, -120}) {
    QWidget* window = target->window();
    const QPoint local = target->mapTo(window, target->rect().center());
    QWidget* hit = window->childAt(local);
    QWheelEvent event(QPointF(local), QPointF(window->mapToGlobal(local)), QPoint(), angleDelta,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    QCoreApplication::instance()->notify(window->windowHandle(), &event);
    return hit;
}

bool isUnder(QWidget* hit, QWidget* target) {
    return hit == target || (hit && target->isAncestorOf(hit));
}

// A page with one row of each control kind above enough text to scroll, in a scroll area
// shorter than the page.
class WheelOverPage : public ::testing::Test {
protected:
    void SetUp() override {
        test::controlsApplication();
        auto form = std::make_shared<FormContent>();
        form->addCenteredSegment({"外观与位置", "图标", "标识"}, 0, record("分页"));
        form->addSection("控件");
        form->addSwitch("开关", "帮助", true, [this](bool) { actions.push_back("开关"); });
        form->addSlider("不透明度", "帮助", 1, 0, 1, 0,
                        [this](double) { actions.push_back("不透明度"); });
        form->addSegment("对齐", "帮助", {"靠左", "居中", "靠右"}, 1, record("对齐"));
        form->addColor("颜色", "帮助", FormColor{1, 0, 0, 1},
                       [this](FormColor) { actions.push_back("颜色"); });
        form->addButton("按钮", "帮助", std::nullopt, [this] { actions.push_back("按钮"); });
        form->addCustomRow("弹出菜单", "帮助", CustomViewSpec{"pop-up", {}});
        form->addCustomRow("对照", "帮助", CustomViewSpec{"unprotected", {}});
        form->addSection("说明");
        for (int i = 0; i < 20; ++i) form->addInfoBlock("说明 " + std::to_string(i), "正文");

        scroll = std::make_unique<QScrollArea>();
        scroll->setWidgetResizable(true);
        scroll->setWidget(renderForm(form, [this](const CustomViewSpec& spec, QWidget* parent) {
            return makeCustomView(spec, parent);
        }));
        scroll->resize(640, 360);
        scroll->show();
        test::runQueued();
        ASSERT_GT(scroll->verticalScrollBar()->maximum(), 0);
    }

    std::function<void(int)> record(std::string name) {
        return [this, name](int) { actions.push_back(name); };
    }

    // The pop-up and check box of a compound row, and a pop-up left as Qt makes it.
    QWidget* makeCustomView(const CustomViewSpec& spec, QWidget* parent) {
        auto* view = new QWidget(parent);
        auto* layout = new QHBoxLayout(view);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* popUp = new QComboBox(view);
        popUp->addItems({"一", "二", "三"});
        popUp->setCurrentIndex(1);
        layout->addWidget(popUp);
        if (spec.kind == "unprotected") {
            unprotectedPopUp = popUp;
            return view;
        }
        auto* check = new QCheckBox(QStringLiteral("显示"), view);
        layout->addWidget(check);
        passWheelToPage(popUp);
        passWheelToPage(check);
        QObject::connect(popUp, &QComboBox::currentIndexChanged, popUp,
                         [this] { actions.push_back("弹出菜单"); });
        QObject::connect(check, &QCheckBox::toggled, check, [this] { actions.push_back("勾选"); });
        this->popUp = popUp;
        checkBox = check;
        return view;
    }

    template <class W>
    W* control(const char* title) {
        QWidget* row = findFormRow(scroll->widget(), QString::fromUtf8(title));
        return row ? row->findChild<W*>() : nullptr;
    }

    std::unique_ptr<QScrollArea> scroll;
    std::vector<std::string> actions;
    QComboBox* popUp = nullptr;
    QCheckBox* checkBox = nullptr;
    QComboBox* unprotectedPopUp = nullptr;
};

struct WheelCase {
    std::string name;
    QWidget* target;
    std::function<QString()> value;  // the control's state as text
};

TEST_F(WheelOverPage, ScrollsThePageOverEveryControlAndEditsNothing) {
    const auto segments = scroll->widget()->findChildren<SettingsSegmentedControl*>();
    SettingsSegmentedControl* centred = nullptr;
    for (auto* segment : segments) {
        if (segment->segmentCount() == 3 && segment->labels().first() == "外观与位置")
            centred = segment;
    }
    auto* toggle = control<SettingsSwitch>("开关");
    auto* slider = control<SliderRowControl>("不透明度");
    auto* alignment = control<SettingsSegmentedControl>("对齐");
    auto* well = control<ColorWell>("颜色");
    auto* button = control<QPushButton>("按钮");
    ASSERT_TRUE(centred && toggle && slider && alignment && well && button && popUp && checkBox);

    const auto sliderState = [slider] {
        return QString::number(slider->value()) + " " + QString::number(slider->slider()->value()) +
               " " + slider->field()->text();
    };
    const std::vector<WheelCase> cases = {
        {"centred segment", centred, [=] { return QString::number(centred->selectedSegment()); }},
        {"switch", toggle, [=] { return QString::number(toggle->isChecked()); }},
        {"slider", slider->slider(), sliderState},
        {"slider field", slider->field(), sliderState},
        {"segment", alignment, [=] { return QString::number(alignment->selectedSegment()); }},
        {"colour well", well, [=] { return well->color().name(QColor::HexArgb); }},
        {"button", button, [] { return QString(); }},
        {"pop-up", popUp, [this] { return QString::number(popUp->currentIndex()); }},
        {"check box", checkBox, [this] { return QString::number(checkBox->isChecked()); }},
    };
    for (const WheelCase& c : cases) {
        SCOPED_TRACE(c.name);
        scroll->ensureWidgetVisible(c.target, 0, 80);
        scroll->setFocus();
        const QString before = c.value();
        const int position = scroll->verticalScrollBar()->value();
        ASSERT_LT(position, scroll->verticalScrollBar()->maximum());

        EXPECT_TRUE(isUnder(wheelOver(c.target), c.target));
        EXPECT_EQ(c.value().toStdString(), before.toStdString());
        EXPECT_GT(scroll->verticalScrollBar()->value(), position);
        EXPECT_FALSE(isUnder(scroll->window()->focusWidget(), c.target));
    }
    EXPECT_EQ(actions, std::vector<std::string>{});

    // Sideways over the slider: the page has nowhere to go, and the slider stays.
    scroll->ensureWidgetVisible(slider->slider(), 0, 80);
    const QString before = sliderState();
    wheelOver(slider->slider(), {-120, 0});
    EXPECT_EQ(sliderState().toStdString(), before.toStdString());
    EXPECT_EQ(actions, std::vector<std::string>{});
}

TEST_F(WheelOverPage, TheSameNotchEditsAPopUpLeftAsQtMakesIt) {
    // Shows that the notches above reach the controls as a real wheel does: a pop-up without
    // passWheelToPage() changes and takes the focus.
    scroll->ensureWidgetVisible(unprotectedPopUp, 0, 80);
    scroll->setFocus();
    EXPECT_TRUE(isUnder(wheelOver(unprotectedPopUp), unprotectedPopUp));
    EXPECT_NE(unprotectedPopUp->currentIndex(), 1);
    EXPECT_EQ(scroll->window()->focusWidget(), unprotectedPopUp);
}

TEST(WheelOverSidebar, ScrollsTheSidebarOverARowAndItsSwitch) {
    test::controlsApplication();
    FeatureSidebarScrollView sidebar;
    auto* rows = new QWidget;
    auto* layout = new QVBoxLayout(rows);
    std::vector<std::string> actions;
    std::vector<FeatureSidebarButton*> buttons;
    for (FeaturePage page : sidebarFeaturePages()) {
        auto* row = new FeatureSidebarButton(page, rows);
        row->configure(page == FeaturePage::taskbar, true, QString());
        row->onSwitch = [&actions](bool) { actions.push_back("switch"); };
        QObject::connect(row, &QAbstractButton::clicked, row,
                         [&actions] { actions.push_back("row"); });
        layout->addWidget(row);
        buttons.push_back(row);
    }
    sidebar.setWidget(rows);
    sidebar.resize(284, 200);
    sidebar.show();
    test::runQueued();
    ASSERT_GT(sidebar.verticalScrollBar()->maximum(), 0);

    FeatureSidebarButton* row = buttons.at(1);
    for (QWidget* target :
         {static_cast<QWidget*>(row), static_cast<QWidget*>(row->featureSwitch())}) {
        sidebar.ensureWidgetVisible(target, 0, 0);
        const int position = sidebar.verticalScrollBar()->value();
        ASSERT_LT(position, sidebar.verticalScrollBar()->maximum());
        EXPECT_TRUE(isUnder(wheelOver(target), target));
        EXPECT_GT(sidebar.verticalScrollBar()->value(), position);
        EXPECT_TRUE(row->featureSwitch()->isChecked());
        EXPECT_FALSE(row->isSelectedPage());
    }
    EXPECT_EQ(actions, std::vector<std::string>{});
}

}  // namespace
}  // namespace tavrel
