// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwindow/entry_model.h"

#include "core/number_text.h"
#include "platform/latin1.h"

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
    if (role == Qt::ToolTipRole && m_column == SizeColumn && !m_table.IsMissing(index.row()))
        return platform::FromLatin1(FormatNumber(m_table.SizeOf(index.row()), m_separator) +
                                    " bytes");
    if (role != Qt::DisplayRole)
        return {};
    return platform::FromLatin1(m_column == NameColumn ? m_table.Name(index.row())
                                                       : m_table.Size(index.row()));
}

Qt::ItemFlags EntryModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractListModel::flags(index);
    if (index.isValid() && m_dragSource)
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

QStringList EntryModel::mimeTypes() const {
    return {"text/uri-list"};
}

QMimeData* EntryModel::mimeData(const QModelIndexList&) const {
    // The drag carries the selected entries, as the table holds the selection.
    return m_dragSource ? m_dragSource() : nullptr;
}

}  // namespace karvex
