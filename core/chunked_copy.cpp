#include "chunked_copy.h"

#include <array>
#include <cerrno>
#include <memory>

#include "file_io.h"

namespace karvex {

namespace {

constexpr std::array<std::int64_t, 7> kChunkSizes{61440, 32768, 4096, 1024, 256, 64, 1};

// One buffer per chunk size, made on the first copy and kept for the process.
char* BufferFor(std::size_t index)
{
    static const auto buffers = [] {
        std::array<std::unique_ptr<char[]>, kChunkSizes.size()> made;
        for (std::size_t i = 0; i < kChunkSizes.size(); ++i)
            made[i] = std::make_unique<char[]>(static_cast<std::size_t>(kChunkSizes[i]));
        return made;
    }();
    return buffers[index].get();
}

}  // namespace

CopyResult ChunkedCopy(std::FILE* source, std::int64_t sourcePosition, std::FILE* target,
                       std::int64_t targetPosition, std::int64_t count, ChunkRule rule, Host& host)
{
    if (!SeekTo(source, sourcePosition)) return CopyResult::ReadFailed;
    if (!SeekTo(target, targetPosition)) return CopyResult::WriteFailed;
    std::int64_t remaining = count;
    for (std::size_t i = 0; i < kChunkSizes.size(); ++i) {
        const std::int64_t chunk = kChunkSizes[i];
        // Single bytes are taken while any remain, whatever the rule.
        auto fits = [&] {
            return chunk == 1 || (rule == ChunkRule::AtLeast ? remaining >= chunk : remaining > chunk);
        };
        char* buffer = BufferFor(i);
        const auto size = static_cast<std::size_t>(chunk);
        while (remaining > 0 && fits()) {
            host.Yield();
            if (host.CancelRequested()) return CopyResult::Cancelled;
            errno = 0;
            if (std::fread(buffer, 1, size, source) != size) return CopyResult::ReadFailed;
            if (std::fwrite(buffer, 1, size, target) != size) return CopyResult::WriteFailed;
            remaining -= chunk;
        }
    }
    return CopyResult::Done;
}

}  // namespace karvex
