#pragma once

#include "practicelog/PracticeEntry.h"

#include <QAbstractTableModel>

#include <vector>

namespace tolvane {

// The practices of the log as a table, newest first, in words a person reads: dates and numbers
// as the locale writes them, the units in the column titles.
class PracticeTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY(PracticeTableModel)

public:
    using QAbstractTableModel::QAbstractTableModel;

    // The practices oldest first.
    void setEntries(std::vector<practicelog::PracticeEntry> entries);

    // A row as it is copied for a spreadsheet, and the titles of its cells: numbers as numbers,
    // times in whole seconds, the date and the time in the forms every spreadsheet reads.
    QStringList copiedTitles() const;
    QStringList copiedRow(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<practicelog::PracticeEntry> m_entries;
};

} // namespace tolvane
