#include "cli_arguments.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "karvex_version.h"
#include "text.h"

namespace karvex {
namespace {

const char* const kUsage =
    "Usage:\n"
    "  karvex32-cli list FILE\n"
    "  karvex32-cli extract ARCHIVE FOLDER [--selected NAME]... [--all] [--lst] [--inf] [--yes]\n"
    "  karvex32-cli build LISTFILE NEWARCHIVE [--comment TEXT] [--mount] [--yes]\n"
    "  karvex32-cli comment ARCHIVE TEXT\n"
    "  karvex32-cli texture ARCHIVE ENTRY OUT.png\n"
    "  karvex32-cli textures ARCHIVE FOLDER\n"
    "  karvex32-cli palette ARCHIVE ENTRY\n"
    "  karvex32-cli text ARCHIVE ENTRY [-0]\n"
    "  karvex32-cli search ARCHIVE TEXT [--match-case] [--size] [--contents]\n"
    "  karvex32-cli examine ARCHIVE ENTRY\n"
    "  karvex32-cli --help | --version\n"
    "\n"
    "FILE is an archive (.pod) or a response file (.lst); ENTRY is an entry's exact name\n"
    "(the first entry of that name is used).\n"
    "  list      shows the status line, size, file count and every entry as the window would\n"
    "  extract   writes the entries named by --selected and/or --all into FOLDER, and with\n"
    "            --lst and --inf the response and information files beside them\n"
    "  build     makes NEWARCHIVE from the files LISTFILE lists, --mount adds it to pod.ini\n"
    "  comment   replaces the archive's comment (an empty TEXT changes nothing)\n"
    "  texture   writes a 64x64 or 256x256 texture through its palette as a PNG file\n"
    "  textures  writes every such texture (.raw) into FOLDER as NAME.png\n"
    "  palette   prints the 256 colour values of a palette (.act)\n"
    "  text      prints the lines of a text; -0 ends each with a NUL byte instead\n"
    "  search    prints the entries whose name (or size, or data) holds TEXT\n"
    "  examine   prints the files a truck (.trk) or model (.bin) names\n"
    "  --yes     answers Yes to overwrite questions (otherwise they are answered No)\n"
    "\n"
    "Exit status: 0 done; 1 the load failed or was incomplete, or a refusal;\n"
    "2 bad usage, or a file that cannot be read or written.\n";

// A command's help starts with its own line of kUsage, so the two never disagree.
class CommandFormatter : public CLI::Formatter {
  public:
    std::string make_usage(const CLI::App* app, std::string) const override {
        const std::string usage = kUsage;
        const std::size_t from = usage.find("karvex32-cli " + app->get_name() + " ");
        return "Usage: " + usage.substr(from, usage.find('\n', from) - from) + "\n";
    }
};

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

// True for the operands that become archive text; the others are paths.
bool IsArchiveText(const std::string& operand) {
    return operand == "ENTRY" || operand == "TEXT";
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
std::string ArchiveTextProblem(const CLI::App& command, const Arguments& args) {
    std::vector<std::pair<std::string, std::string>> texts;  // argument, value
    for (const CLI::Option* operand : Operands(command)) {
        if (IsArchiveText(operand->get_name()))
            texts.emplace_back(operand->get_name(), operand->results().front());
    }
    for (const std::string& name : args.selected)
        texts.emplace_back("--selected", name);
    if (args.comment)
        texts.emplace_back("--comment", *args.comment);
    std::string latin1;
    for (const auto& [argument, value] : texts) {
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
    return "";
}

}  // namespace

int UsageError(const std::string& problem) {
    std::fprintf(stderr, "karvex32-cli: %s\n\n%s", problem.c_str(), kUsage);
    return kExitUsage;
}

namespace {

// The commands with their operands (into `operands`, in order) and options.
void DefineCommands(CLI::App& app, Arguments& args, std::string (&operands)[3]) {
    auto command = [&](const char* name, const char* about,
                       std::vector<std::pair<const char*, const char*>> operandHelp) {
        CLI::App* sub = app.add_subcommand(name, about);
        for (std::size_t i = 0; i < operandHelp.size(); ++i)
            sub->add_option(operandHelp[i].first, operands[i], operandHelp[i].second)
                ->type_name("");
        return sub;
    };

    command("list", "Shows the status line, size, file count and every entry as the window would.",
            {{"FILE", "an archive (.pod) or a response file (.lst)"}});

    CLI::App* extract =
        command("extract", "Writes the chosen entries and the response and information files.",
                {{"ARCHIVE", "the archive (.pod)"}, {"FOLDER", "an existing folder"}});
    extract->add_option("--selected", args.selected, "extracts every entry named NAME")
        ->type_name("NAME")
        ->allow_extra_args(false);
    extract->add_flag("--all", args.all, "extracts all entries");
    extract->add_flag("--lst", args.lst, "writes the response file (.lst)");
    extract->add_flag("--inf", args.inf, "writes the information file (.inf)");
    extract->add_flag("--yes", args.yes, "answers Yes to overwrite questions");

    CLI::App* build = command(
        "build", "Makes NEWARCHIVE from the files LISTFILE lists and lists it as 'list' does.",
        {{"LISTFILE", "the response file (.lst)"}, {"NEWARCHIVE", "named like MYFILE.POD"}});
    build->add_option("--comment", args.comment, "the archive comment, up to 80 characters")
        ->type_name("TEXT")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    build->add_flag("--mount", args.mount, "adds the new archive to pod.ini");
    build->add_flag("--yes", args.yes, "answers Yes to overwrite questions");

    command("comment", "Replaces the archive's comment; an empty TEXT changes nothing.",
            {{"ARCHIVE", "the archive (.pod)"}, {"TEXT", "the new comment"}});

    command("texture", "Writes a texture as the viewer draws it, as an 8-bit RGB PNG file.",
            {{"ARCHIVE", "the archive (.pod)"},
             {"ENTRY", "a texture of 4096 or 65536 bytes"},
             {"OUT.png", "the PNG file, replaced if it exists"}});
    command("textures", "Writes every texture (.raw) of 4096 or 65536 bytes as NAME.png.",
            {{"ARCHIVE", "the archive (.pod)"}, {"FOLDER", "an existing folder"}});
    command("palette", "Prints the palette viewer's 256 lines of colour values.",
            {{"ARCHIVE", "the archive (.pod)"}, {"ENTRY", "a palette (.act)"}});
    CLI::App* text =
        command("text", "Prints the text viewer's lines, each ending with a line feed.",
                {{"ARCHIVE", "the archive (.pod)"}, {"ENTRY", "a text"}});
    text->add_flag("-0", args.nulEnds, "ends each line with a NUL byte instead");

    CLI::App* search = command(
        "search", "Prints 'N Found', then one NAME<TAB>SIZE line per entry found, in order.",
        {{"ARCHIVE", "the archive (.pod)"}, {"TEXT", "the text to find; not empty"}});
    search->add_flag("--match-case", args.matchCase, "letter case must match");
    search->add_flag("--size", args.bySize, "searches the displayed sizes instead of the names");
    search->add_flag("--contents", args.byContents, "searches the entries' data (wins over --size)");
    command("examine", "Prints the files a truck (.trk) or model (.bin) names, one per line.",
            {{"ARCHIVE", "the archive (.pod)"}, {"ENTRY", "a truck or model"}});
}

}  // namespace

std::optional<Arguments> ReadArguments(int argc, char** argv, int& exitStatus) {
    CLI::App app("", "karvex32-cli");
    // Set before the commands are added, which take these over.
    app.formatter(std::make_shared<CommandFormatter>());
    app.allow_extras();
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", std::string("karvex32-cli ") + KARVEX_VERSION);
    Arguments args;
    std::string operands[3];  // the most any command takes
    DefineCommands(app, args, operands);

    std::vector<std::string> words = Words(argc, argv);
    const std::string lastWord = words.empty() ? "" : words.back();
    std::reverse(words.begin(), words.end());  // CLI11 takes them last first
    try {
        app.parse(std::move(words));
    } catch (const CLI::CallForHelp&) {
        const auto chosen = app.get_subcommands();
        std::fputs(chosen.empty() ? kUsage : chosen.front()->help().c_str(), stdout);
        exitStatus = kExitDone;
        return std::nullopt;
    } catch (const CLI::CallForVersion& version) {
        std::printf("%s\n", version.what());
        exitStatus = kExitDone;
        return std::nullopt;
    } catch (const CLI::ArgumentMismatch&) {
        // Only an option that takes a value can go without it, and only as the last word.
        exitStatus = UsageError(lastWord + " needs a value");
        return std::nullopt;
    } catch (const CLI::ParseError& error) {
        exitStatus = UsageError(error.what());
        return std::nullopt;
    }

    const auto chosen = app.get_subcommands();
    const CLI::App* sub = chosen.empty() ? nullptr : chosen.front();
    std::string problem = Problem(app, sub);
    if (problem.empty())
        problem = ArchiveTextProblem(*sub, args);
    if (!problem.empty()) {
        exitStatus = UsageError(problem);
        return std::nullopt;
    }
    args.command = sub->get_name();
    args.positional.assign(operands, operands + Operands(*sub).size());
    return args;
}

}  // namespace karvex
