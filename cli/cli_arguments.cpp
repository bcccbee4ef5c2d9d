// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_arguments.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "cli/archive_commands.h"
#include "cli/collector_commands.h"
#include "cli/viewer_commands.h"
#include "core/text.h"
#include "karvex_version.h"

namespace karvex {
namespace {

// The width of the first column of the usage's list of commands.
constexpr std::size_t kTermWidth = 10;

// "  TERM      TEXT", each further line of TEXT indented to the text's column:
//   Term("extract", "writes...\n--lst ...") == "  extract   writes...\n            --lst ...\n"
std::string Term(const std::string& term, const std::string& text) {
    std::string line = "  " + term;
    line.resize(2 + kTermWidth, ' ');
    for (const char c : text)
        line += c == '\n' ? "\n" + std::string(2 + kTermWidth, ' ') : std::string(1, c);
    return line + "\n";
}

// A command of the tool: a subcommand with, beside its own help's description, the summary
// the usage lists it with.
// Made through CLI11's parent constructor, as add_subcommand(name, description) makes one,
// so that it takes over the parent's formatter, help flag and leave to keep extra words.
class Command : public CLI::App {
  public:
    Command(CLI::App& parent, const std::string& name, const std::string& summary,
            const std::string& description)
        : CLI::App(description, name, &parent), m_summary(summary) {}

    const std::string& Summary() const { return m_summary; }

  private:
    std::string m_summary;
};

// The usage: every command's line, the description, the commands' summaries and the footer.
// A command's help is CLI11's own, with the command's line of the usage for its "Usage:".
class UsageFormatter : public CLI::Formatter {
  public:
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override {
        if (app->get_parent())
            return Formatter::make_help(app, name, mode);
        return make_usage(app, name) + "\n" + make_description(app) + make_subcommands(app, mode) +
               make_footer(app);
    }

    std::string make_usage(const CLI::App* app, std::string name) const override {
        const std::string usage = get_label("Usage") + ":";
        if (app->get_parent())
            return usage + " " + UsageLine(app, name) + "\n";
        std::string text = usage + "\n";
        for (const CLI::App* command : app->get_subcommands({}))
            text += "  " + UsageLine(command, name + " " + command->get_name()) + "\n";
        return text + "  " + name + " " + app->get_help_ptr()->get_name() + " | " +
               app->get_version_ptr()->get_name() + "\n";
    }

    std::string make_subcommands(const CLI::App* app, CLI::AppFormatMode) const override {
        std::string text;
        for (const CLI::App* command : app->get_subcommands({}))
            text += Term(command->get_name(), static_cast<const Command*>(command)->Summary());
        return text;
    }

  private:
    // "NAME OPERAND... [--flag] [--option VALUE]...": the command's operands, then its
    // options other than the help.
    static std::string UsageLine(const CLI::App* command, const std::string& name) {
        std::string line = name;
        for (const CLI::Option* operand : command->get_options(
                 [](const CLI::Option* option) { return option->get_positional(); }))
            line += " " + operand->get_name();
        for (const CLI::Option* option : command->get_options(
                 [](const CLI::Option* option) { return option->nonpositional(); })) {
            if (option == command->get_help_ptr())
                continue;
            line += " [" + option->get_name();
            if (!option->get_type_name().empty())
                line += " " + option->get_type_name();
            line += option->get_expected_max() > 1 ? "]..." : "]";
        }
        return line;
    }
};

// The endings a path operand must have, by its name.
std::vector<std::string> EndingsOf(const std::string& operand) {
    if (operand == "FILE")
        return {".pod", ".lst"};
    if (operand == "ARCHIVE")
        return {".pod"};
    if (operand == "LISTFILE")
        return {".lst"};
    return {};
}

// CLI11 reads "--comment=" as "--comment" and takes the next word as its value; an empty
// value is meant, so it is passed as one.
std::vector<std::string> Words(int argc, char** argv) {
    std::vector<std::string> words;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        optionsEnded |= word == "--";
        if (!optionsEnded && word.size() > 3 && word.starts_with("--") && word.ends_with("=")) {
            word.pop_back();
            words.push_back(word);
            word.clear();
        }
        words.push_back(word);
    }
    return words;
}

// True for the operands and options that become archive text; the other operands are paths.
bool IsArchiveText(const std::string& name) {
    return name == "ENTRY" || name == "TEXT" || name == "--selected" || name == "--comment";
}

// A command's operands, in order.
std::vector<const CLI::Option*> Operands(const CLI::App& command) {
    return command.get_options([](const CLI::Option* option) { return option->get_positional(); });
}

// What is wrong with a parsed command line, or "" when the command can run. CLI11 keeps
// the words that no command or option took; they are judged here so that every
// problem is told in the same words.
std::string Problem(const CLI::App& app, const CLI::App* command) {
    if (!command) {
        const auto words = app.remaining();
        return words.empty() ? "no command given" : "unknown command '" + words.front() + "'";
    }
    const std::string name = "'" + command->get_name() + "'";
    auto extras = command->remaining();
    for (const std::string& word : app.remaining())
        extras.push_back(word);
    bool optionsEnded = false;
    std::size_t extraOperands = 0;
    for (const std::string& word : extras) {
        if (word == "--" && !optionsEnded) {
            optionsEnded = true;
        } else if (!optionsEnded && word.size() > 1 && word[0] == '-') {
            return name + " does not take " + word.substr(0, word.find('='));
        } else {
            ++extraOperands;
        }
    }
    const auto operands = Operands(*command);
    const std::size_t wanted = operands.size();
    const bool given = std::all_of(operands.begin(), operands.end(),
                                   [](const CLI::Option* operand) { return operand->count() > 0; });
    if (!given || extraOperands > 0)
        return name + " takes " + std::to_string(wanted) + " argument" + (wanted > 1 ? "s" : "");
    for (const CLI::Option* operand : operands) {
        const std::string operandName = operand->get_name();
        if (!IsArchiveText(operandName) && operand->results().front().empty())
            return operandName + " must not be empty";  // a path: "" names no file
    }
    return "";
}

// What is wrong with the arguments that become archive text, or "": each must be UTF-8 of
// characters that Latin-1, the archives' 8-bit text, holds, so that none is changed.
std::string ArchiveTextProblem(const CLI::App& command) {
    std::string latin1;
    for (const CLI::Option* option : command.get_options()) {
        if (!IsArchiveText(option->get_name()))
            continue;
        const std::string argument = option->get_name();
        for (const std::string& value : option->reduced_results()) {
            switch (Utf8ToLatin1Exactly(value, latin1)) {
                case Latin1Conversion::Done:
                    break;
                case Latin1Conversion::NotUtf8:
                    return argument + " is not valid UTF-8: " + value;
                case Latin1Conversion::OutsideLatin1:
                    return argument +
                           " has a character outside Latin-1, the archive's 8-bit text: " + value;
            }
        }
    }
    return "";
}

// What is wrong with a path operand's ending, or "".
std::string EndingProblem(const CLI::App& command) {
    for (const CLI::Option* operand : Operands(command)) {
        const std::vector<std::string> endings = EndingsOf(operand->get_name());
        const std::string& path = operand->results().front();
        std::string wanted;
        bool ends = endings.empty();
        for (const std::string& end : endings) {
            ends |= EndsWithNoCase(path, end);
            wanted += (wanted.empty() ? "" : " or ") + end;
        }
        if (!ends)
            return operand->get_name() + " must end in " + wanted + ": " + path;
    }
    return "";
}

// The tool's command line: the commands, each with its options read into its own struct
// and its routine run by the command's callback, which sets `status`.
struct CommandLine {
    CommandLine();

    // Adds a command run by `run` once its command line is found usable.
    CLI::App* Add(const std::string& name, const std::string& summary,
                  const std::string& description, std::function<int()> run);
    // Adds an operand, shown by its name alone.
    static void Operand(CLI::App* command, const std::string& name, std::string& value,
                        const std::string& help) {
        command->add_option(name, value, help)->type_name("");
    }

    CLI::App app{
        "FILE is an archive (.pod) or a response file (.lst); ENTRY is an entry's exact name\n"
        "(the first entry of that name is used).",
        "karvex32-cli"};
    int status = kExitDone;

    ListArgs list;
    ExtractArgs extract;
    BuildArgs build;
    CommentArgs comment;
    TextureArgs texture;
    TexturesArgs textures;
    PaletteArgs palette;
    TextArgs text;
    SearchArgs search;
    ExamineArgs examine;
};

CLI::App* CommandLine::Add(const std::string& name, const std::string& summary,
                           const std::string& description, std::function<int()> run) {
    CLI::App* command =
        app.add_subcommand(std::make_shared<Command>(app, name, summary, description));
    command->callback([this, command, run = std::move(run)] {
        std::string problem = Problem(app, command);
        if (problem.empty())
            problem = ArchiveTextProblem(*command);
        if (problem.empty())
            problem = EndingProblem(*command);
        status = problem.empty() ? run() : UsageError(problem);
    });
    return command;
}

CommandLine::CommandLine() {
    // Set before the commands are added, which take these over.
    app.formatter(std::make_shared<UsageFormatter>());
    app.allow_extras();
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", std::string("karvex32-cli ") + KARVEX_VERSION);

    CLI::App* sub =
        Add("list", "shows the status line, size, file count and every entry as the window would",
            "Shows the status line, size, file count and every entry as the window would.",
            [this] { return RunList(list); });
    Operand(sub, "FILE", list.file, "an archive (.pod) or a response file (.lst)");

    sub = Add("extract",
              "writes the entries named by --selected and/or --all into FOLDER, and with\n"
              "--lst and --inf the response and information files beside them",
              "Writes the chosen entries and the response and information files.",
              [this] { return RunExtract(extract); });
    Operand(sub, "ARCHIVE", extract.archive, "the archive (.pod)");
    Operand(sub, "FOLDER", extract.folder, "an existing folder");
    sub->add_option("--selected", extract.selected, "extracts every entry named NAME")
        ->type_name("NAME")
        ->allow_extra_args(false);
    sub->add_flag("--all", extract.all, "extracts all entries");
    sub->add_flag("--lst", extract.lst, "writes the response file (.lst)");
    sub->add_flag("--inf", extract.inf, "writes the information file (.inf)");
    sub->add_flag("--yes", extract.yes, "answers Yes to overwrite questions");

    sub = Add("build", "makes NEWARCHIVE from the files LISTFILE lists, --mount adds it to pod.ini",
              "Makes NEWARCHIVE from the files LISTFILE lists and lists it as 'list' does.",
              [this] { return RunBuild(build); });
    Operand(sub, "LISTFILE", build.list, "the response file (.lst)");
    Operand(sub, "NEWARCHIVE", build.newArchive, "named like MYFILE.POD");
    sub->add_option("--comment", build.comment, "the archive comment, up to 80 characters")
        ->type_name("TEXT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    sub->add_flag("--mount", build.mount, "adds the new archive to pod.ini");
    sub->add_flag("--yes", build.yes, "answers Yes to overwrite questions");

    sub = Add("comment", "replaces the archive's comment (an empty TEXT changes nothing)",
              "Replaces the archive's comment; an empty TEXT changes nothing.",
              [this] { return RunComment(comment); });
    Operand(sub, "ARCHIVE", comment.archive, "the archive (.pod)");
    Operand(sub, "TEXT", comment.text, "the new comment");

    sub = Add("texture", "writes a 64x64 or 256x256 texture through its palette as a PNG file",
              "Writes a texture as the viewer draws it, as an 8-bit RGB PNG file.",
              [this] { return RunTexture(texture); });
    Operand(sub, "ARCHIVE", texture.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", texture.entry, "a texture of 4096 or 65536 bytes");
    Operand(sub, "OUT.png", texture.out, "the PNG file, replaced if it exists");

    sub = Add("textures", "writes every such texture (.raw) into FOLDER as NAME.png",
              "Writes every texture (.raw) of 4096 or 65536 bytes as NAME.png.",
              [this] { return RunTextures(textures); });
    Operand(sub, "ARCHIVE", textures.archive, "the archive (.pod)");
    Operand(sub, "FOLDER", textures.folder, "an existing folder");

    sub = Add("palette", "prints the 256 colour values of a palette (.act)",
              "Prints the palette viewer's 256 lines of colour values.",
              [this] { return RunPalette(palette); });
    Operand(sub, "ARCHIVE", palette.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", palette.entry, "a palette (.act)");

    sub = Add("text", "prints the lines of a text; -0 ends each with a NUL byte instead",
              "Prints the text viewer's lines, each ending with a line feed.",
              [this] { return RunText(text); });
    Operand(sub, "ARCHIVE", text.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", text.entry, "a text");
    sub->add_flag("-0", text.nulEnds, "ends each line with a NUL byte instead");

    sub = Add("search", "prints the entries whose name (or size, or data) holds TEXT",
              "Prints 'N Found', then one NAME<TAB>SIZE line per entry found, in order.",
              [this] { return RunSearch(search); });
    Operand(sub, "ARCHIVE", search.archive, "the archive (.pod)");
    Operand(sub, "TEXT", search.text, "the text to find; not empty");
    sub->add_flag("--match-case", search.matchCase, "letter case must match");
    sub->add_flag("--size", search.bySize, "searches the displayed sizes instead of the names");
    sub->add_flag("--contents", search.byContents, "searches the entries' data (wins over --size)");

    sub = Add("examine", "prints the files a truck (.trk) or model (.bin) names",
              "Prints the files a truck (.trk) or model (.bin) names, one per line.",
              [this] { return RunExamine(examine); });
    Operand(sub, "ARCHIVE", examine.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", examine.entry, "a truck or model");

    // Set once the commands are added, which would take it over.
    app.footer(
        Term("--yes", "answers Yes to overwrite questions (otherwise they are answered No)") +
        "\nExit status: 0 done; 1 the load failed or was incomplete, or a refusal;\n"
        "2 bad usage, or a file that cannot be read or written.");
}

}  // namespace

int UsageError(const std::string& problem) {
    const CommandLine line;
    const std::string usage = line.app.get_formatter()->make_help(&line.app, line.app.get_name(),
                                                                  CLI::AppFormatMode::Normal);
    std::fprintf(stderr, "karvex32-cli: %s\n\n%s", problem.c_str(), usage.c_str());
    return kExitUsage;
}

int RunCommandLine(int argc, char** argv) {
    CommandLine line;
    CLI::App& app = line.app;
    std::vector<std::string> words = Words(argc, argv);
    const std::string lastWord = words.empty() ? "" : words.back();
    std::reverse(words.begin(), words.end());  // CLI11 takes them last first
    try {
        app.parse(std::move(words));
    } catch (const CLI::CallForHelp&) {
        std::fputs(app.help().c_str(), stdout);
        return kExitDone;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        return kExitDone;
    } catch (const CLI::ArgumentMismatch&) {
        // Only an option that takes a value can go without it, and only as the last word.
        return UsageError(lastWord + " needs a value");
    } catch (const CLI::ParseError& error) {
        return UsageError(error.what());
    }
    if (app.get_subcommands().empty())
        return UsageError(Problem(app, nullptr));
    return line.status;
}

}  // namespace karvex
