// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/png_reader.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace karvex {
namespace {

// The ancillary chunks libpng knows: each is skipped unread, so that no compressed text or
// colour profile is ever inflated and no transparency or gamma changes the pixels.
constexpr char kSkippedChunks[] =
    "tRNS\0gAMA\0cHRM\0sRGB\0iCCP\0sBIT\0bKGD\0hIST\0pHYs\0sPLT\0tIME\0tEXt\0zTXt\0iTXt\0"
    "eXIf\0oFFs\0pCAL\0sCAL\0";
constexpr int kSkippedChunkCount = 18;
// Far above any picture taken here, yet small enough that libpng's row buffers stay small.
constexpr png_uint_32 kMostPixelsASide = 65536;
constexpr png_alloc_size_t kMostChunkBytes = 1024 * 1024;

// What libpng's callbacks share with the decoding: the bytes, the reading position and
// how the reading ended. It lives outside the frames that call setjmp, and libpng's error
// callback only copies text into it before it jumps.
struct Source {
    std::string_view file;
    std::size_t at = 0;
    bool endedEarly = false;
    char message[256] = {};
    // The rows the stream holds and how many have passed the row transforms: once the
    // last one has, nothing more is read (see Read).
    png_uint_32 rowsInStream = 0, rowsSeen = 0;
    bool rowsComplete = false;
};

Source& SourceOf(png_structp png) {
    return *static_cast<Source*>(png_get_io_ptr(png));
}

[[noreturn]] void OnError(png_structp png, png_const_charp text) {
    auto* source = static_cast<Source*>(png_get_error_ptr(png));
    std::snprintf(source->message, sizeof source->message, "%s", text ? text : "");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Hands libpng the next bytes of the file, never past its end. After the last row libpng
// would go on inflating whatever the image data holds beyond the rows, however much that
// is; the reading stops there instead, the rows being complete.
void Read(png_structp png, png_bytep data, png_size_t length) {
    Source& source = SourceOf(png);
    if (source.rowsComplete)
        png_error(png, "the rows are complete");
    if (length > source.file.size() - source.at) {
        source.endedEarly = true;
        png_error(png, "the file ends early");
    }
    std::memcpy(data, source.file.data() + source.at, length);
    source.at += length;
}

// Called for each row of the stream once libpng has transformed it; the pixels are not
// changed. After the last one, Read ends the reading.
void CountRow(png_structp png, png_row_infop, png_bytep) {
    Source& source = SourceOf(png);
    if (++source.rowsSeen >= source.rowsInStream)
        source.rowsComplete = true;
}

// The rows an image stream holds: one pass for a plain image, the seven passes' rows of
// an interlaced one (a pass without columns has none).
png_uint_32 RowsInStream(png_uint_32 width, png_uint_32 height, bool interlaced) {
    if (!interlaced)
        return height;
    png_uint_32 rows = 0;
    for (int pass = 0; pass < 7; ++pass) {
        if (PNG_PASS_COLS(width, pass) > 0)
            rows += PNG_PASS_ROWS(height, pass);
    }
    return rows;
}

struct Header {
    png_uint_32 width = 0, height = 0;
    int bitDepth = 0, colorType = 0, interlace = 0;
};

// The signature, the chunks up to the image data and the header. False when libpng
// stopped with an error. (No object with a destructor lives in a frame that calls setjmp.)
bool ReadHeader(png_structp png, png_infop info, Header& header) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_set_user_limits(png, kMostPixelsASide, kMostPixelsASide);
    png_set_chunk_malloc_max(png, kMostChunkBytes);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER,
                                reinterpret_cast<png_const_bytep>(kSkippedChunks),
                                kSkippedChunkCount);
    png_read_info(png, info);
    png_get_IHDR(png, info, &header.width, &header.height, &header.bitDepth, &header.colorType,
                 &header.interlace, nullptr, nullptr);
    return true;
}

// Sets the transforms to one byte an index (`keepIndices`) or three bytes a pixel and
// reads every row into `rows`, which point into memory of `rowBytes` a row. False when
// libpng stopped with an error; true with `rowsComplete` when it was stopped after the
// rows.
bool ReadRows(png_structp png, png_infop info, bool keepIndices, png_bytepp rows,
              png_size_t rowBytes) {
    if (setjmp(png_jmpbuf(png)))
        return SourceOf(png).rowsComplete;
    png_set_strip_16(png);
    png_set_strip_alpha(png);
    if (keepIndices) {
        // Only these: libpng's grey expansion (which grey to RGB asks for too) is its
        // general one, and would turn the indices into their colours.
        png_set_packing(png);
    } else {
        png_set_expand_gray_1_2_4_to_8(png);
        png_set_gray_to_rgb(png);
        png_set_palette_to_rgb(png);
    }
    png_set_interlace_handling(png);
    png_set_read_user_transform_fn(png, CountRow);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != rowBytes || png_get_bit_depth(png, info) != 8)
        png_error(png, "unexpected pixel layout");
    png_read_image(png, rows);
    return true;
}

// The indices are kept when the file's palette is `palette`'s first colours.
bool SamePalette(png_structp png, png_infop info, std::string_view palette) {
    png_colorp colors = nullptr;
    int count = 0;
    if (png_get_PLTE(png, info, &colors, &count) == 0 || count <= 0 || count > 256 ||
        palette.size() < 3 * static_cast<std::size_t>(count)) {
        return false;
    }
    for (int k = 0; k < count; ++k) {
        const auto* own = reinterpret_cast<const unsigned char*>(palette.data()) + 3 * k;
        if (colors[k].red != own[0] || colors[k].green != own[1] || colors[k].blue != own[2])
            return false;
    }
    return true;
}

// libpng's structures, freed however the decoding ends.
struct ReadStructs {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

Result Damaged(const Source& source) {
    if (source.endedEarly)
        return Result::Failed("The PNG file ends early.");
    return Result::Failed(std::string("The PNG file is damaged: ") + source.message);
}

}  // namespace

Result DecodePng(std::string_view file, const PngSizeRule& sizeRule, std::string_view palette,
                 PngPixels& out) {
    out = {};
    constexpr std::size_t kSignature = 8;
    const std::size_t given = std::min(file.size(), kSignature);
    const auto* start = reinterpret_cast<png_const_bytep>(file.data());
    if (given == 0 || png_sig_cmp(start, 0, given) != 0)
        return Result::Failed("The file is not a PNG file.");
    if (given < kSignature)
        return Result::Failed("The PNG file ends early.");

    Source source;
    source.file = file.substr(0, kPngFileLimit);
    ReadStructs read;
    read.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, OnError, OnWarning);
    if (read.png)
        read.info = png_create_info_struct(read.png);
    if (!read.png || !read.info)
        return Result::Failed("There is not enough memory to read the PNG file.");
    png_set_read_fn(read.png, &source, Read);

    Header header;
    if (!ReadHeader(read.png, read.info, header))
        return Damaged(source);
    const int width = static_cast<int>(header.width), height = static_cast<int>(header.height);
    if (std::string refusal = sizeRule(width, height); !refusal.empty())
        return Result::Refused(std::move(refusal));

    const bool keepIndices = header.colorType == PNG_COLOR_TYPE_PALETTE && !palette.empty() &&
                             SamePalette(read.png, read.info, palette);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * (keepIndices ? 1 : 3);
    std::string bytes(rowBytes * static_cast<std::size_t>(height), '\0');
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (std::size_t y = 0; y < rows.size(); ++y)
        rows[y] = reinterpret_cast<png_bytep>(bytes.data()) + y * rowBytes;
    source.rowsInStream =
        RowsInStream(header.width, header.height, header.interlace != PNG_INTERLACE_NONE);
    if (!ReadRows(read.png, read.info, keepIndices, rows.data(), rowBytes))
        return Damaged(source);

    out.width = width;
    out.height = height;
    out.indexed = keepIndices;
    out.bytes = std::move(bytes);
    return Result::Done();
}

}  // namespace karvex
