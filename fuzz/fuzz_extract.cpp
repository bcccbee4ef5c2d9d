// SPDX-License-Identifier: GPL-3.0-or-later
// Opening an archive from a stranger and extracting all of it: whatever the table says,
// every file written lands inside the extraction folder.
#include <cstddef>
#include <cstdint>

#include "core/archive_session.h"
#include "fuzz/fuzz_support.h"

using namespace karvex;
namespace fs = std::filesystem;

namespace {

// Inputs larger than this are skipped: they find nothing a smaller one cannot.
constexpr std::size_t kMaxInput = 64 * 1024;
// Tables whose entries add up to more than this are opened but not extracted, so that
// overlapping entries cannot make one run write megabytes.
constexpr std::int64_t kMaxExtracted = 1024 * 1024;
// Nor are tables of more entries than this: a 64 KiB input holds at most 1,636 records, and
// the rest of a large count reads as empty names, which cost time and find nothing new.
constexpr int kMaxExtractedEntries = 2048;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    fuzz::Scratch& scratch = fuzz::Scratch::Get();
    const fs::path run = scratch.NewRun();
    const fs::path archive = run / "FUZZ.POD";
    const fs::path out = run / "out";
    const std::string_view bytes = fuzz::AsText(data, size);
    fuzz::WriteFile(archive, bytes);
    fs::create_directory(out);
    const fuzz::Snapshot before = fuzz::TakeSnapshot(scratch.Root());

    fuzz::QuietHost host;
    ArchiveSession session;
    session.SetHost(&host);
    ArchiveState& state = session.State();
    state.PodFolder = run.string();
    state.PodFileName = "FUZZ.POD";
    state.PodPattern = "*.pod";
    StatusRow row;
    session.Core().OpenPodSequence(row);

    // Extraction runs whatever the open said: a table that failed to load is still in the
    // entry table, and containment must hold for any table.
    std::int64_t total = 0;
    for (int i = 0; i < session.Table().Count(); ++i)
        total += session.EntryExtent(i).length;
    if (total <= kMaxExtracted && session.Table().Count() <= kMaxExtractedEntries) {
        state.DialogPath = out.string();
        state.DialogName = "x";
        session.Core().ExtractAll();
    }

    // Nothing outside "out" was created, removed or changed, the archive included; inside
    // it there are only folders and files.
    fuzz::Snapshot after = fuzz::TakeSnapshot(scratch.Root());
    const std::string outPrefix = out.lexically_relative(scratch.Root()).string() + "/";
    for (auto it = after.begin(); it != after.end();) {
        if (it->first.compare(0, outPrefix.size(), outPrefix) == 0) {
            KARVEX_FUZZ_CHECK(it->second == "folder" || it->second.rfind("file ", 0) == 0,
                              it->first + " is a " + it->second);
            it = after.erase(it);
        } else {
            ++it;
        }
    }
    const std::string changed = fuzz::Difference(before, after);
    KARVEX_FUZZ_CHECK(changed.empty(), "outside the extraction folder:\n" + changed);
    KARVEX_FUZZ_CHECK(fuzz::ReadFile(archive) == bytes, "the archive is unchanged");

    scratch.EndRun(run);
    return 0;
}
