// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/text_lines.h"

#include <algorithm>
#include <cstring>

#include "core/session.h"

namespace karvex {

namespace {

// The backward search reads blocks that double from one read block up to this, so that a
// short tail costs one small read and a tail of 2 GiB a few hundred reads.
constexpr std::int64_t kLongestBackwardRead = 4 * 1024 * 1024;

bool IsEntry(const Session& session, int i) {
    return i >= 0 && i < session.Table().Count() && !session.Table().IsMissing(i);
}

// Calls `found` with the offset in `block` just past each CR LF whose LF is in it. `lastCr`
// says whether the byte before the block is a CR, and is left saying whether its last is.
template <typename Found>
void ForEachBreak(std::string_view block, bool& lastCr, Found found) {
    const char* data = block.data();
    const char* end = data + block.size();
    for (const char* p = data;
         (p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))));
         ++p) {
        if (p > data ? p[-1] == '\r' : lastCr)
            found(static_cast<std::int64_t>(p - data) + 1);
    }
    lastCr = block.back() == '\r';
}

}  // namespace

void TextLinePieces::Emit(std::string_view piece) {
    if (piece.empty())
        return;
    m_lineEmpty = false;
    m_piece(piece);
}

void TextLinePieces::EndLine() {
    // A later empty line shows as one blank; an empty first line has no characters.
    if (!m_first && m_lineEmpty)
        m_piece(" ");
    m_end();
    m_first = false;
    m_lineEmpty = true;
}

void TextLinePieces::Feed(std::string_view block) {
    if (block.empty())
        return;
    std::size_t start = 0;
    if (m_pendingCr) {
        m_pendingCr = false;
        if (block.front() == '\n') {
            EndLine();
            start = 1;
        } else {
            Emit("\r");
        }
    }
    while (start < block.size()) {
        const void* found = std::memchr(block.data() + start, '\n', block.size() - start);
        if (!found) {
            std::size_t end = block.size();
            // A CR at the block's end may begin a line break with the next block's LF.
            if (block.back() == '\r') {
                m_pendingCr = true;
                --end;
            }
            Emit(block.substr(start, end - start));
            return;
        }
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - block.data());
        // The byte before `start` is an LF that was handled, so a CR before this LF is
        // inside the piece.
        if (lf > start && block[lf - 1] == '\r') {
            Emit(block.substr(start, lf - 1 - start));
            EndLine();
        } else {
            Emit(block.substr(start, lf + 1 - start));  // a lone LF belongs to its line
        }
        start = lf + 1;
    }
}

TextLineSplitter::TextLineSplitter(ItemReceiver receive)
    : m_receive(std::move(receive)),
      m_pieces([this](std::string_view piece) { m_line.append(piece); },
               [this] {
                   m_receive(m_line);
                   m_line.clear();
               }) {}

std::vector<std::string> TextItems(std::string_view bytes) {
    std::vector<std::string> items;
    TextLineSplitter splitter([&](std::string_view item) { items.emplace_back(item); });
    splitter.Feed(bytes);
    return items;
}

Result LastLineBreakEnd(const Session& session, int i, std::int64_t& end) {
    end = 0;
    if (!IsEntry(session, i))
        return Result::Done();
    // Only the entry's own bytes: a negative size or offset holds none.
    const std::int64_t offset = session.Table().OffsetOf(i);
    const std::int64_t size = session.Table().SizeOf(i);
    if (offset < 0 || size < 0)
        return Result::Done();
    bool lfAbove = false;  // the byte just above the block read is an LF
    std::int64_t length = static_cast<std::int64_t>(Session::kReadBlock);
    for (std::int64_t top = size; top > 0;) {
        const std::int64_t bottom = std::max<std::int64_t>(0, top - length);
        std::int64_t at = bottom;
        std::int64_t found = -1;
        bool lastCr = false;
        bool firstLf = false;
        const Result read =
            session.ReadRange(offset + bottom, top - bottom, [&](std::string_view block) {
                if (at == bottom)
                    firstLf = block.front() == '\n';
                ForEachBreak(block, lastCr, [&](std::int64_t next) { found = at + next; });
                at += static_cast<std::int64_t>(block.size());
                return true;
            });
        if (read.status == Result::Status::Failed)
            return read;
        if (at == top && lastCr && lfAbove)
            found = top + 1;
        if (found >= 0) {
            end = found;
            return Result::Done();
        }
        // What the file does not hold reads as nothing, so an LF above counts only if read.
        lfAbove = at > bottom && firstLf;
        top = bottom;
        length = std::min(2 * length, kLongestBackwardRead);
    }
    return Result::Done();
}

Result TextLinesLoad(const Session& session, int i, TextLinePieces& lines) {
    std::int64_t end = 0;
    if (const Result found = LastLineBreakEnd(session, i, end); !found.IsDone())
        return found;
    if (end == 0)
        return Result::Done();
    const Result read =
        session.ReadRange(session.Table().OffsetOf(i), end, [&](std::string_view block) {
            lines.Feed(block);
            return true;
        });
    // A refusal means the file is now shorter than the entry: its bytes that exist were
    // delivered, and that is all there is to list.
    return read.status == Result::Status::Failed ? read : Result::Done();
}

void TextLineIndex::Open(const Session& session, int i) {
    *this = TextLineIndex();
    m_marks.push_back({0, 0});
    if (!IsEntry(session, i))
        return;
    m_offset = session.Table().OffsetOf(i);
    m_size = std::max<std::int64_t>(0, session.Table().SizeOf(i));
    m_complete = m_size == 0;
}

void TextLineIndex::LineEnds(std::int64_t next) {
    ++m_lines;
    m_linesEnd = next;
    const Mark& last = m_marks.back();
    if (m_lines - last.line >= kLinesPerMark || next - last.offset >= kBytesPerMark)
        m_marks.push_back({m_lines, next});
}

Result TextLineIndex::CountMore(const Session& session, std::int64_t bytes) {
    if (m_complete)
        return Result::Done();
    const std::int64_t wanted = std::min(bytes, m_size - m_read);
    std::int64_t got = 0;
    const Result read = session.ReadRange(m_offset + m_read, wanted, [&](std::string_view block) {
        ForEachBreak(block, m_lastCr, [&](std::int64_t next) { LineEnds(m_read + next); });
        m_read += static_cast<std::int64_t>(block.size());
        got += static_cast<std::int64_t>(block.size());
        return true;
    });
    // The entry ends at its size, or where the file does.
    m_complete = m_read >= m_size || got < wanted || !read.IsDone();
    return read.status == Result::Status::Failed ? read : Result::Done();
}

Result TextLineIndex::ReadLines(const Session& session, std::int64_t first, std::int64_t count,
                                std::size_t budget, std::vector<ShownLine>& out) const {
    out.clear();
    count = std::min(count, m_lines - first);
    if (first < 0 || count <= 0)
        return Result::Done();
    const Mark mark = *std::prev(
        std::upper_bound(m_marks.begin(), m_marks.end(), first,
                         [](std::int64_t line, const Mark& m) { return line < m.line; }));

    std::int64_t line = mark.line;
    std::size_t held = 0;
    std::size_t length = 0;  // of the line being read, as far as read
    bool done = false;
    ShownLine shown;
    auto finish = [&](bool goesOn) {
        shown.goesOn = goesOn;
        held += shown.text.size();
        out.push_back(std::move(shown));
        shown = {};
        done = goesOn || static_cast<std::int64_t>(out.size()) == count || held >= budget;
    };
    TextLinePieces pieces(
        [&](std::string_view piece) {
            if (done || line < first)
                return;
            length += piece.size();
            const std::size_t room = kShownLineBytes - shown.text.size();
            shown.text.append(piece.substr(0, std::min(room, piece.size())));
            if (length > kShownLineBytes)
                finish(true);
        },
        [&] {
            if (!done && line >= first)
                finish(false);
            length = 0;
            ++line;
        },
        mark.line == 0);
    const Result read = session.ReadRange(m_offset + mark.offset, m_linesEnd - mark.offset,
                                          [&](std::string_view block) {
                                              pieces.Feed(block);
                                              return !done;
                                          });
    return read.status == Result::Status::Failed ? read : Result::Done();
}

}  // namespace karvex
