// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The archive session as karvex32-cli runs it, shared by its commands.

#include <filesystem>
#include <optional>
#include <string>

#include "cli/cli_arguments.h"
#include "cli/cli_host.h"
#include "core/archive_session.h"
#include "core/entry_table.h"
#include "core/io_status.h"
#include "core/pod_core.h"
#include "core/result.h"

namespace karvex {

// The exit status for how a command ended: 0 done, 1 a refusal (or a stop), 2 a file that
// could not be read or written.
int ExitFor(const Result& result);

// Ends the output of a printing command: kExitDone, or kExitUsage (after saying so) when
// standard output could not take it.
int FinishOutput();

// `path` made absolute against the current folder; nothing, after saying why on standard
// error, when that cannot be done (the current folder removed, say).
std::optional<std::filesystem::path> AbsolutePath(const std::filesystem::path& path);

// The archive session as the command-line tool runs it, reporting to standard streams.
class CliSession {
  public:
    // Questions are answered Yes with `answerYes`, No otherwise; status-line progress is
    // shown with `showProgress` when standard error is a terminal.
    explicit CliSession(bool answerYes = false, bool showProgress = false);

    // Opens `file` as the Open command would: the archive or the response-file open
    // sequence by its ending. 0 when it loaded completely.
    int Open(const std::string& file);
    // Open, and on failure why it did not open on standard error: the exit status.
    int OpenOrReport(const std::string& file);

    void PrintListing() const;

    // Tells why a file did not open, on standard error, for the commands that stop there.
    void ReportNotOpened() const;

    // An existing folder given on the command line, as the dialogs would hand it over.
    std::optional<std::string> Folder(const std::filesystem::path& folder);

    // A message as the window would show it: "Karvex32: TEXT" on standard error.
    void Tell(const std::string& text) { m_host.ShowMessage(text, kCaption, Icon::Exclamation); }

    CliHost m_host;
    ArchiveSession m_session;
    ArchiveState& m_state = m_session.State();
    EntryTable& m_table = m_session.Table();
    PodCore& m_core = m_session.Core();
    StatusRow m_row;
};

// Shows a result's message as the window's message box would; the exit status for it.
int Report(CliSession& session, const Result& result);

// Opens `archive` and finds `entry`, the first entry of exactly that name: its index, or -1
// with `status` set to the exit status.
int OpenEntry(CliSession& session, const std::string& archive, const std::string& entry,
              int& status);

// For the commands that read or write a file beside the archive: `file` made absolute
// (before the open sequence makes the archive's folder current) into `absolute`, then the
// archive opened. The exit status: kExitUsage for a path that cannot be made absolute.
int OpenWithFile(CliSession& session, const std::string& archive, const std::string& file,
                 std::filesystem::path& absolute);
// The same, then `entry` found as OpenEntry finds it: its index, or -1 with `status` set.
int OpenEntryWithFile(CliSession& session, const std::string& archive, const std::string& entry,
                      const std::string& file, std::filesystem::path& absolute, int& status);

// How writing the file `target` ended, as a command reports it: Done; Refused ("Cannot
// write P" and the reason) when it leads to the archive being read; Failed otherwise.
Result WriteOutcome(const CliSession& session, const std::filesystem::path& target,
                    const IoStatus& written);

}  // namespace karvex
