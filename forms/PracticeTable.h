#pragma once

#include "practicelog/PracticeEntry.h"

#include <QAbstractTableModel>

#include <vector>

namespace tolvane {

// The practices of the log as a table, newest first, in words a person reads.
class PracticeTableModel : public QAbstractTableModel {
    Q_OBJECT
    Q_DISABLE_COPY(PracticeTableModel)

public:
    using QAbstractTableModel::QAbstractTableModel;

    // The practices in the order of the log, oldest first.
    void setEntries(std::vector<practicelog::PracticeEntry> entries);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<practicelog::PracticeEntry> m_entries;
};

} // namespace tolvane
