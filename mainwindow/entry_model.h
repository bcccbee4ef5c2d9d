// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string>

#include "core/entry_table.h"

namespace karvex {

// One column of the entry table as a list: the names (List1) or the size texts (List2).
// Each list has a model of its own, so that a screen reader hears exactly the column the
// list shows. The table itself stays in the session; the model only reads it. Its row
// count changes only at Freeze and Refresh, so views never see a table being filled.
class EntryModel : public QAbstractListModel {
    Q_OBJECT
  public:
    enum Column { NameColumn, SizeColumn };

    EntryModel(const EntryTable& table, Column column, QObject* parent = nullptr);

    // Shows no rows while a routine refills the table.
    void Freeze();
    // Shows the table as it now stands.
    void Refresh();

    // The thousands separator of the sizes' tool tips ("65,536 bytes").
    void SetSeparator(std::string separator) { m_separator = std::move(separator); }
    // What a drag of the selected rows carries, made when the drag starts; a drag that
    // `source` answers with nothing does not start.
    void SetDragSource(std::function<QMimeData*()> source) { m_dragSource = std::move(source); }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;

  private:
    const EntryTable& m_table;
    Column m_column;
    int m_rows = 0;
    std::string m_separator = ",";
    std::function<QMimeData*()> m_dragSource;
};

}  // namespace karvex
