// The settings application's standard dialogs speak the window's language: Qt's own texts are
// loaded in Simplified Chinese whatever the locale.

#include <QApplication>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QLocale>
#include <QPushButton>

#include <gtest/gtest.h>

#include "apps/settings/settings_main.h"

namespace tavrel {
namespace {

TEST(SettingsQtTranslations, StandardTextsAreChineseInAnyLocale) {
    static int argc = 1;
    static char name[] = "qt-translations-test";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    // The file dialog's own labels before and after.
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"));
    ASSERT_TRUE(installQtTranslations());
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("查找范围："));
    QDialogButtonBox buttons(QDialogButtonBox::Open | QDialogButtonBox::Cancel);
    EXPECT_EQ(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
}

}  // namespace
}  // namespace tavrel
