#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive_state.h"
#include "entry_table.h"
#include "host.h"

namespace karvex {

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

// How bad the worst thing that happened since ResetOutcome was; the command-line tool
// turns it into its exit status.
enum class Outcome {
    Done = 0,
    Refused = 1,   // invalid or incomplete data, a declined question, a limit, an unsafe entry
    IoFailed = 2,  // a file could not be read or written
};

// The archive routines, bound to the shared state, the entry table and the window. Each
// routine takes no arguments: it reads the shared state, writes files and the table, and
// reports invalid data or a refusal through FailFlag. File-system failures end the routine
// cleanly (files closed, lamp and timer restored) with a message naming the file.
class PodCore {
  public:
    PodCore(ArchiveState& state, EntryTable& table, Host& host);

    // Thousands separator of the size texts (the user's locale).
    void SetGroupSeparator(std::string separator) { m_separator = std::move(separator); }
    const std::string& GroupSeparator() const { return m_separator; }

    // --- Archive and response-file loading -------------------------------------------
    // Reads the header and entry table of PodFolder/PodFileName into the state and the
    // name, size and offset columns. FailFlag 1: an invalid name, or more than 32767 entries.
    void LoadPodFile();
    // Reads the response file PodFolder/PodFileName: one entry per listed file, with the
    // size and offset it will have in the archive built from the list. FailFlag 1: a listed
    // file is in neither PodFolder nor its parent folder.
    void LoadResponseFile();

    // The open sequences the main window runs for an archive and a response file. They
    // clear the table, make PodFolder current, load, and leave the status line, the lamp
    // and `row` as the user sees them afterwards. True when the file loaded completely.
    bool OpenPodSequence(StatusRow& row);
    bool OpenResponseSequence(StatusRow& row);

    // --- Extraction --------------------------------------------------------------------
    // Writes every selected entry to DialogPath/name (ViewMode 0) or to the file DialogPath
    // itself (ViewMode 1).
    void ExtractSelected();
    // Writes every entry to DialogPath/name, with "Processing i of n" in the status line.
    void ExtractAll();
    // Writes the name column to DialogPath/DialogName.lst. FailFlag 1: overwrite declined.
    void WriteResponseFile();
    // Writes the information file DialogPath/DialogName.inf. FailFlag 1: overwrite declined.
    void WriteInfoFile();
    // The Extract command after its dialog: the routines above in their fixed order, as
    // DialogOptions asks, then the comment back in the status line and FailFlag cleared.
    void ExtractCommand();

    // --- Building and mounting ---------------------------------------------------------
    // Writes the archive DialogPath/DialogName from the table a response file filled.
    // Refuses, writing nothing, unless every listed file is there with the size the table
    // holds and the archive stays within 2,147,483,647 bytes.
    void BuildPodFile();
    // Adds DialogName to the game's pod.ini in DialogPath or its parent folder.
    // FailFlag 1: no pod.ini, or the archive is listed already.
    void MountPod();
    // The Make command after its dialog: overwrite question, BuildPodFile, MountPod when
    // DialogOptions asks, and the new archive opened. True when the new archive was opened.
    bool MakeCommand(StatusRow& row);

    // --- Comment -------------------------------------------------------------------------
    // Writes `newComment` (cut to 80 bytes, or NUL-padded to 80) into bytes 4 to 83 of the
    // open archive, then into PodComment and the status line. An empty text changes nothing.
    // False when nothing was written.
    bool RewriteComment(const std::string& newComment);

    Outcome GetOutcome() const { return m_outcome; }
    void ResetOutcome() { m_outcome = Outcome::Done; }

    // The status line's text as last set through SetStatus.
    const std::string& StatusText() const { return m_status; }

  private:
    struct EntryProblems;
    void SetStatus(const std::string& text);
    void Note(Outcome outcome);
    void ShowIoError(const std::string& what, const std::string& path, const std::string& reason);
    void ShowProblems(const EntryProblems& problems);
    void Extract(bool selectedOnly);
    void WriteBesideEntries(const std::string& extension, const std::string& text);
    bool AskOverwrite(const std::string& fileName, const std::string& caption);
    void ShowLoadedArchive(StatusRow& row);

    ArchiveState& m_state;
    EntryTable& m_table;
    Host& m_host;
    std::string m_separator = ",";
    std::string m_status;
    Outcome m_outcome = Outcome::Done;
    bool m_stopped = false;    // an I/O failure or a cancel ended the last routine early
    bool m_cancelled = false;  // the user stopped the last routine
};

// The Make dialog's check of a new archive's file name: more than four characters and
// ".pod" somewhere in it, in any case.
bool IsPodFileName(const std::string& name);

// The Extract dialog's base name for the information and response files: the archive's
// file name less its last four characters; empty when the name is too short for that.
std::string ExtractBaseName(const std::string& podFileName);

}  // namespace karvex
