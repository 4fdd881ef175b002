#include "forms/PracticeTable.h"

#include "forms/TimeFormat.h"
#include "platform/Clock.h"

#include <QLocale>

#include <array>

namespace tolvane {

using namespace practicelog;

namespace {

QString optionalNumber(const std::optional<int>& value, QStringView unit = {})
{
    if (!value)
        return {};
    return unit.isEmpty() ? QString::number(*value) : QString::number(*value) + u' ' + unit;
}

QString secondsValue(const std::optional<int>& value)
{
    return optionalNumber(value, u"s");
}

QString duration(double seconds)
{
    return formatClockTime(seconds * platform::oneSecond);
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

struct TableColumn {
    QStringView title;
    QString (*text)(const PracticeEntry&);
    bool number; // right-aligned
};

const std::array<TableColumn, 18> tableColumns{{
    {u"Started",
     [](const PracticeEntry& e) {
         return QLocale().toString(e.started.toDateTime(), QLocale::ShortFormat);
     },
     false},
    {u"Exercise",
     [](const PracticeEntry& e) {
         return e.exercise == Exercise::Pranayama ? QStringLiteral("Pranayama")
                                                  : QStringLiteral("Kevali");
     },
     false},
    {u"Type", [](const PracticeEntry& e) { return words(e.type, holdsWords); }, false},
    {u"Ratio", [](const PracticeEntry& e) { return words(e.ratio, ratioWords); }, false},
    {u"Puraka", [](const PracticeEntry& e) { return secondsValue(e.puraka); }, true},
    {u"Abhyantara", [](const PracticeEntry& e) { return secondsValue(e.abhyantara); }, true},
    {u"Rechaka", [](const PracticeEntry& e) { return secondsValue(e.rechaka); }, true},
    {u"Bahya", [](const PracticeEntry& e) { return secondsValue(e.bahya); }, true},
    {u"Rounds planned", [](const PracticeEntry& e) { return QString::number(e.roundsPlanned); },
     true},
    {u"Kevali time", [](const PracticeEntry& e) { return optionalNumber(e.kevaliMinutes, u"min"); },
     true},
    {u"First breath", [](const PracticeEntry& e) { return secondsValue(e.kevaliStartBreath); },
     true},
    {u"Delay",
     [](const PracticeEntry& e) { return e.delay ? QStringLiteral("yes") : QStringLiteral("no"); },
     false},
    {u"Planned", [](const PracticeEntry& e) { return duration(e.plannedSeconds); }, true},
    {u"Practised", [](const PracticeEntry& e) { return duration(e.elapsedSeconds); }, true},
    {u"Rounds done", [](const PracticeEntry& e) { return QString::number(e.roundsDone); }, true},
    {u"Ended", [](const PracticeEntry& e) { return words(e.ended, endedWords); }, false},
    {u"Rating", [](const PracticeEntry& e) { return words(e.rating, ratingWords); }, false},
    {u"Round after rating",
     [](const PracticeEntry& e) { return secondsValue(e.roundSecondsAfter); }, true},
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

} // namespace tolvane
