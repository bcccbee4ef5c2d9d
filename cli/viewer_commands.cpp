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
#include "core/text.h"
#include "viewers/palette.h"
#include "viewers/png_writer.h"
#include "viewers/text_lines.h"
#include "viewers/texture.h"
#include "viewers/texture_export.h"

namespace fs = std::filesystem;

namespace karvex {
int RunTexture(const TextureArgs& args) {
    CliSession session;
    fs::path target;
    int status = kExitDone;
    const int i = OpenEntryWithFile(session, args.archive, args.entry, args.out, target, status);
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

int RunTextures(const TexturesArgs& args) {
    CliSession session;
    const auto folder = session.Folder(args.folder);
    if (!folder)
        return kExitUsage;
    if (const int status = session.OpenOrReport(args.archive); status != kExitDone)
        return status;
    std::vector<int> textures;
    for (int i = 0; i < session.m_table.Count(); ++i) {
        if (IsTexture(session.m_table, i))
            textures.push_back(i);
    }
    std::vector<std::string> refusals;
    const Result written = ExportTextures(session.m_session, *folder, textures, refusals);
    int status = written.IsDone() ? kExitDone : Report(session, written);
    for (const std::string& text : refusals) {
        session.Tell(text);
        status = std::max(status, kExitRefused);
    }
    return status;
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
