// SPDX-License-Identifier: GPL-3.0-or-later
// search and examine: what the search window and the collector's results window list,
// printed by the same matching and scanning code the windows use.
#include "cli/collector_commands.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "cli/cli_session.h"
#include "core/text.h"
#include "search/search.h"
#include "trucks/examine.h"

namespace karvex {

int RunSearch(const SearchArgs& args) {
    const std::string text = Utf8ToLatin1(args.text);
    if (text.empty())
        return UsageError("TEXT must not be empty");
    CliSession session;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    const SearchOptions options{args.matchCase, args.bySize, args.byContents};
    SearchResults results;
    const Result result = SearchOpenArchive(session.m_session, text, options, results);
    if (!result.IsDone()) {
        session.Tell(result.message);
        return ExitFor(result);
    }
    std::printf("%s\n",
                Latin1ToUtf8(FoundText(results.Found(), session.m_core.GroupSeparator())).c_str());
    for (const SearchRow& row : results.rows)
        std::printf("%s\t%s\n", Latin1ToUtf8(row.name).c_str(), Latin1ToUtf8(row.size).c_str());
    return FinishOutput();
}

int RunExamine(const ExamineArgs& args) {
    CliSession session;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    const std::string name = Utf8ToLatin1(args.entry);
    const int entry = session.m_session.Find(name, false);
    if (entry < 0) {
        std::fprintf(stderr, "karvex32-cli: no entry named %s\n", args.entry.c_str());
        return kExitRefused;
    }
    const std::vector<Analysis> runs = ExaminationsFor(name);
    if (runs.empty()) {
        std::fprintf(stderr, "karvex32-cli: %s is neither a truck (.trk) nor a model (.bin)\n",
                     args.entry.c_str());
        return kExitRefused;
    }
    for (std::size_t run = 0; run < runs.size(); ++run) {
        if (run > 0)
            std::printf("\n");  // between the runs of a name with both kinds
        const Examination found = ExamineEntry(session.m_session, entry, runs[run]);
        for (const std::string& line : found.names)
            std::printf("%s\n", Latin1ToUtf8(line).c_str());
        if (!found.result.IsDone()) {
            const int written = FinishOutput();
            session.Tell(found.result.message);
            return std::max(written, ExitFor(found.result));
        }
    }
    return FinishOutput();
}

}  // namespace karvex
