#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "archive_state.h"
#include "color_table.h"
#include "entry_table.h"
#include "file_io.h"
#include "host.h"
#include "pod_core.h"
#include "result.h"

namespace karvex {

// One open archive or response file and everything the windows share about it: the state,
// the entry table, the core routines bound to them, and whether a command is running.
// `app/main.cpp` makes one (the command-line tool and the tests make their own) and hands
// it to every window; no window reaches through another for any of this.
class ArchiveSession {
  public:
    ArchiveSession();
    ArchiveSession(const ArchiveSession&) = delete;
    ArchiveSession& operator=(const ArchiveSession&) = delete;

    ArchiveState& State() { return m_state; }
    const ArchiveState& State() const { return m_state; }
    EntryTable& Table() { return m_table; }
    const EntryTable& Table() const { return m_table; }
    PodCore& Core() { return m_core; }
    // The texture viewer's colours, kept from one View to the next, across archives too.
    ColorTable& Colors() { return m_colors; }

    // The window the routines report to. Until one is set (and after SetHost(nullptr)) they
    // report to no one, and every question is answered No.
    void SetHost(Host* host) { m_relay.target = host; }

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
        return m_table.Find(name, ignoreCase);
    }

    // Receives the bytes read in blocks of at most kReadBlock bytes; false stops the reading.
    using BlockReceiver = std::function<bool(std::string_view block)>;
    static constexpr std::size_t kReadBlock = 65536;
    // Reads entry i of the open archive, as far as the file now holds it, block by block.
    // Failed (with a message naming the archive) when it cannot be read; Refused when the
    // entry reaches past the end of the file, after the bytes that exist were delivered.
    Result ReadEntry(int i, const BlockReceiver& receive) const;
    // Reads `count` bytes from `offset` of the open archive, the same way: the whole data
    // area, for instance, without holding it in memory.
    Result ReadRange(std::int64_t offset, std::int64_t count, const BlockReceiver& receive) const;

    // --- Opening -----------------------------------------------------------------------------
    // Opens `path` (absolute) as the Open command does: PodFolder and PodFileName from it,
    // PodPattern "*.pod" for a name that ends in ".pod" (letter case aside) and "*.lst" for
    // any other, then that kind's open sequence, which reports to the host and fills `row`.
    Result Open(const std::filesystem::path& path, StatusRow& row);

    // --- The archive on disk -----------------------------------------------------------------
    // False when the open archive is no longer the file it was when the last command ended
    // (another file, or another size or modification time), or is gone: the table's offsets
    // would point anywhere in it. True while a response file or nothing is open, and when
    // the archive could not be looked at then.
    bool ArchiveUnchanged() const;

  private:
    friend class BusyScope;
    void SetBusy(bool busy);
    // Notes what the open archive is on disk; every command ends with it.
    void StampArchive();

    // Passes the routines' calls on to the window set with SetHost, and adds the session's
    // own cancel request to the window's.
    struct Relay : Host {
        explicit Relay(const ArchiveSession& session) : session(session) {}
        void Yield() override;
        bool CancelRequested() override;
        void SetLamp(Lamp lamp) override;
        void SetTimerInterval(int milliseconds) override;
        void SetStatus(const std::string& text) override;
        void SetListsShown(bool shown) override;
        void SetCurrentFolder(const std::string& folder) override;
        bool AskYesNo(const std::string& text, const std::string& caption) override;
        void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override;

        const ArchiveSession& session;
        Host* target = nullptr;
    };

    ArchiveState m_state;
    EntryTable m_table;
    Relay m_relay{*this};
    PodCore m_core{m_state, m_table, m_relay};
    ColorTable m_colors;
    bool m_busy = false;
    std::optional<FileStamp> m_stamp;  // the open archive as StampArchive saw it
    bool m_cancelRequested = false;
    std::vector<std::pair<const void*, std::function<void(bool)>>> m_busyListeners;
    std::vector<std::pair<const void*, std::function<void()>>> m_selectionListeners;
};

// Marks the session busy for as long as it lives; a cancel request ends with it.
class BusyScope {
  public:
    explicit BusyScope(ArchiveSession& session) : m_session(session) { m_session.SetBusy(true); }
    ~BusyScope() { m_session.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    ArchiveSession& m_session;
};

}  // namespace karvex
