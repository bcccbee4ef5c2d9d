// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractListModel>
#include <QSize>
#include <QTimer>
#include <cstdint>
#include <vector>

#include "core/session.h"
#include "platform/centred_dialog.h"
#include "viewers/text_lines.h"

class QListView;

namespace karvex {

// The text viewer's items as a list, read from the archive as the list shows them. The
// entry's lines are counted in one pass, block by block (CountMore), into a sparse index;
// a row's text is read again when it is shown, a block of rows at a time. A row shows the
// first 64 KiB of its line, and an ellipsis "\u2026" after them when the line goes on.
// Items are the entry's 8-bit bytes, shown as Latin-1 characters.
//
// A list view lays out every row it is given, a few bytes and some time for each, so the
// rows are a window of at most kWindowRows lines that starts at FirstShown: every line of
// a text of up to a million lines, and a part that ShowFrom moves over a longer one.
class TextLinesModel : public QAbstractListModel {
    Q_OBJECT
  public:
    static constexpr int kWindowRows = 1 << 20;

    TextLinesModel(const Session& session, QObject* parent);

    // Starts over on entry i, with no rows.
    void Open(int i);
    // Counts on through at most `bytes` more of the entry and adds the rows found to the
    // window. A failed read ends the count: the lines found until then are all there is.
    void CountMore(std::int64_t bytes);
    bool Complete() const { return m_index.Complete(); }
    std::int64_t LineCount() const { return m_index.Lines(); }

    // The line row 0 shows.
    std::int64_t FirstShown() const { return m_first; }
    // Makes `line` (as far as there are lines after it) the one row 0 shows.
    void ShowFrom(std::int64_t line);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

  private:
    int WindowRows() const;

    const Session& m_session;
    TextLineIndex m_index;
    std::int64_t m_first = 0;
    int m_rows = 0;
    // The block of lines read last, from line m_cacheFirst.
    mutable std::int64_t m_cacheFirst = 0;
    mutable std::vector<ShownLine> m_cache;
};

// The viewers give a window's outer size as its contents plus 125 twips across and 400 down,
// the room for a frame and title bar. The window system draws a frame of its own size; this
// is the part of that room the frame leaves over, which falls inside the window. With a
// frame 4 pixels across and 30 down, the 8 x 27 pixels leave 4 x 0; with no frame, as
// before a window is shown or on a platform without one, all 8 x 27.
QSize FrameAllowanceInside(const QWidget* window);

// Form11, the text viewer: the lines of the entry last right-clicked (State().EntryIndex),
// one item per line ending in CR LF inside the entry, read from the archive in blocks. It
// shows no message: an archive that cannot be read leaves the lines read until then. The
// first kFirstCount bytes are counted before the window shows; the rest in steps between
// the window's events, the list growing as it goes.
class Form11 : public platform::CentredDialog {
    Q_OBJECT
  public:
    explicit Form11(Session& session, QWidget* parent = nullptr);

    // Icon, caption (SelectedName) and the lines; the window centres itself when shown.
    void Form_Load();
    // List1 takes the window's outer size less 125 x 400 twips.
    void Form_Resize();
    // Counts the entry's first kFirstCount bytes into List1 and the rest in steps.
    void TextLinesLoad();

    static constexpr std::int64_t kFirstCount = 8 * 1024 * 1024;
    static constexpr std::int64_t kCountStep = 4 * 1024 * 1024;

  protected:
    void resizeEvent(QResizeEvent* event) override;
    // The window system's frame becomes known once the window is placed.
    void moveEvent(QMoveEvent* event) override;

  private:
    void CountStep();
    void NameTheList();
    // Moves the window of rows over a long text when the view nears one of its ends.
    void FollowScroll();

    Session& m_session;
    TextLinesModel m_lines;  // what List1 shows
    QTimer m_counting;       // the steps of the count
    QListView* List1;        // the lines, one item each; fills the window
};

}  // namespace karvex
