// The Qt renderer, once per row kind (offscreen): each control shows its row's value, reaches
// its row's action with normalised values, keeps the card anatomy, and works by keyboard.

#include "ui/form/form_renderer.h"

#include <memory>
#include <optional>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include "core/form/form_content.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/color_well.h"
#include "ui/form/help_button.h"
#include "ui/form/help_popup_window.h"
#include "ui/form/settings_segmented_control.h"
#include "ui/form/settings_selectable_label.h"
#include "ui/form/settings_switch.h"
#include "ui/form/slider_row_control.h"

namespace tavrel {
namespace {

template <class W>
W* controlOf(QWidget* form, const char* title) {
    QWidget* row = findFormRow(form, QString::fromUtf8(title));
    EXPECT_NE(row, nullptr) << title;
    if (!row) return nullptr;
    W* widget = row->findChild<W*>();
    EXPECT_NE(widget, nullptr) << title;
    return widget;
}

class FormRendererTest : public ::testing::Test {
protected:
    void SetUp() override { test::widgetApplication(); }

    void show(std::shared_ptr<FormContent> form, FormViews factory = {}) {
        content = std::move(form);
        view.reset(renderForm(content, factory));
        view->resize(640, 900);
        view->show();
        test::settle();
    }

    std::shared_ptr<FormContent> content;
    std::unique_ptr<FormView> view;
};

TEST_F(FormRendererTest, EveryRowKindShowsItsValueAndReachesItsAction) {
    std::vector<std::string> log;
    auto form = std::make_shared<FormContent>();
    form->addSection("一");
    form->addSwitch("开关", "帮助", true, [&](bool on) { log.push_back(on ? "on" : "off"); });
    form->addSlider("滑块", "帮助", 100, 30, 200, 5,
                    [&](double v) { log.push_back("slider " + formatOneDecimal(v)); });
    form->addSegment("分段", "帮助", {"靠左", "居中"}, 1,
                     [&](int index) { log.push_back("segment " + std::to_string(index)); });
    form->addSection("二");
    form->addColor("颜色", "帮助", FormColor{1, 0, 0, 1},
                   [&](FormColor c) { log.push_back(c.blue == 1.0 ? "blue" : "other"); });
    form->addButton("按钮", "帮助", std::string("info.circle"), [&] { log.push_back("button"); });
    form->addInfoBlock("说明", "正文");
    form->addCustomRow("自定义", "帮助", CustomViewSpec{"row-view", {}});
    form->addCustomView(CustomViewSpec{"column-view", {}});
    form->addCenteredSegment({"甲", "乙", "丙"}, 0,
                             [&](int index) { log.push_back("centred " + std::to_string(index)); });
    std::vector<std::string> built;
    show(form, [&](const CustomViewSpec& spec, QWidget* parent) {
        built.push_back(spec.kind);
        auto* widget = new QWidget(parent);
        widget->setObjectName(QString::fromStdString(spec.kind));
        return widget;
    });
    EXPECT_EQ(built, (std::vector<std::string>{"row-view", "column-view"}));

    auto* toggle = controlOf<SettingsSwitch>(view.get(), "开关");
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(toggle->isChecked());
    // Screen readers read the row's title and its help text.
    EXPECT_EQ(toggle->accessibleName(), "开关");
    EXPECT_EQ(toggle->accessibleDescription(), "帮助");
    toggle->click();

    auto* slider = controlOf<SliderRowControl>(view.get(), "滑块");
    ASSERT_TRUE(slider);
    EXPECT_EQ(slider->field()->text(), "100.0");
    slider->field()->setText("33");
    emit slider->field()->editingFinished();
    EXPECT_EQ(slider->field()->text(), "35.0");
    EXPECT_NEAR(slider->sliderValue(), 35, 0.01);
    slider->slider()->setValue(SliderRowControl::ticks);  // dragged to the end
    EXPECT_EQ(slider->field()->text(), "200.0");

    auto* segment = controlOf<SettingsSegmentedControl>(view.get(), "分段");
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->selectedSegment(), 1);
    EXPECT_EQ(segment->width(), 184);
    QTest::mouseClick(segment, Qt::LeftButton, {}, segment->segmentRect(0).center().toPoint());

    auto* well = controlOf<ColorWell>(view.get(), "颜色");
    ASSERT_TRUE(well);
    EXPECT_EQ(well->color(), QColor(255, 0, 0));
    well->chooseColor(QColor(0, 0, 255));

    auto* button = controlOf<QPushButton>(view.get(), "按钮");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->text(), "按钮");
    EXPECT_EQ(button->size(), QSize(118, 30));
    button->click();

    QWidget* info = findFormRow(view.get(), "说明");
    ASSERT_TRUE(info);
    QStringList texts;
    for (auto* label : info->findChildren<QLabel*>()) texts << label->text();
    EXPECT_EQ(texts, (QStringList{"说明", "正文"}));

    EXPECT_TRUE(findFormRow(view.get(), "自定义")->findChild<QWidget*>("row-view"));
    auto* centred = view->findChild<QWidget*>(FormWidgetNames::centeredSegment);
    ASSERT_TRUE(centred);
    auto* centredControl = centred->findChild<SettingsSegmentedControl*>();
    centredControl->clickSegment(2);

    EXPECT_EQ(log, (std::vector<std::string>{"off", "slider 35.0", "slider 200.0", "segment 0",
                                             "blue", "button", "centred 2"}));
}

TEST_F(FormRendererTest, CardsHaveASeparatorBetweenRowsOnly) {
    auto form = std::make_shared<FormContent>();
    form->addSection("甲");
    for (const char* title : {"a", "b", "c"}) form->addSwitch(title, "", false, {});
    form->addSection("乙");
    form->addSwitch("d", "", false, {});
    show(form);
    std::vector<int> separators;
    for (QWidget* card : view->findChildren<QWidget*>(FormWidgetNames::card)) {
        separators.push_back(static_cast<int>(formCardSeparators(card).size()));
    }
    EXPECT_EQ(separators, (std::vector<int>{2, 0}));
    // The first row's top edge is the card's; each hairline lies just above a following row,
    // inset 14 at both ends.
    QWidget* first = findFormRow(view.get(), "a");
    QWidget* card = first->parentWidget();
    EXPECT_EQ(first->y(), formCardRect(card).top());
    const auto lines = formCardSeparators(card);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].bottom() + 1, findFormRow(view.get(), "b")->y());
    EXPECT_EQ(lines[0].left(), 14);
    EXPECT_EQ(lines[0].width(), card->width() - 28);
}

TEST_F(FormRendererTest, TextRowsCardBlocksAndCompoundRows) {
    std::vector<std::string> log;
    int modifiers = 8;  // a model that refuses to lose its last bit
    int key = 49;
    auto form = std::make_shared<FormContent>();
    form->addSection("列表");
    form->addTextRow("暂无内容");
    form->addCardBlock("表格", CustomViewSpec{"table", {}});
    CompoundButton restore;
    restore.title = "恢复显示";
    restore.action = [&] { log.push_back("restore"); };
    form->addCompoundRow("Safari", "",
                         {CompoundIcon{FormIcon{"/Applications/Safari.app", "", "app"}},
                          CompoundIcon{FormIcon{"", "", "app"}}, restore});
    CompoundSwitch toggle;
    toggle.isOn = true;
    toggle.toolTip = "从 Dock 移除";
    toggle.width = 42;
    toggle.action = [&](bool on) { log.push_back(on ? "on" : "off"); };
    CompoundButton trash;
    trash.symbolName = "trash";
    trash.toolTip = "删除文件夹";
    trash.width = 34;
    trash.action = [&] { log.push_back("trash"); };
    CompoundCheckBox command;
    command.title = "⌘";
    command.toolTip = "Command";
    command.state = [&] { return (modifiers & 8) != 0; };
    command.action = [&](bool on) {
        log.push_back(on ? "⌘ on" : "⌘ off");
        if (on || modifiers != 8) modifiers = on ? modifiers | 8 : modifiers & ~8;
    };
    CompoundPopUp keys;
    keys.items = {{"Space", 49}, {"Tab", 48}, {"A", 0}};
    keys.toolTip = "按键";
    keys.selectedTag = [&] { return key; };
    keys.action = [&](int tag) {
        log.push_back("key " + std::to_string(tag));
        key = tag;
    };
    form->addCompoundRow("文件夹", "2 个应用", {toggle, trash, command, keys});
    show(form, FormViews{[](const CustomViewSpec& spec, QWidget* parent) {
                             auto* widget = new QWidget(parent);
                             widget->setObjectName(QString::fromStdString(spec.kind));
                             widget->setMinimumHeight(150);
                             return widget;
                         },
                         [](const FormIcon& icon) {
                             // Only the file has a picture of its own.
                             QPixmap picture(28, 28);
                             picture.fill(Qt::red);
                             return icon.file.empty() ? QIcon() : QIcon(picture);
                         }});

    // A text row is its title alone; a card block spans the card and follows the separator rule.
    QWidget* text = findFormRow(view.get(), "暂无内容");
    ASSERT_TRUE(text);
    EXPECT_EQ(text->findChild<HelpButton*>(), nullptr);
    QWidget* block = findFormRow(view.get(), "表格");
    ASSERT_TRUE(block);
    QWidget* card = block->parentWidget();
    EXPECT_EQ(block->width(), card->width());
    EXPECT_EQ(block->findChild<QWidget*>("table")->width(), card->width());
    EXPECT_EQ(formCardSeparators(card).size(), 3u);

    // Icons: the resolver's picture, else the symbol.
    const auto icons = findFormRow(view.get(), "Safari")->findChildren<QLabel*>("formCompoundIcon");
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0]->size(), QSize(28, 28));
    EXPECT_EQ(icons[0]->pixmap().toImage().pixelColor(14, 14), QColor(Qt::red));
    EXPECT_FALSE(icons[1]->pixmap().isNull());
    controlOf<QPushButton>(view.get(), "Safari")->click();

    QWidget* folder = findFormRow(view.get(), "文件夹");
    auto* folderSwitch = folder->findChild<SettingsSwitch*>();
    EXPECT_EQ(folderSwitch->width(), 42);
    EXPECT_EQ(folderSwitch->toolTip(), "从 Dock 移除");
    folderSwitch->click();
    auto* trashButton = folder->findChild<QPushButton*>();
    EXPECT_EQ(trashButton->size(), QSize(34, 30));
    EXPECT_EQ(trashButton->accessibleName(), "删除文件夹");
    trashButton->click();
    // Unchecking the last modifier is refused: the box shows the model's state again.
    auto* box = folder->findChild<QCheckBox*>();
    ASSERT_TRUE(box);
    EXPECT_TRUE(box->isChecked());
    box->click();
    EXPECT_TRUE(box->isChecked());
    auto* popUp = folder->findChild<QComboBox*>();
    ASSERT_TRUE(popUp);
    EXPECT_EQ(popUp->currentText(), "Space");
    EXPECT_EQ(popUp->size(), QSize(92, 30));
    popUp->setCurrentIndex(2);
    emit popUp->activated(2);
    EXPECT_EQ(key, 0);
    EXPECT_EQ(log, (std::vector<std::string>{"restore", "off", "trash", "⌘ off", "key 0"}));
}

TEST_F(FormRendererTest, RefusedSliderValueSnapsBackWithoutAction) {
    std::vector<double> acted;
    auto form = std::make_shared<FormContent>();
    form->addSlider(
        "距离", "", 8, 0, 120, 0, [&](double v) { acted.push_back(v); }, {},
        [](double v) { return v <= 10; });
    show(form);
    auto* slider = controlOf<SliderRowControl>(view.get(), "距离");
    slider->slider()->setValue(SliderRowControl::ticks / 2);  // 60: refused
    EXPECT_NEAR(slider->sliderValue(), 8, 0.02);
    EXPECT_EQ(slider->field()->text(), "8.0");
    slider->field()->setText("9");
    emit slider->field()->editingFinished();
    EXPECT_EQ(acted, std::vector<double>{9});
}

TEST_F(FormRendererTest, KeyboardReachesRowsTogglesSwitchesAndMovesSliders) {
    std::vector<std::string> log;
    auto form = std::make_shared<FormContent>();
    form->addSwitch("开关", "", false, [&](bool on) { log.push_back(on ? "on" : "off"); });
    form->addSlider("步进", "", 50, 30, 200, 5,
                    [&](double v) { log.push_back("slider " + formatOneDecimal(v)); });
    form->addSegment("分段", "", {"一", "二"}, 0,
                     [&](int index) { log.push_back("segment " + std::to_string(index)); });
    show(form);
    view->activateWindow();
    auto* toggle = controlOf<SettingsSwitch>(view.get(), "开关");
    toggle->setFocus();
    QTest::keyClick(toggle, Qt::Key_Space);

    // Tab moves on to the slider (past the next row's help button).
    auto* slider = controlOf<SliderRowControl>(view.get(), "步进");
    QWidget* focus = toggle;
    for (int i = 0; i < 4 && focus != slider->slider(); ++i) {
        QTest::keyClick(focus, Qt::Key_Tab);
        focus = QApplication::focusWidget();
    }
    ASSERT_EQ(focus, slider->slider());
    QTest::keyClick(slider->slider(), Qt::Key_Right);
    QTest::keyClick(slider->slider(), Qt::Key_Right);
    QTest::keyClick(slider->slider(), Qt::Key_Left);

    auto* segment = controlOf<SettingsSegmentedControl>(view.get(), "分段");
    segment->setFocus();
    QTest::keyClick(segment, Qt::Key_Right);
    EXPECT_EQ(log, (std::vector<std::string>{"on", "slider 55.0", "slider 60.0", "slider 55.0",
                                             "segment 1"}));
}

TEST_F(FormRendererTest, HelpPopupOpensBesideItsButtonInsideTheScreen) {
    auto form = std::make_shared<FormContent>();
    form->addSwitch("开关", "这是一段帮助文字。", false, {});
    show(form);
    auto* help = view->findChild<HelpButton*>();
    ASSERT_TRUE(help);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();

    // Near the left: to the right of the button, vertically centred on it.
    view->move(screen.left() + 20, screen.top() + 100);
    test::settle();
    help->showHelp();
    HelpPopupWindow* popup = HelpPopupWindow::existing();
    ASSERT_TRUE(popup);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->text(), "这是一段帮助文字。");
    const QRect button(help->mapToGlobal(QPoint(0, 0)), help->size());
    EXPECT_EQ(popup->x(), button.right() + 1 + 8);
    EXPECT_NEAR(popup->geometry().center().y(), button.center().y(), 1.5);
    EXPECT_GE(popup->width(), 180);

    // Near the right edge: pulled back to 8 inside the visible frame.
    view->move(screen.right() - help->mapTo(view.get(), QPoint(0, 0)).x() - 30, screen.top() + 100);
    test::settle();
    help->showHelp();
    EXPECT_EQ(popup->x() + popup->width(), screen.right() + 1 - 8);
    help->hideHelp();
    EXPECT_FALSE(popup->isVisible());
}

TEST(SelectableLabelTest, APlainClickActsAMoveOfFourPointsDoesNot) {
    test::widgetApplication();
    struct Case {
        int moved;
        bool acts;
    };
    for (const Case& c : {Case{0, true}, Case{3, true}, Case{4, false}}) {
        SettingsSelectableLabel label(QStringLiteral("可选择的文字"));
        int clicks = 0;
        label.onSimpleClick = [&] { ++clicks; };
        label.resize(200, 30);
        label.show();
        test::settle();
        QTest::mousePress(&label, Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseRelease(&label, Qt::LeftButton, {}, QPoint(10 + c.moved, 10));
        EXPECT_EQ(clicks, c.acts ? 1 : 0) << c.moved;
    }
    EXPECT_FALSE(isSimpleClick(2, {0, 0}, {0, 0}));  // a double click
}

}  // namespace
}  // namespace tavrel
