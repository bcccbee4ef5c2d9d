#include "text_lines.h"

#include <cstring>

#include "archive_session.h"

namespace karvex {

void TextLineSplitter::EndLine() {
    // A later empty line shows as one blank; an empty first line has no characters.
    if (!m_first && m_line.empty())
        m_receive(" ");
    else
        m_receive(m_line);
    m_first = false;
    m_line.clear();
}

void TextLineSplitter::Feed(std::string_view block) {
    std::size_t start = 0;
    while (start < block.size()) {
        const void* found = std::memchr(block.data() + start, '\n', block.size() - start);
        if (!found) {
            m_line.append(block.substr(start));
            return;
        }
        const auto lf = static_cast<std::size_t>(static_cast<const char*>(found) - block.data());
        m_line.append(block.substr(start, lf - start));
        if (!m_line.empty() && m_line.back() == '\r') {
            m_line.pop_back();
            EndLine();
        } else {
            m_line.push_back('\n');  // a lone LF belongs to its line
        }
        start = lf + 1;
    }
}

std::vector<std::string> TextItems(std::string_view bytes) {
    std::vector<std::string> items;
    TextLineSplitter splitter([&](std::string_view item) { items.emplace_back(item); });
    splitter.Feed(bytes);
    return items;
}

Result TextLinesLoad(const ArchiveSession& session, int i,
                     const TextLineSplitter::ItemReceiver& receive) {
    TextLineSplitter splitter(receive);
    const Result read = session.ReadEntry(i, [&](std::string_view block) {
        splitter.Feed(block);
        return true;
    });
    // A refusal means the entry reaches past the end of the file: its bytes that exist were
    // delivered, and that is all there is to list.
    return read.status == Result::Status::Failed ? read : Result::Done();
}

}  // namespace karvex
