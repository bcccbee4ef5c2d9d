// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "core/session.h"
#include "tests/core/test_support.h"

namespace karvex::test {

// A session over an archive in memory, for the windows' tests: the commands only note their
// calls and return what was scripted.
class FakeSession : public Session {
  public:
    // "test.pod" in the folder "/fake", holding `entries` as an archive lays them out.
    explicit FakeSession(const std::vector<PodEntry>& entries = {});

    // Notes `name` as the entry last right-clicked, as a right-click on it would.
    void Record(const std::string& name);

    ArchiveState& State() override { return m_state; }
    const ArchiveState& State() const override { return m_state; }
    EntryTable& Table() override { return m_table; }
    const EntryTable& Table() const override { return m_table; }
    ColorTable& Colors() override { return m_colors; }
    void SetHost(Host* host) override { m_host = host; }
    void SetGroupSeparator(std::string separator) override { m_separator = std::move(separator); }
    const std::string& GroupSeparator() const override { return m_separator; }

    // Serve `bytes` (past their end as far as they go, then Refused), or readFailure.
    Result ReadRange(std::int64_t offset, std::int64_t count,
                     const BlockReceiver& receive) const override;
    IoStatus OpenArchiveBytes(std::unique_ptr<ByteSource>& source) const override;

    // Unless scripted, Open and OpenPodSequence show the entries as a loaded archive is shown.
    Result Open(const std::filesystem::path& path, StatusRow& row) override;
    Result OpenPodSequence(StatusRow& row) override { return Run("OpenPodSequence", &row); }
    Result OpenResponseSequence(StatusRow& row) override {
        return Run("OpenResponseSequence", &row);
    }
    Result ExtractCommand() override { return Run("ExtractCommand"); }
    Result ExtractSelectedInto(int folder) override;
    Result MakeCommand(StatusRow& row) override { return Run("MakeCommand", &row); }
    Result RewriteComment(const std::string& newComment) override {
        return Run("RewriteComment " + newComment);
    }
    // Noted as "EditArchive add NAME=SOURCE, replace NAME=SOURCE, delete NAME, rename OLD=NEW"
    // (" --replace" after it for replaceExisting); `changed` gets editedRows.
    Result EditArchive(const EditPlan& plan, StatusRow& row, std::vector<int>& changed) override;
    bool ArchiveUnchanged() const override { return unchanged; }

    // What a command does, by its name ("Open", ...), given the row it fills (or null).
    using Script = std::function<Result(StatusRow* row)>;
    std::map<std::string, Script> scripts;
    // The commands called, with arguments: "Open /fake/b.pod", "ExtractSelectedInto A B".
    std::vector<std::string> calls;
    std::string bytes;      // the archive; cut short later, it is a file that shrank once loaded
    std::string comment;    // the archive's comment, as an open shows it
    bool unchanged = true;  // what ArchiveUnchanged answers
    Result readFailure;     // when not Done, what every read returns
    std::vector<int> editedRows;  // what EditArchive hands back as the rows changed

  private:
    Result ShowOpened(StatusRow* row);
    Result Run(const std::string& call, StatusRow* row = nullptr);

    ArchiveState m_state;
    EntryTable m_table;
    ColorTable m_colors;
    Host* m_host = nullptr;
    std::string m_separator = ",";
};

}  // namespace karvex::test
