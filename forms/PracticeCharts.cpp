#include "forms/PracticeCharts.h"

#include "forms/ChartScales.h"
#include "platform/Clock.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QEvent>
#include <QGraphicsLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPainter>
#include <QRegularExpression>
#include <QStackedBarSeries>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tolvane {

using namespace practicelog;

namespace {

constexpr int markerPixels = 11;
const qint64 epochDay = QDate(1970, 1, 1).toJulianDay();

struct MarkStyle {
    const char* name; // for translation
    QLegend::MarkerShape shape;
    QColor color;
    bool filled;
};

// In the order of the ratings, then the practices without one. Shapes as well as colours tell
// them apart.
const std::array<MarkStyle, 4> markStyles{{
    {QT_TRANSLATE_NOOP("PracticeCharts", "Easy"), QLegend::MarkerShapeCircle,
     QColor(0x2e, 0x9e, 0x3e), true},
    {QT_TRANSLATE_NOOP("PracticeCharts", "Slightly difficult"), QLegend::MarkerShapeTriangle,
     QColor(0xe0, 0x8a, 0x00), true},
    {QT_TRANSLATE_NOOP("PracticeCharts", "Difficult"), QLegend::MarkerShapeRectangle,
     QColor(0xc8, 0x28, 0x28), true},
    {QT_TRANSLATE_NOOP("PracticeCharts", "Not rated"), QLegend::MarkerShapeRotatedRectangle,
     QColor(0x70, 0x70, 0x70), false},
}};
// The marks without a rating go under the others, and the rarer, harder ratings on top.
constexpr std::array<std::size_t, 4> drawingOrder{3, 0, 1, 2};

// The mark drawn at each point, in the screen's pixels. A line series without a line paints it
// at every point, where a scatter series would make an item of each one.
QString markName(const MarkStyle& style)
{
    return QCoreApplication::translate("PracticeCharts", style.name);
}

QImage markImage(const MarkStyle& style, qreal pixelRatio)
{
    const int side = qCeil(markerPixels * pixelRatio);
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(pixelRatio);
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

QChart* newChart(QChartView* view)
{
    auto* chart = new QChart;
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    // The view gives up the chart it came with instead of deleting it.
    const QChart* given = view->chart();
    view->setChart(chart);
    delete given;
    view->setRenderHint(QPainter::Antialiasing);
    return chart;
}

// The plot a chart in the view has, before the chart has laid itself out: the view less the
// title, the labels and the legend, from the font's measures.
QSize plotSize(const QChartView* view)
{
    const QFontMetrics metrics(view->font());
    return {view->width() - metrics.horizontalAdvance(QStringLiteral("00000")) - 40,
            view->height() - 7 * metrics.height() - 30};
}

// Labels stand at least half a line apart, and as wide as their text and half again.
int tickPixels(const QChartView* view)
{
    return QFontMetrics(view->font()).height() * 3 / 2;
}

int labelPixels(const QChartView* view, const QString& text)
{
    return QFontMetrics(view->font()).horizontalAdvance(text) * 3 / 2 + 8;
}

// The locale's short date without its year: "12/9", "09.12", "09.12".
QString dayMonthFormat(const QLocale& locale)
{
    static const QRegularExpression year(QStringLiteral("[^dMy]*y+[^dMy]*"));
    return locale.dateFormat(QLocale::ShortFormat).remove(year);
}

QString dateLabel(QDate day, DateUnit unit)
{
    const QLocale locale;
    switch (unit) {
    case DateUnit::Day:
    case DateUnit::Week:
        return locale.toString(day, dayMonthFormat(locale));
    case DateUnit::Month:
    case DateUnit::Quarter:
        return locale.toString(day, QStringLiteral("MMM yyyy"));
    case DateUnit::Year:
        return locale.toString(day, QStringLiteral("yyyy"));
    }
    return {};
}

// The widest label of each unit, with its room.
std::array<int, dateUnitCount> dateLabelPixels(const QChartView* view)
{
    std::array<int, dateUnitCount> pixels{};
    for (int u = 0; u < dateUnitCount; ++u) {
        for (int month = 1; month <= 12; ++month)
            pixels[std::size_t(u)] =
                std::max(pixels[std::size_t(u)],
                         labelPixels(view, dateLabel(QDate(2026, month, 28), DateUnit(u))));
    }
    return pixels;
}

void setWholeTicks(QValueAxis* axis, const WholeTicks& ticks)
{
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(ticks.low);
    axis->setTickInterval(ticks.step);
    axis->setRange(ticks.low, ticks.high);
    axis->setLabelFormat(QStringLiteral("%d"));
}

void clearCategories(QCategoryAxis* axis)
{
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
}

QDate dateAt(double ms)
{
    return QDate::fromJulianDay(epochDay + qint64(std::floor(ms / double(platform::msPerDay))));
}

QString roundTitle(RoundBucket bucket)
{
    switch (bucket) {
    case RoundBucket::Practice:
        return QCoreApplication::translate("PracticeCharts",
                                           "Round length per Pranayama practice, seconds");
    case RoundBucket::Week:
        return QCoreApplication::translate(
            "PracticeCharts", "Round length of each week's last Pranayama practice, seconds<br>"
                              "<small>marked by the rating given most often that week</small>");
    case RoundBucket::Month:
        return QCoreApplication::translate(
            "PracticeCharts", "Round length of each month's last Pranayama practice, seconds<br>"
                              "<small>marked by the rating given most often that month</small>");
    }
    return {};
}

} // namespace

QString counted(qsizetype count, QStringView one, QStringView many)
{
    return QLocale().toString(count) + u' ' + (count == 1 ? one : many);
}

QString minutesText(double minutes)
{
    if (minutes > 0 && qRound(minutes) == 0)
        return QCoreApplication::translate("PracticeCharts", "under a minute");
    return counted(qRound(minutes), QCoreApplication::translate("PracticeCharts", "minute"),
                   QCoreApplication::translate("PracticeCharts", "minutes"));
}

QString longDate(QDate day)
{
    return QLocale().toString(day, QLocale::LongFormat);
}

RoundLengthChart::RoundLengthChart(QChartView* view)
    : m_view(view)
    , m_dates(new QCategoryAxis)
    , m_seconds(new QValueAxis)
{
    QChart* chart = newChart(view);
    m_dates->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    chart->addAxis(m_dates, Qt::AlignBottom);
    chart->addAxis(m_seconds, Qt::AlignLeft);
    view->installEventFilter(this);
}

RoundLengthChart::~RoundLengthChart() = default;

void RoundLengthChart::show(const std::vector<PracticeEntry>& entries)
{
    m_entries = entries;
    draw();
}

bool RoundLengthChart::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Resize && !m_entries.empty())
        draw();
    return QObject::eventFilter(watched, event);
}

void RoundLengthChart::draw()
{
    QChart* chart = m_view->chart();
    chart->removeAllSeries();
    const QSize plot = plotSize(m_view);
    const RoundPoints drawn =
        roundPoints(m_entries, std::size_t(std::max(1, plot.width() / (markerPixels + 3))),
                    QLocale().firstDayOfWeek());
    const bool any = !drawn.points.empty();
    m_dates->setVisible(any);
    m_seconds->setVisible(any);
    chart->legend()->setVisible(any);
    if (!any) {
        const QString text = tr("The round chart is for Pranayama: no Pranayama "
                                "practice is recorded yet.");
        chart->setTitle(text);
        m_view->setAccessibleDescription(text);
        return;
    }
    chart->setTitle(roundTitle(drawn.bucket));

    // The line, broken where the practice was.
    QList<QPointF> run;
    const auto addRun = [&] {
        auto* line = new QLineSeries;
        line->setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 1));
        line->append(run);
        chart->addSeries(line);
        line->attachAxis(m_dates);
        line->attachAxis(m_seconds);
        chart->legend()->markers(line).constFirst()->setVisible(false);
        run.clear();
    };
    std::array<QList<QPointF>, 4> marks;
    for (const RoundPoint& point : drawn.points) {
        if (point.afterGap)
            addRun();
        const QPointF at(chartMs(point.day, point.secondOfDay), double(point.seconds));
        run << at;
        marks[std::size_t(point.mark)] << at;
    }
    addRun();
    const qreal pixelRatio = m_view->devicePixelRatioF();
    for (const std::size_t i : drawingOrder) {
        const MarkStyle& style = markStyles[i];
        auto* series = new QLineSeries;
        series->setName(markName(style) + u" (" + QLocale().toString(drawn.practicesMarked[i]) +
                        u')');
        series->setPen(Qt::NoPen);
        series->setMarkerSize(markerPixels);
        series->setLightMarker(markImage(style, pixelRatio));
        series->append(marks[i]);
        chart->addSeries(series);
        series->attachAxis(m_dates);
        series->attachAxis(m_seconds);
        QLegendMarker* legend = chart->legend()->markers(series).constFirst();
        legend->setShape(style.shape);
        legend->setBrush(style.filled ? QBrush(style.color) : QBrush(Qt::white));
        legend->setPen(QPen(style.color.darker(130)));
    }

    const auto [low, high] = std::minmax_element(
        drawn.points.cbegin(), drawn.points.cend(),
        [](const RoundPoint& a, const RoundPoint& b) { return a.seconds < b.seconds; });
    setWholeTicks(m_seconds, wholeTicks(double(low->seconds), double(high->seconds), plot.height(),
                                        tickPixels(m_view)));

    const double first = chartMs(drawn.points.front().day, drawn.points.front().secondOfDay);
    const double last = chartMs(drawn.points.back().day, drawn.points.back().secondOfDay);
    const double margin = std::max((last - first) / 40, double(platform::msPerDay) / 2);
    clearCategories(m_dates);
    m_dates->setStartValue(first - margin);
    const DateTicks ticks = dateTicks(dateAt(first - margin), dateAt(last + margin), plot.width(),
                                      dateLabelPixels(m_view), QLocale().firstDayOfWeek());
    for (const QDate day : ticks.dates) {
        const double at = chartMs(day);
        if (at > first - margin && at < last + margin)
            m_dates->append(dateLabel(day, ticks.unit), at);
    }
    m_dates->setRange(first - margin, last + margin);

    // Told in words: the practices themselves, not the points drawn for them.
    std::vector<const PracticeEntry*> pranayama;
    for (const PracticeEntry& entry : m_entries) {
        if (entry.roundSeconds())
            pranayama.push_back(&entry);
    }
    QString told = tr("%1 from %2 to %3: %4 seconds at first, %5 seconds at last.")
                       .arg(counted(qsizetype(pranayama.size()), tr("Pranayama practice"),
                                    tr("Pranayama practices")),
                            longDate(pranayama.front()->started.date),
                            longDate(pranayama.back()->started.date))
                       .arg(*pranayama.front()->roundSeconds())
                       .arg(*pranayama.back()->roundSeconds());
    for (std::size_t i = 0; i < markStyles.size(); ++i) {
        if (drawn.practicesMarked[i] > 0)
            told += u' ' + markName(markStyles[i]) + u": " +
                    QLocale().toString(drawn.practicesMarked[i]) + u'.';
    }
    m_view->setAccessibleDescription(told);
}

WeeklyMinutesChart::WeeklyMinutesChart(QChartView* view)
    : m_view(view)
    , m_pranayama(new QBarSet(tr("Pranayama")))
    , m_kevali(new QBarSet(tr("Kevali")))
    , m_weeks(new QCategoryAxis)
    , m_minutes(new QValueAxis)
{
    QChart* chart = newChart(view);
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
    m_weeks->setTitleText(tr("Week beginning"));
    m_weeks->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    m_weeks->setGridLineVisible(false);
    chart->addAxis(m_weeks, Qt::AlignBottom);
    chart->addAxis(m_minutes, Qt::AlignLeft);
    series->attachAxis(m_weeks);
    series->attachAxis(m_minutes);
    view->installEventFilter(this);
}

WeeklyMinutesChart::~WeeklyMinutesChart() = default;

void WeeklyMinutesChart::show(const std::vector<WeekTotal>& weeks, bool earlierWeeks)
{
    m_shown = weeks;
    m_earlierWeeks = earlierWeeks;
    draw();
}

bool WeeklyMinutesChart::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_view && event->type() == QEvent::Resize && !m_shown.empty())
        draw();
    return QObject::eventFilter(watched, event);
}

void WeeklyMinutesChart::draw()
{
    QList<qreal> pranayama;
    QList<qreal> kevali;
    double most = 0;
    QStringList told;
    for (const WeekTotal& week : m_shown) {
        pranayama << week.pranayamaMinutes;
        kevali << week.kevaliMinutes;
        most = std::max(most, week.pranayamaMinutes + week.kevaliMinutes);
        told.prepend(tr("week of %1: %2 (Pranayama %3, Kevali %4)")
                         .arg(longDate(week.start),
                              minutesText(week.pranayamaMinutes + week.kevaliMinutes),
                              QLocale().toString(qRound(week.pranayamaMinutes)),
                              QLocale().toString(qRound(week.kevaliMinutes))));
    }
    m_pranayama->remove(0, m_pranayama->count());
    m_kevali->remove(0, m_kevali->count());
    m_pranayama->append(pranayama);
    m_kevali->append(kevali);

    // Every week a bar, and as many weeks labelled as fit, the latest among them.
    const QSize plot = plotSize(m_view);
    const int count = int(m_shown.size());
    const int labelWidth = labelPixels(m_view, dateLabel(QDate(2026, 12, 28), DateUnit::Week));
    int every = 1;
    while (count / every * labelWidth > plot.width() && every < count)
        ++every;
    clearCategories(m_weeks);
    m_weeks->setStartValue(-0.5);
    for (int i = (count - 1) % every; i < count; i += every)
        m_weeks->append(dateLabel(m_shown[std::size_t(i)].start, DateUnit::Week), i);
    m_weeks->setRange(-0.5, count - 0.5);
    setWholeTicks(m_minutes, wholeTicks(0, most, plot.height(), tickPixels(m_view)));

    QString title =
        m_earlierWeeks
            ? tr("Minutes practised per week, the last %1 weeks").arg(QLocale().toString(count))
            : tr("Minutes practised per week");
    if (most == 0)
        title = tr("Minutes practised per week: none in the last %1")
                    .arg(counted(count, tr("week"), tr("weeks")));
    m_view->chart()->setTitle(title);
    m_view->setAccessibleDescription(
        tr("%1, newest first: %2.").arg(title, told.join(QStringLiteral("; "))));
}

} // namespace tolvane
