#include "forms/Unit6.h"

#include "forms/DialogSetup.h"
#include "platform/DialogFrame.h"
#include "platform/ErrorDispatch.h"
#include "practice/PracticeTotal.h"
#include "practice/Progression.h"
#include "settings/SettingsRecord.h"
#include "settings/SettingsStore.h"
#include "ui_Unit6.h"

#include <array>
#include <optional>

namespace tolvane {

namespace {

// The answers in the order the dialog lists them.
constexpr std::array<Rating, 3> answers{Rating::Easy, Rating::SlightlyDifficult, Rating::Difficult};

std::optional<Rating> ratingAt(int index)
{
    if (index < 0 || index >= int(answers.size()))
        return std::nullopt;
    return answers[std::size_t(index)];
}

Progression progressionOf(const SettingsRecord& record)
{
    return {pranayamaDurations(record), record.blCheckOne,
            record.blCheckTwo,          record.intDays,
            record.intIncrementDays,    incrementOf(record.blAuto, record.blAutoTwo)};
}

void takeProgression(SettingsRecord& record, const Progression& progression)
{
    record.intPrInhale = progression.durations.inhale;
    record.intCheckOne = progression.durations.checkOne;
    record.intPrExhale = progression.durations.exhale;
    record.intCheckTwo = progression.durations.checkTwo;
    record.intDays = progression.easyCount;
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
    const std::optional<Rating> rating = ratingAt(ui->RadioGroup1->itemIndex());
    Progression progression = progressionOf(rated);
    if (rating)
        applyRating(progression, *rating);
    takeProgression(rated, progression);

    const std::optional<int> total =
        practiceSeconds(rated.intPrTotalTime, roundSeconds(progression.durations), rated.blDelay);
    if (!total)
        throw TolvaneError(tr("The total practice time must lie between 0:00:00 and "
                              "23:59:59; the settings stay as they were"));
    rated.tTotalTime = secondsAsDays(*total);
    settings = rated;
    m_appliedRating = rating;

    store::writeRating();
    accept();
}

void TState::reject()
{
    if (m_mayLeave)
        QDialog::reject();
}

} // namespace tolvane
