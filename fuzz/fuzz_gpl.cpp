// SPDX-License-Identifier: GPL-3.0-or-later
// The GIMP palette reader: any text is read or refused with a reason, a palette read is 768
// bytes, and the text written for it reads back to the same palette.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_support.h"
#include "viewers/palette_files.h"

using namespace karvex;

namespace {

// Longer texts only hold more lines of the kinds a short one has.
constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string palette;
    const Result read = ReadGpl(text, palette);
    if (!read.IsDone()) {
        KARVEX_FUZZ_CHECK(!read.message.empty() && palette.empty(), "a refusal says why");
        return 0;
    }
    KARVEX_FUZZ_CHECK(palette.size() == 768, "256 colours of three bytes");
    std::string again;
    KARVEX_FUZZ_CHECK(ReadGpl(GplText(palette, text.substr(0, 40)), again).IsDone(),
                      "the text written is read");
    KARVEX_FUZZ_CHECK(again == palette, "the palette comes back the same");
    return 0;
}
