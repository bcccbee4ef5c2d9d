// SPDX-License-Identifier: GPL-3.0-or-later
#include "trucks/examine.h"

#include <algorithm>

#include "core/text.h"
#include "trucks/found_names.h"
#include "trucks/truck_definition.h"

namespace karvex {

namespace {

Result ExamineTruckEntry(const EntryReader& entry, FoundNames& list, const StopCheck& stop) {
    std::string text;
    const Result read = entry([&](std::string_view block) {
        text.append(block.substr(0, kTruckTextLimit - text.size()));
        return text.size() < kTruckTextLimit;
    });
    // A refusal means that the entry reaches past the end of the archive: what is there is
    // the text.
    if (read.status == Result::Status::Failed)
        return read;
    if (stop && stop())
        return Result::Cancelled();
    ExamineTruck(text, list);
    return list.Overflowed() ? Result::Refused(kListFullText) : Result::Done();
}

}  // namespace

std::vector<Analysis> ExaminationsFor(std::string_view name) {
    const Analysis analysis = ContainsNoCase(name, ".bin") ? Analysis::Model : Analysis::Truck;
    std::vector<Analysis> runs;
    if (ContainsNoCase(name, ".bin"))
        runs.push_back(analysis);
    if (ContainsNoCase(name, ".trk"))
        runs.push_back(analysis);
    return runs;
}

Examination Examine(const EntryReader& entry, Analysis analysis, const StopCheck& stop) {
    FoundNames list;
    Result result = analysis == Analysis::Model ? ScanModel(entry, list, stop)
                                                : ExamineTruckEntry(entry, list, stop);
    return {list.TakeNames(), std::move(result)};
}

Examination ExamineEntry(const Session& session, int index, Analysis analysis,
                         const StopCheck& stop) {
    const EntryTable& table = session.Table();
    if (index < 0 || index >= table.Count() || table.IsMissing(index))
        return {{}, Result::Refused("There is no such entry.")};
    return Examine(
        [&](const Session::BlockReceiver& receive) { return session.ReadEntry(index, receive); },
        analysis, stop);
}

EntryReader BufferEntryReader(std::string_view bytes, std::size_t block) {
    block = std::max<std::size_t>(block, 1);
    return [bytes, block](const Session::BlockReceiver& receive) {
        for (std::size_t at = 0; at < bytes.size(); at += block) {
            if (!receive(bytes.substr(at, block)))
                break;
        }
        return Result::Done();
    };
}

}  // namespace karvex
