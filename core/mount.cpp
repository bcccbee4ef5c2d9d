// SPDX-License-Identifier: GPL-3.0-or-later
// Registering a newly built archive in the game's pod.ini.
#include <cstdio>
#include <optional>
#include <system_error>

#include "core/file_io.h"
#include "core/paths.h"
#include "core/pod_core.h"
#include "core/pod_ini.h"
#include "core/target_folder.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

namespace {

// Where the new archive is registered, and the line that names it there.
struct PodIniPlace {
    fs::path ini;
    std::string entryText;
    bool inOwnFolder = true;
};

// pod.ini in the archive's own folder lists it by name; one folder up, by the archive's
// folder and name (ADDONS\NEW.POD). A root is never searched.
std::optional<PodIniPlace> FindPodIni(const std::string& folder, const std::string& name) {
    std::error_code ec;
    PodIniPlace place{ResolveNoCase(fs::path(folder), "pod.ini"), name, true};
    if (fs::is_regular_file(place.ini, ec))
        return place;
    const auto parent = ParentOf(folder);
    if (!parent || IsEmptyOrRoot(*parent))
        return std::nullopt;
    place.ini = ResolveNoCase(fs::path(*parent), "pod.ini");
    if (!fs::is_regular_file(place.ini, ec))
        return std::nullopt;
    place.inOwnFolder = false;
    place.entryText =
        Trim(folder.substr(folder.find_last_of("/\\") + 1).substr(0, 32)) + "\\" + Trim(name);
    return place;
}

// The whole file, or nothing with `error` set.
std::optional<std::string> ReadWhole(const fs::path& path, std::string& error) {
    ReadFile file;
    if (const IoStatus opened = OpenForReading(path, file); !opened.IsDone()) {
        error = opened.Reason();
        return std::nullopt;
    }
    std::string text;
    char buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.file.get())) > 0)
        text.append(buffer, got);
    if (std::ferror(file.file.get())) {
        error = ErrorText();
        return std::nullopt;
    }
    return text;
}

}  // namespace

Result PodCore::MountPod() {
    const std::string name = Trim(m_state.DialogName);
    const auto place = FindPodIni(m_state.DialogPath, m_state.DialogName);
    if (!place) {
        m_state.FailFlag = 1;
        return Refuse("File POD.INI cannot be located.", kCaption, Icon::Exclamation);
    }
    // No write goes through a link: a pod.ini that is one is left as it is.
    std::error_code ec;
    if (fs::is_symlink(fs::symlink_status(place->ini, ec))) {
        m_state.FailFlag = 1;
        const std::string& lf = m_state.LineFeed;
        return Refuse(
            "Cannot write " + DisplayPath(place->ini) + lf + lf + "It is a symbolic link.",
            kCaption, Icon::Exclamation);
    }
    std::string error;
    const auto text = ReadWhole(place->ini, error);
    if (!text) {
        m_state.FailFlag = 1;
        return IoError("Cannot read", DisplayPath(place->ini), error);
    }

    const PodIniEdit edit = AddToPodIni(*text, Utf8ToLatin1(place->entryText), Utf8ToLatin1(name));
    if (edit.outcome == PodIniEdit::Outcome::Full) {
        return Refuse("Maximum Pods already mounted!", place->inOwnFolder ? kCaption : "Karvex",
                      Icon::Exclamation);
    }
    if (edit.outcome == PodIniEdit::Outcome::AlreadyListed) {
        m_state.FailFlag = 1;
        return Refuse("POD already mounted.", "Karvex", Icon::Exclamation);
    }

    // The new list is written where no one sees it and renamed over pod.ini, so the list is
    // complete under its own name at every moment.
    if (const IoStatus written = WriteFileReplacing(place->ini, edit.text); !written.IsDone()) {
        m_state.FailFlag = 1;
        return IoError("Cannot write", DisplayPath(place->ini), written.Reason());
    }
    return Result::Done();
}

}  // namespace karvex
