#include "forms/Unit2.h"
#include "practice/TimeFormat.h"
#include "tests/forms/DialogFixture.h"
#include "tests/support/Typing.h"
#include "widgets/CheckBox.h"
#include "widgets/GroupBox.h"
#include "widgets/LedLabel.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QWheelEvent>

#include <functional>

using namespace tolvane;
using tolvane::test::DialogTest;
using tolvane::test::typeInto;

namespace {

template <typename Widget> Widget* child(const QWidget& dialog, const char* name)
{
    auto* widget = dialog.findChild<Widget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

QComboBox* box(const QWidget& dialog, int number)
{
    return child<QComboBox>(dialog, QStringLiteral("ComboBox%1").arg(number).toLatin1());
}
TRadioGroup* group(const QWidget& dialog, const char* name)
{
    return child<TRadioGroup>(dialog, name);
}
QString led(const QWidget& dialog, const char* name)
{
    return child<TLMDLEDLabel>(dialog, name)->text();
}
QStringList boxItems(const QComboBox* combo)
{
    QStringList items;
    for (int index = 0; index < combo->count(); ++index)
        items << combo->itemText(index);
    return items;
}
QStringList numbersUpTo(int last)
{
    QStringList numbers;
    for (int number = 1; number <= last; ++number)
        numbers << QString::number(number);
    return numbers;
}

// --- The worked examples ------------------------------------------------------------------

struct TimesCase {
    const char* name;
    int type;  // item of "Pranayama types"; -1 keeps what the store gives
    int ratio; // item of "Ratio"; -1 keeps what the store gives
    const char* puraka;
    const char* rounds;
    bool delay;
    const char* abhyantara;
    const char* rechaka;
    const char* bahya;
    const char* roundTime;
    const char* totalTime;
};

class SettingsTimes : public DialogTest, public testing::WithParamInterface<TimesCase> {};

TEST_P(SettingsTimes, ShowsTheDerivedDurationsAndTimes)
{
    const TimesCase& example = GetParam();
    TSettings dialog;
    showActive(dialog);
    group(dialog, "RadioGroup1")->setItemIndex(example.type < 0 ? 1 : example.type);
    group(dialog, "RadioGroup2")->setItemIndex(example.ratio < 0 ? 0 : example.ratio);
    typeInto(box(dialog, 2), QString::fromLatin1(example.puraka));
    typeInto(box(dialog, 1), QString::fromLatin1(example.rounds));
    child<TCheckBox>(dialog, "Delay1")->setChecked(example.delay);
    dialog.Timer1Timer();

    EXPECT_EQ(box(dialog, 3)->currentText(), QString::fromLatin1(example.abhyantara));
    EXPECT_EQ(box(dialog, 4)->currentText(), QString::fromLatin1(example.rechaka));
    EXPECT_EQ(box(dialog, 5)->currentText(), QString::fromLatin1(example.bahya));
    EXPECT_EQ(led(dialog, "LMDLEDLabel1"), QString::fromLatin1(example.roundTime));
    EXPECT_EQ(led(dialog, "LMDLEDLabel2"), QString::fromLatin1(example.totalTime));
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(WorkedExamples, SettingsTimes, testing::Values(
    TimesCase{"DefaultsGiveARoundOf35Seconds",      -1, -1, "5",  "20", false, "20",  "10",  "0",   "00:35", "0:11:40"},
    TimesCase{"TheDelayAddsThirtySeconds",          -1, -1, "5",  "20", true,  "20",  "10",  "0",   "00:35", "0:12:10"},
    TimesCase{"FourTwoTwoWithTwoHoldsFromPuraka6",   2,  0, "6",  "20", false, "24",  "12",  "12",  "00:54", "0:18:00"},
    TimesCase{"TheItemListsDoNotBoundTheValues",     2,  0, "76", "76", false, "304", "152", "152", "11:24", "14:26:24"},
    TimesCase{"TheBoundlessValuesWithTheDelay",      2,  0, "76", "76", true,  "304", "152", "152", "11:24", "14:26:54"},
    TimesCase{"ZeroRoundsGiveNoTime",               -1, -1, "5",  "0",  false, "20",  "10",  "0",   "00:35", "0:00:00"},
    TimesCase{"ZeroRoundsWithTheDelay",             -1, -1, "5",  "0",  true,  "20",  "10",  "0",   "00:35", "0:00:30"},
    TimesCase{"EqualRatioWithTwoHolds",              2,  1, "7",  "20", false, "7",   "7",   "7",   "00:28", "0:09:20"},
    TimesCase{"NoKumbhakaZeroesBothHolds",           0,  0, "5",  "20", false, "0",   "10",  "0",   "00:15", "0:05:00"},
    TimesCase{"FreeDurationsStayAsTheyAre",          1,  2, "8",  "20", false, "20",  "10",  "0",   "00:38", "0:12:40"}),
    [](const testing::TestParamInfo<TimesCase>& example) { return std::string(example.param.name); });
// clang-format on

// --- Opening -------------------------------------------------------------------------------

using SettingsDialog = DialogTest;

TEST_F(SettingsDialog, OpensWithTheStoredSettings)
{
    settings.intIncrementDays = 14; // shown as the record holds it, not reloaded
    storeInteger(values::intPrInhale, 6);
    storeBool(values::blDelay, true);
    TSettings dialog;

    EXPECT_EQ(box(dialog, 1)->currentText(), QStringLiteral("20"));
    EXPECT_EQ(box(dialog, 2)->currentText(), QStringLiteral("6"));
    EXPECT_EQ(box(dialog, 3)->currentText(), QStringLiteral("20"));
    EXPECT_EQ(box(dialog, 4)->currentText(), QStringLiteral("10"));
    EXPECT_EQ(box(dialog, 5)->currentText(), QStringLiteral("0"));
    EXPECT_EQ(box(dialog, 6)->currentText(), QStringLiteral("14"));
    EXPECT_EQ(group(dialog, "RadioGroup1")->itemIndex(), 1);
    EXPECT_EQ(group(dialog, "RadioGroup2")->itemIndex(), 0);
    EXPECT_EQ(group(dialog, "Automatic")->itemIndex(), 0);
    EXPECT_TRUE(child<TCheckBox>(dialog, "Delay1")->isChecked());
    EXPECT_FALSE(child<QWidget>(dialog, "GroupBox4")->isEnabled());
    EXPECT_EQ(settings.intPrInhale, 6);
    EXPECT_TRUE(errors.isEmpty());

    dialog.Timer1Timer();
    EXPECT_EQ(box(dialog, 3)->currentText(), QStringLiteral("24"));
    EXPECT_EQ(led(dialog, "LMDLEDLabel2"), QStringLiteral("0:14:30"));
}

TEST_F(SettingsDialog, IsLaidOutAsDeclared)
{
    TSettings dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Pranayama Settings"));
    EXPECT_EQ(dialog.size(), QSize(480, 163));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(group(dialog, "RadioGroup1")->geometry(), QRect(3, 0, 113, 65));
    EXPECT_EQ(group(dialog, "RadioGroup1")->items(),
              QStringList({QStringLiteral("No Kumbhaka"), QStringLiteral("One Kumbhaka"),
                           QStringLiteral("Two Kumbhakas")}));
    EXPECT_EQ(group(dialog, "RadioGroup2")->title(), QStringLiteral("Ratio"));
    EXPECT_EQ(group(dialog, "Automatic")->items(),
              QStringList({QStringLiteral("Disabled"), QStringLiteral("1:(4):2:(2)"),
                           QStringLiteral("1:(1):1:(1)")}));
    EXPECT_EQ(box(dialog, 2)->geometry(), QRect(80, 16, 57, 21));
    EXPECT_EQ(box(dialog, 2)->parentWidget()->objectName(), QStringLiteral("GroupBox2"));
    EXPECT_EQ(boxItems(box(dialog, 1)), numbersUpTo(76));
    EXPECT_EQ(boxItems(box(dialog, 3)), numbersUpTo(132));
    EXPECT_EQ(boxItems(box(dialog, 6)),
              QStringList({QStringLiteral("7"), QStringLiteral("14"), QStringLiteral("30"),
                           QStringLiteral("45"), QStringLiteral("60")}));
    EXPECT_TRUE(box(dialog, 4)->isEditable());
    const auto* roundTime = child<TLMDLEDLabel>(dialog, "LMDLEDLabel1");
    EXPECT_EQ(roundTime->geometry(), QRect(17, 40, 71, 22));
    EXPECT_EQ(roundTime->ledHorzSize(), 4);
    EXPECT_EQ(roundTime->ledVertSize(), 4);
    EXPECT_EQ(child<QPushButton>(dialog, "BitBtn1")->text(), QStringLiteral("OK"));
    EXPECT_TRUE(child<QPushButton>(dialog, "BitBtn1")->isDefault());
    EXPECT_EQ(child<QPushButton>(dialog, "BitBtn2")->geometry(), QRect(399, 128, 75, 25));
    EXPECT_EQ(child<TCheckBox>(dialog, "Delay1")->text(), QStringLiteral("Delay before start"));
    EXPECT_TRUE(child<TCheckBox>(dialog, "Delay1")->textLeftOfBox());
}

TEST_F(SettingsDialog, TabWalksTheControlsFromOk)
{
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true); // so that the period box takes part
    TSettings dialog;
    showActive(dialog);
    ASSERT_EQ(QApplication::focusWidget(), child<QWidget>(dialog, "BitBtn1"));

    const QList<QWidget*> expected{child<QWidget>(dialog, "BitBtn2"),
                                   group(dialog, "RadioGroup1")->button(1),
                                   box(dialog, 1),
                                   group(dialog, "RadioGroup2")->button(2),
                                   box(dialog, 2),
                                   box(dialog, 3),
                                   box(dialog, 4),
                                   box(dialog, 5),
                                   child<QWidget>(dialog, "Delay1"),
                                   child<QWidget>(dialog, "LMDLEDLabel1"),
                                   child<QWidget>(dialog, "LMDLEDLabel2"),
                                   group(dialog, "Automatic")->button(1),
                                   box(dialog, 6),
                                   child<QWidget>(dialog, "BitBtn1")};
    for (QWidget* next : expected) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
    }
}

TEST_F(SettingsDialog, AValueThatCannotBeReadLeavesTheControlsAsDeclared)
{
    storeText(values::intPrExhale, "more than four bytes");
    TSettings dialog;

    EXPECT_EQ(errors, QStringList{QStringLiteral("Failed to get data for 'intPrExhale'")});
    EXPECT_EQ(settings.intPrInhale, 5); // read before the failure
    for (int number = 1; number <= 5; ++number)
        EXPECT_EQ(box(dialog, number)->currentText(), QStringLiteral("0")) << number;
    EXPECT_EQ(box(dialog, 6)->currentText(), QString());
    EXPECT_EQ(group(dialog, "RadioGroup1")->itemIndex(), -1);
    EXPECT_EQ(group(dialog, "Automatic")->count(), 0);
    EXPECT_TRUE(child<QTimer>(dialog, "Timer1")->isActive());
    dialog.Timer1Timer();
    EXPECT_EQ(led(dialog, "LMDLEDLabel1"), QStringLiteral("00:00"));
    EXPECT_EQ(led(dialog, "LMDLEDLabel2"), QStringLiteral("0:00:00"));
}

TEST_F(SettingsDialog, AFileThatCannotBeReadInFullShowsTheDefaultsAndOkStaysOpenSayingSo)
{
    config.writeRegistryFile("not a registry file");
    settings = {};
    settings.intPrTotalTime = 12;
    TSettings dialog;
    showActive(dialog);
    EXPECT_TRUE(errors.isEmpty());
    EXPECT_EQ(box(dialog, 1)->currentText(), QStringLiteral("20"));
    EXPECT_EQ(box(dialog, 2)->currentText(), QStringLiteral("5"));
    EXPECT_EQ(group(dialog, "RadioGroup2")->itemIndex(), 0);

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("The Pranayama settings could not be saved: line 1 "
                                         "of the settings file %1 is wrong.")
                              .arg(config.registryFile())});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(config.readRegistryFile(), QByteArray("not a registry file"));
}

// --- The cascades --------------------------------------------------------------------------

TEST_F(SettingsDialog, AFixedRatioTurnsTheIncrementOffAndDisablesThePeriod)
{
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true);
    TSettings dialog;
    ASSERT_EQ(group(dialog, "Automatic")->itemIndex(), 1);
    ASSERT_EQ(group(dialog, "RadioGroup2")->itemIndex(), 2);
    ASSERT_TRUE(child<QWidget>(dialog, "GroupBox4")->isEnabled());

    group(dialog, "RadioGroup2")->setItemIndex(1);
    EXPECT_EQ(group(dialog, "Automatic")->itemIndex(), 0);
    EXPECT_FALSE(child<QWidget>(dialog, "GroupBox4")->isEnabled());
    EXPECT_FALSE(settings.blAuto);
    EXPECT_TRUE(settings.blModeOne);
    EXPECT_TRUE(settings.blModeTwo);
}

TEST_F(SettingsDialog, AnIncrementSelectsFreeAndKeepsTheDurations)
{
    TSettings dialog;
    showActive(dialog);
    group(dialog, "Automatic")->setItemIndex(2);
    EXPECT_EQ(group(dialog, "RadioGroup2")->itemIndex(), 2);
    EXPECT_FALSE(settings.blModeOne);
    EXPECT_FALSE(settings.blAuto);
    EXPECT_TRUE(settings.blAutoTwo);
    EXPECT_TRUE(child<QWidget>(dialog, "GroupBox4")->isEnabled());

    typeInto(box(dialog, 2), QStringLiteral("9"));
    dialog.Timer1Timer();
    EXPECT_EQ(box(dialog, 3)->currentText(), QStringLiteral("20"));
    EXPECT_EQ(box(dialog, 4)->currentText(), QStringLiteral("10"));
}

TEST_F(SettingsDialog, BothIncrementFlagsOpenOnFourTwoTwo)
{
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true);
    storeBool(values::blAutoTwo, true);
    TSettings dialog;
    EXPECT_EQ(group(dialog, "Automatic")->itemIndex(), 1);
    EXPECT_TRUE(settings.blAuto);
    EXPECT_FALSE(settings.blAutoTwo);
}

TEST_F(SettingsDialog, AFixedRatioInTheStoreOpensWithTheIncrementDisabled)
{
    storeBool(values::blModeTwo, true);
    storeBool(values::blAutoTwo, true);
    TSettings dialog;
    EXPECT_EQ(group(dialog, "RadioGroup2")->itemIndex(), 1);
    EXPECT_EQ(group(dialog, "Automatic")->itemIndex(), 0);
    EXPECT_FALSE(settings.blAutoTwo);
    EXPECT_FALSE(child<QWidget>(dialog, "GroupBox4")->isEnabled());
}

TEST_F(SettingsDialog, TextTypedIntoADerivedOrExcludedBoxLastsOneTick)
{
    TSettings dialog;
    showActive(dialog);
    typeInto(box(dialog, 4), QStringLiteral("33"));
    typeInto(box(dialog, 5), QStringLiteral("7"));
    dialog.Timer1Timer();
    EXPECT_EQ(box(dialog, 4)->currentText(), QStringLiteral("10"));
    EXPECT_EQ(box(dialog, 5)->currentText(), QStringLiteral("0"));
}

TEST_F(SettingsDialog, TheTickKeepsTheCaretOfABoxBeingTyped)
{
    TSettings dialog;
    showActive(dialog);
    group(dialog, "RadioGroup2")->setItemIndex(2);
    typeInto(box(dialog, 2), QStringLiteral("12"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QLineEdit* puraka = box(dialog, 2)->lineEdit();
    dialog.Timer1Timer();
    dialog.Timer1Timer();
    EXPECT_EQ(puraka->cursorPosition(), 1);
    EXPECT_EQ(led(dialog, "LMDLEDLabel1"), QStringLiteral("00:42"));
}

// --- The count reset -------------------------------------------------------------------------

struct FocusCase {
    const char* name;
    std::function<void(TSettings&)> move;
    std::int32_t storedDays;
};

class SettingsFocus : public DialogTest, public testing::WithParamInterface<FocusCase> {};

TEST_P(SettingsFocus, StoresTheCountOnOk)
{
    storeInteger(values::intDays, 3);
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true);
    TSettings dialog;
    showActive(dialog);
    GetParam().move(dialog);
    QTest::mouseClick(child<QPushButton>(dialog, "BitBtn1"), Qt::LeftButton);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedInteger(values::intDays), GetParam().storedDays);
    EXPECT_EQ(storedInteger(values::intPrExhale), 10);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
}

void tabs(int count)
{
    for (int i = 0; i < count; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
}
void click(QWidget* widget)
{
    QTest::mouseClick(widget, Qt::LeftButton);
}
// A wheel turned over the middle of a widget, up when the angle is positive.
void turnWheel(QWidget* widget, int eighthsOfADegree)
{
    const QPointF centre = widget->rect().center();
    QWheelEvent wheel(centre, widget->mapToGlobal(centre), {}, {0, eighthsOfADegree}, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

INSTANTIATE_TEST_SUITE_P(
    Focus, SettingsFocus,
    testing::Values(FocusCase{"NoMoveKeepsTheCount", [](TSettings&) {}, 3},
                    FocusCase{"TabIntoTheTypeGroupResetsIt", [](TSettings&) { tabs(2); }, 0},
                    FocusCase{"ClickIntoADurationBoxResetsIt",
                              [](TSettings& dialog) { click(box(dialog, 4)); }, 0},
                    FocusCase{
                        "ClickOnTheSelectedIncrementResetsIt",
                        [](TSettings& dialog) { click(group(dialog, "Automatic")->button(1)); }, 0},
                    FocusCase{"ClickIntoThePeriodBoxResetsIt",
                              [](TSettings& dialog) { click(box(dialog, 6)); }, 0},
                    FocusCase{"TheWheelOverAnUnfocusedBoxKeepsItAndTheBox",
                              [](TSettings& dialog) {
                                  turnWheel(box(dialog, 4), -120);
                                  turnWheel(box(dialog, 4), -120);
                              },
                              3},
                    FocusCase{"RatioRoundsAndDelayKeepIt",
                              [](TSettings& dialog) {
                                  click(box(dialog, 1));
                                  tabs(1); // onto the selected ratio
                                  click(group(dialog, "RadioGroup2")->button(0));
                                  click(child<QWidget>(dialog, "Delay1"));
                              },
                              3}),
    [](const testing::TestParamInfo<FocusCase>& example) {
        return std::string(example.param.name);
    });

// --- OK and Cancel -------------------------------------------------------------------------

TEST_F(SettingsDialog, OkStoresTheWholeGroupAndTheRecord)
{
    storeInteger(values::intIncrementDays, -1);
    store::startupLoad();
    TSettings dialog;
    showActive(dialog);
    group(dialog, "RadioGroup1")->setItemIndex(2);
    ASSERT_FALSE(box(dialog, 6)->isEnabled());
    typeInto(box(dialog, 2), QStringLiteral("6"));
    child<TCheckBox>(dialog, "Delay1")->setChecked(true);
    dialog.Timer1Timer();
    dialog.BitBtn1Click();

    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    EXPECT_EQ(storedInteger(values::intPrTotalTime), 20);
    EXPECT_EQ(storedInteger(values::intPrInhale), 6);
    EXPECT_EQ(storedInteger(values::intCheckOne), 24);
    EXPECT_EQ(storedInteger(values::intPrExhale), 12);
    EXPECT_EQ(storedInteger(values::intCheckTwo), 12);
    EXPECT_TRUE(storedBool(values::blCheckTwo));
    EXPECT_TRUE(storedBool(values::blDelay));
    // The increment is disabled: the period box is not looked at, the period as read is kept.
    EXPECT_EQ(storedInteger(values::intIncrementDays), -1);
    EXPECT_EQ(formatClockTime(storedTime(values::tTotalTime)), QStringLiteral("0:18:30"));
    EXPECT_EQ(settings.intCheckTwo, 12);
    EXPECT_EQ(settings.intIncrementDays, -1);
    EXPECT_EQ(settings.tTotalTime, storedTime(values::tTotalTime));
}

TEST_F(SettingsDialog, OkWithTheDefaultsStoresTheDefaultTotalTimeByteForByte)
{
    const QByteArray before = config.readRegistryFile();
    TSettings dialog;
    dialog.BitBtn1Click();
    EXPECT_TRUE(before.contains("\"tTotalTime\"=hex:7b,09,ed,25,b4,97,80,3f"));
    EXPECT_EQ(config.readRegistryFile(), before);
}

TEST_F(SettingsDialog, OkFollowsTheTextTypedSinceTheLastTick)
{
    TSettings dialog;
    showActive(dialog);
    typeInto(box(dialog, 2), QStringLiteral("6"));
    dialog.BitBtn1Click();
    EXPECT_EQ(storedInteger(values::intCheckOne), 24);
    EXPECT_EQ(storedInteger(values::intPrExhale), 12);
    EXPECT_EQ(formatClockTime(storedTime(values::tTotalTime)), QStringLiteral("0:14:00"));
}

TEST_F(SettingsDialog, CancelAndEscLeaveTheStoreByteIdentical)
{
    storeInteger(values::intDays, 3);
    const QByteArray before = config.readRegistryFile();
    for (const bool byEsc : {false, true}) {
        TSettings dialog;
        showActive(dialog);
        tabs(2);
        group(dialog, "RadioGroup1")->setItemIndex(0);
        group(dialog, "Automatic")->setItemIndex(1);
        typeInto(box(dialog, 1), QStringLiteral("40"));
        child<TCheckBox>(dialog, "Delay1")->setChecked(true);
        dialog.Timer1Timer();
        if (byEsc)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            click(child<QPushButton>(dialog, "BitBtn2"));
        EXPECT_FALSE(dialog.isVisible()) << byEsc;
        EXPECT_FALSE(child<QTimer>(dialog, "Timer1")->isActive()) << byEsc;
        EXPECT_EQ(config.readRegistryFile(), before) << byEsc;
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SettingsDialog, TheFirstEnterStoresEveryBoxAsTyped)
{
    storeBool(values::blModeOne, false);
    storeBool(values::blCheckTwo, true);
    storeBool(values::blAuto, true); // "Free", two holds and the period box enabled
    const char* const cases[][6] = {
        {"1", "2", "3", "4", "6", "4"},        // prefixes of list items
        {"77", "80", "133", "90", "140", "8"}, // outside the lists
        {"20", "6", "24", "12", "12", "14"},   // in them
    };
    const SettingsValue* const stored[] = {&values::intPrTotalTime, &values::intPrInhale,
                                           &values::intCheckOne,    &values::intPrExhale,
                                           &values::intCheckTwo,    &values::intIncrementDays};
    for (const auto& texts : cases) {
        TSettings dialog;
        showActive(dialog);
        for (int number = 1; number <= 6; ++number)
            typeInto(box(dialog, number), QString::fromLatin1(texts[number - 1]));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog.isVisible()) << texts[0];
        for (int number = 1; number <= 6; ++number)
            EXPECT_EQ(storedInteger(*stored[number - 1]), atoi(texts[number - 1])) << number;
    }
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
}

struct StepCase {
    const char* name;
    int box;
    const char* typed;
    Qt::Key key;    // or, with Qt::Key_unknown, a turn of the wheel by
    int wheelAngle; // eighths of a degree, up the list when positive
    const char* shown;
};

class SettingsStep : public DialogTest, public testing::WithParamInterface<StepCase> {};

TEST_P(SettingsStep, StepsFromTheNumberShown)
{
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true);
    TSettings dialog;
    showActive(dialog);
    const StepCase& example = GetParam();
    typeInto(box(dialog, example.box), QString::fromLatin1(example.typed));
    QWidget* focused = QApplication::focusWidget();
    if (example.key != Qt::Key_unknown)
        QTest::keyClick(focused, example.key);
    else
        turnWheel(focused, example.wheelAngle);
    EXPECT_EQ(box(dialog, example.box)->currentText(), QString::fromLatin1(example.shown));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(UpDownAndWheel, SettingsStep, testing::Values(
    StepCase{"DownFromAPuraka",              2, "5",  Qt::Key_Down,     0,    "6"},
    StepCase{"UpFromAPuraka",                2, "5",  Qt::Key_Up,       0,    "4"},
    StepCase{"UpFromBeyondTheList",          2, "80", Qt::Key_Up,       0,    "76"},
    StepCase{"TwoNotchesDown",               2, "5",  Qt::Key_unknown,  -240, "7"},
    StepCase{"PageDownToTheNearestPeriod",   6, "40", Qt::Key_PageDown, 0,    "45"},
    StepCase{"ANotchUpToTheNearestPeriod",   6, "12", Qt::Key_unknown,  120,  "7"},
    StepCase{"DownFromAnEmptyBox",           6, "",   Qt::Key_Down,     0,    "7"},
    StepCase{"NoItemBeyondTheLast",          6, "90", Qt::Key_Down,     0,    "90"}),
    [](const testing::TestParamInfo<StepCase>& example) { return std::string(example.param.name); });
// clang-format on

// --- Values that make no practice ----------------------------------------------------------

struct InvalidCase {
    const char* name;
    int box;
    const char* text;
    const char* message;
};

class SettingsInvalid : public DialogTest, public testing::WithParamInterface<InvalidCase> {};

TEST_P(SettingsInvalid, ShowsDashesAndOkKeepsTheDialogOpenOnTheBox)
{
    const InvalidCase& example = GetParam();
    storeBool(values::blModeOne, false);
    storeBool(values::blAuto, true); // "Free" and the period box enabled
    const QByteArray before = config.readRegistryFile();
    TSettings dialog;
    showActive(dialog);
    typeInto(box(dialog, example.box), QString::fromUtf8(example.text));
    const int other = example.box == 1 ? 6 : 1;
    typeInto(box(dialog, other), QStringLiteral("30"));
    for (int tick = 0; tick < 3; ++tick)
        dialog.Timer1Timer();
    EXPECT_EQ(led(dialog, "LMDLEDLabel1") == u"--:--", example.box != 6);
    EXPECT_EQ(led(dialog, "LMDLEDLabel2") == u"-:--:--", example.box != 6);
    EXPECT_TRUE(errors.isEmpty());

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(errors, QStringList{QString::fromUtf8(example.message)});
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), box(dialog, example.box));
    EXPECT_EQ(box(dialog, example.box)->lineEdit()->selectedText(),
              QString::fromUtf8(example.text));
    EXPECT_EQ(box(dialog, other)->currentText(), QStringLiteral("30"));
    EXPECT_EQ(config.readRegistryFile(), before);
    click(child<QPushButton>(dialog, "BitBtn2"));
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(config.readRegistryFile(), before);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Refused, SettingsInvalid, testing::Values(
    InvalidCase{"AnEmptyBox",      2, "",      "'' is not a valid integer value."},
    InvalidCase{"Letters",         4, "ten",   "'ten' is not a valid integer value."},
    InvalidCase{"ALoneSign",       1, "-",     "'-' is not a valid integer value."},
    InvalidCase{"ANegativeHold",   3, "-3",    "Abhyantara kumbhaka cannot be negative."},
    InvalidCase{"NegativeRounds",  1, "-1",    "The number of rounds cannot be negative."},
    InvalidCase{"ARoundOfAnHour",  4, "3585",  "The round of Puraka, Abhyantara kumbhaka, Rechaka and Bahya kumbhaka must be shorter than 60 minutes."},
    InvalidCase{"ADayOfPractice",  1, "2469",  "The total time of the rounds must be shorter than 24 hours."},
    InvalidCase{"ThePurakaThatOverflowsTheRound", 2, "2147483647", "The round of Puraka, Abhyantara kumbhaka, Rechaka and Bahya kumbhaka must be shorter than 60 minutes."},
    InvalidCase{"RoundsThatOverflowTheTotal", 1, "2147483647",  "The total time of the rounds must be shorter than 24 hours."},
    InvalidCase{"APeriodInWords", 6, "seven", "'seven' is not a valid integer value."},
    InvalidCase{"ANegativePeriod", 6, "-7", "The increment period cannot be negative."}),
    [](const testing::TestParamInfo<InvalidCase>& example) { return std::string(example.param.name); });
// clang-format on

TEST_F(SettingsDialog, ADerivedDurationTooLargeForAnIntegerIsRefusedWhole)
{
    const QByteArray before = config.readRegistryFile();
    TSettings dialog;
    showActive(dialog);
    group(dialog, "RadioGroup1")->setItemIndex(2); // two holds under "1:(4):2:(2)"
    typeInto(box(dialog, 2), QStringLiteral("2147483647"));
    dialog.Timer1Timer();
    EXPECT_EQ(box(dialog, 3)->currentText(), QStringLiteral("8589934588"));
    EXPECT_EQ(led(dialog, "LMDLEDLabel2"), QStringLiteral("-:--:--"));
    platform::dispatch([&dialog] { dialog.BitBtn1Click(); });
    EXPECT_EQ(errors, QStringList{QStringLiteral("'8589934588' is not a valid integer value.")});
    EXPECT_EQ(config.readRegistryFile(), before);
    EXPECT_EQ(settings.intPrInhale, 5);
}

TEST_F(SettingsDialog, LeadingBlanksAreTakenAsTheStandardConversionDoes)
{
    TSettings dialog;
    showActive(dialog);
    group(dialog, "Automatic")->setItemIndex(1);
    typeInto(box(dialog, 1), QStringLiteral(" 5"));
    typeInto(box(dialog, 6), QStringLiteral("  14"));
    dialog.Timer1Timer();
    platform::dispatch([&dialog] { dialog.BitBtn1Click(); });
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'|').toStdString();
    EXPECT_EQ(storedInteger(values::intPrTotalTime), 5);
    EXPECT_EQ(storedInteger(values::intIncrementDays), 14);
    EXPECT_EQ(formatClockTime(storedTime(values::tTotalTime)), QStringLiteral("0:02:55"));
}

TEST_F(SettingsDialog, AStoredRoundOfAnHourIsMendedAtThePurakaWithoutResettingTheCount)
{
    storeInteger(values::intPrInhale, 1000); // "1:(4):2:(2)": 1000 + 4000 + 2000 seconds
    storeInteger(values::intDays, 3);
    const QByteArray before = config.readRegistryFile();
    TSettings dialog;
    showActive(dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(errors,
              QStringList{QStringLiteral("The round of Puraka, Abhyantara kumbhaka, Rechaka "
                                         "and Bahya kumbhaka must be shorter than 60 "
                                         "minutes.")});
    EXPECT_EQ(QApplication::focusWidget(), box(dialog, 2));
    EXPECT_EQ(settings.intDays, 3);
    EXPECT_EQ(config.readRegistryFile(), before);
}

TEST_F(SettingsDialog, TheLabelsRecoverOnceTheValuesAreValidAgain)
{
    TSettings dialog;
    showActive(dialog);
    typeInto(box(dialog, 2), QString());
    dialog.Timer1Timer();
    ASSERT_EQ(led(dialog, "LMDLEDLabel1"), QStringLiteral("--:--"));
    typeInto(box(dialog, 2), QStringLiteral("5"));
    dialog.Timer1Timer();
    EXPECT_EQ(led(dialog, "LMDLEDLabel1"), QStringLiteral("00:35"));
    EXPECT_EQ(led(dialog, "LMDLEDLabel2"), QStringLiteral("0:11:40"));
}

} // namespace
