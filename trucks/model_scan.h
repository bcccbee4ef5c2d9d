// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A model's bytes scanned for names in two passes of windows.

#include <cstddef>
#include <functional>

#include "core/result.h"
#include "core/session.h"
#include "trucks/found_names.h"

namespace karvex {

// Delivers an entry's bytes from its first byte on, in blocks of any size, until the
// receiver returns false. Failed when the archive cannot be read; Refused when the entry
// reaches past the end of the archive, after the bytes that are there were delivered.
using EntryReader = std::function<Result(const Session::BlockReceiver& receive)>;

// Asked after every window scanned, where a window yields to its event queue; true stops
// the examination, which then ends Cancelled with the names found so far.
using StopCheck = std::function<bool()>;

// How ScanModel lays its windows over a model.
struct ModelWindows {
    std::size_t size = 64000;  // bytes in a window
    std::size_t shift = 100;   // how much later the second pass's windows begin
};

// ScanModel: adds to `list` every name that ScanForNames finds in the model, window by
// window in two passes. With the usual windows of 64,000 bytes and a shift of 100, in
// offsets from the entry's first byte, where occurrences of an extension may begin:
//
//   pass 1:  [0, 64000)   [64000, 128000)   [128000, 192000) ...
//   pass 2:  [0, 1)   [100, 64000)   [64100, 128000)   [128100, 192000) ...
//
// Each window holds its own bytes (pass 2's first: the entry's first 100), so an occurrence
// must also end inside it: one that straddles a pass-1 window's end is left to pass 2,
// whose windows end 100 bytes later. Every occurrence that lies wholly inside the entry is
// found, the one after the last boundary too, however soon after it the entry ends. A
// name reaches back across a window's start into the bytes before it, up to the entry's
// first byte, so a name that a window's start cuts is still listed whole.
//
// The list is in the order the windows and ScanForNames give: pass 1, window by window,
// then pass 2; a name found again is not listed again. There is no limit on the number of
// windows, and no more than one window is held at a time. The entry ends where the archive
// does: bytes past its end are not there to be scanned.
//
// Done; Cancelled when `stop` said so; Refused (kListFullText) when the list filled up;
// Failed, with the reader's message, when the archive could not be read.
Result ScanModel(const EntryReader& entry, FoundNames& list, const StopCheck& stop,
                 const ModelWindows& windows = {});

}  // namespace karvex
