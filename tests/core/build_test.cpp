// SPDX-License-Identifier: GPL-3.0-or-later
// Building archives, the Make command, mounting in pod.ini and the comment rewrite.
#include <gtest/gtest.h>

#include <tuple>

#include <unistd.h>

#include "core/pod_format.h"
#include "tests/core/test_support.h"

namespace fs = std::filesystem;

namespace karvex::test {
namespace {

using namespace std::string_literals;

// A response file with its files in "src", loaded, and a Make into "dest/NEW.POD", comment "ABC".
struct MakeFixture : CoreFixture {
    explicit MakeFixture(std::initializer_list<std::pair<std::string, std::string>> files,
                         const std::string& extraLines = "") {
        std::string list;
        for (const auto& [name, data] : files) {
            std::string path = name;
            std::replace(path.begin(), path.end(), '\\', '/');
            WriteBytes(dir / "src" / path, data);
            list += name + "\r\n";
        }
        WriteBytes(dir / "src" / "new.lst", list + extraLines);
        state.PodFolder = (dir / "src").string();
        Open("new.lst");
        fs::create_directories(dest());
        state.DialogPath = dest().string();
        state.DialogName = "NEW.POD";
        state.DialogOptions = " 0";
        state.PodComment = "ABC" + std::string(77, ' ');
        host.messages.clear();
    }
    fs::path dest() const { return dir / "dest"; }
    fs::path pod() const { return dest() / "NEW.POD"; }
};

TEST(BuildPodFile, CopiesWithChunksOnlyWhileMoreThanTheChunkRemains) {
    MakeFixture f({{"e.bin", std::string(61440, 'e')}});
    f.host.yields = 0;
    f.core.BuildPodFile();
    // The table entry, then 32768 + 6 x 4096 + 3 x 1024 + 3 x 256 + 3 x 64 + 64 single bytes.
    EXPECT_EQ(f.host.yields, 1 + 1 + 6 + 3 + 3 + 3 + 64);
    EXPECT_EQ(ReadBytes(f.pod()).size(), 124u + 61440u);
}

// Nothing is written and an older archive stays.
TEST(BuildPodFile, RefusesAnUnsoundTableAndWritesNothing) {
    std::string tooMany;
    for (int i = 0; i <= 32767; ++i)
        tooMany += "a.raw\r\n";
    // clang-format off
    const std::tuple<const char*, std::function<void(MakeFixture&)>, const char*> rows[] = {
        {"missing", [](MakeFixture& f) { f.Open("new.lst", "a.raw\r\nb.raw\r\nc.raw\r\n"); },
         "The file c.raw is missing."},
        {"removed", [](MakeFixture& f) { fs::remove(f.dir / "src" / "b.raw"); },
         "The file b.raw is missing."},
        {"changed", [](MakeFixture& f) { WriteBytes(f.dir / "src" / "a.raw", "aaaaa"); },
         "The file a.raw has changed since the list was read: 4 bytes were listed, it now has 5."},
        {"too large", [](MakeFixture& f) {
             fs::resize_file(f.dir / "src" / "a.raw", 2147483647LL - 100);
             f.Open("new.lst"); },
         "The archive would be larger than 2,147,483,647 bytes."},
        {"too many", [&](MakeFixture& f) {
             EXPECT_FALSE(f.Open("new.lst", tooMany));
             EXPECT_EQ(f.Messages(), "Maximum files reached (32768)");
             f.host.messages.clear(); },
         "The list names 32,768 files; an archive holds at most 32,767."}};
    // clang-format on
    for (const auto& [what, spoil, reason] : rows) {
        SCOPED_TRACE(what);
        MakeFixture f({{"a.raw", "aaaa"}, {"b.raw", "bb"}});
        WriteBytes(f.pod(), "old archive");
        spoil(f);
        f.core.BuildPodFile();
        EXPECT_EQ(ReadBytes(f.pod()), "old archive");
        EXPECT_EQ(FilesIn(f.dest()), 1u) << "no temporary file left";
        EXPECT_EQ(f.Messages(), "Cannot make " + f.pod().string() + "\n\n" + reason);
        EXPECT_EQ(f.state.FailFlag, 1);
    }
}

TEST(BuildPodFile, ACancelRemovesThePartArchiveAndKeepsTheOldOne) {
    MakeFixture f({{"a.raw", std::string(200000, 'a')}});
    WriteBytes(f.pod(), "old archive");
    f.host.cancelAfterYields = f.host.yields + 3;
    f.core.BuildPodFile();
    EXPECT_EQ(ReadBytes(f.pod()), "old archive");
    EXPECT_EQ(FilesIn(f.dest()), 1u);
}

// Names are upper-cased, a blank ends one, and a 32-character one fills its field.
TEST(MakeCommand, BuildsByteForByteMountsAndOpensTheNewArchive) {
    MakeFixture f({{"a.raw", std::string(10, 'a')},
                   {"art\\box.raw", std::string(20, 'b')},
                   {"my file.bin", "c"},
                   {std::string(28, 'n') + ".raw", "d"}});
    WriteBytes(f.dir / "pod.ini", "1\r\nMTM.POD\r\n");
    f.state.DialogOptions = " 1";
    f.host.lists.clear();
    ASSERT_TRUE(f.core.MakeCommand(f.row).IsDone());
    std::string expected = "\x04\0\0\0"s + "ABC" + std::string(77, '\0');
    expected += Record("A.RAW", 10, 244) + Record("ART\\BOX.RAW", 20, 254) +
                Record("MY\0FILE.BIN"s, 1, 274);
    expected += std::string(28, 'N') + ".RAW" + "\x01\0\0\0\x13\x01\0\0"s;
    expected += std::string(10, 'a') + std::string(20, 'b') + "c" + "d";
    EXPECT_EQ(ReadBytes(f.pod()), expected);
    EXPECT_EQ(FilesIn(f.dest()), 1u);
    EXPECT_EQ(f.host.timer, 100);
    EXPECT_EQ(f.host.lists, "hidden shown ") << "the reload hides the lists as Open does";
    EXPECT_EQ(ReadBytes(f.dir / "pod.ini"),
              " 2\r\nMTM.POD" + std::string(25, ' ') + "\r\ndest\\NEW.POD\r\n");
    EXPECT_FALSE(fs::exists(f.dir / "pod.wrk"));
    EXPECT_EQ(f.Screen(), "ABC|276|4|green|011|0");
    EXPECT_EQ(f.state.PodFolder, f.dest().string());
}

TEST(MakeCommand, AnEmptyListGivesAnArchiveThatFailsToLoad) {
    MakeFixture f({});
    EXPECT_EQ(f.core.MakeCommand(f.row).message, kLoadFailedText);
    EXPECT_EQ(ReadBytes(f.pod()), "\0\0\0\0"s + "ABC" + std::string(77, '\0'));
    EXPECT_EQ(f.Screen(), "Load Failed  -  File may not be a valid POD file.|||green|000|0");
}

// pod.ini's text, its folder ("dest" own, "." parent, "" none), message, caption, FailFlag
TEST(MountPod, RefusalsLeavePodIniByteForByte) {
    const std::tuple<const char*, const char*, const char*, const char*, int> rows[] = {
        {"", "", "File POD.INI cannot be located.", "Karvex32", 1},
        {"99\r\n", "dest", "Maximum Pods already mounted!", "Karvex32", 0},
        {"150\r\n", ".", "Maximum Pods already mounted!", "Karvex", 0},
        {"2\r\nMTM1.POD\r\nnew.pod\r\n", "dest", "POD already mounted.", "Karvex", 1},
        {"1\r\nDEST\\NEW.POD", ".", "POD already mounted.", "Karvex", 1},
        {"1\r\nBIGNEW.POD\r\n", "dest", "POD already mounted.", "Karvex", 1}};
    for (const auto& [text, folder, message, caption, failFlag] : rows) {
        SCOPED_TRACE(text);
        MakeFixture f({});
        const fs::path ini = f.dir / folder / "pod.ini";
        if (*folder)
            WriteBytes(ini, text);
        f.state.FailFlag = 0;
        f.core.MountPod();
        EXPECT_EQ(ReadBytes(ini), text);
        EXPECT_FALSE(fs::exists(ini.parent_path() / "pod.wrk"));
        EXPECT_EQ(f.Messages(), message);
        EXPECT_EQ(f.host.messages.at(0).caption, caption);
        EXPECT_EQ(f.state.FailFlag, failFlag);
    }
}

TEST(RewriteComment, WritesBytes4To83OnlyOrNothing) {
    const std::pair<std::string, std::string> rows[] = {
        {"0123456789", "0123456789" + std::string(70, '\0')},
        {std::string(100, 'c'), std::string(80, 'c')},
        {std::string(80, 'e'), std::string(80, 'e')}};
    const std::string bytes = PodBytes({{"A", "data"}}, "old");
    for (const auto& [typed, stored] : rows) {
        CoreFixture f;
        ASSERT_TRUE(f.Open("c.pod", bytes));
        ASSERT_TRUE(f.core.RewriteComment(typed).IsDone());
        std::string expected = bytes;
        expected.replace(4, 80, stored);
        EXPECT_EQ(ReadBytes(f.dir / "c.pod"), expected);
        EXPECT_EQ(f.state.PodComment, stored);
        EXPECT_EQ(f.core.StatusText(), stored.substr(0, stored.find('\0')));
    }

    CoreFixture f;
    ASSERT_TRUE(f.Open("c.pod", bytes));
    EXPECT_TRUE(f.core.RewriteComment("").IsDone());
    EXPECT_EQ(ReadBytes(f.dir / "c.pod"), bytes);

    WriteBytes(f.dir / "c.pod", "short");  // no longer an archive
    EXPECT_EQ(f.core.RewriteComment("new").status, Result::Status::Failed);
    EXPECT_EQ(ReadBytes(f.dir / "c.pod"), "short");

    fs::remove(f.dir / "c.pod");
    EXPECT_EQ(f.core.RewriteComment("new").status, Result::Status::Failed);
    EXPECT_FALSE(fs::exists(f.dir / "c.pod"));
    EXPECT_EQ(f.state.PodComment, "old" + std::string(77, '\0'));
    const std::string what = "Cannot write the comment into " + (f.dir / "c.pod").string();
    EXPECT_EQ(f.Messages(), what + "\n\nThe file is no longer a POD archive.\n--\n" + what +
                                "\n\nNo such file or directory");
}

}  // namespace
}  // namespace karvex::test
