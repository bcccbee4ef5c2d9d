// karvex32-cli: the archive commands of Karvex32 from the command line, running the same
// core routines and open sequences as the main window.
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "archive_session.h"
#include "cli_arguments.h"
#include "cli_host.h"
#include "entry_table.h"
#include "paths.h"
#include "pod_core.h"
#include "text.h"

namespace karvex {
namespace {

// The thousands separator of the user's locale, as 8-bit text; "," where it has none.
std::string LocaleSeparator() {
    std::setlocale(LC_ALL, "");
    const std::lconv* conv = std::localeconv();
    const std::string separator =
        conv && conv->thousands_sep ? Utf8ToLatin1(conv->thousands_sep) : "";
    return separator.empty() ? "," : separator;
}

// The exit status for how a command ended: 0 done, 1 a refusal (or a stop), 2 a file that
// could not be read or written.
int ExitFor(const Result& result) {
    switch (result.status) {
        case Result::Status::Done:
            return kExitDone;
        case Result::Status::Refused:
        case Result::Status::Cancelled:
            return kExitRefused;
        case Result::Status::Failed:
            return kExitUsage;
    }
    return kExitUsage;
}

// The archive session as the command-line tool runs it, reporting to standard streams.
class Session {
  public:
    explicit Session(const Arguments& args)
        : m_host(args.yes,
                 (args.command == "extract" || args.command == "build") && isatty(STDERR_FILENO)) {
        m_session.SetHost(&m_host);
        m_core.SetGroupSeparator(LocaleSeparator());
    }

    // Opens `file` as the Open command would: the archive or the response-file open
    // sequence by its ending. 0 when it loaded completely.
    int Open(const std::string& file) {
        std::error_code ec;
        const fs::path path = fs::absolute(fs::path(file), ec);
        if (!fs::exists(path, ec)) {
            m_host.ShowMessage(
                "File not found" + m_state.LineFeed + m_state.LineFeed + DisplayPath(path),
                "Karvex32", Icon::Exclamation);
            return kExitUsage;
        }
        SplitPath(path, m_state.PodFolder, m_state.PodFileName);
        const bool archive = EndsWithNoCase(file, ".pod");
        m_state.PodPattern = archive ? "*.pod" : "*.lst";
        return ExitFor(archive ? m_core.OpenPodSequence(m_row)
                               : m_core.OpenResponseSequence(m_row));
    }

    void PrintListing() const {
        std::printf("status\t%s\n", Latin1ToUtf8(m_core.StatusText()).c_str());
        std::printf("size\t%s\n", Latin1ToUtf8(m_row.Label3).c_str());
        std::printf("files\t%s\n", Latin1ToUtf8(m_row.Label4).c_str());
        for (int i = 0; i < m_table.Count(); ++i) {
            std::printf("%s\t%s\t%s\n", Latin1ToUtf8(m_table.Name(i)).c_str(),
                        Latin1ToUtf8(m_table.Size(i)).c_str(),
                        Latin1ToUtf8(m_table.Offset(i)).c_str());
        }
    }

    // Tells why a file did not open, on standard error, for the commands that stop there.
    void ReportNotOpened() const {
        std::fprintf(stderr, "karvex32-cli: %s\n", Latin1ToUtf8(m_core.StatusText()).c_str());
        for (int i = 0; i < m_table.Count(); ++i) {
            if (m_table.IsMissing(i))
                std::fprintf(stderr, "karvex32-cli: missing: %s\n",
                             Latin1ToUtf8(m_table.Name(i)).c_str());
        }
    }

    // An existing folder given on the command line, as the dialogs would hand it over.
    std::optional<std::string> Folder(const fs::path& folder) {
        std::error_code ec;
        const fs::path path = fs::absolute(folder, ec);
        if (fs::is_directory(path, ec))
            return FolderText(path.lexically_normal());
        m_host.ShowMessage(
            "Folder not found" + m_state.LineFeed + m_state.LineFeed + DisplayPath(path),
            "Karvex32", Icon::Exclamation);
        return std::nullopt;
    }

    CliHost m_host;
    ArchiveSession m_session;
    ArchiveState& m_state = m_session.State();
    EntryTable& m_table = m_session.Table();
    PodCore& m_core = m_session.Core();
    StatusRow m_row;
};

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
    const fs::path target = fs::absolute(fs::path(args.positional[1]));
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
    return Comment(*args);
}

}  // namespace
}  // namespace karvex

int main(int argc, char** argv) {
    return karvex::Run(argc, argv);
}
