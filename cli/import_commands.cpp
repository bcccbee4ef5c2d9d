// SPDX-License-Identifier: GPL-3.0-or-later
// texture-import, palette-export, palette-import and textures-import: the round trip of
// textures and palettes through image editors, the imports through the core's edit routine.
#include "cli/import_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cli/cli_session.h"
#include "core/archive_edit.h"
#include "core/paths.h"
#include "core/text.h"
#include "viewers/archive_import.h"
#include "viewers/palette_files.h"
#include "viewers/texture.h"
#include "viewers/texture_export.h"

namespace fs = std::filesystem;

namespace karvex {
namespace {

// The entry `name` as an edit finds it (any letter case); -1, after saying so, when there is
// none.
int FindOrReport(const CliSession& session, const std::string& name) {
    const int i = FindEntry(session.m_table, Utf8ToLatin1(name));
    if (i < 0)
        std::fprintf(stderr, "karvex32-cli: no entry named %s\n", name.c_str());
    return i;
}

// Puts `bytes` in as the entry `name`, replacing the first entry of the name or added after
// the others: the exit status.
int PutEntry(CliSession& session, const std::string& name, const std::string& bytes) {
    EditData data(session.m_state.ArchivePath().parent_path());
    EditPlan plan;
    plan.replaceExisting = true;
    plan.changes.push_back({EditChange::Kind::Add, name, {}, {}});
    if (const IoStatus kept = data.Put(bytes, plan.changes.back()); !kept.IsDone())
        return Report(session,
                      Result::Failed("Cannot keep the imported data" + session.m_state.LineFeed +
                                     session.m_state.LineFeed + kept.Reason()));
    std::vector<int> changed;
    return ExitFor(session.m_core.EditArchive(plan, changed));
}

}  // namespace

int RunTextureImport(const TextureImportArgs& args) {
    CliSession session;
    fs::path png;
    if (const int status = OpenWithFile(session, args.archive, args.file, png); status != kExitDone)
        return status;
    int paletteEntry = -1;
    if (args.palette && (paletteEntry = FindOrReport(session, *args.palette)) < 0)
        return kExitRefused;
    const std::string name = Utf8ToLatin1(args.entry);
    const int there = FindEntry(session.m_table, name);
    const std::string shown = there >= 0 ? session.m_table.Name(there) : name;
    std::string palette, texture;
    Result result = PaletteForImport(session.m_session, shown, paletteEntry, palette);
    if (result.IsDone())
        result = ReadTextureFile(png, palette, {args.dither}, session.m_state.LineFeed, texture);
    if (!result.IsDone())
        return Report(session, result);
    return PutEntry(session, name, texture);
}

int RunPaletteImport(const PaletteImportArgs& args) {
    CliSession session;
    fs::path file;
    if (const int status = OpenWithFile(session, args.archive, args.file, file);
        status != kExitDone)
        return status;
    std::string palette;
    if (Result read = ReadPaletteFile(file, session.m_state.LineFeed, palette); !read.IsDone())
        return Report(session, read);
    return PutEntry(session, Utf8ToLatin1(args.entry), palette);
}

int RunPaletteExport(const PaletteExportArgs& args) {
    CliSession session;
    fs::path target;
    int status = kExitDone;
    const int i = OpenEntryWithFile(session, args.archive, args.entry, args.out, target, status);
    if (i < 0)
        return status;
    std::string palette;
    const Result read = ReadPaletteBytes(session.m_session, session.m_table.OffsetOf(i), palette);
    if (!read.IsDone())
        return Report(session, read);
    return Report(session, WriteOutcome(session, target,
                                        WritePaletteFile(target, session.m_state.ArchivePath(),
                                                         palette, args.entry)));
}

namespace {

// A texture's PNG name as a key: its folder parts upper-cased and joined by backslashes.
std::string NameKey(const std::vector<std::string>& parts) {
    std::string key;
    for (const std::string& part : parts)
        key += (key.empty() ? "" : "\\") + ToUpperLatin1(part);
    return key;
}

// The key of a PNG file at `relative` below the folder; empty when a part of it has a
// character that no entry name can hold.
std::string FileKey(const fs::path& relative) {
    std::vector<std::string> parts;
    for (const fs::path& part : relative) {
        std::string latin1;
        if (Utf8ToLatin1Exactly(part.string(), latin1) != Latin1Conversion::Done)
            return {};
        parts.push_back(latin1);
    }
    return NameKey(parts);
}

// The PNG files below `folder`, in path order: regular files only, in no folder reached
// through a link. False, with `error` set, when the folder cannot be read through.
bool PngFiles(const fs::path& folder, std::vector<fs::path>& found, std::error_code& error) {
    found.clear();
    for (fs::recursive_directory_iterator
             walk(folder, fs::directory_options::skip_permission_denied, error),
         end;
         !error && walk != end; walk.increment(error)) {
        std::error_code kind;
        if (walk->symlink_status(kind).type() == fs::file_type::regular &&
            EndsWithNoCase(walk->path().filename().string(), ".png"))
            found.push_back(walk->path());
    }
    std::sort(found.begin(), found.end());
    return !error;
}

}  // namespace

int RunTexturesImport(const TexturesImportArgs& args) {
    CliSession session;
    const auto folder = session.Folder(args.folder);
    if (!folder)
        return kExitUsage;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    const EntryTable& table = session.m_table;
    const std::string& lf = session.m_state.LineFeed;
    // The entry each PNG name comes from: of the textures `textures` writes, the last of a
    // name, whose picture is the one left in the folder.
    std::map<std::string, int> entries;
    for (int i = 0; i < table.Count(); ++i) {
        if (IsTexture(table, i))
            entries[NameKey(NameComponents(PngNameFor(table.Name(i))))] = i;
    }
    std::vector<fs::path> pngs;
    if (std::error_code error; !PngFiles(*folder, pngs, error))
        return Report(session, Result::Failed("Cannot read " + DisplayPath(*folder) + lf + lf +
                                              Utf8ToLatin1(error.message())));

    PaletteLookup palettes(table);
    std::map<int, std::string> paletteBytes;  // by palette entry, read once each
    std::map<int, fs::path> taken;            // the entries given a PNG, and from which
    EditData data(session.m_state.ArchivePath().parent_path());
    EditPlan plan;
    Result worst;
    auto leaveOut = [&](Result result) {
        session.Tell(result.message);
        worst = Worse(worst, std::move(result));
    };
    for (const fs::path& png : pngs) {
        const fs::path relative = png.lexically_relative(*folder);
        const auto found = entries.find(FileKey(relative));
        if (found == entries.end()) {
            std::string wanted;
            for (const fs::path& part : relative.parent_path() / relative.stem())
                wanted += (wanted.empty() ? "" : "\\") + Utf8ToLatin1(part.string());
            leaveOut(Result::Refused(DisplayPath(relative) + ": no entry " + wanted +
                                     ".raw to import it into"));
            continue;
        }
        const int i = found->second;
        const std::string& name = table.Name(i);
        if (const auto [before, added] = taken.emplace(i, relative); !added) {
            leaveOut(Result::Refused(DisplayPath(relative) + ": " + name + " is imported from " +
                                     DisplayPath(before->second) + " already"));
            continue;
        }
        const int palette = palettes.Find(name);
        if (palette < 0) {
            leaveOut(Result::Refused(NoPaletteText(name)));
            continue;
        }
        auto [colors, first] = paletteBytes.try_emplace(palette);
        if (first) {
            if (Result read =
                    ReadPaletteBytes(session.m_session, table.OffsetOf(palette), colors->second);
                !read.IsDone())
                return Report(session, read);
        }
        std::string texture, old;
        // A picture of an entry that cannot be imported stops the whole edit.
        if (Result read = ReadTextureFile(png, colors->second, {args.dither}, lf, texture);
            !read.IsDone())
            return std::max(Report(session, read), ExitFor(worst));
        if (table.SizeOf(i) == std::ssize(texture)) {
            if (Result read = ReadEntryBytes(session.m_session, i, texture.size(), old);
                !read.IsDone())
                return Report(session, read);
            if (old == texture)
                continue;
        }
        plan.changes.push_back({EditChange::Kind::Replace, name, {}, {}, i});
        if (const IoStatus kept = data.Put(texture, plan.changes.back()); !kept.IsDone())
            return Report(
                session, Result::Failed("Cannot keep the imported data" + lf + lf + kept.Reason()));
    }
    if (plan.changes.empty())
        return ExitFor(worst);
    std::vector<int> changed;
    if (const Result edited = session.m_core.EditArchive(plan, changed); !edited.IsDone())
        return std::max(ExitFor(edited), ExitFor(worst));
    std::sort(plan.changes.begin(), plan.changes.end(),
              [](const EditChange& a, const EditChange& b) { return a.row < b.row; });
    for (const EditChange& change : plan.changes)
        std::printf("%s\n", Latin1ToUtf8(change.name).c_str());
    return std::max(FinishOutput(), ExitFor(worst));
}

}  // namespace karvex
