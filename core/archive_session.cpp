// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/archive_session.h"

#include <algorithm>
#include <memory>

#include "core/file_io.h"
#include "core/paths.h"
#include "core/text.h"

namespace fs = std::filesystem;

namespace karvex {

ArchiveSession::ArchiveSession() = default;

Result ArchiveSession::Open(const fs::path& path, StatusRow& row) {
    SplitPath(path, m_state.PodFolder, m_state.PodFileName);
    const bool archive = EndsWithNoCase(m_state.PodFileName, ".pod");
    m_state.PodPattern = archive ? "*.pod" : "*.lst";
    return archive ? m_core.OpenPodSequence(row) : m_core.OpenResponseSequence(row);
}

void ArchiveSession::CommandEnded() {
    m_stamp.reset();
    FileStamp now;
    if (m_state.PodPattern == "*.pod" && !m_state.PodFileName.empty() &&
        StampOf(m_state.ArchivePath(), now).IsDone())
        m_stamp = now;
}

bool ArchiveSession::ArchiveUnchanged() const {
    if (m_state.PodPattern != "*.pod" || m_state.PodFileName.empty() || !m_stamp)
        return true;
    FileStamp now;
    return StampOf(m_state.ArchivePath(), now).IsDone() && now == *m_stamp;
}

Result ArchiveSession::ReadRange(std::int64_t offset, std::int64_t count,
                                 const BlockReceiver& receive) const {
    const fs::path path = m_state.ArchivePath();
    const std::string lf = m_state.LineFeed;
    auto failed = [&](const std::string& reason) {
        return Result::Failed("Cannot read " + DisplayPath(path) + lf + lf + Utf8ToLatin1(reason));
    };
    ReadFile archive;
    if (const IoStatus opened = OpenForReading(path, archive); !opened.IsDone())
        return failed(opened.Reason());

    // The file may have changed since it was loaded: what it holds now is what is read.
    const ByteRange range = ClampRange(offset, count, archive.length);
    if (range.length > 0) {
        if (const IoStatus moved = SeekTo(archive.file.get(), range.offset); !moved.IsDone())
            return failed(moved.Reason());
    }
    const auto block = std::make_unique<char[]>(kReadBlock);
    for (std::int64_t done = 0; done < range.length;) {
        const auto wanted =
            static_cast<std::size_t>(std::min<std::int64_t>(kReadBlock, range.length - done));
        if (const IoStatus read = ReadExactly(archive.file.get(), block.get(), wanted);
            !read.IsDone())
            return failed(read.Reason());
        done += static_cast<std::int64_t>(wanted);
        if (!receive(std::string_view(block.get(), wanted)))
            return Result::Done();
    }
    if (!range.complete)
        return Result::Refused("The entry reaches past the end of the archive.");
    return Result::Done();
}

Result ArchiveSession::ExtractSelectedInto(int folder) {
    m_core.SetDestination(folder);
    const Result result = m_core.ExtractSelected();
    m_core.SetDestination(-1);
    return result;
}

namespace {

// The archive file held open for as long as its source is read.
struct OpenArchiveSource : ByteSource {
    explicit OpenArchiveSource(ReadFile opened)
        : file(std::move(opened)), source(file.file.get(), file.length) {}
    std::int64_t Length() const override { return source.Length(); }
    bool ReadAt(std::int64_t position, char* buffer, std::size_t count) override {
        return source.ReadAt(position, buffer, count);
    }

    ReadFile file;
    FileSource source;
};

}  // namespace

IoStatus ArchiveSession::OpenArchiveBytes(std::unique_ptr<ByteSource>& source) const {
    ReadFile archive;
    if (IoStatus opened = OpenForReading(m_state.ArchivePath(), archive); !opened.IsDone())
        return opened;
    source = std::make_unique<OpenArchiveSource>(std::move(archive));
    return IoStatus::Done();
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
