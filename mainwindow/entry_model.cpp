#include "entry_model.h"

#include "latin1.h"

namespace karvex {

EntryModel::EntryModel(const EntryTable& table, Column column, QObject* parent)
    : QAbstractListModel(parent), m_table(table), m_column(column) {}

void EntryModel::Freeze() {
    beginResetModel();
    m_rows = 0;
    endResetModel();
}

void EntryModel::Refresh() {
    beginResetModel();
    m_rows = m_table.Count();
    endResetModel();
}

int EntryModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_rows;
}

QVariant EntryModel::data(const QModelIndex& index, int role) const {
    // Rows the table no longer holds (it is being refilled) show nothing until Refresh.
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_table.Count())
        return {};
    if (role == Qt::TextAlignmentRole && m_column == SizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    return platform::FromLatin1(m_column == NameColumn ? m_table.Name(index.row())
                                                       : m_table.Size(index.row()));
}

}  // namespace karvex
