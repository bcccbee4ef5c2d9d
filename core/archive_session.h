// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "core/archive_state.h"
#include "core/color_table.h"
#include "core/entry_table.h"
#include "core/file_io.h"
#include "core/host.h"
#include "core/pod_core.h"
#include "core/result.h"
#include "core/session.h"

namespace karvex {

// The session over the files on disk: the state, the entry table and the core routines
// bound to them. `app/main.cpp` makes one (the command-line tool and the tests make their
// own) and hands it to every window; no window reaches through another for any of this.
class ArchiveSession final : public Session {
  public:
    ArchiveSession();

    ArchiveState& State() override { return m_state; }
    const ArchiveState& State() const override { return m_state; }
    EntryTable& Table() override { return m_table; }
    const EntryTable& Table() const override { return m_table; }
    ColorTable& Colors() override { return m_colors; }
    // The routines themselves, for the command-line tool and the core's tests.
    PodCore& Core() { return m_core; }

    void SetHost(Host* host) override { m_relay.target = host; }
    void SetGroupSeparator(std::string separator) override {
        m_core.SetGroupSeparator(std::move(separator));
    }
    const std::string& GroupSeparator() const override { return m_core.GroupSeparator(); }

    Result ReadRange(std::int64_t offset, std::int64_t count,
                     const BlockReceiver& receive) const override;
    IoStatus OpenArchiveBytes(std::unique_ptr<ByteSource>& source) const override;

    Result Open(const std::filesystem::path& path, StatusRow& row) override;
    Result OpenPodSequence(StatusRow& row) override { return m_core.OpenPodSequence(row); }
    Result OpenResponseSequence(StatusRow& row) override {
        return m_core.OpenResponseSequence(row);
    }
    Result ExtractCommand() override { return m_core.ExtractCommand(); }
    Result ExtractSelectedInto(int folder) override;
    Result MakeCommand(StatusRow& row) override { return m_core.MakeCommand(row); }
    Result RewriteComment(const std::string& newComment) override {
        return m_core.RewriteComment(newComment);
    }
    Result EditArchive(const EditPlan& plan, StatusRow& row, std::vector<int>& changed) override {
        return m_core.EditCommand(plan, row, changed);
    }

    // Also true when the archive could not be looked at when the last command ended.
    bool ArchiveUnchanged() const override;

  private:
    // Notes what the open archive is on disk (device, inode, size, modification time).
    void CommandEnded() override;

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
    std::optional<FileStamp> m_stamp;  // the open archive as CommandEnded saw it
};

}  // namespace karvex
