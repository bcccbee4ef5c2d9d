// SPDX-License-Identifier: GPL-3.0-or-later
// Examining truck definitions and models, from memory and from an archive.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/fake_session.h"
#include "trucks/examine.h"
#include "trucks/response_list.h"

namespace karvex::test {
namespace {

using namespace std::string_literals;
using Names = std::vector<std::string>;

std::string CrLf(const Names& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// `size` zero bytes with each text written at its offset.
std::string Model(std::size_t size, const std::vector<std::pair<std::size_t, std::string>>& at) {
    std::string bytes(size, '\0');
    for (const auto& [offset, text] : at)
        bytes.replace(offset, text.size(), text);
    bytes.resize(size);
    return bytes;
}

const Names kNine = {"abcdefgh.bin", "abcdefg0.bin", "abcdefg1.bin", "tire08l.bin", "tire08r.bin",
                     "tire10l.bin",  "tire10r.bin",  "tire16l.bin",  "tire16r.bin"};

TEST(Examine, Rows) {
    constexpr Analysis T = Analysis::Truck, M = Analysis::Model;
    const struct {
        const char* what;
        Analysis analysis;
        std::string bytes;
        Names expected;
    } rows[] = {
        // clang-format off
        {"three keys give the nine names alone", T,
         CrLf({"skin car.raw", "truckModelBaseName", "abcdefghij", "tireModelBaseName", " tire ",
               "axleModelName", "axle.bin"}), kNine},
        {"keys in capitals", T,
         CrLf({"TRUCKMODELBASENAME", "abcdefghij", "TIREMODELBASENAME", "tire", "AXLEMODELNAME"}),
         kNine},
        {"an empty truck value (keys 22 apart)", T,
         CrLf({"truckModelBaseName", "", "tireModelBaseName", "t", "axleModelName"}),
         {".bin", "0.bin", "1.bin", "t08l.bin", "t08r.bin", "t10l.bin", "t10r.bin", "t16l.bin",
          "t16r.bin"}},
        {"keys 21 apart hold no value: scanned", T,
         "truckModelBaseName\r\n\ntireModelBaseName\r\n" + CrLf({"t.raw", "axleModelName"}),
         {"t.raw"}},
        {"no axle key: scanned", T,
         CrLf({"truckModelBaseName", "dm", "tireModelBaseName", "w.raw"}), {"w.raw"}},
        {"keys out of order: scanned", T,
         CrLf({"tireModelBaseName", "x.act", "truckModelBaseName", "y", "axleModelName"}),
         {"x.act"}},
        {"a truck name that ends at byte 64,000", T, std::string(63996, '\n') + ".raw", {".raw"}},
        {"one byte further is not examined", T, std::string(63997, '\n') + ".raw", {}},
        {"an empty model", M, "", {}},
        {"a small model, pass 1 alone", M, "\0a.raw\0b.act\0a.raw"s, {"a.raw", "b.act"}},
        {"a straddling name comes from pass 2, after pass 1's", M,
         Model(64200, {{63992, "\0wheel.raw"s}, {64150, "late.bmp"}}), {"late.bmp", "wheel.raw"}},
        {"a name whose last byte alone is cut, from pass 2", M,
         Model(64200, {{63990, "\0abcdef.raw"s}, {64150, "late.bmp"}}), {"late.bmp", "abcdef.raw"}},
        {"a straddling name near the entry's end is found", M,
         Model(64002, {{63992, "\0wheel.raw"s}}), {"wheel.raw"}},
        {"one byte short of its end it is not there", M,
         Model(64001, {{63992, "\0wheel.raw"s}}), {}},
        {"a name cut by a window's start is listed whole", M,
         Model(64100, {{63995, "\0long.raw"s}}), {"long.raw"}},
        // A stranger's entry never makes a found name more than a name: a value ends at its
        // first control byte, so no name holds one; a name that leads out of a folder is
        // found, and only the response file leaves it out.
        {"line breaks inside both values", T,
         CrLf({"truckModelBaseName", "monster", "..\\x", "tireModelBaseName", "tire",
               "..\\.ssh\\id_rsa", "big", "axleModelName"}),
         {"monster.bin", "monster0.bin", "monster1.bin", "tire08l.bin", "tire08r.bin",
          "tire10l.bin", "tire10r.bin", "tire16l.bin", "tire16r.bin"}},
        {"values that start with ..\\", T,
         CrLf({"truckModelBaseName", "..\\..\\abc", "tireModelBaseName", "..\\t", "axleModelName"}),
         {"..\\..\\ab.bin", "..\\..\\a0.bin", "..\\..\\a1.bin", "..\\t08l.bin", "..\\t08r.bin",
          "..\\t10l.bin", "..\\t10r.bin", "..\\t16l.bin", "..\\t16r.bin"}},
        {"a NUL inside each value", T,
         CrLf({"truckModelBaseName", "ab\0cdefgh"s, "tireModelBaseName", "ti\0re"s,
               "axleModelName"}),
         {"ab.bin", "ab0.bin", "ab1.bin", "ti08l.bin", "ti08r.bin", "ti10l.bin", "ti10r.bin",
          "ti16l.bin", "ti16r.bin"}},
        {"a model naming a file two folders up", M, "\0skin.raw\0..\\..\\secret.txt\0"s,
         {"skin.raw", "..\\..\\secret.txt"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        for (const std::size_t block : {std::size_t{65536}, std::size_t{999}}) {
            const Examination got = Examine(BufferEntryReader(row.bytes, block), row.analysis);
            EXPECT_TRUE(got.result.IsDone()) << row.what;
            EXPECT_EQ(got.names, row.expected) << row.what << ", blocks of " << block;
        }
    }
}

// Saving found names: only the lines that stay inside the folder once read back (the first
// 32 characters, cut at a comma) are saved, byte for byte; nothing is saved when every name
// would be left out; when some are, they are told after the save. The texts are exact.
TEST(PlanResponseFile, Rows) {
    const std::string cut = std::string(29, 'a') + "\\..b.txt";  // reads back as ...a\..
    const struct {
        Names names;
        std::string lines, refusal, warning;
    } rows[] = {
        {{}, "", "", ""},
        {{"a.raw", " b.bin "}, "a.raw\r\nb.bin\r\n", "", ""},
        {{"..\\x.raw"}, "", std::string(kNoneSafeText) + "\n..\\x.raw", ""},
        {{"a.raw", "..\\..\\x.raw", "..\\y.raw"},
         "a.raw\r\n",
         "",
         std::string(kLeftOutText) + "\n..\\..\\x.raw\n..\\y.raw"},
        {{" skin.raw", cut}, "skin.raw\r\n", "", std::string(kLeftOutText) + "\n" + cut},
    };
    for (const auto& row : rows) {
        const ResponseFilePlan plan = PlanResponseFile(row.names, "\n");
        EXPECT_EQ(plan.list.lines, row.lines) << row.lines;
        EXPECT_EQ(plan.refusal, row.refusal);
        EXPECT_EQ(plan.warning, row.warning);
    }
}

// Found names select the entries of that name, or whose last part is that name; blanks
// around either and letter case do not count.
TEST(EntriesNamed, Rows) {
    EntryTable table;
    for (const char* name : {"SKIN.RAW", "ART\\SKIN.RAW", "SKIN.RAW.OLD", " tire.bin ",
                             "ART\\SUB\\TIRE.BIN", "\\", "OTHER.RAW"})
        table.Append(name, 1, "1", 0, "0");
    const struct {
        Names names;
        std::vector<int> entries;
    } rows[] = {
        // clang-format off
        {{}, {}}, {{"skin.raw"}, {0, 1}}, {{" TIRE.BIN  "}, {3, 4}}, {{"art\\skin.raw"}, {1}},
        {{"skin.raw.old", "other.raw"}, {2, 6}}, {{"kin.raw", "SKIN"}, {}},
        {{""}, {5}},  // the part after a lone "\" is empty
        // clang-format on
    };
    for (const auto& row : rows)
        EXPECT_EQ(EntriesNamed(row.names, table), row.entries)
            << ::testing::PrintToString(row.names);
}

// More than 100 windows in each pass: examined to the end, in the same order.
TEST(ScanModel, LargeModelsAreExaminedInFull) {
    const std::string bytes = Model(6'400'300, {{10, "first.raw"},
                                                {6'399'993, "\0edge.wav"s},  // ends window 100
                                                {6'400'100, "\0w101.raw"s},
                                                {6'400'200, "\0first.raw"s}});
    const Examination got = Examine(BufferEntryReader(bytes), Analysis::Model);
    EXPECT_TRUE(got.result.IsDone());
    EXPECT_EQ(got.names, (Names{"first.raw", "w101.raw", "edge.wav"}));
}

TEST(ScanModel, StopsWhenAskedOrFull) {
    const std::string bytes = Model(200'000, {{10, "one.raw"}, {70'000, "two.raw"}});
    Examination got = Examine(BufferEntryReader(bytes), Analysis::Model, [] { return true; });
    EXPECT_EQ(got.result.status, Result::Status::Cancelled);
    EXPECT_EQ(got.names, Names{"one.raw"});

    std::string many;
    for (std::size_t n = 0; n <= FoundNames::kLimit; ++n)
        many += "\n" + std::to_string(100000 + n) + ".raw";
    got = Examine(BufferEntryReader(many), Analysis::Model);
    EXPECT_EQ(got.result.status, Result::Status::Refused);
    EXPECT_EQ(got.names.size(), FoundNames::kLimit);
}

TEST(ExamineEntry, ReadsTheArchive) {
    FakeSession archive({{"dm.bin", "\0a.raw\0b.ra"s}});
    archive.bytes.resize(archive.bytes.size() - 3);  // the model reaches past the end: "\0a.raw\0b"
    Examination got = ExamineEntry(archive, 0, Analysis::Model);
    EXPECT_TRUE(got.result.IsDone());
    EXPECT_EQ(got.names, Names{"a.raw"});
    EXPECT_EQ(ExamineEntry(archive, 1, Analysis::Model).result.status, Result::Status::Refused);

    archive.readFailure = Result::Failed("Cannot read /fake/test.pod");
    got = ExamineEntry(archive, 0, Analysis::Model);
    EXPECT_EQ(got.result.status, Result::Status::Failed);
    EXPECT_EQ(got.result.message, archive.readFailure.message);
}

}  // namespace
}  // namespace karvex::test
