// The version row as the renderer builds it (offscreen): the version as selectable plain text at
// the left, "检查更新" at the far right of the card, one action per press, by mouse and keyboard.

#include <memory>
#include <string>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "core/form/form_content.h"
#include "tests/settings_app/widget_test_support.h"
#include "ui/form/form_renderer.h"
#include "ui/form/settings_fonts.h"

namespace tavrel {
namespace {

TEST(VersionRowTest, ShowsTheVersionAndChecksOncePerPress) {
    test::widgetApplication();
    int checks = 0;
    auto form = std::make_shared<FormContent>();
    form->addSection("版本说明");
    form->addSwitch("前一行", "帮助", false, {});
    // A version is shown as it stands, never as markup.
    form->addVersionCheck("2.8.0<b>", [&] { ++checks; });
    std::unique_ptr<FormView> view(renderForm(form, {}));
    view->resize(640, 400);
    view->show();
    test::settle();

    QWidget* row = findFormRow(view.get(), QStringLiteral("版本号：2.8.0<b>"));
    ASSERT_NE(row, nullptr);
    auto* label = row->findChild<QLabel*>();
    auto* button = row->findChild<QPushButton*>();
    ASSERT_NE(label, nullptr);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(label->text(), QStringLiteral("版本号：2.8.0<b>"));
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label->textInteractionFlags() & Qt::TextSelectableByMouse);
    EXPECT_EQ(label->font(), settingsFont(13, QFont::DemiBold));
    EXPECT_EQ(label->accessibleName(), label->text());

    EXPECT_EQ(button->text(), QStringLiteral("检查更新"));
    EXPECT_EQ(button->accessibleName(), QStringLiteral("检查更新"));
    EXPECT_EQ(button->size(), QSize(118, 30));
    // Insets 16 at both ends: the label at the left, the button against the right edge.
    EXPECT_EQ(label->geometry().left(), 16);
    EXPECT_EQ(button->geometry().right() + 1, row->width() - 16);
    EXPECT_EQ(row->width(), findFormRow(view.get(), QStringLiteral("前一行"))->width());

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(checks, 1);
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(checks, 2);
    QTest::mouseClick(label, Qt::LeftButton);
    EXPECT_EQ(checks, 2);
}

}  // namespace
}  // namespace tavrel
