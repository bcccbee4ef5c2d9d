// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/fake_session.h"

#include <algorithm>

#include "core/number_text.h"
#include "core/pod_format.h"
#include "core/text.h"

namespace karvex::test {

FakeSession::FakeSession(const std::vector<PodEntry>& entries) : bytes(PodBytes(entries)) {
    scripts["Open"] =
        scripts["OpenPodSequence"] = [this](StatusRow* row) { return ShowOpened(row); };
    m_state.PodFolder = "/fake";
    m_state.PodFileName = "test.pod";
    m_state.PodPattern = "*.pod";
    m_state.PodPath = m_state.ArchivePath().string();
    m_state.EntryCount = static_cast<std::int32_t>(entries.size());
    m_state.PodFileLength = static_cast<std::int64_t>(bytes.size());
    std::int64_t offset = kHeaderSize + kRecordSize * static_cast<std::int64_t>(entries.size());
    for (const PodEntry& entry : entries) {
        const auto size = static_cast<std::int64_t>(entry.data.size());
        m_table.Append(entry.name, size, FormatNumber(size, m_separator), offset,
                       FormatNumber(offset, m_separator));
        offset += size;
    }
}

void FakeSession::Record(const std::string& name) {
    m_state.EntryIndex = Find(name, false);
    m_state.SelectedName = name;
    if (m_state.EntryIndex >= 0) {
        m_state.SelectedSize = static_cast<std::int32_t>(m_table.SizeOf(m_state.EntryIndex));
        m_state.SelectedOffset = static_cast<std::int32_t>(m_table.OffsetOf(m_state.EntryIndex));
    }
}

Result FakeSession::ReadRange(std::int64_t offset, std::int64_t count,
                              const BlockReceiver& receive) const {
    if (!readFailure.IsDone())
        return readFailure;
    const ByteRange range = ClampRange(offset, count, static_cast<std::int64_t>(bytes.size()));
    for (std::int64_t done = 0; done < range.length;) {
        const auto wanted = std::min<std::int64_t>(kReadBlock, range.length - done);
        if (!receive(std::string_view(bytes).substr(static_cast<std::size_t>(range.offset + done),
                                                    static_cast<std::size_t>(wanted))))
            return Result::Done();
        done += wanted;
    }
    return range.complete ? Result::Done()
                          : Result::Refused("The entry reaches past the end of the archive.");
}

IoStatus FakeSession::OpenArchiveBytes(std::unique_ptr<ByteSource>& source) const {
    if (!readFailure.IsDone())
        return {IoStatus::Code::ReadFailed, m_state.ArchivePath(), readFailure.message};
    source = std::make_unique<MemorySource>(bytes);
    return IoStatus::Done();
}

Result FakeSession::Open(const std::filesystem::path& path, StatusRow& row) {
    m_state.PodFolder = path.parent_path().string();
    m_state.PodFileName = path.filename().string();
    m_state.PodPattern = EndsWithNoCase(m_state.PodFileName, ".pod") ? "*.pod" : "*.lst";
    m_state.PodPath = path.string();
    return Run("Open " + path.string(), &row);
}

Result FakeSession::ShowOpened(StatusRow* row) {
    m_state.PodComment = comment;
    *row = {FormatNumber(m_state.PodFileLength, m_separator),
            FormatNumber(m_table.Count(), m_separator), false, true, true};
    if (m_host) {
        m_host->SetListsShown(false);
        m_host->SetStatus(comment);
        m_host->SetListsShown(true);
        m_host->SetLamp(Lamp::Green);
    }
    return Result::Done();
}

Result FakeSession::ExtractSelectedInto(int /*folder*/) {
    std::string call = "ExtractSelectedInto";
    for (int i = 0; i < m_table.Count(); ++i) {
        if (m_table.IsSelected(i))
            call += " " + m_table.Name(i);
    }
    return Run(call);
}

Result FakeSession::EditArchive(const EditPlan& plan, StatusRow& row, std::vector<int>& changed) {
    static const char* const kKinds[] = {"add", "replace", "delete", "rename"};
    std::string call = "EditArchive";
    for (const EditChange& change : plan.changes) {
        call += (call.size() > 11 ? ", " : " ") + std::string(kKinds[int(change.kind)]) + " " +
                change.name;
        if (change.row >= 0)
            call += "#" + std::to_string(change.row);
        if (change.kind == EditChange::Kind::Rename)
            call += "=" + change.newName;
        else if (!change.source.empty())
            call += "=" + change.source.string();
    }
    if (plan.replaceExisting)
        call += " --replace";
    changed = editedRows;
    return Run(call, &row);
}

Result FakeSession::Run(const std::string& call, StatusRow* row) {
    calls.push_back(call);
    const auto script = scripts.find(call.substr(0, call.find(' ')));
    return script == scripts.end() ? Result::Done() : script->second(row);
}

}  // namespace karvex::test
