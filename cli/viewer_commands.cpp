// SPDX-License-Identifier: GPL-3.0-or-later
// texture, textures, palette and text: what the texture, palette and text viewers show,
// written out or printed by the same decoding code the windows use.
#include "cli/viewer_commands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/cli_session.h"
#include "core/file_io.h"
#include "core/paths.h"
#include "core/replacing_file.h"
#include "core/target_folder.h"
#include "core/text.h"
#include "viewers/palette.h"
#include "viewers/png_writer.h"
#include "viewers/text_lines.h"
#include "viewers/texture.h"

namespace fs = std::filesystem;

namespace karvex {
namespace {

Result CannotWrite(const CliSession& session, const fs::path& path, const std::string& reason) {
    const std::string& lf = session.m_state.LineFeed;
    return Result::Failed("Cannot write " + DisplayPath(path) + lf + lf + Utf8ToLatin1(reason));
}

// Fills `out`, opened already, with the image as an indexed PNG and puts it into place.
Result WriteImage(const CliSession& session, ReplacingFile& out, const fs::path& shown,
                  const TextureImage& image) {
    if (const IoStatus written =
            WriteIndexedPng(out.File(), image.width, image.indices, image.palette);
        !written.IsDone()) {
        out.Abandon();
        return CannotWrite(session, shown, written.Reason());
    }
    if (const IoStatus committed = out.Commit(); !committed.IsDone())
        return CannotWrite(session, shown, committed.Reason());
    return Result::Done();
}

}  // namespace

int RunTexture(const TextureArgs& args) {
    // Taken before the open sequence makes the archive's folder current.
    const auto absolute = AbsolutePath(args.out);
    if (!absolute)
        return kExitUsage;
    const fs::path& target = *absolute;
    CliSession session;
    int status = kExitDone;
    const int i = OpenEntry(session, args.archive, args.entry, status);
    if (i < 0)
        return status;
    TextureImage image;
    if (const Result drawn = DrawTexture(session.m_session, i, image); !drawn.IsDone())
        return Report(session, drawn);

    return Report(session,
                  WriteOutcome(session, target,
                               WriteIndexedPngFile(target, session.m_state.ArchivePath(),
                                                   image.width, image.indices, image.palette)));
}

namespace {

// The textures of one archive written beneath one folder, by the rules of extraction:
// folders opened beneath the folder's handle without following links, names that would
// lead out of it or onto what is not a regular file refused and reported together.
class TextureFolder {
  public:
    TextureFolder(CliSession& session, const std::string& folder)
        : m_session(session), m_folder(folder), m_target(folder) {
        m_target.Protect(session.m_state.ArchivePath());
    }

    IoStatus Open() { return m_target.Open(); }

    // Writes texture i as its PNG name; Failed stops the command.
    Result Write(int i, const TextureImage& image) {
        const std::string& entry = m_session.m_table.Name(i);
        ReplacingFile out;
        const IoStatus started = m_target.StartEntry(PngNameFor(entry), entry, out);
        if (started.code() == IoStatus::Code::WriteFailed)
            return CannotWrite(m_session, started.File(), started.Reason());
        if (!started.IsDone())
            return Result::Refused();
        return WriteImage(m_session, out, JoinName(m_folder, PngNameFor(entry)), image);
    }

    // The refused names, in one message each for those that lead out and the others.
    Result ReportRefused() const {
        const RefusalWording wording{
            "These textures were not written, because their names do not lead to a file "
            "inside the folder ",
            "These textures were not written, because what stands at their place is not to "
            "be replaced:"};
        Result result;
        for (const std::string& text :
             m_target.RefusalMessages(wording, m_session.m_state.LineFeed)) {
            result = Result::Refused(text);
            m_session.Tell(result.message);
        }
        return result;
    }

  private:
    CliSession& m_session;
    std::string m_folder;
    TargetFolder m_target;
};

}  // namespace

int RunTextures(const TexturesArgs& args) {
    CliSession session;
    const auto folder = session.Folder(args.folder);
    if (!folder)
        return kExitUsage;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    TextureFolder out(session, *folder);
    if (const IoStatus opened = out.Open(); !opened.IsDone())
        return Report(session, CannotWrite(session, *folder, opened.Reason()));

    const EntryTable& table = session.m_table;
    PaletteLookup palettes(table);
    for (int i = 0; i < table.Count(); ++i) {
        if (!ContainsNoCase(table.Name(i), ".raw") || TextureWidth(table.SizeOf(i)) == 0)
            continue;
        TextureImage image;  // each drawn as on a first View: no colours carried over
        Result result = DrawTexture(session.m_session, i, palettes, image);
        if (result.IsDone())
            result = out.Write(i, image);
        if (result.Stopped()) {
            const int status = Report(session, result);
            return std::max(status, ExitFor(out.ReportRefused()));
        }
    }
    return ExitFor(out.ReportRefused());
}

int RunPalette(const PaletteArgs& args) {
    CliSession session;
    int status = kExitDone;
    const int i = OpenEntry(session, args.archive, args.entry, status);
    if (i < 0)
        return status;
    std::string bytes;
    const Result read = ReadPaletteBytes(session.m_session, session.m_table.OffsetOf(i), bytes);
    if (!read.IsDone())
        return Report(session, read);
    for (const std::string& line : ColorListLines(PaletteColors(bytes)))
        std::printf("%s\n", line.c_str());
    return FinishOutput();
}

int RunText(const TextArgs& args) {
    CliSession session;
    int status = kExitDone;
    const int i = OpenEntry(session, args.archive, args.entry, status);
    if (i < 0)
        return status;
    const char end = args.nulEnds ? '\0' : '\n';
    // Each line is written as it is read, in pieces: a line may be longer than memory.
    bool open = false;  // a line is written in part: the archive may shrink while it is read
    TextLinePieces lines(
        [&open](std::string_view piece) {
            const std::string text = Latin1ToUtf8(piece);  // bytes as they are, a lone LF included
            std::fwrite(text.data(), 1, text.size(), stdout);
            open = true;
        },
        [end, &open] {
            std::fputc(end, stdout);
            open = false;
        });
    const Result read = TextLinesLoad(session.m_session, i, lines);
    if (open)
        std::fputc(end, stdout);  // every line printed is ended, however its reading ended
    if (!read.IsDone())
        return Report(session, read);
    return FinishOutput();
}

}  // namespace karvex
