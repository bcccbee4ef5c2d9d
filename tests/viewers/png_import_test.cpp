// SPDX-License-Identifier: GPL-3.0-or-later
// Texture import: the PNG reader's formats and refusals, the nearest colour and the
// dither, and indexed PNGs read back as the bytes they were written from.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <tuple>

#include "viewers/png_reader.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"
#include "viewers/texture_import.h"

namespace karvex::test {
namespace {

std::string B(std::initializer_list<int> bytes) {
    return {bytes.begin(), bytes.end()};
}

std::string BigEndian(std::uint32_t v) {
    return B({int(v >> 24), int(v >> 16), int(v >> 8), int(v)});
}

std::string Chunk(std::string_view type, std::string_view data) {
    const std::string body = std::string(type) + std::string(data);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size());
    return BigEndian(data.size()) + body + BigEndian(crc);
}

// The project's writers into a FILE that lives in memory.
std::string InMemory(const std::function<IoStatus(std::FILE*)>& write) {
    char* data = nullptr;
    std::size_t size = 0;
    std::FILE* file = open_memstream(&data, &size);
    EXPECT_TRUE(write(file).IsDone());
    std::fclose(file);
    std::string bytes(data, size);
    std::free(data);
    return bytes;
}
std::string RgbPng(int width, int height, const std::vector<std::uint32_t>& pixels) {
    return InMemory([&](std::FILE* file) { return WritePng(file, width, height, pixels); });
}
std::string FlatPng(int width, int height, std::uint32_t color = 0) {
    return RgbPng(width, height, std::vector<std::uint32_t>(std::size_t(width) * height, color));
}
std::string IndexedPng(int width, std::string_view indices, std::string_view palette) {
    return InMemory([&](auto* file) { return WriteIndexedPng(file, width, indices, palette); });
}

// A PNG laid out chunk by chunk, for the formats the project never writes: the header's
// fields, then the IDAT chunks (see Idat) and PLTE if one is given.
std::string MakePng(std::uint32_t width, std::uint32_t height, int depth, int type, int interlace,
                    const std::string& idat, const std::string& plte = "") {
    return B({137, 80, 78, 71, 13, 10, 26, 10}) +
           Chunk("IHDR", BigEndian(width) + BigEndian(height) + B({depth, type, 0, 0, interlace})) +
           (plte.empty() ? "" : Chunk("PLTE", plte)) + idat + Chunk("IEND", "");
}
// An IDAT chunk of `rows`: each row's filter byte and samples, pass by pass if interlaced.
std::string Idat(const std::string& rows) {
    uLongf size = compressBound(rows.size());
    std::string data(size, '\0');
    compress(reinterpret_cast<Bytef*>(data.data()), &size,
             reinterpret_cast<const Bytef*>(rows.data()), rows.size());
    return Chunk("IDAT", data.substr(0, size));
}

// Each pixel of `texture` is the nearest colour found the slow way: the first of the
// smallest distances to the colour value it was imported from.
void ExpectNearest(const std::string& texture, const std::vector<std::uint32_t>& colors,
                   std::string_view palette) {
    const auto distance = [&](std::uint32_t color, int k) {
        long sum = 0;
        for (int c = 0; c < 3; ++c) {
            const long d = (palette[3 * k + c] & 255) - long(color >> (8 * c) & 255);
            sum += d * d;
        }
        return sum;
    };
    for (std::size_t at = 0; at < colors.size(); ++at) {
        int best = 0;
        for (int k = 1; k < 256; ++k)
            best = distance(colors[at], k) < distance(colors[at], best) ? k : best;
        ASSERT_EQ(texture[at] & 255, best) << at;
    }
}

std::string RandomBytes(std::size_t count, std::mt19937& random, int values = 256) {
    std::string bytes(count, '\0');
    for (char& byte : bytes)
        byte = static_cast<char>(random() % values * (255 / (values - 1)));
    return bytes;
}

const PngSizeRule kAnySize = [](int, int) { return std::string(); };

TEST(PngImport, AnIndexedExportReadsBackAsTheSameBytes) {
    std::mt19937 random(5);
    for (const int width : {64, 256}) {
        const std::string palette = RandomBytes(768, random, 4);  // 64 colours, many repeated
        const std::string texture = RandomBytes(width * width, random);
        const std::string png = IndexedPng(width, texture, palette);
        for (const bool dither : {false, true}) {
            std::string back;
            ASSERT_TRUE(ImportTexture(png, palette, {dither}, back).IsDone());
            EXPECT_TRUE(back == texture) << width << (dither ? " dithered" : "");
        }
    }
}

TEST(PngImport, EachPixelTakesTheNearestColourTheLowestIndexOnATie) {
    std::string tie(768, '\xFF');
    for (const auto& [first, second] : {std::pair{"\0\0\0", "\x14\0\0"}, {"\x14\0\0", "\0\0\0"}}) {
        tie.replace(30, 3, first, 3).replace(60, 3, second, 3);
        EXPECT_EQ(NearestColor(tie, 10, 0, 0), 10);
    }
    std::mt19937 random(9);
    std::string palette = RandomBytes(768, random);
    palette.replace(3 * 200, 3, palette.substr(3 * 7, 3));  // the same colour as 7
    std::vector<std::uint32_t> pixels(4096);
    for (std::uint32_t& pixel : pixels)
        pixel = random() & 0xFFFFFF;
    pixels[0] = ColorValue(palette[21] & 255, palette[22] & 255, palette[23] & 255);
    std::string texture;
    ASSERT_TRUE(ImportTexture(RgbPng(64, 64, pixels), palette, {}, texture).IsDone());
    EXPECT_EQ(texture[0], 7);
    ExpectNearest(texture, pixels, palette);

    std::string other = palette;  // an indexed file whose colours are not the palette's
    other[3 * 99] ^= 0x40;
    const std::string indices = RandomBytes(4096, random);
    ASSERT_TRUE(ImportTexture(IndexedPng(64, indices, other), palette, {}, texture).IsDone());
    ColorTable table;
    PaletteLoad(table, other);
    ExpectNearest(texture, DecodeTexture(indices, 64, table), palette);
}

// 2 x 2 pictures interlaced: pass 1 holds pixel (0, 0), pass 6 (1, 0), pass 7 row 1.
TEST(PngImport, ReadsEveryFormatAsRgbOrAsItsOwnIndices) {
    const std::string plte = B({1, 2, 3, 4, 5, 6, 7, 8, 9}), same = plte + std::string(759, '\0');
    const std::tuple<const char*, std::string, std::string, std::string, bool> rows[] = {
        // clang-format off
        {"RGBA: the alpha dropped, not blended", MakePng(1, 1, 8, 6, 0, Idat(B({0, 10, 20, 30, 0}))), "", B({10, 20, 30}), false},
        {"grey and alpha, 16-bit: the high byte", MakePng(1, 1, 16, 4, 0, Idat(B({0, 0x12, 0xFF, 9, 9}))), "", B({0x12, 0x12, 0x12}), false},
        {"RGB, 16-bit", MakePng(1, 1, 16, 2, 0, Idat(B({0, 1, 2, 3, 4, 5, 6}))), "", B({1, 3, 5}), false},
        {"grey, 2-bit", MakePng(4, 1, 2, 0, 0, Idat(B({0, 0x1B}))), "", B({0, 0, 0, 85, 85, 85, 170, 170, 170, 255, 255, 255}), false},
        {"4-bit palette, the same colours", MakePng(3, 1, 4, 3, 0, Idat(B({0, 0x10, 0x20})), plte), same, B({1, 0, 2}), true},
        {"4-bit palette, no palette given", MakePng(3, 1, 4, 3, 0, Idat(B({0, 0x10, 0x20})), plte), "", B({4, 5, 6, 1, 2, 3, 7, 8, 9}), false},
        {"4-bit palette, colour 2 differs", MakePng(3, 1, 4, 3, 0, Idat(B({0, 0x10, 0x20})), plte), plte.substr(0, 6) + B({7, 8, 0}), B({4, 5, 6, 1, 2, 3, 7, 8, 9}), false},
        {"interlaced RGB", MakePng(2, 2, 8, 2, 1, Idat(B({0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12}))), "", B({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}), false},
        {"interlaced 1-bit palette", MakePng(2, 2, 1, 3, 1, Idat(B({0, 0x80, 0, 0, 0, 0x40})), plte.substr(0, 6)), same, B({1, 0, 0, 1}), true},
        // clang-format on
    };
    for (const auto& [what, png, palette, bytes, indexed] : rows) {
        PngPixels out;
        ASSERT_TRUE(DecodePng(png, kAnySize, palette, out).IsDone()) << what;
        EXPECT_EQ(out.indexed, indexed) << what;
        EXPECT_EQ(out.bytes, bytes) << what;
    }
}

TEST(PngImport, DitherKeepsAFlatColourFlatAndAGradientsMean) {
    std::string palette = B({0, 0, 0, 0x40, 0x80, 0xC0}) + std::string(762, '\0'), texture;
    ASSERT_TRUE(ImportTexture(FlatPng(64, 64, 0xC08040), palette, {true}, texture).IsDone());
    EXPECT_EQ(texture, std::string(4096, '\x01'));

    palette.replace(3, 3, "\xFF\xFF\xFF");  // black and white: a dark ramp comes out all black
    std::vector<std::uint32_t> ramp(4096);
    double source = 0, mean[2] = {};
    for (std::size_t at = 0; at < ramp.size(); ++at)
        source += (ramp[at] = at % 64 * 100 / 63 * 0x010101) / 0x010101 / 4096.0;
    for (const bool dither : {false, true}) {
        ASSERT_TRUE(ImportTexture(RgbPng(64, 64, ramp), palette, {dither}, texture).IsDone());
        for (const char index : texture)
            mean[dither] += (index == 1 ? 255 : 0) / 4096.0;
    }
    EXPECT_EQ(mean[0], 0);
    EXPECT_LT(std::abs(mean[1] - source), 2) << mean[1] << " against " << source;
}

// Image data that would inflate to gigabytes past the rows: the reading stops after them.
std::string Bomb() {
    z_stream z{};
    EXPECT_EQ(deflateInit(&z, 9), Z_OK);
    const auto deflated = [&z](std::string in) {  // self-contained: no match reaches before it
        std::string out(in.size(), '\0');
        z.next_in = reinterpret_cast<Bytef*>(in.data());
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = reinterpret_cast<Bytef*>(out.data());
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FULL_FLUSH);
        return out.substr(0, out.size() - z.avail_out);
    };
    std::string idat = Chunk("IDAT", deflated(std::string(64 * 193, '\0')));  // the rows
    const std::string zeros = deflated(std::string(1 << 20, '\0'));  // a MiB in about a KiB
    for (int n = 0; n < 4096; ++n)
        idat += Chunk("IDAT", zeros);  // 4 GiB of zeros in all
    deflateEnd(&z);
    return MakePng(64, 64, 8, 2, 0, idat);
}

TEST(PngImport, RefusesOtherSizesAndFailsOnDamagedFiles) {
    const std::string good = FlatPng(64, 64);
    const auto header = [&](std::uint32_t width, std::uint32_t height) {
        return MakePng(width, height, 8, 2, 0, Idat(std::string(64 * 193, '\0')));
    };
    std::string badCrc = good;
    badCrc[32] ^= 1;
    const std::string size = std::string(kTextureImportSizeText) + " The picture is ";
    const std::string damaged = "The PNG file is damaged: ", early = "The PNG file ends early.";
    using S = Result::Status;
    const std::tuple<std::string, std::string, S, std::string> rows[] = {
        {"63x64", FlatPng(63, 64), S::Refused, size + "63x64."},
        {"64x63", FlatPng(64, 63), S::Refused, size + "64x63."},
        {"65x65", FlatPng(65, 65), S::Refused, size + "65x65."},
        {"a huge header, nothing allocated", header(65536, 65536), S::Refused,
         size + "65536x65536."},
        {"no width", header(0, 64), S::Failed, damaged + "Invalid IHDR data"},
        {"2^31 - 1 high", header(64, 0x7FFFFFFF), S::Failed, damaged + "Invalid IHDR data"},
        {"empty", "", S::Failed, "The file is not a PNG file."},
        {"not a PNG", "GIF89a" + good, S::Failed, "The file is not a PNG file."},
        {"cut in the signature", good.substr(0, 5), S::Failed, early},
        {"cut in IHDR", good.substr(0, 20), S::Failed, early},
        {"cut after IHDR", good.substr(0, 33), S::Failed, early},
        {"cut in IDAT", good.substr(0, good.size() - 20), S::Failed, early},
        {"IHDR's CRC", badCrc, S::Failed, damaged + "IHDR: CRC error"},
        {"a bomb past the rows", Bomb(), S::Done, ""},
    };
    for (const auto& [what, file, status, message] : rows) {
        std::string texture = "untouched";
        const Result result = ImportTexture(file, std::string(768, '\0'), {}, texture);
        EXPECT_EQ(result.status, status) << what;
        EXPECT_EQ(result.message, message) << what;
        EXPECT_EQ(texture, status == S::Done ? std::string(4096, '\0') : "untouched") << what;
    }
}

}  // namespace
}  // namespace karvex::test
