// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text viewer's plain logic: an entry's bytes split into the list's items.
//
// A line ends with carriage return and line feed, both inside the entry; a lone CR or LF
// is an ordinary character of its line. Each line that ends so is one item, in order: the
// first as it is, a later empty one as one blank " ". The text after the entry's last line
// break is not an item. For the bytes A B CR LF CR LF C D CR LF E the items are "AB", " ",
// "CD"; for CR LF A B CR LF they are "" and "AB".
//
// Nothing here holds a line whole unless asked to: an entry may be one line of 2 GiB, or
// a billion empty ones.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"

namespace karvex {

class Session;

// Takes an entry's bytes in blocks of any size, a line break split across two blocks
// included, and hands each item on in pieces as they come, then its end. An item's pieces
// together are the item: an empty later line comes as the one piece " ", an empty first
// line as no piece at all. Holds one byte at most, a CR that may begin a line break.
class TextLinePieces {
  public:
    using PieceReceiver = std::function<void(std::string_view piece)>;
    using EndReceiver = std::function<void()>;
    // `first`: the bytes begin the entry, so their first line is the entry's first item;
    // false when they begin a later line.
    TextLinePieces(PieceReceiver piece, EndReceiver end, bool first = true)
        : m_piece(std::move(piece)), m_end(std::move(end)), m_first(first) {}

    // The entry's next bytes; the caller feeds the entry's own bytes only, so a CR that is
    // its last byte is never joined to an LF that lies past it.
    void Feed(std::string_view block);

  private:
    void Emit(std::string_view piece);
    void EndLine();

    PieceReceiver m_piece;
    EndReceiver m_end;
    bool m_first;
    bool m_lineEmpty = true;   // no piece of the current line handed on yet
    bool m_pendingCr = false;  // the last block ended in a CR not handed on yet
};

// Takes an entry's bytes in blocks, like TextLinePieces, and hands on each item whole: for
// bytes that are in memory already.
class TextLineSplitter {
  public:
    using ItemReceiver = std::function<void(std::string_view item)>;
    explicit TextLineSplitter(ItemReceiver receive);
    // The pieces' receivers point at this object.
    TextLineSplitter(const TextLineSplitter&) = delete;
    TextLineSplitter& operator=(const TextLineSplitter&) = delete;

    void Feed(std::string_view block) { m_pieces.Feed(block); }

  private:
    ItemReceiver m_receive;
    std::string m_line;
    TextLinePieces m_pieces;
};

// The items of `bytes`, a whole entry.
std::vector<std::string> TextItems(std::string_view bytes);

// Where entry i's last line break ends, as an offset into the entry (0: it has none),
// found by reading the entry backwards from its end in blocks. Bytes past the end of the
// archive are not there to be read: the entry ends where the file does. Failed when the
// archive cannot be read.
Result LastLineBreakEnd(const Session& session, int i, std::int64_t& end);

// Reads entry i of the open archive in blocks and gives its items to `lines` in order,
// without holding any of them: LastLineBreakEnd first, then the bytes up to it, so that
// the text after the last line break is never read as an item. Failed when the archive
// cannot be read; a missing entry has no items.
Result TextLinesLoad(const Session& session, int i, TextLinePieces& lines);

// How the viewer shows a line: its first kShownLineBytes bytes, and whether it goes on.
inline constexpr std::size_t kShownLineBytes = 65536;
struct ShownLine {
    std::string text;
    bool goesOn = false;
};

// Entry i's lines, counted in one pass over the entry in blocks, with a sparse index that
// lets any line be read again from the archive without reading the lines before it. The
// index marks the start of every kLinesPerMark-th line and of the first line that starts
// kBytesPerMark or more past the last mark, so that a line is reached by reading at most
// kBytesPerMark bytes before it: what it holds grows with neither the lines' length nor,
// beyond a few MiB for 2 GiB of empty lines, their number.
class TextLineIndex {
  public:
    static constexpr std::int64_t kLinesPerMark = 4096;
    static constexpr std::int64_t kBytesPerMark = 256 * 1024;

    // Starts over on entry i of the session's archive, with no line counted. A missing
    // entry, or one that is not there, has no lines and is counted at once.
    void Open(const Session& session, int i);
    // Counts on through at most `bytes` more of the entry. The count is complete at the
    // entry's end, at the end of the file, or when the archive cannot be read (Failed).
    Result CountMore(const Session& session, std::int64_t bytes);
    bool Complete() const { return m_complete; }
    // The items counted so far: the line breaks found.
    std::int64_t Lines() const { return m_lines; }

    // Lines [first, first + count) as shown, as far as they are counted: fewer when the
    // archive changed or cannot be read (Failed), and none past the first that goes on or
    // once `budget` bytes of text are held, so that a long line is never read to its end.
    Result ReadLines(const Session& session, std::int64_t first, std::int64_t count,
                     std::size_t budget, std::vector<ShownLine>& out) const;

  private:
    struct Mark {
        std::int64_t line = 0;    // the line that starts here
        std::int64_t offset = 0;  // in the entry
    };
    void LineEnds(std::int64_t next);

    std::int64_t m_offset = 0;  // the entry's in the archive
    std::int64_t m_size = 0;
    std::int64_t m_read = 0;  // entry bytes counted
    std::int64_t m_lines = 0;
    std::int64_t m_linesEnd = 0;  // where the last line break counted ends
    bool m_lastCr = false;        // the last byte counted is a CR
    bool m_complete = true;
    std::vector<Mark> m_marks;
};

}  // namespace karvex
