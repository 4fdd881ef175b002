#include "forms/Unit2.h"

#include "forms/DialogSetup.h"
#include "forms/Refusal.h"
#include "platform/Convert.h"
#include "platform/ErrorDispatch.h"
#include "practice/PracticeTotal.h"
#include "practice/Progression.h"
#include "practice/TimeFormat.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit2.h"

#include <QCoreApplication>
#include <QRadioButton>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <utility>

namespace tolvane {

namespace {

// The radio groups' captions, translated as the form translates them.
constexpr const char* noKumbhaka = QT_TRANSLATE_NOOP("TSettings", "No Kumbhaka");
constexpr const char* oneKumbhaka = QT_TRANSLATE_NOOP("TSettings", "One Kumbhaka");
constexpr const char* twoKumbhakas = QT_TRANSLATE_NOOP("TSettings", "Two Kumbhakas");
constexpr const char* ratioOneFourTwoTwo = QT_TRANSLATE_NOOP("TSettings", "1:(4):2:(2)");
constexpr const char* ratioOneOneOneOne = QT_TRANSLATE_NOOP("TSettings", "1:(1):1:(1)");
constexpr const char* ratioFree = QT_TRANSLATE_NOOP("TSettings", "Free");

QString caption(const char* text)
{
    return QCoreApplication::translate("TSettings", text);
}

// Item positions of the three radio groups.
constexpr int noKumbhakaItem = 0;
constexpr int oneKumbhakaItem = 1;
constexpr int twoKumbhakasItem = 2;
constexpr int ratioOneFourTwoTwoItem = 0;
constexpr int ratioOneOneOneOneItem = 1;
constexpr int ratioFreeItem = 2;
constexpr int incrementDisabledItem = 0;
constexpr int incrementOneFourTwoTwoItem = 1;
constexpr int incrementOneOneOneOneItem = 2;

constexpr int secondsPerHour = 3600;

// A box's whole number of seconds or rounds; a refusal names the box and is mended at boxToMend.
std::int32_t boxValue(const QComboBox* box, const QString& name, QComboBox* boxToMend)
{
    const std::int32_t value = boxNumber(box, boxToMend);
    if (value < 0)
        throw EInputRefused(
            boxToMend, QCoreApplication::translate("TSettings", "%1 cannot be negative").arg(name));
    return value;
}

std::optional<std::int32_t> boxValueOrNothing(const QComboBox* box)
{
    try {
        return platform::StrToInt(box->currentText());
    } catch (const EConvertError&) {
        return std::nullopt;
    }
}

QString roundTimeText(int seconds)
{
    return QStringLiteral("%1:%2")
        .arg(seconds / 60, 2, 10, QChar(u'0'))
        .arg(seconds % 60, 2, 10, QChar(u'0'));
}

} // namespace

TSettings::TSettings(QWidget* owner)
    : QDialog(owner, settingsDialogFlags)
    , ui(std::make_unique<Ui::TSettings>())
    , Timer1(new QTimer(this))
{
    ui->setupUi(this);
    setFixedSize(size());
    setUpDialog(*this, ui->BitBtn1, ui->BitBtn2);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);

    using platform::handler;
    connect(Timer1, &QTimer::timeout, this, handler(this, &TSettings::Timer1Timer));
    connect(ui->RadioGroup1, &TRadioGroup::onClick, this,
            handler(this, &TSettings::RadioGroup1Click));
    connect(ui->RadioGroup2, &TRadioGroup::onClick, this,
            handler(this, &TSettings::RadioGroup2Click));
    connect(ui->Automatic, &TRadioGroup::onClick, this, handler(this, &TSettings::AutomaticClick));
    connect(ui->Delay1, &TCheckBox::onClick, this, handler(this, &TSettings::Delay1Click));
    for (TGroupBox* group : {static_cast<TGroupBox*>(ui->RadioGroup1), ui->GroupBox2,
                             static_cast<TGroupBox*>(ui->Automatic), ui->GroupBox4})
        connect(group, &TGroupBox::entered, this, handler(this, &TSettings::SetDaysToNil));
    connect(ui->BitBtn2, &QPushButton::clicked, this, handler(this, &TSettings::BitBtn2Click));
    connectOk(*this, ui->BitBtn1, [this] { BitBtn1Click(); });

    platform::dispatch([this] { FormCreate(); });
    // The recomputation runs even when the opening failed.
    Timer1->start();
    arrangeTabOrder();
    ui->BitBtn1->setFocus();
}

TSettings::~TSettings() = default;

void TSettings::arrangeTabOrder()
{
    QList<QWidget*> order{ui->BitBtn1, ui->BitBtn2};
    const auto addGroup = [&order](const TRadioGroup* group) {
        for (int index = 0; index < group->count(); ++index)
            order << group->button(index);
    };
    addGroup(ui->RadioGroup1);
    order << ui->ComboBox1;
    addGroup(ui->RadioGroup2);
    order << ui->ComboBox2 << ui->ComboBox3 << ui->ComboBox4 << ui->ComboBox5 << ui->Delay1;
    order << ui->LMDLEDLabel1 << ui->LMDLEDLabel2; // the read-outs of the time group
    addGroup(ui->Automatic);
    order << ui->ComboBox6;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TSettings::FormCreate()
{
    store::loadPranayamaSettings();

    ui->Automatic->setItems(
        {tr("Disabled"), caption(ratioOneFourTwoTwo), caption(ratioOneOneOneOne)});
    Timer1->start();

    setBoxText(ui->ComboBox1, QString::number(settings.intPrTotalTime));
    setBoxText(ui->ComboBox2, QString::number(settings.intPrInhale));
    setBoxText(ui->ComboBox3, QString::number(settings.intCheckOne));
    setBoxText(ui->ComboBox4, QString::number(settings.intPrExhale));
    setBoxText(ui->ComboBox5, QString::number(settings.intCheckTwo));

    // Each selection runs its click handler, whose cascades the later tests see.
    if (const std::optional<Ratio> ratio = ratioOf(settings.blModeOne, settings.blModeTwo)) {
        constexpr int items[] = {ratioOneFourTwoTwoItem, ratioOneOneOneOneItem, ratioFreeItem};
        ui->RadioGroup2->setItemIndex(items[int(*ratio)]);
    }

    if (!settings.blCheckOne && !settings.blCheckTwo)
        ui->RadioGroup1->setItemIndex(noKumbhakaItem);
    else if (settings.blCheckOne && !settings.blCheckTwo)
        ui->RadioGroup1->setItemIndex(oneKumbhakaItem);
    else if (settings.blCheckOne && settings.blCheckTwo)
        ui->RadioGroup1->setItemIndex(twoKumbhakasItem);

    ui->Delay1->setChecked(settings.blDelay);

    const Increment increment = incrementOf(settings.blAuto, settings.blAutoTwo);
    // Both flags, which no choice stores, open on the first increment; its click clears the other.
    if (!increment)
        ui->Automatic->setItemIndex(incrementDisabledItem);
    else if (increment.testFlag(Lengthening::TowardsOneFourTwoTwo))
        ui->Automatic->setItemIndex(incrementOneFourTwoTwoItem);
    else
        ui->Automatic->setItemIndex(incrementOneOneOneOneItem);

    setBoxText(ui->ComboBox6, QString::number(settings.intIncrementDays));
}

void TSettings::RadioGroup1Click()
{
    const QString type = ui->RadioGroup1->itemCaption(ui->RadioGroup1->itemIndex());
    if (type == caption(noKumbhaka)) {
        settings.blCheckOne = false;
        settings.blCheckTwo = false;
    } else if (type == caption(oneKumbhaka)) {
        settings.blCheckOne = true;
        settings.blCheckTwo = false;
    } else if (type == caption(twoKumbhakas)) {
        settings.blCheckOne = true;
        settings.blCheckTwo = true;
    }
}

void TSettings::RadioGroup2Click()
{
    const QString ratio = ui->RadioGroup2->itemCaption(ui->RadioGroup2->itemIndex());
    if (ratio == caption(ratioOneFourTwoTwo)) {
        settings.blModeOne = true;
        settings.blModeTwo = false;
        ui->Automatic->setItemIndex(incrementDisabledItem);
    } else if (ratio == caption(ratioOneOneOneOne)) {
        settings.blModeOne = true;
        settings.blModeTwo = true;
        ui->Automatic->setItemIndex(incrementDisabledItem);
    } else if (ratio == caption(ratioFree)) {
        settings.blModeOne = false;
        settings.blModeTwo = false;
    }
}

// A fixed ratio and an automatic increment exclude each other: the increment moves the
// durations itself, so it needs them free.
void TSettings::AutomaticClick()
{
    switch (ui->Automatic->itemIndex()) {
    case incrementDisabledItem:
        settings.blAuto = false;
        settings.blAutoTwo = false;
        ui->GroupBox4->setEnabled(false);
        break;
    case incrementOneFourTwoTwoItem:
        settings.blAuto = true;
        settings.blAutoTwo = false;
        ui->RadioGroup2->setItemIndex(ratioFreeItem);
        ui->GroupBox4->setEnabled(true);
        break;
    case incrementOneOneOneOneItem:
        settings.blAuto = false;
        settings.blAutoTwo = true;
        ui->RadioGroup2->setItemIndex(ratioFreeItem);
        ui->GroupBox4->setEnabled(true);
        break;
    default:
        break;
    }
}

void TSettings::SetDaysToNil()
{
    settings.intDays = 0;
}

void TSettings::Delay1Click()
{
    settings.blDelay = ui->Delay1->isChecked();
}

void TSettings::Timer1Timer()
{
    zeroExcludedHolds();
    deriveDurations();
    showTimes();
}

void TSettings::zeroExcludedHolds()
{
    const QString zero = QStringLiteral("0");
    switch (ui->RadioGroup1->itemIndex()) {
    case noKumbhakaItem:
        setBoxText(ui->ComboBox3, zero);
        setBoxText(ui->ComboBox5, zero);
        break;
    case oneKumbhakaItem:
        setBoxText(ui->ComboBox5, zero);
        break;
    default:
        break;
    }
}

void TSettings::deriveDurations()
{
    struct Factors {
        int checkOne;
        int exhale;
        int checkTwo;
    };
    std::optional<Factors> factors;
    const std::optional<Ratio> ratio = ratioOf(settings.blModeOne, settings.blModeTwo);
    if (ratio == Ratio::OneFourTwoTwo)
        factors = Factors{4, 2, 2};
    else if (ratio == Ratio::OneOneOneOne)
        factors = Factors{1, 1, 1};
    if (!factors || (!settings.blCheckOne && settings.blCheckTwo))
        return;
    // Nothing follows from an inhalation being retyped; the labels show dashes meanwhile.
    const std::optional<std::int32_t> inhale = boxValueOrNothing(ui->ComboBox2);
    if (!inhale || *inhale < 0)
        return;
    const auto derived = [&](int factor, bool hold) {
        return hold ? QString::number(std::int64_t{*inhale} * factor) : QStringLiteral("0");
    };
    setBoxText(ui->ComboBox3, derived(factors->checkOne, settings.blCheckOne));
    setBoxText(ui->ComboBox4, derived(factors->exhale, true));
    setBoxText(ui->ComboBox5, derived(factors->checkTwo, settings.blCheckTwo));
}

void TSettings::showTimes()
{
    QString round = QStringLiteral("--:--");
    QString total = QStringLiteral("-:--:--");
    try {
        const Practice practice = practiceFromBoxes();
        round = roundTimeText(practice.roundSeconds);
        total = formatClockTime(secondsAsDays(practice.totalSeconds));
    } catch (const TolvaneError&) {
        // Half-typed or out-of-range values: the dashes say so until they are valid again.
    }
    ui->LMDLEDLabel1->setText(round);
    ui->LMDLEDLabel2->setText(total);
}

TSettings::Practice TSettings::practiceFromBoxes() const
{
    const auto duration = [this](QComboBox* box, const QString& name) {
        return boxValue(box, name, durationToMend(box));
    };
    Practice practice;
    practice.rounds = boxValue(ui->ComboBox1, tr("The number of rounds"), ui->ComboBox1);
    practice.inhale = duration(ui->ComboBox2, tr("Puraka"));
    practice.checkOne = duration(ui->ComboBox3, tr("Abhyantara kumbhaka"));
    practice.exhale = duration(ui->ComboBox4, tr("Rechaka"));
    practice.checkTwo = duration(ui->ComboBox5, tr("Bahya kumbhaka"));
    const std::int64_t round =
        roundSeconds({practice.inhale, practice.checkOne, practice.exhale, practice.checkTwo});
    if (round >= secondsPerHour) {
        const std::pair<std::int32_t, QComboBox*> durations[] = {
            {practice.inhale, ui->ComboBox2},
            {practice.checkOne, ui->ComboBox3},
            {practice.exhale, ui->ComboBox4},
            {practice.checkTwo, ui->ComboBox5}};
        QComboBox* longest =
            std::ranges::max(durations, {}, &std::pair<std::int32_t, QComboBox*>::first).second;
        throw EInputRefused(durationToMend(longest),
                            tr("The round of Puraka, Abhyantara kumbhaka, Rechaka and "
                               "Bahya kumbhaka must be shorter than 60 minutes"));
    }
    const std::optional<int> total = practiceSeconds(practice.rounds, round, settings.blDelay);
    if (!total)
        throw EInputRefused(ui->ComboBox1,
                            tr("The total time of the rounds must be shorter than 24 hours"));
    practice.roundSeconds = static_cast<int>(round);
    practice.totalSeconds = *total;
    return practice;
}

// While a ratio derives the other durations from the Puraka, the Puraka is the one to change.
QComboBox* TSettings::durationToMend(QComboBox* box) const
{
    return settings.blModeOne ? ui->ComboBox2 : box;
}

// The period box is checked exactly when it can be changed. A disabled one stores the number it
// shows, a period typed before the increment was turned off included; only text that is no
// number leaves the stored period alone.
std::optional<std::int32_t> TSettings::periodFromBox() const
{
    if (!ui->ComboBox6->isEnabled())
        return boxValueOrNothing(ui->ComboBox6);
    return boxValue(ui->ComboBox6, tr("The increment period"), ui->ComboBox6);
}

void TSettings::BitBtn1Click()
{
    settings.blDelay = ui->Delay1->isChecked();
    switch (ui->RadioGroup2->itemIndex()) {
    case ratioOneFourTwoTwoItem:
        settings.blModeOne = true;
        settings.blModeTwo = false;
        break;
    case ratioOneOneOneOneItem:
        settings.blModeOne = true;
        settings.blModeTwo = true;
        break;
    case ratioFreeItem:
        settings.blModeOne = false;
        settings.blModeTwo = false;
        break;
    default:
        break;
    }

    // One last recomputation, so that what is stored follows the text typed last, then every
    // box is checked before anything is written: the group is stored whole or not at all, and a
    // refusal leaves the dialog open and recomputing.
    Timer1Timer();
    const std::optional<std::int32_t> period = periodFromBox();
    const Practice practice = practiceFromBoxes();
    const double totalTime = secondsAsDays(practice.totalSeconds);

    store::writePranayamaSettings({practice.rounds, practice.inhale, practice.checkOne,
                                   practice.exhale, practice.checkTwo, totalTime, period});

    Timer1->stop();
    settings.intIncrementDays = period.value_or(settings.intIncrementDays);
    settings.intPrTotalTime = practice.rounds;
    settings.intPrInhale = practice.inhale;
    settings.intCheckOne = practice.checkOne;
    settings.intPrExhale = practice.exhale;
    settings.intCheckTwo = practice.checkTwo;
    settings.tTotalTime = totalTime;
    accept();
}

void TSettings::BitBtn2Click()
{
    Timer1->stop();
    QDialog::reject();
}

void TSettings::reject()
{
    platform::dispatch([this] { BitBtn2Click(); });
}

} // namespace tolvane
