// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/texture_import.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "viewers/png_reader.h"

namespace karvex {
namespace {

constexpr std::size_t kSlots = std::size_t{1} << 17;  // a power of two

// The nearest of 256 colours given channel by channel. The distance and the index make
// one key, distance * 256 + index (at most 3 * 255^2 * 256 + 255, well inside 32 bits), so
// the smallest key is the nearest colour and, of equally near ones, the lowest index; a
// plain minimum over the keys is a loop the compiler vectorises.
unsigned char Nearest(const std::int32_t* red, const std::int32_t* green, const std::int32_t* blue,
                      std::int32_t r, std::int32_t g, std::int32_t b) {
    std::int32_t best = INT32_MAX;
    for (std::int32_t k = 0; k < 256; ++k) {
        const std::int32_t dr = red[k] - r, dg = green[k] - g, db = blue[k] - b;
        best = std::min(best, (dr * dr + dg * dg + db * db) << 8 | k);
    }
    return static_cast<unsigned char>(best & 0xFF);
}

// Palette byte `at`; bytes missing from a short palette count as zero.
std::int32_t Byte(std::string_view palette, std::size_t at) {
    return at < palette.size() ? static_cast<unsigned char>(palette[at]) : 0;
}

using Channel = std::array<std::int32_t, 256>;

void SplitChannels(std::string_view palette, Channel& red, Channel& green, Channel& blue) {
    for (std::size_t n = 0; n < 256; ++n) {
        red[n] = Byte(palette, 3 * n);
        green[n] = Byte(palette, 3 * n + 1);
        blue[n] = Byte(palette, 3 * n + 2);
    }
}

std::string SizeRefusal(int width, int height) {
    if (width == height && (width == 64 || width == 256))
        return {};
    return std::string(kTextureImportSizeText) + " The picture is " + std::to_string(width) + "x" +
           std::to_string(height) + ".";
}

std::string MapColors(const PngPixels& picture, NearestColors& nearest) {
    const auto* rgb = reinterpret_cast<const unsigned char*>(picture.bytes.data());
    std::string texture(picture.bytes.size() / 3, '\0');
    for (std::size_t at = 0; at < texture.size(); ++at, rgb += 3)
        texture[at] = static_cast<char>(nearest.Find(rgb[0], rgb[1], rgb[2]));
    return texture;
}

// Floyd-Steinberg: each pixel's wanted colour is its own plus the error carried to it,
// clamped to 0..255; the difference between that and the colour chosen goes on as 7/16 to
// the right, 3/16 below left, 5/16 below and 1/16 below right. The carried errors are kept
// in 1/16 units and rounded, halves up, when they are added.
std::string Dither(const PngPixels& picture, std::string_view palette, NearestColors& nearest) {
    const auto width = static_cast<std::size_t>(picture.width);
    const auto* rgb = reinterpret_cast<const unsigned char*>(picture.bytes.data());
    std::string texture(width * static_cast<std::size_t>(picture.height), '\0');
    // The errors for this row and the next, three channels a pixel, with one pixel of
    // margin on each side so that the edges need no test.
    std::vector<std::int32_t> here(3 * (width + 2)), below(3 * (width + 2));
    for (std::size_t y = 0, at = 0; y < static_cast<std::size_t>(picture.height); ++y) {
        for (std::size_t x = 0; x < width; ++x, ++at, rgb += 3) {
            std::int32_t wanted[3];
            for (std::size_t c = 0; c < 3; ++c) {
                const std::int32_t carried = (here[3 * (x + 1) + c] + 8) >> 4;
                wanted[c] = std::clamp<std::int32_t>(rgb[c] + carried, 0, 255);
            }
            const unsigned char index = nearest.Find(wanted[0], wanted[1], wanted[2]);
            texture[at] = static_cast<char>(index);
            for (std::size_t c = 0; c < 3; ++c) {
                const std::int32_t error = wanted[c] - Byte(palette, 3 * index + c);
                here[3 * (x + 2) + c] += 7 * error;
                below[3 * x + c] += 3 * error;
                below[3 * (x + 1) + c] += 5 * error;
                below[3 * (x + 2) + c] += error;
            }
        }
        std::swap(here, below);
        std::fill(below.begin(), below.end(), 0);
    }
    return texture;
}

}  // namespace

unsigned char NearestColor(std::string_view palette, unsigned red, unsigned green, unsigned blue) {
    Channel r, g, b;
    SplitChannels(palette, r, g, b);
    return Nearest(r.data(), g.data(), b.data(), static_cast<std::int32_t>(red),
                   static_cast<std::int32_t>(green), static_cast<std::int32_t>(blue));
}

NearestColors::NearestColors(std::string_view palette) : m_colors(kSlots), m_answers(kSlots) {
    SplitChannels(palette, m_red, m_green, m_blue);
}

unsigned char NearestColors::Search(unsigned red, unsigned green, unsigned blue) const {
    return Nearest(m_red.data(), m_green.data(), m_blue.data(), static_cast<std::int32_t>(red),
                   static_cast<std::int32_t>(green), static_cast<std::int32_t>(blue));
}

unsigned char NearestColors::Find(unsigned red, unsigned green, unsigned blue) {
    red = std::min(red, 255u);
    green = std::min(green, 255u);
    blue = std::min(blue, 255u);
    const std::uint32_t stored = (red | green << 8 | blue << 16) + 1;
    std::size_t slot = (stored * 0x9E3779B1u) >> (32 - 17);
    while (m_colors[slot] != 0) {
        if (m_colors[slot] == stored)
            return m_answers[slot];
        slot = (slot + 1) & (kSlots - 1);
    }
    const unsigned char answer = Search(red, green, blue);
    if (m_used == kSlots / 2) {  // half full: start again rather than probe long runs
        std::fill(m_colors.begin(), m_colors.end(), 0);
        m_used = 0;
        slot = (stored * 0x9E3779B1u) >> (32 - 17);
    }
    m_colors[slot] = stored;
    m_answers[slot] = answer;
    ++m_used;
    return answer;
}

Result ImportTexture(std::string_view png, std::string_view palette, const ImportOptions& options,
                     std::string& texture) {
    PngPixels picture;
    if (Result decoded = DecodePng(png, SizeRefusal, palette, picture); !decoded.IsDone())
        return decoded;
    if (picture.indexed) {  // the palette's own indices, kept as they are
        texture = std::move(picture.bytes);
        return Result::Done();
    }
    NearestColors nearest(palette);
    texture = options.dither ? Dither(picture, palette, nearest) : MapColors(picture, nearest);
    return Result::Done();
}

}  // namespace karvex
