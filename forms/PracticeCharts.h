#pragma once

#include "practicelog/PracticeEntry.h"
#include "practicelog/Progress.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <vector>

class QBarSet;
class QCategoryAxis;
class QChartView;
class QValueAxis;

namespace tolvane {

// A number with its noun, the number as the locale writes it: "1 practice", "3 practices".
QString counted(qsizetype count, QStringView one, QStringView many);
// Minutes practised in words: "42 minutes", "under a minute".
QString minutesText(double minutes);
// A date as the locale writes it in full, with its four-digit year.
QString longDate(QDate day);

// The Pranayama round length over the dates, each point marked by its rating, so that every
// lengthening shows as a step: a point per practice, or for many practices one per week or month
// marked by the rating given most often. Gaps in the practice are gaps in the line; the ticks are
// whole seconds and calendar days, weeks, months or years, as many as their labels fit. Screen
// readers get the chart told in words.
class RoundLengthChart : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(RoundLengthChart)

public:
    explicit RoundLengthChart(QChartView* view);
    ~RoundLengthChart() override;
    // The practices in time order.
    void show(const std::vector<practicelog::PracticeEntry>& entries);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void draw();

    QChartView* m_view;
    QCategoryAxis* m_dates;
    QValueAxis* m_seconds;
    std::vector<practicelog::PracticeEntry> m_entries;
};

// The minutes practised per week, Pranayama and Kevali stacked, on whole minutes.
class WeeklyMinutesChart : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY(WeeklyMinutesChart)

public:
    explicit WeeklyMinutesChart(QChartView* view);
    ~WeeklyMinutesChart() override;
    // The weeks as weeklyTotals() gives them; more than shown tells the title to say so.
    void show(const std::vector<practicelog::WeekTotal>& weeks, bool earlierWeeks);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void draw();

    QChartView* m_view;
    QBarSet* m_pranayama;
    QBarSet* m_kevali;
    QCategoryAxis* m_weeks;
    QValueAxis* m_minutes;
    std::vector<practicelog::WeekTotal> m_shown;
    bool m_earlierWeeks = false;
};

} // namespace tolvane
