#include "entry_model.h"

namespace karvex {

EntryModel::EntryModel(const EntryTable& table, QObject* parent)
    : QAbstractTableModel(parent), m_table(table) {}

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

int EntryModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant EntryModel::data(const QModelIndex& index, int role) const {
    // Rows the table no longer holds (it is being refilled) show nothing until Refresh.
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_table.Count())
        return {};
    if (role == Qt::TextAlignmentRole && index.column() == SizeColumn)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    // Names, sizes and offsets are 8-bit text.
    const std::string& text = index.column() == NameColumn   ? m_table.Name(index.row())
                              : index.column() == SizeColumn ? m_table.Size(index.row())
                                                             : m_table.Offset(index.row());
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace karvex
