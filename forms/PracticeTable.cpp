#include "forms/PracticeTable.h"

#include "platform/Clock.h"
#include "practice/TimeFormat.h"

#include <QLocale>

#include <array>
#include <cmath>

namespace tolvane {

using namespace practicelog;

namespace {

// Numbers without the separators of thousands, so that a copied cell reads as the same number.
QLocale numberLocale()
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString number(std::int64_t value)
{
    return numberLocale().toString(qlonglong(value));
}

QString optionalNumber(const std::optional<int>& value)
{
    return value ? number(*value) : QString();
}

QString wholeSeconds(double seconds)
{
    return number(std::int64_t(std::floor(std::clamp(seconds, -1e15, 1e15))));
}

QString duration(double seconds)
{
    return formatClockTime(seconds * platform::oneSecond);
}

// The locale's short date and time, with the year in four digits and the seconds.
QString startedText(const PracticeEntry& entry)
{
    const QLocale locale;
    QString date = locale.dateFormat(QLocale::ShortFormat);
    if (!date.contains(QStringLiteral("yyyy")))
        date.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QString time = locale.timeFormat(QLocale::ShortFormat);
    if (!time.contains(u's'))
        time.replace(QStringLiteral("mm"), QStringLiteral("mm:ss"));
    return locale.toString(entry.started.toDateTime(), date + u' ' + time);
}

// The words for each value, in the order of its enumeration.
constexpr std::array<QStringView, 3> holdsWords{u"no hold", u"one hold", u"two holds"};
constexpr std::array<QStringView, 3> ratioWords{u"1:(4):2:(2)", u"1:(1):1:(1)", u"Free"};
constexpr std::array<QStringView, 3> endedWords{u"ran to its end", u"stopped", u"program closed"};
constexpr std::array<QStringView, 3> ratingWords{u"easy", u"slightly difficult", u"difficult"};

template <typename Enum> QString words(Enum value, const std::array<QStringView, 3>& names)
{
    return names[std::size_t(value)].toString();
}

template <typename Enum>
QString words(const std::optional<Enum>& value, const std::array<QStringView, 3>& names)
{
    return value ? words(*value, names) : QString();
}

using CellText = QString (*)(const PracticeEntry&);

struct TableColumn {
    QStringView title;
    CellText text;
    bool number; // right-aligned
    // How a spreadsheet gets it, when not as it is shown.
    QStringView copiedTitle = {};
    CellText copied = nullptr;
};

const std::array<TableColumn, 18> tableColumns{{
    {u"Started", startedText, false},
    {u"Exercise",
     [](const PracticeEntry& e) {
         return e.exercise == Exercise::Pranayama ? QStringLiteral("Pranayama")
                                                  : QStringLiteral("Kevali");
     },
     false},
    {u"Type", [](const PracticeEntry& e) { return words(e.type, holdsWords); }, false},
    {u"Ratio", [](const PracticeEntry& e) { return words(e.ratio, ratioWords); }, false},
    {u"Puraka (s)", [](const PracticeEntry& e) { return optionalNumber(e.puraka); }, true},
    {u"Abhyantara (s)", [](const PracticeEntry& e) { return optionalNumber(e.abhyantara); }, true},
    {u"Rechaka (s)", [](const PracticeEntry& e) { return optionalNumber(e.rechaka); }, true},
    {u"Bahya (s)", [](const PracticeEntry& e) { return optionalNumber(e.bahya); }, true},
    {u"Rounds planned", [](const PracticeEntry& e) { return number(e.roundsPlanned); }, true},
    {u"Kevali time (min)", [](const PracticeEntry& e) { return optionalNumber(e.kevaliMinutes); },
     true},
    {u"First breath (s)",
     [](const PracticeEntry& e) { return optionalNumber(e.kevaliStartBreath); }, true},
    {u"Delay",
     [](const PracticeEntry& e) { return e.delay ? QStringLiteral("yes") : QStringLiteral("no"); },
     false},
    {u"Planned", [](const PracticeEntry& e) { return duration(e.plannedSeconds); }, true,
     u"Planned (s)", [](const PracticeEntry& e) { return wholeSeconds(e.plannedSeconds); }},
    {u"Practised", [](const PracticeEntry& e) { return duration(e.elapsedSeconds); }, true,
     u"Practised (s)", [](const PracticeEntry& e) { return wholeSeconds(e.elapsedSeconds); }},
    {u"Rounds done", [](const PracticeEntry& e) { return number(e.roundsDone); }, true},
    {u"Ended", [](const PracticeEntry& e) { return words(e.ended, endedWords); }, false},
    {u"Rating", [](const PracticeEntry& e) { return words(e.rating, ratingWords); }, false},
    {u"Round after rating (s)",
     [](const PracticeEntry& e) { return optionalNumber(e.roundSecondsAfter); }, true},
}};

} // namespace

void PracticeTableModel::setEntries(std::vector<PracticeEntry> entries)
{
    beginResetModel();
    m_entries = std::move(entries);
    endResetModel();
}

int PracticeTableModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int PracticeTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(tableColumns.size());
}

QVariant PracticeTableModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const TableColumn& column = tableColumns[std::size_t(index.column())];
    if (role == Qt::TextAlignmentRole)
        return int((column.number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return column.text(m_entries[m_entries.size() - 1 - std::size_t(index.row())]);
}

QVariant PracticeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= columnCount())
        return {};
    return tableColumns[std::size_t(section)].title.toString();
}

QStringList PracticeTableModel::copiedTitles() const
{
    QStringList titles{QStringLiteral("Date"), QStringLiteral("Time")};
    for (std::size_t i = 1; i < tableColumns.size(); ++i)
        titles << (tableColumns[i].copied ? tableColumns[i].copiedTitle : tableColumns[i].title)
                      .toString();
    return titles;
}

QStringList PracticeTableModel::copiedRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const PracticeEntry& entry = m_entries[m_entries.size() - 1 - std::size_t(row)];
    const QDateTime started = entry.started.toDateTime();
    QStringList cells{started.toString(QStringLiteral("yyyy-MM-dd")),
                      started.toString(QStringLiteral("HH:mm:ss"))};
    for (std::size_t i = 1; i < tableColumns.size(); ++i)
        cells << (tableColumns[i].copied ? tableColumns[i].copied : tableColumns[i].text)(entry);
    return cells;
}

} // namespace tolvane
