// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/archive_edit.h"
#include "core/archive_state.h"
#include "core/color_table.h"
#include "core/entry_table.h"
#include "core/host.h"
#include "core/io_status.h"
#include "core/pod_core.h"
#include "core/pod_format.h"
#include "core/result.h"

namespace karvex {

// What the windows know of the open archive or response file: the state, the entry table,
// entry reads, the commands and whether one is running. ArchiveSession is the one over the
// files on disk; the window tests drive the windows through an in-memory one.
//
// Besides the pure virtual functions, the busy state and the listeners live here: every
// session has them the same way, and BusyScope works on any.
class Session {
  public:
    Session() = default;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    virtual ~Session() = default;

    virtual ArchiveState& State() = 0;
    virtual const ArchiveState& State() const = 0;
    virtual EntryTable& Table() = 0;
    virtual const EntryTable& Table() const = 0;
    // The texture viewer's colours, kept from one View to the next, across archives too.
    virtual ColorTable& Colors() = 0;

    // The window the commands report to. Until one is set (and after SetHost(nullptr)) they
    // report to no one, and every question is answered No.
    virtual void SetHost(Host* host) = 0;
    // Thousands separator of the size texts (the user's locale).
    virtual void SetGroupSeparator(std::string separator) = 0;
    virtual const std::string& GroupSeparator() const = 0;

    // --- Busy state ------------------------------------------------------------------------
    // A command window asks IsBusy before it starts and holds a BusyScope while it runs.
    bool IsBusy() const { return m_busy; }
    // `listener` hears every change of the busy state until `owner` is removed.
    void OnBusyChanged(const void* owner, std::function<void(bool busy)> listener);
    // Ends the busy and selection listeners that `owner` registered.
    void RemoveListeners(const void* owner);
    // Asks the running command to stop after the chunk it is copying.
    void RequestCancel() { m_cancelRequested = m_busy; }
    bool CancelRequested() const { return m_cancelRequested; }

    // --- Selection ---------------------------------------------------------------------------
    // Adds `entries` to the table's selection and tells the windows that show the table: a
    // window other than the lists (search, examine) selects in the lists this way.
    void SelectEntries(const std::vector<int>& entries);
    // `listener` hears every SelectEntries until `owner` is removed.
    void OnSelectionChanged(const void* owner, std::function<void()> listener);

    // --- Entry access ------------------------------------------------------------------------
    // Entry i's bytes in the open archive, clamped to its length when it was loaded.
    ByteRange EntryExtent(int i) const;
    // The first entry named `name`, or -1.
    int Find(std::string_view name, bool ignoreCase) const {
        return Table().Find(name, ignoreCase);
    }

    // Receives the bytes read in blocks of at most kReadBlock bytes; false stops the reading.
    using BlockReceiver = std::function<bool(std::string_view block)>;
    static constexpr std::size_t kReadBlock = 65536;
    // Reads `count` bytes from `offset` of the open archive, as far as it now holds them,
    // block by block. Failed (with a message naming the archive) when it cannot be read;
    // Refused when the range reaches past the end, after the bytes that exist were delivered.
    virtual Result ReadRange(std::int64_t offset, std::int64_t count,
                             const BlockReceiver& receive) const = 0;
    // Reads entry i the same way; Refused for an entry that is not in the archive.
    Result ReadEntry(int i, const BlockReceiver& receive) const;
    // The open archive as it is now, for a reader that goes through it in its own order (the
    // contents search): `source` reads it and knows its length. Its status names the reason
    // when the archive cannot be opened.
    virtual IoStatus OpenArchiveBytes(std::unique_ptr<ByteSource>& source) const = 0;

    // --- Commands ----------------------------------------------------------------------------
    // Each reports to the host and leaves the state, the table and `row` as the user sees
    // them afterwards; see PodCore for what each does.
    //
    // Opens `path` (absolute) as the Open command does: PodFolder and PodFileName from it,
    // PodPattern "*.pod" for a name that ends in ".pod" (letter case aside) and "*.lst" for
    // any other, then that kind's open sequence.
    virtual Result Open(const std::filesystem::path& path, StatusRow& row) = 0;
    // The open sequences for PodFolder/PodFileName as the Open dialog left them.
    virtual Result OpenPodSequence(StatusRow& row) = 0;
    virtual Result OpenResponseSequence(StatusRow& row) = 0;
    // The Extract command after its dialog.
    virtual Result ExtractCommand() = 0;
    // Extracts the selected entries beneath `folder`, a folder the caller holds open (the
    // program's private folder), as PodCore::SetDestination describes.
    virtual Result ExtractSelectedInto(int folder) = 0;
    // The Make command after its dialog.
    virtual Result MakeCommand(StatusRow& row) = 0;
    // Writes `newComment` into the open archive's comment.
    virtual Result RewriteComment(const std::string& newComment) = 0;
    // Applies `plan` to the open archive, all of it or nothing, and reloads the archive once
    // it was written; `changed` then holds the rows of the entries added, replaced or renamed.
    // Refusals are told as messages; see PodCore::EditArchive.
    virtual Result EditArchive(const EditPlan& plan, StatusRow& row, std::vector<int>& changed) = 0;

    // --- The archive on disk -----------------------------------------------------------------
    // False when the open archive is no longer the file it was when the last command ended
    // (another file, or another size or modification time), or is gone: the table's offsets
    // would point anywhere in it. True while a response file or nothing is open.
    virtual bool ArchiveUnchanged() const = 0;

  protected:
    // Runs as each command ends, before the busy listeners hear of it.
    virtual void CommandEnded() {}

  private:
    friend class BusyScope;
    void SetBusy(bool busy);

    bool m_busy = false;
    bool m_cancelRequested = false;
    std::vector<std::pair<const void*, std::function<void(bool)>>> m_busyListeners;
    std::vector<std::pair<const void*, std::function<void()>>> m_selectionListeners;
};

// Marks the session busy for as long as it lives; a cancel request ends with it.
class BusyScope {
  public:
    explicit BusyScope(Session& session) : m_session(session) { m_session.SetBusy(true); }
    ~BusyScope() { m_session.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    Session& m_session;
};

}  // namespace karvex
