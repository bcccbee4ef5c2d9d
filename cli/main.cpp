// karvex32-cli: the archive commands of Karvex32 from the command line, running the same
// core routines and open sequences as the main window.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "cli_arguments.h"
#include "cli_session.h"
#include "collector_commands.h"
#include "paths.h"
#include "pod_core.h"
#include "text.h"
#include "viewer_commands.h"

namespace karvex {
namespace {

int List(const Arguments& args) {
    const std::string& file = args.positional[0];
    if (!EndsWithNoCase(file, ".pod") && !EndsWithNoCase(file, ".lst"))
        return UsageError("FILE must end in .pod or .lst: " + file);
    Session session(args);
    const int status = session.Open(file);
    if (status != kExitUsage)
        session.PrintListing();
    return status;
}

int Extract(const Arguments& args) {
    const std::string& archive = args.positional[0];
    if (!EndsWithNoCase(archive, ".pod"))
        return UsageError("ARCHIVE must end in .pod: " + archive);
    Session session(args);
    const auto folder = session.Folder(args.positional[1]);
    if (!folder)
        return kExitUsage;
    if (const int status = session.Open(archive); status != kExitDone) {
        if (status != kExitUsage)
            session.ReportNotOpened();
        return status;
    }

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
    auto box = [](bool ticked) { return ticked ? '1' : '0'; };
    state.DialogOptions = {
        box(args.lst), box(!args.selected.empty()), box(args.all), box(args.inf), '0', '0'};
    return std::max(status, ExitFor(session.m_core.ExtractCommand()));
}

int Build(const Arguments& args) {
    const std::string& list = args.positional[0];
    if (!EndsWithNoCase(list, ".lst"))
        return UsageError("LISTFILE must end in .lst: " + list);
    // Taken before the open sequence makes the list's folder current.
    const auto absolute = AbsolutePath(args.positional[1]);
    if (!absolute)
        return kExitUsage;
    const fs::path& target = *absolute;
    Session session(args);
    if (const int status = session.Open(list); status != kExitDone) {
        if (status != kExitUsage)
            session.ReportNotOpened();
        return status;
    }
    ArchiveState& state = session.m_state;
    const std::string name = Trim(target.filename().string());
    if (!IsPodFileName(name)) {
        session.m_host.ShowMessage(kNameFormatText, "Karvex32", Icon::Information);
        return kExitRefused;
    }
    const auto folder = session.Folder(target.parent_path());
    if (!folder)
        return kExitUsage;

    state.DialogPath = *folder;
    state.DialogName = name;
    state.DialogOptions = args.mount ? " 1" : " 0";
    // The comment as the Make dialog hands it over: cut to 80 characters or blank-padded.
    std::string comment = Utf8ToLatin1(args.comment.value_or("")).substr(0, 80);
    comment.resize(80, ' ');
    state.PodComment = comment;

    const Result made = session.m_core.MakeCommand(session.m_row);
    if (state.PodPattern != "*.pod")  // not built: the response file is still the open file
        return std::max(kExitRefused, ExitFor(made));
    session.PrintListing();
    return ExitFor(made);
}

int Comment(const Arguments& args) {
    const std::string& archive = args.positional[0];
    if (!EndsWithNoCase(archive, ".pod"))
        return UsageError("ARCHIVE must end in .pod: " + archive);
    Session session(args);
    if (const int status = session.Open(archive); status != kExitDone) {
        if (status != kExitUsage)
            session.ReportNotOpened();
        return status;
    }
    return ExitFor(session.m_core.RewriteComment(Utf8ToLatin1(args.positional[1])));
}

int Run(int argc, char** argv) {
    int status = kExitDone;
    const auto args = ReadArguments(argc, argv, status);
    if (!args)
        return status;
    const std::string& command = args->command;
    if (command == "list")
        return List(*args);
    if (command == "extract")
        return Extract(*args);
    if (command == "build")
        return Build(*args);
    if (command == "comment")
        return Comment(*args);
    if (command == "search" || command == "examine")
        return RunCollectorCommand(*args);
    return RunViewerCommand(*args);
}

}  // namespace
}  // namespace karvex

int main(int argc, char** argv) {
    // The routines report through error codes; this only keeps an overlooked throw (or
    // memory running out) from ending the tool with an abort.
    try {
        return karvex::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "karvex32-cli: %s\n", error.what());
        return karvex::kExitUsage;
    }
}
