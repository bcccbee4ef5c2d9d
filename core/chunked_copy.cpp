// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/chunked_copy.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <memory>

#ifdef __linux__
#include <unistd.h>
#endif

#include "core/file_io.h"

namespace karvex {

namespace {

constexpr std::array<std::int64_t, 7> kChunkSizes{61440, 32768, 4096, 1024, 256, 64, 1};

// One buffer per chunk size, made on the first copy and kept for the process.
char* BufferFor(std::size_t index) {
    static const auto buffers = [] {
        std::array<std::unique_ptr<char[]>, kChunkSizes.size()> made;
        for (std::size_t i = 0; i < kChunkSizes.size(); ++i)
            made[i] = std::make_unique<char[]>(static_cast<std::size_t>(kChunkSizes[i]));
        return made;
    }();
    return buffers[index].get();
}

// Moves one chunk between the files. On Linux the kernel copies it (copy_file_range),
// so the bytes never pass through this process; where the file systems do not allow
// that, and elsewhere, the chunk is read into its buffer and written out.
class ChunkMover {
  public:
    ChunkMover(std::FILE* source, std::FILE* target) : m_source(source), m_target(target) {}

    // Moves `size` bytes; `buffer` holds `room` bytes, for when the kernel cannot copy.
    IoStatus Move(std::int64_t& from, std::int64_t& to, std::size_t size, char* buffer,
                  std::size_t room) {
#ifdef __linux__
        if (m_kernelCopy) {
            std::size_t done = 0;
            while (done < size) {
                loff_t in = from + done, out = to + done;
                const ssize_t n =
                    copy_file_range(fileno(m_source), &in, fileno(m_target), &out, size - done, 0);
                if (n > 0) {
                    done += static_cast<std::size_t>(n);
                } else if (n == 0) {
                    errno = 0;
                    return IoStatus::ShortRead();  // the source ended early
                } else if (done == 0 && (errno == EXDEV || errno == ENOSYS || errno == EINVAL ||
                                         errno == EOPNOTSUPP || errno == EPERM || errno == EBADF)) {
                    m_kernelCopy = false;
                    break;
                } else {
                    return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
                }
            }
            if (m_kernelCopy) {
                from += static_cast<std::int64_t>(size);
                to += static_cast<std::int64_t>(size);
                return IoStatus::Done();
            }
        }
#endif
        if (IoStatus read = SeekTo(m_source, from); !read.IsDone())
            return read;
        if (!SeekTo(m_target, to).IsDone())
            return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
        for (std::size_t done = 0; done < size;) {
            const std::size_t piece = std::min(room, size - done);
            if (IoStatus read = ReadExactly(m_source, buffer, piece); !read.IsDone())
                return read;
            if (std::fwrite(buffer, 1, piece, m_target) != piece)
                return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
            done += piece;
        }
        from += static_cast<std::int64_t>(size);
        to += static_cast<std::int64_t>(size);
        return IoStatus::Done();
    }

  private:
    std::FILE* m_source;
    std::FILE* m_target;
    bool m_kernelCopy = true;
};

}  // namespace

IoStatus ChunkedCopy(std::FILE* source, std::int64_t sourcePosition, std::FILE* target,
                     std::int64_t targetPosition, std::int64_t count, ChunkRule rule, Host& host) {
    // What the target has buffered must reach the file before chunks are placed beside it.
    if (std::fflush(target) != 0)
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    ChunkMover mover(source, target);
    // Chunks of 61440 and 32768 bytes are moved one by one. The smaller pieces of an entry's
    // tail (at most 32768 bytes in all) still get their yield each, but are moved together
    // at the end: moving up to 63 single bytes one call at a time would cost more than the
    // rest of the entry.
    constexpr std::int64_t kSmallestMovedAlone = 32768;
    std::int64_t tail = 0;
    std::int64_t remaining = count;
    for (std::size_t i = 0; i < kChunkSizes.size(); ++i) {
        const std::int64_t chunk = kChunkSizes[i];
        // Single bytes are taken while any remain, whatever the rule.
        auto fits = [&] {
            return chunk == 1 ||
                   (rule == ChunkRule::AtLeast ? remaining >= chunk : remaining > chunk);
        };
        while (remaining > 0 && fits()) {
            host.Yield();
            if (host.CancelRequested())
                return IoStatus::Cancelled();
            remaining -= chunk;
            if (chunk < kSmallestMovedAlone) {
                tail += chunk;
                continue;
            }
            const auto size = static_cast<std::size_t>(chunk);
            IoStatus moved = mover.Move(sourcePosition, targetPosition, size, BufferFor(i), size);
            if (!moved.IsDone())
                return moved;
        }
    }
    if (tail > 0) {
        // The 32768-byte buffer holds any tail.
        IoStatus moved = mover.Move(sourcePosition, targetPosition, static_cast<std::size_t>(tail),
                                    BufferFor(1), static_cast<std::size_t>(kChunkSizes[1]));
        if (!moved.IsDone())
            return moved;
    }
    if (std::fflush(target) != 0)
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    return IoStatus::Done();
}

IoStatus SpanCopy(std::FILE* source, std::int64_t sourcePosition, std::FILE* target,
                  std::int64_t targetPosition, std::int64_t count, Host& host) {
    if (std::fflush(target) != 0)
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    ChunkMover mover(source, target);
    for (std::int64_t remaining = count; remaining > 0;) {
        host.Yield();
        if (host.CancelRequested())
            return IoStatus::Cancelled();
        const std::int64_t span = std::min(remaining, kSpan);
        IoStatus moved = mover.Move(sourcePosition, targetPosition, static_cast<std::size_t>(span),
                                    BufferFor(0), static_cast<std::size_t>(kChunkSizes[0]));
        if (!moved.IsDone())
            return moved;
        remaining -= span;
    }
    if (std::fflush(target) != 0)
        return IoStatus::FromErrno(IoStatus::Code::WriteFailed);
    return IoStatus::Done();
}

}  // namespace karvex
