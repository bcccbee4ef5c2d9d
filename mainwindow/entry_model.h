#pragma once

#include <QAbstractTableModel>

#include "entry_table.h"

namespace karvex {

// The entry table as the main window's lists see it: column 0 the names (List1), column 1
// the size texts (List2), column 2 the offset texts (the hidden List3). The table itself
// stays in the core; the model only reads it. Its row count changes only at Freeze and
// Refresh, so views never see a table that is being filled.
class EntryModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum Column { NameColumn = 0, SizeColumn = 1, OffsetColumn = 2 };

    explicit EntryModel(const EntryTable& table, QObject* parent = nullptr);

    // Shows no rows while a routine refills the table.
    void Freeze();
    // Shows the table as it now stands.
    void Refresh();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    const EntryTable& m_table;
    int m_rows = 0;
};

}  // namespace karvex
