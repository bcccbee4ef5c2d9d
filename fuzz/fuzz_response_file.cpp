// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a response file from a stranger: any list of names, looked up beside it and one
// folder up; nothing is written.
#include <cstddef>
#include <cstdint>

#include "core/archive_session.h"
#include "fuzz/fuzz_support.h"

using namespace karvex;
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxInput = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > kMaxInput)
        return 0;
    fuzz::Scratch& scratch = fuzz::Scratch::Get();
    const fs::path run = scratch.NewRun();
    fuzz::WriteFile(run / "list.lst", fuzz::AsText(data, size));
    fuzz::WriteFile(run / "a.raw", "texture bytes");
    fuzz::WriteFile(run / "b.raw", "");
    const fuzz::Snapshot before = fuzz::TakeSnapshot(scratch.Root());

    fuzz::QuietHost host;
    ArchiveSession session;
    session.SetHost(&host);
    ArchiveState& state = session.State();
    state.PodFolder = run.string();
    state.PodFileName = "list.lst";
    state.PodPattern = "*.lst";
    StatusRow row;
    const Result result = session.Core().OpenResponseSequence(row);

    const EntryTable& table = session.Table();
    KARVEX_FUZZ_CHECK(table.Count() == state.EntryCount, "one row per listed file");
    bool missing = false;
    for (int i = 0; i < table.Count(); ++i)
        missing = missing || table.IsMissing(i);
    if (result.IsDone())
        KARVEX_FUZZ_CHECK(!missing && table.Count() > 0, "done only when every file was found");

    const std::string changed = fuzz::Difference(before, fuzz::TakeSnapshot(scratch.Root()));
    KARVEX_FUZZ_CHECK(changed.empty(), "opening a list changed files:\n" + changed);

    scratch.EndRun(run);
    return 0;
}
