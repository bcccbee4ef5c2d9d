// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "core/archive_edit.h"
#include "core/archive_state.h"
#include "core/entry_table.h"
#include "core/file_io.h"
#include "core/host.h"
#include "core/result.h"

namespace karvex {

class ReplacingFile;
class TargetFolder;

// Fixed texts of the status line.
inline constexpr const char* kLoadingText = "             Loading...";
inline constexpr const char* kProcessingText = "             Processing...";
inline constexpr const char* kLoadFailedText = "Load Failed  -  File may not be a valid POD file.";
inline constexpr const char* kIncompleteSuffix = "  -  Incomplete, Files Missing";
inline constexpr const char* kCancelledText = "             Cancelled.";
inline constexpr const char* kNameFormatText = "File must be in a format like:  MYFILE.POD";

// What the main window's status row and file buttons show besides the status line (which
// goes through Host::SetStatus): the archive size, the entry count and whether the Make,
// Extract and Edit buttons are enabled.
struct StatusRow {
    std::string Label3;       // archive size
    std::string Label4;       // number of files
    bool Command3D2 = false;  // Make
    bool Command3D3 = false;  // Extract
    bool Command1 = false;    // Edit
};

// The archive routines, bound to the shared state, the entry table and the window. Each
// routine reads the shared state, writes files and the table, reports invalid data or a
// refusal through FailFlag where its contract says so, and returns how it ended. A
// file-system failure ends the routine cleanly (files closed, lamp and timer restored)
// with a message naming the file; a Failed or Cancelled result means the command that
// called it stops there.
class PodCore {
  public:
    PodCore(ArchiveState& state, EntryTable& table, Host& host);

    // Thousands separator of the size texts (the user's locale).
    void SetGroupSeparator(std::string separator) { m_separator = std::move(separator); }
    const std::string& GroupSeparator() const { return m_separator; }

    // --- Archive and response-file loading -------------------------------------------
    // Reads the header and entry table of PodFolder/PodFileName into the state and the
    // table. FailFlag 1 (Refused): an invalid name, or more than 32767 entries.
    Result LoadPodFile();
    // Reads the response file PodFolder/PodFileName: one entry per listed file, with the
    // size and offset it will have in the archive built from the list. FailFlag 1
    // (Refused): a listed file is in neither PodFolder nor its parent folder.
    Result LoadResponseFile();

    // Why an archive is opened: by the Open command, or as the archive Make has just written.
    // After Make a partly read archive shows what was read, and a failure leaves the lamp.
    enum class OpenReason { Open, AfterMake };
    // The open sequences the main window runs for an archive and a response file. They
    // hide the lists, clear the table, hand PodFolder to the host as the current folder,
    // load, and leave the status line, the lamp, the lists and `row` as the user sees them
    // afterwards. Done when the file loaded completely.
    Result OpenPodSequence(StatusRow& row, OpenReason reason = OpenReason::Open);
    Result OpenResponseSequence(StatusRow& row);

    // --- Extraction --------------------------------------------------------------------
    // Writes every selected entry to DialogPath/name (ViewMode 0) or to the file DialogPath
    // itself (ViewMode 1). Refused when some entries were unsafe or incomplete.
    Result ExtractSelected();
    // Writes every entry to DialogPath/name, with "Processing i of n" in the status line.
    Result ExtractAll();
    // Makes the extraction routines write beneath `folder`, a folder the caller holds open
    // (the program's private folder), instead of opening the folder DialogPath names:
    // entries go to folder/name, and single-file mode's file is DialogPath's last part in
    // `folder`. DialogPath still names the files in messages. -1 (the default) opens
    // DialogPath again. The caller keeps the handle open and closes it.
    void SetDestination(int folder) { m_destination = folder; }
    // Writes the name column to DialogPath/DialogName.lst. FailFlag 1: overwrite declined.
    Result WriteResponseFile();
    // Writes the information file DialogPath/DialogName.inf. FailFlag 1: overwrite declined.
    Result WriteInfoFile();
    // The Extract command after its dialog: the routines above in their fixed order, as
    // DialogOptions asks, then the comment back in the status line and FailFlag cleared.
    // The worst result of the routines that ran.
    Result ExtractCommand();

    // --- Building and mounting ---------------------------------------------------------
    // Writes the archive DialogPath/DialogName from the table a response file filled.
    // Refuses, writing nothing, unless every listed file is there with the size the table
    // holds and the archive stays within 2,147,483,647 bytes.
    Result BuildPodFile();
    // Adds DialogName to the game's pod.ini in DialogPath or its parent folder.
    // FailFlag 1: no pod.ini, or the archive is listed already.
    Result MountPod();
    // The Make command after its dialog: overwrite question, BuildPodFile, MountPod when
    // DialogOptions asks, and the new archive opened through the lists' hide-and-fill step.
    // Unless the archive was built, the response file stays the open file; once it was,
    // the new archive is (PodPattern "*.pod"), loaded or not.
    Result MakeCommand(StatusRow& row);

    // --- Comment -------------------------------------------------------------------------
    // Writes `newComment` (cut to 80 bytes, or NUL-padded to 80) into bytes 4 to 83 of the
    // open archive, then into PodComment and the status line. An empty text changes nothing.
    Result RewriteComment(const std::string& newComment);

    // --- Editing the open archive ---------------------------------------------------------
    // Applies `plan` to the archive loaded last and puts the result in its place through a
    // ReplacingFile beside it: either the old archive or the whole new one is on disk at
    // every moment. Entries keep their table order and their 32 name bytes (unless renamed),
    // a replaced entry its place; added entries come last; the data is laid out from the end
    // of the table in table order, as the builder lays it out, and the comment and the file's
    // mode are kept. Nothing is written (Refused, with a message naming the entry or file and
    // the reason) when the archive did not load cleanly or has changed since, when a name to
    // be found is not there or a new name is taken or bad (NewNameProblem), when a kept
    // entry's data runs past the end of the archive, or when the result would hold no entries,
    // more than 32,767 or more than 2,147,483,647 bytes; a source that is not a regular file
    // or is the archive itself is Refused too, one that cannot be read Failed. `changed` gets
    // the new rows of the entries added, replaced or renamed.
    Result EditArchive(const EditPlan& plan, std::vector<int>& changed);
    // The edit as the window runs it: "Processing..." in the status line, EditArchive, then
    // the archive reloaded through the open sequence once it was written. Refused or
    // cancelled, the archive stays open as it was, with its comment (or "Cancelled.") shown.
    Result EditCommand(const EditPlan& plan, StatusRow& row, std::vector<int>& changed);

    // The status line's text as last set through SetStatus.
    const std::string& StatusText() const { return m_status; }

  private:
    struct Source;
    void SetStatus(const std::string& text);
    Result IoError(const std::string& what, const std::string& path, const std::string& reason);
    Result Refuse(const std::string& text, const std::string& caption, Icon icon);
    Result ReportProblems(const TargetFolder& target, const std::vector<std::string>& incomplete);
    Result Extract(bool selectedOnly);
    Result StartSingleFile(TargetFolder& target, ReplacingFile& out);
    Result StartEntry(int i, TargetFolder& target, ReplacingFile& out);
    Result ExtractEntry(int i, std::FILE* archive, std::int64_t archiveLength, ReplacingFile& out,
                        const std::filesystem::path& shown, std::vector<std::string>& incomplete);
    Result WriteBesideEntries(const std::string& extension, const std::string& text);
    bool AskOverwrite(const std::string& fileName, const std::string& caption);
    Result CheckBuildSources(std::vector<Source>& sources);
    Result WriteArchive(const std::vector<Source>& sources, const std::string& target);
    Result ReloadAfterMake(StatusRow& row);
    void ShowLoadedArchive(StatusRow& row);

    ArchiveState& m_state;
    EntryTable& m_table;
    Host& m_host;
    std::string m_separator = ",";
    std::string m_status;
    int m_destination = -1;  // see SetDestination
    // The archive as LoadPodFile read it, and whether it loaded without a fault: what an
    // edit checks the file on disk against.
    FileStamp m_loaded;
    bool m_loadedCleanly = false;
};

// The Make dialog's check of a new archive's file name: more than four characters and
// ".pod" somewhere in it, in any case.
bool IsPodFileName(const std::string& name);

// The Extract dialog's base name for the information and response files: the archive's
// file name less its last four characters; empty when the name is too short for that.
std::string ExtractBaseName(const std::string& podFileName);

}  // namespace karvex
