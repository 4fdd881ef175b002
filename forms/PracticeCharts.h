#pragma once

#include "practicelog/PracticeEntry.h"
#include "practicelog/Progress.h"

#include <QString>

#include <array>
#include <vector>

class QBarCategoryAxis;
class QBarSet;
class QChartView;
class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace tolvane {

// A number with its noun: "1 practice", "3 practices".
QString counted(qsizetype count, QStringView one, QStringView many);
// Minutes practised in words: "42 minutes", "under a minute".
QString minutesText(double minutes);

// The Pranayama round length per practice over the dates, each point marked by its rating, so
// that every lengthening shows as a step. Screen readers get the chart told in words.
class RoundLengthChart {
public:
    explicit RoundLengthChart(QChartView* view);
    void show(const std::vector<practicelog::PracticeEntry>& entries);

private:
    QChartView* m_view;
    QLineSeries* m_line;
    // Easy, slightly difficult, difficult, not rated.
    std::array<QLineSeries*, 4> m_marks;
    QDateTimeAxis* m_dates;
    QValueAxis* m_seconds;
};

// The minutes practised per week, Pranayama and Kevali stacked.
class WeeklyMinutesChart {
public:
    explicit WeeklyMinutesChart(QChartView* view);
    // The weeks as weeklyTotals() gives them; more than shown tells the title to say so.
    void show(const std::vector<practicelog::WeekTotal>& weeks, bool earlierWeeks);

private:
    QChartView* m_view;
    QBarSet* m_pranayama;
    QBarSet* m_kevali;
    QBarCategoryAxis* m_weeks;
    QValueAxis* m_minutes;
};

} // namespace tolvane
