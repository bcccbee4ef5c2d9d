// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace karvex {

// The game's pod.ini: line 1 the number of archives listed, then one archive per line
// (a file name, or a folder and file name relative to pod.ini's folder), lines ended by
// CR LF. At most 99 archives.
constexpr int kMaxMountedPods = 99;

struct PodIniEdit {
    enum class Outcome { Added, Full, AlreadyListed } outcome = Outcome::Added;
    std::string text;  // the new file's text, when added
};

// Adds `entryText` to the pod.ini `text`: the count raised by one (written with its leading
// blank), every old line padded with blanks to 32 characters (longer lines kept whole),
// `entryText` last. Refused when line 1 reads 99 or more, or when a listed line, blanks
// trimmed, contains `podName` in any letter case (ADDONS\MYTRUCK.POD lists MYTRUCK.POD).
PodIniEdit AddToPodIni(std::string_view text, const std::string& entryText,
                       const std::string& podName);

}  // namespace karvex
