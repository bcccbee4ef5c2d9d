#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <string>
#include <vector>

#include "archive_session.h"
#include "centred_dialog.h"

class QListView;

namespace karvex {

// The text viewer's items as a list, filled once and for all: the view lays out every row
// in one go instead of one row at a time. Items are the entry's 8-bit bytes, shown as
// Latin-1 characters.
class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
  public:
    using QAbstractListModel::QAbstractListModel;

    void SetItems(std::vector<std::string> items);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    std::vector<std::string> m_items;
};

// The viewers give a window's outer size as its contents plus 125 twips across and 400 down,
// the room for a frame and title bar. The window system draws a frame of its own size; this
// is the part of that room the frame leaves over, which falls inside the window. With a
// frame 4 pixels across and 30 down, the 8 x 27 pixels leave 4 x 0; with no frame, as
// before a window is shown or on a platform without one, all 8 x 27.
QSize FrameAllowanceInside(const QWidget* window);

// Form11, the text viewer: the lines of the entry last right-clicked (State().EntryIndex),
// one item per line ending in CR LF inside the entry, read from the archive in blocks. It
// shows no message: an archive that cannot be read leaves the lines read until then.
class Form11 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form11(ArchiveSession& session, QWidget* parent = nullptr);

    // Icon, caption (SelectedName) and the lines; the window centres itself when shown.
    void Form_Load();
    // List1 takes the window's outer size less 125 x 400 twips.
    void Form_Resize();
    // Reads the entry and fills List1.
    void TextLinesLoad();

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The window system's frame becomes known once the window is placed.
    void moveEvent(QMoveEvent* event) override;

  private:
    ArchiveSession& m_session;
    TextLinesModel m_lines;  // what List1 shows
    QListView* List1;        // the lines, one item each; fills the window
};

}  // namespace karvex
