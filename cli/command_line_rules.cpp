// SPDX-License-Identifier: GPL-3.0-or-later
// How the command line is shown (the usage and each command's help) and judged (the
// operands' count, text and endings).
#include "cli/command_line_rules.h"

#include <algorithm>

#include "core/text.h"

namespace karvex {

namespace {

// The width of the first column of the usage's list of commands.
constexpr std::size_t kTermWidth = 10;

}  // namespace

// "  TERM      TEXT", each further line of TEXT indented to the text's column:
//   Term("extract", "writes...\n--lst ...") == "  extract   writes...\n            --lst ...\n"
std::string Term(const std::string& term, const std::string& text) {
    std::string line = "  " + term;
    // A term too long for its column stands on a line of its own.
    if (term.size() >= kTermWidth)
        line += "\n";
    line.resize(line.back() == '\n' ? line.size() + 2 + kTermWidth : 2 + kTermWidth, ' ');
    for (const char c : text)
        line += c == '\n' ? "\n" + std::string(2 + kTermWidth, ' ') : std::string(1, c);
    return line + "\n";
}

namespace {

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
            line += " " + operand->get_name() + (operand->get_expected_max() > 1 ? "..." : "");
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

// The endings a path operand of `command` must have, by its name. The files that `add`
// puts into an archive may have any name.
std::vector<std::string> EndingsOf(const std::string& command, const std::string& operand) {
    if (operand == "FILE" && command != "add")
        return {".pod", ".lst"};
    if (operand == "ARCHIVE")
        return {".pod"};
    if (operand == "LISTFILE")
        return {".lst"};
    if (operand == "FILE.png")
        return {".png"};
    if (operand == "OUT.gpl|OUT.png" || operand == "FILE.gpl|FILE.png")
        return {".gpl", ".png"};
    return {};
}

}  // namespace

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

namespace {

// True for the operands and options that become archive text; the other operands are paths.
bool IsArchiveText(const std::string& name) {
    for (const char* text :
         {"ENTRY", "TEXT", "NAME", "OLD", "NEW", "--selected", "--comment", "--as", "--palette"}) {
        if (name == text)
            return true;
    }
    return false;
}

// A command's operands, in order.
std::vector<const CLI::Option*> Operands(const CLI::App& command) {
    return command.get_options([](const CLI::Option* option) { return option->get_positional(); });
}

}  // namespace

std::shared_ptr<CLI::App> MakeCommand(CLI::App& parent, const std::string& name,
                                      const std::string& summary, const std::string& description) {
    return std::make_shared<Command>(parent, name, summary, description);
}

std::shared_ptr<CLI::Formatter> MakeUsageFormatter() {
    return std::make_shared<UsageFormatter>();
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
    // An operand shown as "FILE..." takes one word or more.
    const bool more = std::any_of(operands.begin(), operands.end(), [](const CLI::Option* operand) {
        return operand->get_expected_max() > 1;
    });
    if (!given || extraOperands > 0)
        return name + " takes " + (more ? "at least " : "") + std::to_string(wanted) + " argument" +
               (wanted > 1 ? "s" : "");
    for (const CLI::Option* operand : operands) {
        const std::string operandName = operand->get_name();
        for (const std::string& value : operand->results()) {
            if (!IsArchiveText(operandName) && value.empty())
                return operandName + " must not be empty";  // a path: "" names no file
        }
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
        const std::vector<std::string> endings = EndingsOf(command.get_name(), operand->get_name());
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

}  // namespace karvex
