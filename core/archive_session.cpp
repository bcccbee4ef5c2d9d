#include "archive_session.h"

#include <sys/stat.h>
#include <algorithm>

#include <cerrno>
#include <memory>

#include "file_io.h"
#include "paths.h"
#include "text.h"

namespace karvex {

ArchiveSession::ArchiveSession() = default;

void ArchiveSession::OnBusyChanged(const void* owner, std::function<void(bool)> listener) {
    m_busyListeners.emplace_back(owner, std::move(listener));
}

void ArchiveSession::RemoveListeners(const void* owner) {
    std::erase_if(m_busyListeners, [owner](const auto& entry) { return entry.first == owner; });
    std::erase_if(m_selectionListeners,
                  [owner](const auto& entry) { return entry.first == owner; });
}

void ArchiveSession::SelectEntries(const std::vector<int>& entries) {
    for (int i : entries) {
        if (i >= 0 && i < m_table.Count())
            m_table.SetSelected(i, true);
    }
    for (const auto& entry : m_selectionListeners)
        entry.second();
}

void ArchiveSession::OnSelectionChanged(const void* owner, std::function<void()> listener) {
    m_selectionListeners.emplace_back(owner, std::move(listener));
}

void ArchiveSession::SetBusy(bool busy) {
    m_cancelRequested = false;
    if (m_busy == busy)
        return;
    m_busy = busy;
    if (!busy)
        StampArchive();
    for (const auto& entry : m_busyListeners)
        entry.second(busy);
}

namespace {

// What stands at `path` now, following links as the archive's own reading does.
bool StampOf(const fs::path& path, std::uint64_t& device, std::uint64_t& inode, std::int64_t& size,
             std::int64_t& seconds, std::int64_t& nanoseconds) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    device = info.st_dev;
    inode = info.st_ino;
    size = info.st_size;
    seconds = info.st_mtim.tv_sec;
    nanoseconds = info.st_mtim.tv_nsec;
    return true;
}

}  // namespace

Result ArchiveSession::Open(const fs::path& path, StatusRow& row) {
    SplitPath(path, m_state.PodFolder, m_state.PodFileName);
    const bool archive = EndsWithNoCase(m_state.PodFileName, ".pod");
    m_state.PodPattern = archive ? "*.pod" : "*.lst";
    return archive ? m_core.OpenPodSequence(row) : m_core.OpenResponseSequence(row);
}

void ArchiveSession::StampArchive() {
    m_stamp = {};
    if (m_state.PodPattern != "*.pod" || m_state.PodFileName.empty())
        return;
    Stamp now;
    now.taken = StampOf(m_state.ArchivePath(), now.device, now.inode, now.size, now.seconds,
                        now.nanoseconds);
    m_stamp = now;
}

bool ArchiveSession::ArchiveUnchanged() const {
    if (m_state.PodPattern != "*.pod" || m_state.PodFileName.empty() || !m_stamp.taken)
        return true;
    Stamp now;
    now.taken = StampOf(m_state.ArchivePath(), now.device, now.inode, now.size, now.seconds,
                        now.nanoseconds);
    return now.taken && now.device == m_stamp.device && now.inode == m_stamp.inode &&
           now.size == m_stamp.size && now.seconds == m_stamp.seconds &&
           now.nanoseconds == m_stamp.nanoseconds;
}

ByteRange ArchiveSession::EntryExtent(int i) const {
    if (i < 0 || i >= m_table.Count())
        return {0, 0, false};
    return m_table.Extent(i, m_state.PodFileLength);
}

Result ArchiveSession::ReadEntry(int i, const BlockReceiver& receive) const {
    if (i < 0 || i >= m_table.Count() || m_table.IsMissing(i))
        return Result::Refused("There is no such entry.");
    return ReadRange(m_table.OffsetOf(i), m_table.SizeOf(i), receive);
}

Result ArchiveSession::ReadRange(std::int64_t offset, std::int64_t count,
                                 const BlockReceiver& receive) const {
    const fs::path path = m_state.ArchivePath();
    const std::string lf = m_state.LineFeed;
    auto failed = [&](const std::string& reason) {
        return Result::Failed("Cannot read " + DisplayPath(path) + lf + lf + Utf8ToLatin1(reason));
    };
    ReadFile archive = OpenForReading(path);
    if (!archive.file)
        return failed(archive.error);

    // The file may have changed since it was loaded: what it holds now is what is read.
    const ByteRange range = ClampRange(offset, count, archive.length);
    if (range.length > 0 && !SeekTo(archive.file.get(), range.offset))
        return failed(ErrorText());
    const auto block = std::make_unique<char[]>(kReadBlock);
    for (std::int64_t done = 0; done < range.length;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(kReadBlock, range.length - done));
        errno = 0;
        const std::size_t got = std::fread(block.get(), 1, wanted, archive.file.get());
        if (got != wanted)
            return failed(errno ? ErrorText() : "The file ended early.");
        done += static_cast<std::int64_t>(got);
        if (!receive(std::string_view(block.get(), got)))
            return Result::Done();
    }
    if (!range.complete)
        return Result::Refused("The entry reaches past the end of the archive.");
    return Result::Done();
}

// --- The relay to the window --------------------------------------------------------------

void ArchiveSession::Relay::Yield() {
    if (target)
        target->Yield();
}

bool ArchiveSession::Relay::CancelRequested() {
    return session.CancelRequested() || (target && target->CancelRequested());
}

void ArchiveSession::Relay::SetLamp(Lamp lamp) {
    if (target)
        target->SetLamp(lamp);
}

void ArchiveSession::Relay::SetTimerInterval(int milliseconds) {
    if (target)
        target->SetTimerInterval(milliseconds);
}

void ArchiveSession::Relay::SetStatus(const std::string& text) {
    if (target)
        target->SetStatus(text);
}

void ArchiveSession::Relay::SetListsShown(bool shown) {
    if (target)
        target->SetListsShown(shown);
}

void ArchiveSession::Relay::SetCurrentFolder(const std::string& folder) {
    if (target)
        target->SetCurrentFolder(folder);
}

bool ArchiveSession::Relay::AskYesNo(const std::string& text, const std::string& caption) {
    return target && target->AskYesNo(text, caption);
}

void ArchiveSession::Relay::ShowMessage(const std::string& text, const std::string& caption,
                                        Icon icon) {
    if (target)
        target->ShowMessage(text, caption, icon);
}

}  // namespace karvex
