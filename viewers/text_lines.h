#pragma once

// The text viewer's plain logic: an entry's bytes split into the list's items.
//
// A line ends with carriage return and line feed, both inside the entry; a lone CR or LF
// is an ordinary character of its line. Each line that ends so is one item, in order: the
// first as it is, a later empty one as one blank " ". The text after the entry's last line
// break is not an item. For the bytes A B CR LF CR LF C D CR LF E the items are "AB", " ",
// "CD"; for CR LF A B CR LF they are "" and "AB".

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "result.h"

namespace karvex {

class ArchiveSession;

// Takes an entry's bytes in blocks of any size, a line break split across two blocks
// included, and hands each item on as soon as its line ends.
class TextLineSplitter {
  public:
    using ItemReceiver = std::function<void(std::string_view item)>;
    explicit TextLineSplitter(ItemReceiver receive) : m_receive(std::move(receive)) {}

    // The entry's next bytes; the caller feeds the entry's own bytes only, so a CR that is
    // its last byte is never joined to an LF that lies past it.
    void Feed(std::string_view block);

  private:
    void EndLine();

    ItemReceiver m_receive;
    std::string m_line;  // the bytes since the last line break
    bool m_first = true;
};

// The items of `bytes`, a whole entry.
std::vector<std::string> TextItems(std::string_view bytes);

// Reads entry i of the open archive in blocks, every block of a long entry included, and
// gives its items in order to `receive`. Bytes past the end of the archive are not there
// to be read: the entry ends where the file does. Failed when the archive cannot be read.
Result TextLinesLoad(const ArchiveSession& session, int i,
                     const TextLineSplitter::ItemReceiver& receive);

}  // namespace karvex
