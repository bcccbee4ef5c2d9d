// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewers/texture_export.h"

#include "core/paths.h"
#include "core/replacing_file.h"
#include "core/session.h"
#include "core/target_folder.h"
#include "core/text.h"
#include "viewers/png_writer.h"
#include "viewers/texture.h"

namespace karvex {
namespace {

Result CannotWrite(const Session& session, const std::filesystem::path& path,
                   const std::string& reason) {
    const std::string& lf = session.State().LineFeed;
    return Result::Failed("Cannot write " + DisplayPath(path) + lf + lf + Utf8ToLatin1(reason));
}

// Fills `out`, opened already, with the image as an indexed PNG and puts it into place.
Result WriteImage(const Session& session, ReplacingFile& out, const std::filesystem::path& shown,
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

bool IsTexture(const EntryTable& table, int i) {
    return ContainsNoCase(table.Name(i), ".raw") && TextureWidth(table.SizeOf(i)) != 0;
}

Result ExportTextures(const Session& session, const std::string& folder,
                      const std::vector<int>& entries, std::vector<std::string>& refusals) {
    TargetFolder target(folder);
    target.Protect(session.State().ArchivePath());
    if (const IoStatus opened = target.Open(); !opened.IsDone())
        return CannotWrite(session, folder, opened.Reason());

    const EntryTable& table = session.Table();
    PaletteLookup palettes(table);
    // One texture: Failed stops the rest; a refused name is noted by the folder.
    auto write = [&](int i) {
        TextureImage image;  // each drawn as on a first View: no colours carried over
        if (const Result drawn = DrawTexture(session, i, palettes, image); !drawn.IsDone())
            return drawn;
        const std::string& entry = table.Name(i);
        ReplacingFile out;
        const IoStatus started = target.StartEntry(PngNameFor(entry), entry, out);
        if (started.code() == IoStatus::Code::WriteFailed)
            return CannotWrite(session, started.File(), started.Reason());
        if (!started.IsDone())
            return Result::Refused();
        return WriteImage(session, out, JoinName(folder, PngNameFor(entry)), image);
    };
    Result result = Result::Done();
    for (int i : entries) {
        if (const Result written = write(i); written.Stopped()) {
            result = written;
            break;
        }
    }
    const RefusalWording wording{
        "These textures were not written, because their names do not lead to a file inside "
        "the folder ",
        "These textures were not written, because what stands at their place is not to be "
        "replaced:"};
    refusals = target.RefusalMessages(wording, session.State().LineFeed);
    return result;
}

}  // namespace karvex
