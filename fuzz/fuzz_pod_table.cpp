// SPDX-License-Identifier: GPL-3.0-or-later
// The archive header and entry table, read from a byte buffer, every record decoded.
#include <cstddef>
#include <cstdint>

#include "core/pod_format.h"
#include "fuzz/fuzz_support.h"

using namespace karvex;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemorySource source(fuzz::AsText(data, size));
    PodTable table;
    if (!ParsePodTable(source, table))
        return 0;

    KARVEX_FUZZ_CHECK(table.comment.size() == kCommentSize, "the comment is 80 bytes");
    KARVEX_FUZZ_CHECK(table.Records() <= kMaxEntries + 1,
                      "no more records than one past the limit");
    if (table.count <= 0)
        KARVEX_FUZZ_CHECK(table.Records() == 0, "a count of zero or less gives no records");
    else
        KARVEX_FUZZ_CHECK(table.Records() == std::min<std::size_t>(table.count, kMaxEntries + 1),
                          "one record for each the count announces, up to the limit");

    for (std::size_t n = 0; n < table.Records(); ++n) {
        const PodRecord record = table.Record(n);
        KARVEX_FUZZ_CHECK(record.name.size() <= kNameSize, "a name fits its 32-byte field");
        KARVEX_FUZZ_CHECK(record.name.find('\0') == std::string::npos, "a name stops at a NUL");
        if (record.name.empty())
            KARVEX_FUZZ_CHECK(record.invalid, "an empty name makes the record invalid");
        // A record the buffer does not hold reads as zeros.
        if (kHeaderSize + n * kRecordSize >= size)
            KARVEX_FUZZ_CHECK(record.invalid, "a record past the end is invalid");
    }
    return 0;
}
