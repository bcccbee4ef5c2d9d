// SPDX-License-Identifier: GPL-3.0-or-later
// The viewers' decoding: the input as a text entry's bytes, a palette and a texture, then
// as an archive whose every entry is drawn, listed as a palette and read as a text, for
// tables that point anywhere, past the end included.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/archive_session.h"
#include "fuzz/fuzz_support.h"
#include "viewers/palette.h"
#include "viewers/text_lines.h"
#include "viewers/texture.h"

using namespace karvex;
namespace fs = std::filesystem;

namespace {

// Inputs larger than this are skipped: they find nothing a smaller one cannot.
constexpr std::size_t kMaxInput = 64 * 1024;
// Entries read from one archive: more only repeat the same reads.
constexpr int kMaxEntriesRead = 16;
// Archives whose header counts more entries than this are not opened: the loader's own
// target covers large tables, and loading 32,768 records would take most of each run here.
constexpr std::uint32_t kMaxCount = 1024;

// The text rule: the same items whole and in blocks of a size taken from the input; no
// item holds a line break pair, and together they hold no more than the input.
void CheckText(std::string_view bytes) {
    const std::vector<std::string> whole = TextItems(bytes);
    const std::size_t block = bytes.empty() ? 1 : 1 + static_cast<unsigned char>(bytes[0]) % 7;
    std::vector<std::string> pieces;
    TextLineSplitter splitter([&](std::string_view item) { pieces.emplace_back(item); });
    for (std::size_t at = 0; at < bytes.size(); at += block)
        splitter.Feed(bytes.substr(at, block));
    KARVEX_FUZZ_CHECK(pieces == whole, "blocks give the same items as the whole");
    std::size_t total = 0;
    for (const std::string& item : whole) {
        KARVEX_FUZZ_CHECK(item.find("\r\n") == std::string::npos, "no break pair in an item");
        total += item.size();
    }
    KARVEX_FUZZ_CHECK(total <= bytes.size() + whole.size(), "items hold the input's bytes only");
}

// The palette and texture decoding of the same bytes: every value from its three bytes.
void CheckPaletteAndTexture(std::string_view bytes) {
    ColorTable table;
    PaletteLoad(table, bytes);
    const ColorComponents colors = PaletteColors(bytes);
    const std::vector<std::string> lines = ColorListLines(colors);
    KARVEX_FUZZ_CHECK(lines.size() == 256, "256 list lines");
    for (std::size_t n = 0; n < 256; ++n) {
        const Rgb& c = colors[n];
        KARVEX_FUZZ_CHECK(table.values[n + 1] == ColorValue(c.red, c.green, c.blue),
                          "the table and the list agree on colour " + std::to_string(n));
        KARVEX_FUZZ_CHECK(lines[n].size() <= 14, "a list line: " + lines[n]);
        const Rgb outline = OutlineColor(c);
        KARVEX_FUZZ_CHECK((outline.red == 0) == (c.red >= 127), "the outline rule");
    }
    for (const int width : {64, 256}) {
        const std::vector<std::uint32_t> pixels = DecodeTexture(bytes, width, table);
        KARVEX_FUZZ_CHECK(pixels.size() == static_cast<std::size_t>(width * width), "W x W");
        const std::size_t last = std::min(pixels.size(), bytes.size());
        if (last > 0) {
            KARVEX_FUZZ_CHECK(
                pixels[last - 1] == table.ForPixel(static_cast<unsigned char>(bytes[last - 1])),
                "a pixel takes its byte's colour");
        }
    }
}

// The input as an archive: each entry drawn, read as a palette and as a text.
void CheckArchive(std::string_view bytes) {
    fuzz::OpenedInput input;
    if (!input.Open(bytes, kMaxCount))
        return;
    ArchiveSession& session = input.Archive();
    const int count = std::min(session.Table().Count(), kMaxEntriesRead);
    for (int i = 0; i < count; ++i) {
        TextureImage image;
        const Result drawn = DrawTexture(session, i, image);
        const int width = TextureWidth(session.Table().SizeOf(i));
        KARVEX_FUZZ_CHECK(drawn.IsDone() == (width != 0), "drawn exactly when the size fits");
        KARVEX_FUZZ_CHECK(image.pixels.size() == static_cast<std::size_t>(width * width),
                          "W x W pixels");
        std::string palette;
        KARVEX_FUZZ_CHECK(ReadPaletteBytes(session, session.Table().OffsetOf(i), palette).IsDone(),
                          "a palette reads");
        KARVEX_FUZZ_CHECK(palette.size() == kPaletteBytes, "768 palette bytes");
        std::size_t listed = 0;
        TextLinePieces lines([&](std::string_view piece) { listed += piece.size(); }, [] {});
        TextLinesLoad(session, i, lines);
        KARVEX_FUZZ_CHECK(listed <= bytes.size(), "a text lists the archive's bytes only");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::string_view bytes = fuzz::AsText(data, size);
    CheckText(bytes);
    CheckPaletteAndTexture(bytes);
    CheckArchive(bytes);
    return 0;
}
