#include "forms/Unit3.h"

#include "forms/DialogSetup.h"
#include "forms/Refusal.h"
#include "platform/ErrorDispatch.h"
#include "practice/PracticeTotal.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit3.h"

#include <cstdint>

namespace tolvane {

namespace {

// The whole number typed in a box; the practice needs it to be at least 1.
std::int32_t positiveValue(QComboBox* box, const QString& refusal)
{
    const std::int32_t value = boxNumber(box, box);
    if (value < 1)
        throw EInputRefused(box, refusal);
    return value;
}

} // namespace

TKSettings::TKSettings(QWidget* owner)
    : QDialog(owner, settingsDialogFlags)
    , ui(std::make_unique<Ui::TKSettings>())
{
    ui->setupUi(this);
    setUpDialog(*this, ui->BitBtn1, ui->BitBtn2);
    connectOk(*this, ui->BitBtn1, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this,
            platform::handler(this, &TKSettings::BitBtn2Click));

    platform::dispatch([this] { FormCreate(); });
}

TKSettings::~TKSettings() = default;

void TKSettings::FormCreate()
{
    store::loadKevaliSettings();
    setBoxText(ui->ComboBox1, QString::number(settings.intKevTotalTime));
    setBoxText(ui->ComboBox2, QString::number(settings.intKevStartBreath));
    ui->Delay2->setChecked(settings.blKevDelay);
}

void TKSettings::BitBtn1Click()
{
    // Both boxes are checked before anything changes: a refused entry leaves the settings
    // record and the store as they were.
    const std::int32_t totalTime =
        positiveValue(ui->ComboBox1, tr("The time of practice must be at least 1 minute"));
    const std::int32_t startBreath =
        positiveValue(ui->ComboBox2, tr("The initial length must be at least 1 second"));
    // The displays count a practice within a day and a breath within an hour.
    const KevaliPlan plan = kevaliPlan(totalTime, startBreath, ui->Delay2->isChecked());
    if (plan.seconds >= 24 * 3600 || plan.lastBreath >= 3600)
        throw EInputRefused(
            startBreath >= 3600 ? ui->ComboBox2 : ui->ComboBox1,
            tr("The practice must stay shorter than 24 hours and every breath shorter "
               "than an hour"));

    settings.blKevDelay = ui->Delay2->isChecked();
    settings.intKevTotalTime = totalTime;
    settings.intKevStartBreath = startBreath;
    store::writeKevaliSettings();
    accept();
}

void TKSettings::BitBtn2Click()
{
    reject();
}

} // namespace tolvane
