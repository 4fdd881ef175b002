#include "forms/PracticeCharts.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDateTimeAxis>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tolvane {

using namespace practicelog;

namespace {

constexpr qint64 msPerDay = 86'400'000;
constexpr int markerPixels = 11;
// Spans of dates up to these are labelled by the hour and by the day; longer ones by the month.
constexpr qint64 daysLabelledByHour = 3;
constexpr qint64 daysLabelledByDay = 200;

struct MarkStyle {
    QStringView name;
    QLegend::MarkerShape shape;
    QColor color;
    bool filled;
};

// In the order of the ratings, then the practices without one. Shapes as well as colours tell
// them apart.
const std::array<MarkStyle, 4> markStyles{{
    {u"Easy", QLegend::MarkerShapeCircle, QColor(0x2e, 0x9e, 0x3e), true},
    {u"Slightly difficult", QLegend::MarkerShapeTriangle, QColor(0xe0, 0x8a, 0x00), true},
    {u"Difficult", QLegend::MarkerShapeRectangle, QColor(0xc8, 0x28, 0x28), true},
    {u"Not rated", QLegend::MarkerShapeRotatedRectangle, QColor(0x70, 0x70, 0x70), false},
}};

// The mark drawn at each point. A line series without a line paints it at every point, where a
// scatter series would make an item of each one, which thousands of practices make slow.
QImage markImage(const MarkStyle& style)
{
    QImage image(markerPixels, markerPixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(style.color.darker(130), 1.2));
    painter.setBrush(style.filled ? QBrush(style.color) : QBrush(Qt::white));
    const QRectF box(1, 1, markerPixels - 2, markerPixels - 2);
    const QPointF c = box.center();
    switch (style.shape) {
    case QLegend::MarkerShapeCircle:
        painter.drawEllipse(box);
        break;
    case QLegend::MarkerShapeTriangle:
        painter.drawPolygon(QPolygonF{{c.x(), box.top()}, box.bottomRight(), box.bottomLeft()});
        break;
    case QLegend::MarkerShapeRectangle:
        painter.drawRect(box.adjusted(1, 1, -1, -1));
        break;
    default:
        painter.drawPolygon(QPolygonF{
            {c.x(), box.top()}, {box.right(), c.y()}, {c.x(), box.bottom()}, {box.left(), c.y()}});
        break;
    }
    return image;
}

QChart* newChart(QChartView* view, const QString& title)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    view->setChart(chart);
    view->setRenderHint(QPainter::Antialiasing);
    return chart;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least value.
double roundNumberAtLeast(double value)
{
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (const double step : {1.0, 2.0, 5.0}) {
        if (step * power >= value * (1 - 1e-9))
            return step * power;
    }
    return 10 * power;
}

} // namespace

QString counted(qsizetype count, QStringView one, QStringView many)
{
    return QString::number(count) + u' ' + (count == 1 ? one : many);
}

QString minutesText(double minutes)
{
    if (minutes > 0 && qRound(minutes) == 0)
        return QStringLiteral("under a minute");
    return counted(qRound(minutes), u"minute", u"minutes");
}

RoundLengthChart::RoundLengthChart(QChartView* view)
    : m_view(view)
    , m_line(new QLineSeries)
    , m_dates(new QDateTimeAxis)
    , m_seconds(new QValueAxis)
{
    QChart* chart = newChart(view, QStringLiteral("Round length per Pranayama practice, seconds"));
    m_line->setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 1));
    chart->addSeries(m_line);
    for (std::size_t i = 0; i < markStyles.size(); ++i) {
        auto* marks = new QLineSeries;
        marks->setName(markStyles[i].name.toString());
        marks->setPen(Qt::NoPen);
        marks->setMarkerSize(markerPixels);
        marks->setLightMarker(markImage(markStyles[i]));
        chart->addSeries(marks);
        m_marks[i] = marks;
    }
    m_seconds->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(m_dates, Qt::AlignBottom);
    chart->addAxis(m_seconds, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(m_dates);
        series->attachAxis(m_seconds);
    }
    chart->legend()->markers(m_line).constFirst()->setVisible(false);
    for (std::size_t i = 0; i < markStyles.size(); ++i) {
        QLegendMarker* legend = chart->legend()->markers(m_marks[i]).constFirst();
        legend->setShape(markStyles[i].shape);
        legend->setBrush(markStyles[i].filled ? QBrush(markStyles[i].color) : QBrush(Qt::white));
        legend->setPen(QPen(markStyles[i].color.darker(130)));
    }
}

void RoundLengthChart::show(const std::vector<PracticeEntry>& entries)
{
    QList<QPointF> line;
    std::array<QList<QPointF>, 4> marks;
    for (const PracticeEntry& entry : entries) {
        const auto round = entry.roundSeconds();
        if (!round)
            continue;
        const QPointF point(double(entry.started.msecsSinceEpoch()), double(*round));
        line << point;
        marks[entry.rating ? std::size_t(*entry.rating) : 3] << point;
    }
    m_line->replace(line);
    for (std::size_t i = 0; i < marks.size(); ++i)
        m_marks[i]->replace(marks[i]);

    if (line.isEmpty()) {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        m_dates->setRange(QDateTime::fromMSecsSinceEpoch(now - 7 * msPerDay),
                          QDateTime::fromMSecsSinceEpoch(now));
        m_dates->setFormat(QStringLiteral("d MMM"));
        m_seconds->setRange(0, 10);
        m_view->setAccessibleDescription(QStringLiteral("No Pranayama practice is recorded."));
        return;
    }
    const auto [left, right] = std::minmax_element(
        line.cbegin(), line.cend(), [](QPointF a, QPointF b) { return a.x() < b.x(); });
    const auto [low, high] = std::minmax_element(
        line.cbegin(), line.cend(), [](QPointF a, QPointF b) { return a.y() < b.y(); });
    const qint64 span = qint64(right->x() - left->x());
    const qint64 margin = std::max(span / 50, msPerDay / 2);
    m_dates->setRange(QDateTime::fromMSecsSinceEpoch(qint64(left->x()) - margin),
                      QDateTime::fromMSecsSinceEpoch(qint64(right->x()) + margin));
    m_dates->setFormat(span <= daysLabelledByHour * msPerDay  ? QStringLiteral("d MMM HH:mm")
                       : span <= daysLabelledByDay * msPerDay ? QStringLiteral("d MMM")
                                                              : QStringLiteral("MMM yyyy"));
    m_seconds->setRange(std::max(0.0, low->y() - 1), high->y() + 1);
    m_seconds->applyNiceNumbers();

    const QLocale locale;
    QString told =
        QStringLiteral("%1 from %2 to %3: %4 seconds at first, %5 seconds at last.")
            .arg(counted(line.size(), u"Pranayama practice", u"Pranayama practices"),
                 locale.toString(QDateTime::fromMSecsSinceEpoch(qint64(left->x())).date(),
                                 QLocale::LongFormat),
                 locale.toString(QDateTime::fromMSecsSinceEpoch(qint64(right->x())).date(),
                                 QLocale::LongFormat))
            .arg(line.constFirst().y())
            .arg(line.constLast().y());
    for (std::size_t i = 0; i < marks.size(); ++i) {
        if (!marks[i].isEmpty())
            told += u' ' + markStyles[i].name.toString() + u": " +
                    QString::number(marks[i].size()) + u'.';
    }
    m_view->setAccessibleDescription(told);
}

WeeklyMinutesChart::WeeklyMinutesChart(QChartView* view)
    : m_view(view)
    , m_pranayama(new QBarSet(QStringLiteral("Pranayama")))
    , m_kevali(new QBarSet(QStringLiteral("Kevali")))
    , m_weeks(new QBarCategoryAxis)
    , m_minutes(new QValueAxis)
{
    QChart* chart = newChart(view, QString());
    // The colours of the two start buttons, deep enough to read on white.
    for (auto [set, color] : {std::pair{m_pranayama, QColor(0x3c, 0xb0, 0x3c)},
                              std::pair{m_kevali, QColor(0xd8, 0xb4, 0x00)}}) {
        set->setBrush(color);
        set->setPen(QPen(color.darker(130)));
    }
    auto* series = new QStackedBarSeries;
    series->append(m_pranayama);
    series->append(m_kevali);
    chart->addSeries(series);
    m_weeks->setTitleText(QStringLiteral("Week beginning"));
    chart->addAxis(m_weeks, Qt::AlignBottom);
    chart->addAxis(m_minutes, Qt::AlignLeft);
    series->attachAxis(m_weeks);
    series->attachAxis(m_minutes);
}

void WeeklyMinutesChart::show(const std::vector<WeekTotal>& weeks, bool earlierWeeks)
{
    const QLocale locale;
    QStringList labels;
    QList<qreal> pranayama;
    QList<qreal> kevali;
    double most = 0;
    QStringList told;
    for (const WeekTotal& week : weeks) {
        labels << locale.toString(week.start, QStringLiteral("d MMM"));
        pranayama << week.pranayamaMinutes;
        kevali << week.kevaliMinutes;
        most = std::max(most, week.pranayamaMinutes + week.kevaliMinutes);
        told.prepend(QStringLiteral("week of %1: %2 (Pranayama %3, Kevali %4)")
                         .arg(locale.toString(week.start, QStringLiteral("d MMMM")),
                              minutesText(week.pranayamaMinutes + week.kevaliMinutes))
                         .arg(qRound(week.pranayamaMinutes))
                         .arg(qRound(week.kevaliMinutes)));
    }
    m_pranayama->remove(0, m_pranayama->count());
    m_kevali->remove(0, m_kevali->count());
    m_pranayama->append(pranayama);
    m_kevali->append(kevali);
    m_weeks->clear();
    m_weeks->append(labels);
    // Three labels, 0, half and the top, all round numbers; short practices give fractions of a
    // minute, which a whole-number scale would hide.
    const double half = roundNumberAtLeast(std::max(most, 0.2) / 2);
    m_minutes->setTickCount(3);
    m_minutes->setRange(0, 2 * half);
    m_minutes->setLabelFormat(half < 1 ? QStringLiteral("%.1f") : QStringLiteral("%d"));

    const QString title =
        earlierWeeks
            ? QStringLiteral("Minutes practised per week, the last %1 weeks").arg(weeks.size())
            : QStringLiteral("Minutes practised per week");
    m_view->chart()->setTitle(title);
    m_view->setAccessibleDescription(title + u", newest first: " + told.join(QStringLiteral("; ")) +
                                     u'.');
}

} // namespace tolvane
