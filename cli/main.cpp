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

#include "archive_state.h"
#include "cli_host.h"
#include "entry_table.h"
#include "paths.h"
#include "pod_core.h"
#include "text.h"

namespace karvex {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

const char* const kUsage =
    "Usage:\n"
    "  karvex32-cli list FILE\n"
    "  karvex32-cli extract ARCHIVE FOLDER [--selected NAME]... [--all] [--lst] [--inf] [--yes]\n"
    "  karvex32-cli build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] [--yes]\n"
    "  karvex32-cli comment ARCHIVE TEXT\n"
    "  karvex32-cli --help | --version\n"
    "\n"
    "FILE is an archive (.pod) or a response file (.lst).\n"
    "  list     shows the status line, size, file count and every entry as the window would\n"
    "  extract  writes the entries named by --selected and/or --all into FOLDER, and with\n"
    "           --lst and --inf the response and information files beside them\n"
    "  build    makes NEWARCHIVE from the files LISTFILE lists, --mount adds it to pod.ini\n"
    "  comment  replaces the archive's comment (an empty TEXT changes nothing)\n"
    "  --yes    answers Yes to overwrite questions (otherwise they are answered No)\n"
    "\n"
    "Exit status: 0 done; 1 the load failed or was incomplete, or a refusal;\n"
    "2 bad usage, or a file that cannot be read or written.\n";

struct Arguments {
    std::string command;
    std::vector<std::string> positional;
    std::vector<std::string> selected;
    std::optional<std::string> comment;
    bool all = false, lst = false, inf = false, yes = false, mount = false;
};

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "karvex32-cli: %s\n\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

// The options each command takes; anything else is bad usage.
bool Allowed(const std::string& command, const std::string& option) {
    if (command == "extract")
        return option == "--selected" || option == "--all" || option == "--lst" ||
               option == "--inf" || option == "--yes";
    if (command == "build")
        return option == "--comment" || option == "--mount" || option == "--yes";
    return false;
}

std::optional<Arguments> Parse(int argc, char** argv, std::string& problem) {
    Arguments args;
    args.command = argv[1];
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, "--") != 0) {
            args.positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!Allowed(args.command, arg)) {
            problem = "'" + args.command + "' does not take " + arg;
            return std::nullopt;
        }
        if (arg == "--selected" || arg == "--comment") {
            if (i + 1 >= argc) {
                problem = arg + " needs a value";
                return std::nullopt;
            }
            (arg == "--selected" ? args.selected.emplace_back() : args.comment.emplace()) =
                argv[++i];
        }
        args.all |= arg == "--all";
        args.lst |= arg == "--lst";
        args.inf |= arg == "--inf";
        args.yes |= arg == "--yes";
        args.mount |= arg == "--mount";
    }
    const std::size_t wanted = args.command == "list" ? 1 : 2;
    if (args.positional.size() != wanted) {
        problem = "'" + args.command + "' takes " + std::to_string(wanted) + " argument" +
                  (wanted > 1 ? "s" : "");
        return std::nullopt;
    }
    return args;
}

// The thousands separator of the user's locale, as 8-bit text; "," where it has none.
std::string LocaleSeparator() {
    std::setlocale(LC_ALL, "");
    const std::lconv* conv = std::localeconv();
    const std::string separator =
        conv && conv->thousands_sep ? Utf8ToLatin1(conv->thousands_sep) : "";
    return separator.empty() ? "," : separator;
}

int ExitFor(Outcome outcome) {
    return static_cast<int>(outcome);
}

class Session {
  public:
    explicit Session(const Arguments& args)
        : m_host(args.yes,
                 (args.command == "extract" || args.command == "build") && isatty(STDERR_FILENO)),
          m_core(m_state, m_table, m_host) {
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
        const bool loaded =
            archive ? m_core.OpenPodSequence(m_row) : m_core.OpenResponseSequence(m_row);
        return loaded ? kExitDone : std::max(kExitRefused, ExitFor(m_core.GetOutcome()));
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
            if (m_table.Size(i) == "Missing")
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

    ArchiveState m_state;
    EntryTable m_table;
    CliHost m_host;
    PodCore m_core;
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
    session.m_core.ResetOutcome();
    session.m_core.ExtractCommand();
    return std::max(status, ExitFor(session.m_core.GetOutcome()));
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

    session.m_core.ResetOutcome();
    if (!session.m_core.MakeCommand(session.m_row))
        return std::max(kExitRefused, ExitFor(session.m_core.GetOutcome()));
    session.PrintListing();
    const bool reloaded = session.m_core.StatusText() != kLoadFailedText;
    return std::max(reloaded ? kExitDone : kExitRefused, ExitFor(session.m_core.GetOutcome()));
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
    session.m_core.ResetOutcome();
    session.m_core.RewriteComment(Utf8ToLatin1(args.positional[1]));
    return ExitFor(session.m_core.GetOutcome());
}

int Run(int argc, char** argv) {
    if (argc < 2)
        return UsageError("no command given");
    const std::string command = argv[1];
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return kExitDone;
    }
    if (command == "--version") {
        std::printf("karvex32-cli %s\n", KARVEX_VERSION);
        return kExitDone;
    }
    if (command != "list" && command != "extract" && command != "build" && command != "comment")
        return UsageError("unknown command '" + command + "'");
    std::string problem;
    const auto args = Parse(argc, argv, problem);
    if (!args)
        return UsageError(problem);
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
