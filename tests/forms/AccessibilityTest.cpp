// What a screen reader finds in the main window: the displays and the status panels read out
// what they show, and every command is an item of the menu bar.
#include "tests/forms/PracticeRunner.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QMenu>
#include <QMenuBar>

namespace tolvane::test {
namespace {

QString readOut(QWidget* widget)
{
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget);
    return face ? face->text(QAccessible::Value) : QStringLiteral("<no interface>");
}

class AccessibilityTest : public PracticeFixture {
protected:
    QWidget* widget(const char* name) const
    {
        return window->findChild<QWidget*>(QString::fromLatin1(name));
    }

    // Every display and panel, with the name a screen reader reads for it.
    void expectNamesFollowTexts()
    {
        for (const char* name : {"LMDLEDLabel1", "LMDLEDLabel2", "LMDLEDLabel3", "LMDLEDLabel4",
                                 "StatusPanel0", "StatusPanel1"})
            EXPECT_EQ(readOut(widget(name)), text(name)) << name;
    }
};

TEST_F(AccessibilityTest, IdleDisplaysReadOutTheirDigits)
{
    window->FormCreate();
    EXPECT_EQ(readOut(widget("LMDLEDLabel1")), u"0:00");
    EXPECT_EQ(readOut(widget("LMDLEDLabel2")), u"0:00:00");
    EXPECT_EQ(readOut(widget("LMDLEDLabel4")), u"000");
    expectNamesFollowTexts();
}

TEST_F(AccessibilityTest, DisplaysAndPanelsFollowARunningPractice)
{
    writeSettings("\"intPrInhale\"=dword:00000002\n\"intPrExhale\"=dword:00000002\n"
                  "\"blCheckOne\"=dword:00000000\n\"blCheckTwo\"=dword:00000000\n");
    window->FormCreate();
    startPranayama();
    runFor(1500);
    EXPECT_EQ(readOut(widget("StatusPanel0")), u"Pranayama");
    EXPECT_EQ(readOut(widget("StatusPanel1")), u"Puraka");
    EXPECT_EQ(readOut(widget("LMDLEDLabel1")), u"0:01");
    EXPECT_EQ(readOut(widget("LMDLEDLabel4")), u"1");
    expectNamesFollowTexts();

    window->Stop1Click();
    EXPECT_EQ(readOut(widget("StatusPanel0")), u"Program stopped");
    expectNamesFollowTexts();
}

TEST_F(AccessibilityTest, PanelsAreTextAScreenReaderReads)
{
    window->FormCreate();
    for (const auto& [name, role] : {std::pair{"StatusPanel0", QAccessible::StaticText},
                                     std::pair{"StatusPanel1", QAccessible::Notification}}) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget(name));
        ASSERT_NE(face, nullptr) << name;
        EXPECT_EQ(face->role(), role) << name;
    }
}

TEST_F(AccessibilityTest, ButtonsAreNamedByTheirHintsNotTheirSymbols)
{
    const struct {
        const char* name;
        const char* spoken;
    } buttons[] = {{"PranStart", "Start Pranayama"}, {"KevaliStart", "Start Kevali"},
                   {"StopProg", "Stop Programme"},   {"PranSet", "Pranayama Settings"},
                   {"KevaliSet", "Kevali Settings"}, {"LMDMMButton6", "Exit Programme"}};
    for (const auto& button : buttons) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(widget(button.name));
        ASSERT_NE(face, nullptr) << button.name;
        EXPECT_EQ(face->text(QAccessible::Name), QString::fromLatin1(button.spoken)) << button.name;
    }
}

TEST_F(AccessibilityTest, EveryCommandIsAMenuItem)
{
    window->FormCreate();
    QStringList items;
    for (QAction* top : window->findChild<QMenuBar*>()->actions()) {
        ASSERT_NE(top->menu(), nullptr) << qPrintable(top->text());
        for (QAction* item : top->menu()->actions())
            if (!item->isSeparator())
                items << top->text() + u'>' + item->text();
    }
    EXPECT_EQ(items,
              (QStringList{
                  QStringLiteral("Action>Start Pranayama"), QStringLiteral("Action>Start Kevali"),
                  QStringLiteral("Action>Stop"), QStringLiteral("Action>Practice Log"),
                  QStringLiteral("Action>Exit"), QStringLiteral("Settings>Pranayama Type"),
                  QStringLiteral("Settings>Kevali Type"), QStringLiteral("Settings>Reminder"),
                  QStringLiteral("Help>Help"), QStringLiteral("Help>About")}));
}

} // namespace
} // namespace tolvane::test
