// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How karvex32-cli's command line is shown and judged: the usage and each command's help,
// and the checks a command line passes before its command runs.

#include <CLI/CLI.hpp>

#include <memory>
#include <string>
#include <vector>

namespace karvex {

// "  TERM      TEXT", each further line of TEXT indented to the text's column (a TERM of 10
// characters or more on a line of its own, TEXT below it at the column):
//   Term("extract", "writes...\n--lst ...") == "  extract   writes...\n            --lst ...\n"
std::string Term(const std::string& term, const std::string& text);

// A command of the tool: a subcommand of `parent` with, beside its own help's `description`,
// the `summary` the usage lists it with. It takes over the parent's formatter, help flag and
// leave to keep extra words, as add_subcommand(name, description) would.
std::shared_ptr<CLI::App> MakeCommand(CLI::App& parent, const std::string& name,
                                      const std::string& summary, const std::string& description);

// The usage: every command's line, the description, the commands' summaries and the footer.
// A command's help is CLI11's own, with the command's line of the usage for its "Usage:".
std::shared_ptr<CLI::Formatter> MakeUsageFormatter();

// The words of the command line as CLI11 is to read them: "--comment=" is "--comment" with
// an empty value, where CLI11 would take the next word as its value.
std::vector<std::string> Words(int argc, char** argv);

// What is wrong with a parsed command line, or "" when `command` can run (no command: what
// is wrong is that there is none). CLI11 keeps the words that no command or option took;
// they are judged here so that every problem is told in the same words.
std::string Problem(const CLI::App& app, const CLI::App* command);

// What is wrong with the arguments that become archive text (entry names, texts), or "":
// each must be UTF-8 of characters that Latin-1, the archives' 8-bit text, holds.
std::string ArchiveTextProblem(const CLI::App& command);

// What is wrong with a path operand's ending (an ARCHIVE must end in .pod), or "".
std::string EndingProblem(const CLI::App& command);

}  // namespace karvex
