#include "forms/Unit8.h"

#include "forms/DialogSetup.h"
#include "forms/Refusal.h"
#include "platform/ErrorDispatch.h"
#include "reminder/DesktopNotification.h"
#include "reminder/ReminderPlan.h"
#include "reminder/SessionBus.h"
#include "reminder/UserTimer.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit8.h"

#include <QCoreApplication>
#include <QRadioButton>

namespace tolvane {

namespace {

// The reminder reaches the person through the desktop's notifications.
void requireNotificationService()
{
    const auto bus = reminder::sessionBus();
    if (!bus)
        throw TolvaneError(QCoreApplication::translate(
            "TReminderSettings",
            "Tolvane cannot remind you here: there is no D-Bus session bus. A reminder needs a "
            "desktop session with a session bus and a notification service."));
    if (!reminder::DesktopNotification::serviceAvailable(*bus))
        throw TolvaneError(QCoreApplication::translate(
            "TReminderSettings",
            "Tolvane cannot remind you here: no notification service answers on the session bus "
            "(org.freedesktop.Notifications). A reminder needs a desktop that shows notifications, "
            "or a notification daemon such as dunst."));
}

} // namespace

TReminderSettings::TReminderSettings(QWidget* owner)
    : QDialog(owner, settingsDialogFlags)
    , ui(std::make_unique<Ui::TReminderSettings>())
{
    ui->setupUi(this);
    // The times box keeps what is typed; Enter goes to OK.
    ui->ComboBox1->setCompleter(nullptr);
    setUpDialog(*this, ui->BitBtn1, ui->BitBtn2);
    connectOk(*this, ui->BitBtn1, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this,
            platform::handler(this, &TReminderSettings::BitBtn2Click));
    connect(ui->Remind1, &TCheckBox::onClick, this,
            platform::handler(this, &TReminderSettings::Remind1Click));

    // Tab runs from OK through the switch, the times and the practice to the days; of the
    // practice, Tab enters the selected item.
    QList<QWidget*> order;
    order << ui->BitBtn1 << ui->BitBtn2 << ui->Remind1 << ui->ComboBox1
          << ui->RadioGroup1->button(0) << ui->RadioGroup1->button(1);
    for (QCheckBox* day : days())
        order << day;
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    ui->BitBtn1->setFocus();

    platform::dispatch([this] { FormCreate(); });
    Remind1Click();
}

TReminderSettings::~TReminderSettings() = default;

std::array<QCheckBox*, 7> TReminderSettings::days() const
{
    return {ui->Day1, ui->Day2, ui->Day3, ui->Day4, ui->Day5, ui->Day6, ui->Day7};
}

void TReminderSettings::FormCreate()
{
    store::loadReminderSettings();
    const reminder::ReminderPlan plan = reminder::planFromSettings();
    ui->Remind1->setChecked(plan.on);
    ui->ComboBox1->setEditText(plan.times.isEmpty() ? settings.strReminderTimes
                                                    : reminder::timesText(plan.times));
    ui->RadioGroup1->setItemIndex(plan.practice == practicelog::Exercise::Kevali ? 1 : 0);
    for (int day = 0; day < 7; ++day)
        days()[day]->setChecked(plan.days & reminder::dayBit(Qt::DayOfWeek(day + 1)));
}

void TReminderSettings::Remind1Click()
{
    const bool on = ui->Remind1->isChecked();
    for (QWidget* part :
         {static_cast<QWidget*>(ui->GroupBox1), static_cast<QWidget*>(ui->RadioGroup1),
          static_cast<QWidget*>(ui->GroupBox2)})
        part->setEnabled(on);
}

void TReminderSettings::BitBtn1Click()
{
    reminder::ReminderPlan plan;
    plan.on = ui->Remind1->isChecked();
    QString wrongWord;
    const auto times = reminder::parseTimes(ui->ComboBox1->currentText(), &wrongWord);
    if (plan.on && !times)
        throw EInputRefused(ui->ComboBox1,
                            tr("'%1' is not a time of day: write the times as 7:00 or "
                               "18:30, with a blank between two")
                                .arg(wrongWord));
    plan.times = times.value_or(QList<QTime>{});
    if (plan.on && plan.times.isEmpty())
        throw EInputRefused(ui->ComboBox1, tr("Give at least one time of day"));
    for (int day = 0; day < 7; ++day) {
        if (days()[day]->isChecked())
            plan.days |= reminder::dayBit(Qt::DayOfWeek(day + 1));
    }
    if (plan.on && plan.days == 0)
        throw TolvaneError(tr("Choose at least one day for the reminder"));
    plan.practice = ui->RadioGroup1->itemIndex() == 1 ? practicelog::Exercise::Kevali
                                                      : practicelog::Exercise::Pranayama;

    reminder::UserTimer timer;
    if (plan.on) {
        requireNotificationService();
        timer.install(plan, QCoreApplication::applicationFilePath());
    } else {
        timer.remove();
    }

    settings.blReminder = plan.on;
    // Times the reminder does not use are kept as typed, for the day it is switched on again.
    settings.strReminderTimes =
        times ? reminder::timesText(plan.times) : ui->ComboBox1->currentText();
    settings.intReminderDays = plan.days;
    settings.blReminderKevali = plan.practice == practicelog::Exercise::Kevali;
    store::writeReminderSettings();
    accept();
}

void TReminderSettings::BitBtn2Click()
{
    reject();
}

} // namespace tolvane
