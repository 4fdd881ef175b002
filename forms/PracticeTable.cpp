#include "forms/PracticeTable.h"

#include "platform/Clock.h"
#include "practice/TimeFormat.h"

#include <QCoreApplication>
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

// The words for each value, in the order of its enumeration; translated when shown.
using Words = std::array<const char*, 3>;
constexpr Words holdsWords{QT_TRANSLATE_NOOP("PracticeTable", "no hold"),
                           QT_TRANSLATE_NOOP("PracticeTable", "one hold"),
                           QT_TRANSLATE_NOOP("PracticeTable", "two holds")};
constexpr Words ratioWords{QT_TRANSLATE_NOOP("PracticeTable", "1:(4):2:(2)"),
                           QT_TRANSLATE_NOOP("PracticeTable", "1:(1):1:(1)"),
                           QT_TRANSLATE_NOOP("PracticeTable", "Free")};
constexpr Words endedWords{QT_TRANSLATE_NOOP("PracticeTable", "ran to its end"),
                           QT_TRANSLATE_NOOP("PracticeTable", "stopped"),
                           QT_TRANSLATE_NOOP("PracticeTable", "program closed")};
constexpr Words ratingWords{QT_TRANSLATE_NOOP("PracticeTable", "easy"),
                            QT_TRANSLATE_NOOP("PracticeTable", "slightly difficult"),
                            QT_TRANSLATE_NOOP("PracticeTable", "difficult")};

QString translated(const char* text)
{
    return QCoreApplication::translate("PracticeTable", text);
}

template <typename Enum> QString words(Enum value, const Words& names)
{
    return translated(names[std::size_t(value)]);
}

template <typename Enum> QString words(const std::optional<Enum>& value, const Words& names)
{
    return value ? words(*value, names) : QString();
}

using CellText = QString (*)(const PracticeEntry&);

struct TableColumn {
    const char* title; // translated when shown
    CellText text;
    bool number; // right-aligned
    // How a spreadsheet gets it, when not as it is shown.
    const char* copiedTitle = nullptr;
    CellText copied = nullptr;
};

const std::array<TableColumn, 18> tableColumns{{
    {QT_TRANSLATE_NOOP("PracticeTable", "Started"), startedText, false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Exercise"),
     [](const PracticeEntry& e) {
         return e.exercise == Exercise::Pranayama
                    ? QCoreApplication::translate("PracticeTable", "Pranayama")
                    : QCoreApplication::translate("PracticeTable", "Kevali");
     },
     false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Type"),
     [](const PracticeEntry& e) { return words(e.type, holdsWords); }, false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Ratio"),
     [](const PracticeEntry& e) { return words(e.ratio, ratioWords); }, false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Puraka (s)"),
     [](const PracticeEntry& e) { return optionalNumber(e.puraka); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Abhyantara (s)"),
     [](const PracticeEntry& e) { return optionalNumber(e.abhyantara); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Rechaka (s)"),
     [](const PracticeEntry& e) { return optionalNumber(e.rechaka); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Bahya (s)"),
     [](const PracticeEntry& e) { return optionalNumber(e.bahya); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Rounds planned"),
     [](const PracticeEntry& e) { return number(e.roundsPlanned); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Kevali time (min)"),
     [](const PracticeEntry& e) { return optionalNumber(e.kevaliMinutes); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "First breath (s)"),
     [](const PracticeEntry& e) { return optionalNumber(e.kevaliStartBreath); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Delay"),
     [](const PracticeEntry& e) {
         return e.delay ? QCoreApplication::translate("PracticeTable", "yes")
                        : QCoreApplication::translate("PracticeTable", "no");
     },
     false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Planned"),
     [](const PracticeEntry& e) { return duration(e.plannedSeconds); }, true,
     QT_TRANSLATE_NOOP("PracticeTable", "Planned (s)"),
     [](const PracticeEntry& e) { return wholeSeconds(e.plannedSeconds); }},
    {QT_TRANSLATE_NOOP("PracticeTable", "Practised"),
     [](const PracticeEntry& e) { return duration(e.elapsedSeconds); }, true,
     QT_TRANSLATE_NOOP("PracticeTable", "Practised (s)"),
     [](const PracticeEntry& e) { return wholeSeconds(e.elapsedSeconds); }},
    {QT_TRANSLATE_NOOP("PracticeTable", "Rounds done"),
     [](const PracticeEntry& e) { return number(e.roundsDone); }, true},
    {QT_TRANSLATE_NOOP("PracticeTable", "Ended"),
     [](const PracticeEntry& e) { return words(e.ended, endedWords); }, false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Rating"),
     [](const PracticeEntry& e) { return words(e.rating, ratingWords); }, false},
    {QT_TRANSLATE_NOOP("PracticeTable", "Round after rating (s)"),
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
    return translated(tableColumns[std::size_t(section)].title);
}

QStringList PracticeTableModel::copiedTitles() const
{
    QStringList titles{tr("Date"), tr("Time")};
    for (std::size_t i = 1; i < tableColumns.size(); ++i)
        titles << translated(tableColumns[i].copied ? tableColumns[i].copiedTitle
                                                    : tableColumns[i].title);
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
