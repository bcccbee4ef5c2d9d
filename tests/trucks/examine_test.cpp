// SPDX-License-Identifier: GPL-3.0-or-later
// Examining truck definitions and models, the name scan and the found-name list's rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/core/fake_session.h"
#include "trucks/examine.h"
#include "trucks/found_names.h"
#include "trucks/name_scan.h"
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

// The nine models of a truck whose values give `truck` (cut to 8 and 7 bytes) and `tire`.
Names Nine(const std::string& truck8, const std::string& truck7, const std::string& tire) {
    Names names = {truck8 + ".bin", truck7 + "0.bin", truck7 + "1.bin"};
    for (const char* wheel : {"08l", "08r", "10l", "10r", "16l", "16r"})
        names.push_back(tire + wheel + ".bin");
    return names;
}

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
               "axleModelName", "axle.bin"}), Nine("abcdefgh", "abcdefg", "tire")},
        {"keys in capitals", T,
         CrLf({"TRUCKMODELBASENAME", "abcdefghij", "TIREMODELBASENAME", "tire", "AXLEMODELNAME"}),
         Nine("abcdefgh", "abcdefg", "tire")},
        {"an empty truck value (keys 22 apart)", T,
         CrLf({"truckModelBaseName", "", "tireModelBaseName", "t", "axleModelName"}),
         Nine("", "", "t")},
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
         Laid(64200, {{63992, "\0wheel.raw"s}, {64150, "late.bmp"}}), {"late.bmp", "wheel.raw"}},
        {"a name whose last byte alone is cut, from pass 2", M,
         Laid(64200, {{63990, "\0abcdef.raw"s}, {64150, "late.bmp"}}), {"late.bmp", "abcdef.raw"}},
        {"a name cut by a window's start is listed whole", M,
         Laid(64100, {{63995, "\0long.raw"s}}), {"long.raw"}},
        {"a straddling name near the entry's end is found", M,
         Laid(64002, {{63992, "\0wheel.raw"s}}), {"wheel.raw"}},
        {"one byte short of its end it is not there", M,
         Laid(64001, {{63992, "\0wheel.raw"s}}), {}},
        {"line breaks inside both values", T,
         CrLf({"truckModelBaseName", "monster", "..\\x", "tireModelBaseName", "tire",
               "..\\.ssh\\id_rsa", "big", "axleModelName"}), Nine("monster", "monster", "tire")},
        {"values that start with ..\\", T,
         CrLf({"truckModelBaseName", "..\\..\\abc", "tireModelBaseName", "..\\t", "axleModelName"}),
         Nine("..\\..\\ab", "..\\..\\a", "..\\t")},
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

// Only names that stay inside the folder once read back (32 characters, cut at a comma) are saved.
TEST(PlanResponseFile, Rows) {
    const std::string cut = std::string(29, 'a') + "\\..b.txt";  // reads back as ...a\..
    const struct {
        Names names;
        std::string lines, refusal, warning;
    } rows[] = {{{}, "", "", ""},
                {{"a.raw", " b.bin "}, "a.raw\r\nb.bin\r\n", "", ""},
                {{"..\\x.raw"}, "", std::string(kNoneSafeText) + "\n..\\x.raw", ""},
                {{" skin.raw", cut}, "skin.raw\r\n", "", std::string(kLeftOutText) + "\n" + cut}};
    for (const auto& row : rows) {
        const ResponseFilePlan plan = PlanResponseFile(row.names, "\n");
        EXPECT_EQ(plan.list.lines, row.lines) << row.lines;
        EXPECT_EQ(plan.refusal, row.refusal);
        EXPECT_EQ(plan.warning, row.warning);
    }
}

// A found name selects entries of that name or last part, blanks and letter case aside.
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

TEST(ScanModel, StopsWhenAskedOrFull) {
    const std::string bytes = Laid(200'000, {{10, "one.raw"}, {70'000, "two.raw"}});
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

TEST(ScanForNames, Rows) {
    const struct {
        const char* what;
        std::string bytes;
        Names expected;
    } rows[] = {
        // clang-format off
        {"extension by extension, then by position", "\0 a.raw\nx.ACT b.raw"s,
         {" a.raw", "x.ACT b.raw", "x.ACT"}},
        {"a name at the first byte is kept", "car.raw", {"car.raw"}},
        {"blanks and high bytes belong to a name", "\n  \xE9.wav", {"  \xE9.wav"}},
        {"an extension that needs a byte past the end", "car.ra", {}},
        {"the search goes on behind an occurrence", ".raw.raw", {".raw", ".raw.raw"}},
        {"a run longer than the limit keeps its end", std::string(300, 'a') + ".raw",
         {std::string(kMaxNameLength - 4, 'a') + ".raw"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        Names names;
        ScanForNames(row.bytes, 0, row.bytes.size(), [&](std::string_view name) {
            names.emplace_back(name);
            return true;
        });
        EXPECT_EQ(names, row.expected) << row.what;
    }
}

TEST(AddFoundName, Rows) {
    const struct {
        const char* what;
        Names added, listed;
    } rows[] = {
        // clang-format off
        {"leading blanks are kept; without them it is a duplicate", {"  car.raw", "car.raw"},
         {"  car.raw"}},
        {"letter case counts", {"CAR.RAW", "car.raw"}, {"CAR.RAW", "car.raw"}},
        {"after the last comma when longer than 12", {"shadow,tex,car.raw"}, {"car.raw"}},
        {"12 characters stay whole", {"abcdef,g.raw"}, {"abcdef,g.raw"}},
        {"13 are cut", {"abcdefg,h.raw"}, {"h.raw"}},
        {"the text after the comma keeps its blank", {"shadow, tex, car.raw", "car.raw"},
         {" car.raw"}},
        {"a name holding a control byte is none", {"a\r\nb.raw", "c\0.raw"s, "d.raw"}, {"d.raw"}},
        // clang-format on
    };
    for (const auto& row : rows) {
        FoundNames list;
        for (const std::string& name : row.added)
            list.AddFoundName(name);
        EXPECT_EQ(list.Names(), row.listed) << row.what;
    }
}

}  // namespace
}  // namespace karvex::test
