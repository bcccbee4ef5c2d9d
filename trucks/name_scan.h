// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The scan both analyses share: every occurrence of a known extension in a stretch of an
// entry's bytes, and the file name that ends with it.

#include <array>
#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

namespace karvex {

// The extensions a found name ends with, in the order they are scanned and so listed.
// ".trk" is not among them.
inline constexpr std::array<std::string_view, 31> CollectorExtensions = {
    ".raw", ".act", ".bin", ".wav", ".nav", ".mod", ".bmp", ".sit", ".tdf", ".def", ".sam",
    ".ani", ".cl0", ".cl1", ".cl2", ".clr", ".pup", ".ra0", ".ra1", ".ra2", ".ra3", ".ra4",
    ".ra5", ".tex", ".tty", ".txt", ".map", ".mix", ".fog", ".lte", ".lvl"};

// The longest name a scan reports. A longer run of bytes before an extension is no name the
// game could open (its paths hold at most 256 characters after the drive): only the run's
// last kMaxNameLength bytes are reported. This keeps what one occurrence costs, and what a
// list of found names can hold, in proportion to the entry rather than to its square.
inline constexpr std::size_t kMaxNameLength = 256;

// Receives one found name; false stops the scan.
using NameReceiver = std::function<bool(std::string_view name)>;

// ScanForNames: reports every occurrence of an extension of CollectorExtensions (ignoring
// the case of ASCII letters) that begins at an index in [first, bound) of `bytes` and lies
// wholly inside `bytes`; extension by extension in table order, and within one extension by
// position. The name is the run of bytes back from the occurrence to the nearest control
// byte (below 32), or to `bytes`' first byte when there is none, ending with the
// extension's last character; at most kMaxNameLength bytes of it. After an occurrence the
// search goes on behind its four bytes.
//
// `bytes` holds the bytes the scan may see, which is all of an entry's bytes that a name can
// reach back to: a window's start and end are the caller's to place. For example, over
//   "\0 a.raw\nx.ACT b.raw"   (first 0, bound 19)
// the names are " a.raw", "x.ACT b.raw" (the ".raw" names, in order), then "x.ACT".
// Returns false when `report` stopped the scan.
bool ScanForNames(std::string_view bytes, std::size_t first, std::size_t bound,
                  const NameReceiver& report);

// ScanForNames with its working memory kept from one scan to the next: for the windows of a
// model, one after another.
class NameScanner {
  public:
    bool Scan(std::string_view bytes, std::size_t first, std::size_t bound,
              const NameReceiver& report);

    struct Occurrence {
        int extension;  // its index in CollectorExtensions
        std::size_t nameStart;
        std::size_t at;  // the dot
    };

  private:
    std::vector<Occurrence> m_found;   // by position
    std::vector<Occurrence> m_sorted;  // by extension, then by position
};

}  // namespace karvex
