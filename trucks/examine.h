// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Examine: which game files a truck definition or a model entry refers to. One call is one
// run of the results window; the window and `karvex32-cli examine` both come here.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/result.h"
#include "core/session.h"
#include "trucks/model_scan.h"

namespace karvex {

enum class Analysis {
    Truck,  // ExamineTruck over the entry's first 64,000 bytes
    Model,  // ScanModel over all of it
};

// The runs of the Examine command for an entry named `name`, in order: one when the name
// contains ".bin", then one more when it contains ".trk" (ignoring letter case). The
// results window decides each run's analysis by the name alone, a model whenever it
// contains ".bin", so both runs of a name with both are model scans:
//   "DMTRUCK.BIN" -> {Model};  "demo.trk" -> {Truck};  "x.bin.trk" -> {Model, Model};
//   "a.raw" -> {} (nothing to examine).
std::vector<Analysis> ExaminationsFor(std::string_view name);

// What one run found: the list exactly as the results window holds it.
struct Examination {
    std::vector<std::string> names;
    // Done; Cancelled when the stop check said so; Refused when there is no such entry, or
    // with kListFullText when the list filled up; Failed, with a message naming the archive,
    // when it could not be read. Whatever ends it, the names found until then are kept.
    Result result;
};

// One run over the bytes that `entry` delivers.
Examination Examine(const EntryReader& entry, Analysis analysis, const StopCheck& stop = {});

// One run over entry `index` of the session's open archive, read through its entry reader.
Examination ExamineEntry(const Session& session, int index, Analysis analysis,
                         const StopCheck& stop = {});

// A reader over bytes in memory, in blocks of `block` bytes; `bytes` must outlive it.
EntryReader BufferEntryReader(std::string_view bytes, std::size_t block = Session::kReadBlock);

}  // namespace karvex
