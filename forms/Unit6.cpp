#include "forms/Unit6.h"

#include "forms/DialogSetup.h"
#include "forms/PracticeTotal.h"
#include "platform/DialogFrame.h"
#include "platform/ErrorDispatch.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit6.h"

#include <cstdint>
#include <limits>
#include <optional>

namespace tolvane {

namespace {

constexpr int easyAnswer = 0;
constexpr int slightlyDifficultAnswer = 1;
constexpr int notFollowedAnswer = 2;

// Neither breath is shortened below this many seconds.
constexpr std::int32_t shortestBreath = 4;

// Whether part / inhale (truncated) is still below the proportion. An inhalation of 0 has no
// proportion to catch up with: every other phase counts as far enough, so the inhalation itself
// grows first.
bool belowProportion(std::int32_t part, std::int32_t inhale, std::int64_t proportion)
{
    return inhale != 0 && std::int64_t{part} / inhale < proportion;
}

void lengthenTowardsOneFourTwoTwo(SettingsRecord& record)
{
    const std::int32_t inhale = record.intPrInhale;
    if (belowProportion(record.intPrExhale, inhale, 2))
        ++record.intPrExhale;
    else if (belowProportion(record.intCheckOne, inhale, 4) && record.blCheckOne)
        ++record.intCheckOne;
    else if (belowProportion(record.intCheckTwo, inhale, 2) && record.blCheckTwo)
        ++record.intCheckTwo;
    else
        ++record.intPrInhale;
}

void lengthenTowardsEqual(SettingsRecord& record)
{
    const std::int32_t inhale = record.intPrInhale;
    if (record.intPrExhale < inhale)
        ++record.intPrExhale;
    else if (record.intCheckOne < inhale && record.blCheckOne)
        ++record.intCheckOne;
    else if (record.intCheckTwo < inhale && record.blCheckTwo)
        ++record.intCheckTwo;
    else
        ++record.intPrInhale;
}

void countEasyPractice(SettingsRecord& record)
{
    // A count at its largest value stays there instead of overflowing.
    if (record.intDays == std::numeric_limits<std::int32_t>::max())
        return;
    ++record.intDays;
    if (record.intDays != record.intIncrementDays)
        return;
    record.intDays = 0;
    if (record.blAuto)
        lengthenTowardsOneFourTwoTwo(record);
    if (record.blAutoTwo)
        lengthenTowardsEqual(record);
}

// The holds go first, the one after exhaling before the one after inhaling.
void shortenFirstPhase(SettingsRecord& record)
{
    record.intDays = 0;
    if (record.blCheckTwo && record.intCheckTwo > 0)
        --record.intCheckTwo;
    else if (record.blCheckOne && record.intCheckOne > 0)
        --record.intCheckOne;
    else if (record.intPrExhale > shortestBreath)
        --record.intPrExhale;
    else if (record.intPrInhale > shortestBreath)
        --record.intPrInhale;
}

void shortenEveryPhase(SettingsRecord& record)
{
    record.intDays = 0;
    if (record.blCheckTwo && record.intCheckTwo > 0)
        --record.intCheckTwo;
    if (record.blCheckOne && record.intCheckOne > 0)
        --record.intCheckOne;
    if (record.intPrExhale > shortestBreath)
        --record.intPrExhale;
    if (record.intPrInhale > shortestBreath)
        --record.intPrInhale;
}

} // namespace

TState::TState(QWidget* owner)
    : QDialog(owner)
    , ui(std::make_unique<Ui::TState>())
{
    ui->setupUi(this);
    setFixedSize(size());
    // No close box and no way to minimize it: the only way out is a rating.
    platform::frameWithoutButtons(*this);
    setUpDialog(*this, ui->BitBtn1);

    connect(ui->RadioGroup1, &TRadioGroup::onClick, this,
            platform::handler(this, &TState::RadioGroup1Click));
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] {
        platform::dispatch([this] { BitBtn1Click(); });
        // OK's result is set before its handler runs: a failure closes the dialog all the same.
        if (isVisible())
            accept();
    });

    bool opened = false;
    platform::dispatch([&opened, this] {
        FormCreate();
        opened = true;
    });
    m_mayLeave = !opened;
}

TState::~TState() = default;

void TState::FormCreate()
{
    // The answers come first, so that a store that cannot be read still leaves a rating to give.
    ui->RadioGroup1->setTitle(tr("Estimate your practice"));
    ui->RadioGroup1->setItems({tr("The breathing practice was easy"),
                               tr("The breathing was slightly difficult"),
                               tr("I couldn't follow this rhythm at all")});
    ui->BitBtn1->setEnabled(false);

    store::loadRatingSettings();
}

void TState::RadioGroup1Click()
{
    ui->BitBtn1->setEnabled(true);
}

void TState::BitBtn1Click()
{
    // Worked on a copy: a rating that cannot be stored leaves the record as it was.
    SettingsRecord rated = settings;
    switch (ui->RadioGroup1->itemIndex()) {
    case easyAnswer:
        countEasyPractice(rated);
        break;
    case slightlyDifficultAnswer:
        shortenFirstPhase(rated);
        break;
    case notFollowedAnswer:
        shortenEveryPhase(rated);
        break;
    default:
        break;
    }

    const std::int64_t round =
        std::int64_t{rated.intPrInhale} + rated.intCheckOne + rated.intPrExhale + rated.intCheckTwo;
    const std::optional<int> total = practiceSeconds(rated.intPrTotalTime, round, rated.blDelay);
    if (!total)
        throw TolvaneError(tr("The total practice time must lie between 0:00:00 and "
                              "23:59:59; the settings stay as they were"));
    rated.tTotalTime = secondsAsDays(*total);
    settings = rated;
    m_appliedAnswer = ui->RadioGroup1->itemIndex();

    store::writeRating();
    accept();
}

void TState::reject()
{
    if (m_mayLeave)
        QDialog::reject();
}

} // namespace tolvane
