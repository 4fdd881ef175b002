#include "tests/support/QtPrinting.h"
#include "widgets/LedLabel.h"

#include "ui_LedForm.h"

#include <gtest/gtest.h>

namespace {

TEST(LedForm, PromotedLabelsTakeTheirSettingsFromTheForm)
{
    QWidget form;
    Ui::LedForm ui;
    ui.setupUi(&form);

    EXPECT_EQ(ui.LMDLEDLabel1->text(), QStringLiteral("0:00"));
    EXPECT_EQ(ui.LMDLEDLabel1->geometry(), QRect(35, 8, 201, 78));
    EXPECT_EQ(ui.LMDLEDLabel1->ledThickness(), 4);

    EXPECT_EQ(ui.LMDLEDLabel4->displayedText(), QStringLiteral("012"));
    EXPECT_EQ(ui.LMDLEDLabel4->geometry(), QRect(220, 112, 43, 22));
    EXPECT_EQ(ui.LMDLEDLabel4->led()->activeColor(), QColor(255, 255, 0));
    EXPECT_FALSE(ui.LMDLEDLabel4->disabledDigits());
}

} // namespace
