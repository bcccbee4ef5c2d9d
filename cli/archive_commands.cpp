// SPDX-License-Identifier: GPL-3.0-or-later
// list, extract, build and comment: the archive commands of the main window, running the
// same core routines and open sequences.
#include "cli/archive_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_session.h"
#include "core/dialog_options.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

int RunList(const ListArgs& args) {
    CliSession session;
    // Whatever loaded is listed: the status line tells how the load ended.
    const int status = session.Open(args.file);
    if (status != kExitUsage)
        session.PrintListing();
    return status;
}

int RunExtract(const ExtractArgs& args) {
    CliSession session(args.yes, true);
    const auto folder = session.Folder(args.folder);
    if (!folder)
        return kExitUsage;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;

    int status = kExitDone;
    EntryTable& table = session.m_table;
    for (const std::string& wanted : args.selected) {
        const std::string name = Utf8ToLatin1(wanted);
        bool found = false;
        for (int i = 0; i < table.Count(); ++i) {
            if (table.Name(i) == name) {
                table.SetSelected(i, true);
                found = true;
            }
        }
        if (!found) {
            std::fprintf(stderr, "karvex32-cli: no entry named %s\n", wanted.c_str());
            status = kExitRefused;
        }
    }

    ArchiveState& state = session.m_state;
    state.DialogPath = *folder;
    state.DialogName = ExtractBaseName(state.PodFileName);
    state.DialogOptions = ExtractOptions{.responseFile = args.lst,
                                         .selectedFiles = !args.selected.empty(),
                                         .allFiles = args.all,
                                         .information = args.inf}
                              .DialogOptions();
    return std::max(status, ExitFor(session.m_core.ExtractCommand()));
}

int RunBuild(const BuildArgs& args) {
    // Taken before the open sequence makes the list's folder current.
    const auto absolute = AbsolutePath(args.newArchive);
    if (!absolute)
        return kExitUsage;
    const fs::path& target = *absolute;
    CliSession session(args.yes, true);
    if (const int status = session.OpenOrReport(args.list); status != kExitDone)
        return status;
    ArchiveState& state = session.m_state;
    const std::string name = Trim(target.filename().string());
    if (!IsPodFileName(name)) {
        session.m_host.ShowMessage(kNameFormatText, kCaption, Icon::Information);
        return kExitRefused;
    }
    const auto folder = session.Folder(target.parent_path());
    if (!folder)
        return kExitUsage;

    state.DialogPath = *folder;
    state.DialogName = name;
    state.DialogOptions = MakeOptions{.mount = args.mount}.DialogOptions();
    // The comment as the Make dialog hands it over: cut to 80 characters or blank-padded.
    std::string comment = Utf8ToLatin1(args.comment.value_or("")).substr(0, kCommentSize);
    comment.resize(kCommentSize, ' ');
    state.PodComment = comment;

    const Result made = session.m_core.MakeCommand(session.m_row);
    if (state.PodPattern != "*.pod")  // not built: the response file is still the open file
        return std::max(kExitRefused, ExitFor(made));
    session.PrintListing();
    return ExitFor(made);
}

int RunComment(const CommentArgs& args) {
    CliSession session;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    return ExitFor(session.m_core.RewriteComment(Utf8ToLatin1(args.text)));
}

}  // namespace karvex
