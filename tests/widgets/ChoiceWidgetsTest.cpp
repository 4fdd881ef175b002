#include "tests/support/QtPrinting.h"
#include "widgets/CheckBox.h"
#include "widgets/GroupBox.h"
#include "widgets/RadioGroup.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>

using namespace tolvane;

namespace {

// A window with a button before and after a radio group, shown and active, so that focus
// and key presses behave as on screen.
class RadioGroupTest : public testing::Test {
protected:
    void SetUp() override
    {
        window.resize(200, 160);
        before->setObjectName(QStringLiteral("before"));
        group->setTitle(QStringLiteral("Ratio"));
        group->setGeometry(0, 30, 113, 65);
        after->setObjectName(QStringLiteral("after"));
        after->move(0, 120);
        group->setItems(
            {QStringLiteral("1:(4):2:(2)"), QStringLiteral("1:(1):1:(1)"), QStringLiteral("Free")});
        QWidget::setTabOrder(before, group->button(0));
        QWidget::setTabOrder(group->button(0), group->button(1));
        QWidget::setTabOrder(group->button(1), group->button(2));
        QWidget::setTabOrder(group->button(2), after);
        QObject::connect(group, &TRadioGroup::onClick, [this] { clicks << group->itemIndex(); });
        QObject::connect(group, &TGroupBox::entered, [this] { ++entries; });
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        before->setFocus();
    }

    QWidget* focus() const { return QApplication::focusWidget(); }
    void tab() { QTest::keyClick(focus(), Qt::Key_Tab); }

    QDialog window;
    QPushButton* before = new QPushButton(QStringLiteral("before"), &window);
    TRadioGroup* group = new TRadioGroup(&window);
    QPushButton* after = new QPushButton(QStringLiteral("after"), &window);
    QList<int> clicks;
    int entries = 0;
};

TEST_F(RadioGroupTest, ItemsAreButtonsInOneColumnUnderTheCaption)
{
    ASSERT_EQ(group->count(), 3);
    EXPECT_EQ(group->button(2)->text(), QStringLiteral("Free"));
    EXPECT_EQ(group->itemCaption(1), QStringLiteral("1:(1):1:(1)"));
    EXPECT_EQ(group->itemIndex(), -1);
    for (int index = 0; index < 3; ++index) {
        const QRect bounds = group->button(index)->geometry();
        EXPECT_GE(bounds.top(), group->fontMetrics().height()) << index;
        EXPECT_LE(bounds.bottom(), group->height()) << index;
        EXPECT_EQ(bounds.left(), group->button(0)->geometry().left()) << index;
        if (index > 0) {
            EXPECT_GT(bounds.top(), group->button(index - 1)->geometry().bottom()) << index;
        }
    }
}

TEST_F(RadioGroupTest, ASelectionFromCodeClicksOnlyWhenItChanges)
{
    group->setItemIndex(1);
    group->setItemIndex(1);
    group->setItemIndex(2);
    EXPECT_EQ(clicks, QList<int>({1, 2}));
    EXPECT_TRUE(group->button(2)->isChecked());
    EXPECT_FALSE(group->button(1)->isChecked());
}

TEST_F(RadioGroupTest, ClearingTheSelectionUnmarksEveryItemWithoutAClick)
{
    group->setItemIndex(0);
    group->setItemIndex(-1);
    EXPECT_EQ(group->itemIndex(), -1);
    EXPECT_FALSE(group->button(0)->isChecked());
    group->setItemIndex(0);
    group->setItemIndex(7);
    EXPECT_EQ(group->itemIndex(), -1);
    EXPECT_EQ(clicks, QList<int>({0, 0}));
}

TEST_F(RadioGroupTest, AUserClickOnAnotherItemClicksButOnTheSelectedOneNot)
{
    group->setItemIndex(0);
    clicks.clear();
    QTest::mouseClick(group->button(2), Qt::LeftButton);
    QTest::mouseClick(group->button(2), Qt::LeftButton);
    EXPECT_EQ(group->itemIndex(), 2);
    EXPECT_EQ(clicks, QList<int>({2}));
}

TEST_F(RadioGroupTest, ArrowKeysMoveAndChooseRoundTheGroupAlsoWhenNoneIsChosen)
{
    tab();
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Down, Qt::Key_Up})
        QTest::keyClick(focus(), key);
    EXPECT_EQ(clicks, QList<int>({1, 2, 0, 2}));
    EXPECT_EQ(focus(), group->button(2));
}

TEST_F(RadioGroupTest, TabEntersOnTheSelectedItemAndLeavesTheGroupNext)
{
    group->setItemIndex(2);
    tab();
    EXPECT_EQ(focus(), group->button(2));
    tab();
    EXPECT_EQ(focus(), after);
    EXPECT_EQ(clicks, QList<int>({2}));
}

TEST_F(RadioGroupTest, TabEntersOnTheFirstItemWhenNoneIsSelected)
{
    tab();
    EXPECT_EQ(focus(), group->button(0));
    EXPECT_TRUE(clicks.isEmpty());
}

TEST_F(RadioGroupTest, EnteringFromOutsideIsReportedOnceAndMovesInsideNot)
{
    tab();
    EXPECT_EQ(entries, 1);
    QTest::keyClick(focus(), Qt::Key_Down);
    EXPECT_EQ(focus(), group->button(1));
    EXPECT_EQ(entries, 1);
    tab();
    EXPECT_EQ(focus(), after);
    QTest::mouseClick(group->button(2), Qt::LeftButton);
    EXPECT_EQ(focus(), group->button(2));
    EXPECT_EQ(entries, 2);
}

TEST_F(RadioGroupTest, TheWindowRegainingTheFocusIsNoEntry)
{
    tab();
    QDialog other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(focus(), group->button(0));
    EXPECT_EQ(entries, 1);
}

TEST(GroupBox, ReportsFocusEnteringAnyControlInside)
{
    QDialog window;
    auto* outside = new QLineEdit(&window);
    auto* group = new TGroupBox(&window);
    group->setGeometry(0, 30, 150, 100);
    auto* first = new QLineEdit(group);
    auto* second = new QLineEdit(group);
    second->move(0, 40);
    int entries = 0;
    QObject::connect(group, &TGroupBox::entered, [&entries] { ++entries; });
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    outside->setFocus(Qt::TabFocusReason);
    second->setFocus(Qt::MouseFocusReason);
    first->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(entries, 1);
    outside->setFocus(Qt::BacktabFocusReason);
    first->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(entries, 2);
}

TEST(CheckBox, ClicksWhenTheMarkChangesByUserOrCode)
{
    TCheckBox box;
    box.setText(QStringLiteral("Delay before start"));
    QList<bool> clicks;
    QObject::connect(&box, &TCheckBox::onClick, [&] { clicks << box.isChecked(); });
    box.show();
    box.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
    box.setChecked(true);
    box.setChecked(true);
    QTest::mouseClick(&box, Qt::LeftButton, {}, box.rect().center());
    box.setChecked(false);
    EXPECT_EQ(clicks, QList<bool>({true, false}));
    ASSERT_EQ(QApplication::focusWidget(), &box);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(clicks, QList<bool>({true, false, true}));
}

TEST(CheckBox, TheTextCanStandLeftOfTheBox)
{
    TCheckBox box;
    box.setText(QStringLiteral("Delay before start"));
    box.resize(105, 17);
    const auto markLeft = [&box] {
        QStyleOptionButton option;
        option.initFrom(&box);
        return box.style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, &box).left();
    };
    EXPECT_FALSE(box.textLeftOfBox());
    EXPECT_LT(markLeft(), box.width() / 2);
    box.setTextLeftOfBox(true);
    EXPECT_TRUE(box.textLeftOfBox());
    EXPECT_GT(markLeft(), box.width() / 2);
}

} // namespace
