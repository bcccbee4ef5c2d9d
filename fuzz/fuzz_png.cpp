// SPDX-License-Identifier: GPL-3.0-or-later
// The PNG reader and the texture import: the input as a PNG file, decoded without a palette
// and with a grey ramp (the seeds' own PLTE), then imported as a texture with and without
// dithering. Whatever the bytes, a decoded picture holds exactly its pixels and an imported
// texture one of the two sizes; a refused or failed one says why and changes nothing.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "viewers/png_reader.h"
#include "viewers/texture_import.h"

using namespace karvex;

namespace {

// Inputs larger than this are skipped: a 256 x 256 picture fits, compressed.
constexpr std::size_t kMaxInput = 256 * 1024;
// The largest side decoded: more would only spend the run on memory.
constexpr int kMostSide = 256;

std::string GreyRamp() {
    std::string palette;
    for (int n = 0; n < 256; ++n)
        palette.append(3, static_cast<char>(n));
    return palette;
}

void CheckDecode(std::string_view bytes, std::string_view palette) {
    PngPixels out;
    const Result result = DecodePng(
        bytes,
        [](int width, int height) {
            return width <= kMostSide && height <= kMostSide ? std::string() : "too large";
        },
        palette, out);
    if (!result.IsDone()) {
        KARVEX_FUZZ_CHECK(!result.message.empty(), "a refusal says why");
        KARVEX_FUZZ_CHECK(out.bytes.empty() && out.width == 0, "nothing decoded");
        return;
    }
    KARVEX_FUZZ_CHECK(out.width > 0 && out.height > 0, "a picture has pixels");
    const auto pixels = static_cast<std::size_t>(out.width) * static_cast<std::size_t>(out.height);
    KARVEX_FUZZ_CHECK(out.bytes.size() == (out.indexed ? pixels : 3 * pixels),
                      "one byte an index or three a pixel");
    KARVEX_FUZZ_CHECK(!out.indexed || !palette.empty(), "indices kept only for a palette");
}

void CheckImport(std::string_view bytes, std::string_view palette, bool dither) {
    std::string texture = "untouched";
    const Result result = ImportTexture(bytes, palette, {dither}, texture);
    if (!result.IsDone()) {
        KARVEX_FUZZ_CHECK(!result.message.empty(), "a refusal says why");
        KARVEX_FUZZ_CHECK(texture == "untouched", "a refused import changes nothing");
        return;
    }
    KARVEX_FUZZ_CHECK(texture.size() == 4096 || texture.size() == 65536, "a texture's size");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    static const std::string ramp = GreyRamp();
    const std::string_view bytes = fuzz::AsText(data, size);
    CheckDecode(bytes, {});
    CheckDecode(bytes, ramp);
    CheckImport(bytes, ramp, false);
    CheckImport(bytes, ramp, true);
    return 0;
}
