#include "forms/Unit6.h"
#include "practice/TimeFormat.h"
#include "tests/forms/DialogFixture.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QPushButton>
#include <QRadioButton>

#include <array>
#include <limits>

using namespace tolvane;
using tolvane::test::DialogTest;

namespace {

constexpr int easy = 0;
constexpr int slightlyDifficult = 1;
constexpr int notFollowed = 2;

// Puraka, Abhyantara, Rechaka, Bahya as stored.
using Durations = std::array<std::int32_t, 4>;

TRadioGroup* answers(const TState& dialog)
{
    return dialog.findChild<TRadioGroup*>(QStringLiteral("RadioGroup1"));
}
QPushButton* ok(const TState& dialog)
{
    return dialog.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
}

class RatingDialog : public DialogTest {
protected:
    void storeDurations(const Durations& durations)
    {
        storeInteger(values::intPrInhale, durations[0]);
        storeInteger(values::intCheckOne, durations[1]);
        storeInteger(values::intPrExhale, durations[2]);
        storeInteger(values::intCheckTwo, durations[3]);
    }
    static Durations storedDurations()
    {
        return {storedInteger(values::intPrInhale), storedInteger(values::intCheckOne),
                storedInteger(values::intPrExhale), storedInteger(values::intCheckTwo)};
    }
    static QString storedTotal() { return formatClockTime(storedTime(values::tTotalTime)); }

    // One practice rated as the end of a practice does it: a fresh dialog, an answer, OK.
    void rate(int answer, int times = 1)
    {
        for (int i = 0; i < times; ++i) {
            TState dialog;
            answers(dialog)->setItemIndex(answer);
            platform::dispatch([&dialog] { dialog.BitBtn1Click(); });
        }
    }

    // The store the settings dialog leaves for an increment: ratio "Free", one increment flag.
    void switchIncrementOn(const SettingsValue& flag)
    {
        storeBool(values::blModeOne, false);
        storeBool(flag, true);
    }
};

TEST_F(RatingDialog, AsksWithOkDisabledUntilAnAnswerIsChosen)
{
    TState dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("How are you?"));
    EXPECT_EQ(dialog.size(), QSize(242, 138));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_EQ(answers(dialog)->geometry(), QRect(8, 8, 225, 89));
    EXPECT_EQ(answers(dialog)->title(), QStringLiteral("Estimate your practice"));
    EXPECT_EQ(answers(dialog)->items(),
              QStringList({QStringLiteral("The breathing practice was easy"),
                           QStringLiteral("The breathing was slightly difficult"),
                           QStringLiteral("I couldn't follow this rhythm at all")}));
    EXPECT_EQ(answers(dialog)->itemIndex(), -1);
    EXPECT_EQ(ok(dialog)->geometry(), QRect(83, 104, 75, 25));
    EXPECT_TRUE(ok(dialog)->isDefault());
    EXPECT_FALSE(ok(dialog)->isEnabled());

    answers(dialog)->setItemIndex(notFollowed);
    EXPECT_TRUE(ok(dialog)->isEnabled());
    answers(dialog)->setItemIndex(easy);
    EXPECT_TRUE(ok(dialog)->isEnabled());
}

TEST_F(RatingDialog, EscDoesNotLeaveAndEnterConfirmsOnceAnswered)
{
    TState dialog;
    showActive(dialog);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());

    QTest::mouseClick(answers(dialog)->button(slightlyDifficult), Qt::LeftButton);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(storedDurations(), (Durations{5, 19, 10, 0}));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RatingDialog, SevenEasyPracticesLengthenTowardsOneFourTwoTwo)
{
    switchIncrementOn(values::blAuto);
    rate(easy, 6);
    EXPECT_EQ(storedDurations(), (Durations{5, 20, 10, 0}));
    EXPECT_EQ(storedInteger(values::intDays), 6);
    EXPECT_EQ(storedTotal(), QStringLiteral("0:11:40"));

    rate(easy);
    EXPECT_EQ(storedDurations(), (Durations{6, 20, 10, 0}));
    EXPECT_EQ(storedInteger(values::intDays), 0);
    EXPECT_EQ(storedTotal(), QStringLiteral("0:12:00"));

    const Durations next[] = {{6, 20, 11, 0}, {6, 20, 12, 0}, {6, 21, 12, 0}, {6, 22, 12, 0},
                              {6, 23, 12, 0}, {6, 24, 12, 0}, {7, 24, 12, 0}};
    int round = 36;
    for (const Durations& expected : next) {
        rate(easy, 7);
        ++round;
        EXPECT_EQ(storedDurations(), expected);
        EXPECT_EQ(storedTotal(), formatClockTime(20 * round / 86400.0));
    }
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(RatingDialog, APeriodOfZeroNeverFiresButTheTotalIsStillRewritten)
{
    switchIncrementOn(values::blAuto);
    storeInteger(values::intIncrementDays, 0);
    openKey().writeDateTime(values::tTotalTime.name.toString(), 0.0);
    rate(easy, 10);
    EXPECT_EQ(storedInteger(values::intDays), 10);
    EXPECT_EQ(storedDurations(), (Durations{5, 20, 10, 0}));
    EXPECT_EQ(storedTotal(), QStringLiteral("0:11:40"));
}

struct ShorteningCase {
    const char* name;
    int answer;
    bool holdAfterInhaling;
    bool holdAfterExhaling;
    Durations before;
    Durations after;
};

class RatingShortens : public RatingDialog, public testing::WithParamInterface<ShorteningCase> {};

TEST_P(RatingShortens, AndRestartsTheCount)
{
    const ShorteningCase& example = GetParam();
    switchIncrementOn(values::blAuto);
    storeBool(values::blCheckOne, example.holdAfterInhaling);
    storeBool(values::blCheckTwo, example.holdAfterExhaling);
    storeInteger(values::intDays, 5);
    storeDurations(example.before);
    rate(example.answer);
    EXPECT_EQ(storedDurations(), example.after);
    EXPECT_EQ(storedInteger(values::intDays), 0);
    const std::int32_t round =
        example.after[0] + example.after[1] + example.after[2] + example.after[3];
    EXPECT_EQ(storedTotal(), formatClockTime(20 * round / 86400.0));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Difficult, RatingShortens, testing::Values(
    ShorteningCase{"SlightlyTakesASecondFromTheHold",    slightlyDifficult, true,  false, {5, 20, 10, 0},  {5, 19, 10, 0}},
    ShorteningCase{"NotFollowedTakesOneFromEach",        notFollowed,       true,  false, {5, 20, 10, 0},  {4, 19, 9, 0}},
    ShorteningCase{"NotFollowedNeverGoesBelowTheFloors", notFollowed,       true,  true,  {5, 0, 4, 1},    {4, 0, 4, 0}}),
    [](const testing::TestParamInfo<ShorteningCase>& example) { return std::string(example.param.name); });
// clang-format on

TEST_F(RatingDialog, ATotalOfADayOrMoreIsRefusedAndNothingChanges)
{
    switchIncrementOn(values::blAuto);
    storeInteger(values::intIncrementDays, 1);
    storeInteger(values::intPrTotalTime, 2400); // 35 s rounds: 23:20:00, one more second 24:00:00
    const QByteArray before = config.readRegistryFile();
    rate(easy);
    EXPECT_EQ(errors, QStringList{QStringLiteral("The total practice time must lie between "
                                                 "0:00:00 and 23:59:59; the settings stay as "
                                                 "they were.")});
    EXPECT_EQ(config.readRegistryFile(), before);
    EXPECT_EQ(settings.intPrInhale, 5);
    EXPECT_EQ(settings.intDays, 0);
}

TEST_F(RatingDialog, AValueThatCannotBeReadStillLetsTheUserRateOrLeave)
{
    storeText(values::intDays, "abc");
    {
        TState dialog;
        EXPECT_EQ(errors, QStringList{QStringLiteral("Invalid data type for 'intDays'")});
        ASSERT_EQ(answers(dialog)->count(), 3);
        EXPECT_FALSE(ok(dialog)->isEnabled());
        showActive(dialog);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    }
    TState dialog;
    answers(dialog)->setItemIndex(slightlyDifficult);
    dialog.BitBtn1Click();
    EXPECT_EQ(storedDurations(), (Durations{5, 19, 10, 0}));
    EXPECT_EQ(storedInteger(values::intDays), 0);
}

TEST_F(RatingDialog, AFileThatCannotBeReadInFullTakesTheRatingInTheRecordOnlyAndSaysSo)
{
    config.writeRegistryFile("not a registry file");
    settings.intPrTotalTime = 10;
    rate(slightlyDifficult); // of the defaults, which stand in for what cannot be read
    EXPECT_EQ(errors, QStringList{QStringLiteral("The rating could not be saved: line 1 of the "
                                                 "settings file %1 is wrong.")
                                      .arg(config.registryFile())});
    EXPECT_EQ(settings.intCheckOne, 19);
    EXPECT_DOUBLE_EQ(settings.tTotalTime, 680 / 86400.0);
    EXPECT_EQ(config.readRegistryFile(), QByteArray("not a registry file"));
}

} // namespace
