#pragma once

#include <QAbstractListModel>

#include "entry_table.h"

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

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const EntryTable& m_table;
    Column m_column;
    int m_rows = 0;
};

}  // namespace karvex
