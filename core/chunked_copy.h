// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/host.h"
#include "core/io_status.h"

namespace karvex {

// How the copy takes its chunks. Extraction takes a chunk of c bytes while at least c bytes
// remain; the builder only while more than c remain, so that a 61440-byte file goes as
// 32768 + 6 x 4096 + 3 x 1024 + 3 x 256 + 3 x 64 + 64 single bytes.
enum class ChunkRule { AtLeast, MoreThan };

// Copies `count` bytes from `sourcePosition` of `source` to `targetPosition` of `target` in
// chunks of 61440, 32768, 4096, 1024, 256 and 64 bytes, then single bytes, yielding to the
// host before each chunk. ReadFailed when the source ended early or could not be read,
// WriteFailed when the target could not be written, Cancelled when the host asked to stop
// (the chunks before were copied whole); the status names no file. The buffers are
// allocated once for the process; only one copy runs at a time.
IoStatus ChunkedCopy(std::FILE* source, std::int64_t sourcePosition, std::FILE* target,
                     std::int64_t targetPosition, std::int64_t count, ChunkRule rule, Host& host);

// How many bytes SpanCopy moves at a time.
inline constexpr std::int64_t kSpan = 1 << 20;

// The same copy in spans of kSpan bytes (the last one shorter), yielding before each: for a
// copy whose chunks nobody watches, such as an edit's, where small chunks would only cost
// time. A span the kernel cannot copy goes through a buffer of 61440 bytes.
IoStatus SpanCopy(std::FILE* source, std::int64_t sourcePosition, std::FILE* target,
                  std::int64_t targetPosition, std::int64_t count, Host& host);

}  // namespace karvex
