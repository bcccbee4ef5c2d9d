// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/cli_arguments.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>

#include "cli/archive_commands.h"
#include "cli/collector_commands.h"
#include "cli/command_line_rules.h"
#include "cli/edit_commands.h"
#include "cli/import_commands.h"
#include "cli/viewer_commands.h"
#include "core/text.h"
#include "karvex_version.h"

namespace karvex {
namespace {

// The tool's command line: the commands, each with its options read into its own struct
// and its routine run by the command's callback, which sets `status`.
struct CommandLine {
    CommandLine();

    // Adds a command run by `run` once its command line is found usable.
    CLI::App* Add(const std::string& name, const std::string& summary,
                  const std::string& description, std::function<int()> run);
    // Adds an operand, shown by its name alone (a list of them as "NAME...").
    template <typename Value>
    static void Operand(CLI::App* command, const std::string& name, Value& value,
                        const std::string& help) {
        command->add_option(name, value, help)->type_name("");
    }

    CLI::App app{
        "FILE is an archive (.pod) or a response file (.lst), for add any file. ENTRY is an\n"
        "entry's exact name; the names that delete, rename and the imports are given match in\n"
        "any letter case. The first entry of a name is used.",
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
    AddArgs add;
    DeleteArgs remove;
    RenameArgs rename;
    TextureImportArgs textureImport;
    PaletteExportArgs paletteExport;
    PaletteImportArgs paletteImport;
    TexturesImportArgs texturesImport;
};

CLI::App* CommandLine::Add(const std::string& name, const std::string& summary,
                           const std::string& description, std::function<int()> run) {
    CLI::App* command = app.add_subcommand(MakeCommand(app, name, summary, description));
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
    app.formatter(MakeUsageFormatter());
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
              "Writes a texture as the viewer draws it, as an indexed PNG file.",
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

    sub = Add("add",
              "adds each FILE as an entry named by its file name, or by --as NAME;\n"
              "--replace replaces the data of an entry of that name instead",
              "Adds each FILE as an entry named by its file name (upper case), after the others.",
              [this] { return RunAdd(add); });
    Operand(sub, "ARCHIVE", add.archive, "the archive (.pod)");
    Operand(sub, "FILE", add.files, "a file to add");
    sub->add_option("--as", add.as, "the entry's name, which may hold \\ folders (one FILE only)")
        ->type_name("NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    sub->add_flag("--replace", add.replace,
                  "replaces an entry of the same name in its place instead of refusing");

    sub = Add("delete", "removes the entries named NAME",
              "Removes the first entry of each NAME; all of them or none.",
              [this] { return RunDelete(remove); });
    Operand(sub, "ARCHIVE", remove.archive, "the archive (.pod)");
    Operand(sub, "NAME", remove.names, "an entry's name");

    sub =
        Add("rename", "gives the entry OLD the name NEW",
            "Gives the entry OLD the name NEW (upper case).", [this] { return RunRename(rename); });
    Operand(sub, "ARCHIVE", rename.archive, "the archive (.pod)");
    Operand(sub, "OLD", rename.oldName, "the entry's name");
    Operand(sub, "NEW", rename.newName, "its new name, which may hold \\ folders");

    sub =
        Add("texture-import",
            "replaces ENTRY by the texture of a 64x64 or 256x256 PNG file, or adds it,\n"
            "each pixel the nearest colour of its palette (or of --palette NAME)",
            "Replaces ENTRY (or adds it) with the PNG's pixels as indices of the nearest colours.",
            [this] { return RunTextureImport(textureImport); });
    Operand(sub, "ARCHIVE", textureImport.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", textureImport.entry, "the texture's entry");
    Operand(sub, "FILE.png", textureImport.file, "a 64x64 or 256x256 PNG file");
    sub->add_option("--palette", textureImport.palette,
                    "the palette entry to match against, instead of the texture's own")
        ->type_name("NAME")
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    sub->add_flag("--dither", textureImport.dither, "spreads each pixel's error (Floyd-Steinberg)");

    sub = Add("palette-export", "writes a palette (.act) as a GIMP palette or a 16x16 PNG swatch",
              "Writes the palette's 256 colours as a GIMP palette (.gpl) or a 16x16 PNG swatch.",
              [this] { return RunPaletteExport(paletteExport); });
    Operand(sub, "ARCHIVE", paletteExport.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", paletteExport.entry, "a palette (.act)");
    Operand(sub, "OUT.gpl|OUT.png", paletteExport.out, "the file, replaced if it exists");

    sub = Add("palette-import", "replaces (or adds) a palette from a GIMP palette or a PNG swatch",
              "Replaces ENTRY (or adds it) with the 256 colours of a .gpl or 16x16 .png file.",
              [this] { return RunPaletteImport(paletteImport); });
    Operand(sub, "ARCHIVE", paletteImport.archive, "the archive (.pod)");
    Operand(sub, "ENTRY", paletteImport.entry, "the palette's entry (.act)");
    Operand(sub, "FILE.gpl|FILE.png", paletteImport.file, "256 colours, or a 16x16 swatch");

    sub = Add("textures-import",
              "replaces each texture NAME.raw by FOLDER's NAME.png, as textures wrote it,\n"
              "in one edit; prints the entries that changed",
              "Replaces every texture whose NAME.png is below FOLDER, in one edit.",
              [this] { return RunTexturesImport(texturesImport); });
    Operand(sub, "ARCHIVE", texturesImport.archive, "the archive (.pod)");
    Operand(sub, "FOLDER", texturesImport.folder, "an existing folder");
    sub->add_flag("--dither", texturesImport.dither,
                  "spreads each pixel's error (Floyd-Steinberg)");

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
