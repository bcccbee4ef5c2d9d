// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/archive_session.h"
#include "core/archive_state.h"
#include "core/entry_table.h"
#include "core/host.h"
#include "core/pod_core.h"

namespace karvex::test {

// A fresh folder for one test, removed afterwards.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

  private:
    std::filesystem::path m_path;
};

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);
std::size_t FilesIn(const std::filesystem::path& folder);
// `size` zero bytes with each text written at its offset (what runs past `size` is cut).
// A palette whose colour n is (n, 255 - n, n / 2).
std::string RampPalette();
std::string Laid(std::size_t size, const std::vector<std::pair<std::size_t, std::string>>& at);

// An archive laid out independently of the builder; `count` overrides the header's if >= 0.
struct PodEntry {
    std::string name;
    std::string data;
};
std::string PodBytes(const std::vector<PodEntry>& entries, const std::string& comment = "",
                     int count = -1);
std::string Record(const std::string& name, int size, int offset);

// A host that answers questions from a script and keeps what was shown.
struct Message {
    std::string text, caption;
    Icon icon;
};
class RecordingHost : public Host {
  public:
    void Yield() override {
        ++yields;
        onYield();
    }
    bool CancelRequested() override {
        return cancelAfterYields >= 0 && yields >= cancelAfterYields;
    }
    void SetLamp(Lamp lamp) override { lamps.push_back(lamp); }
    void SetTimerInterval(int ms) override { timer = ms; }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetListsShown(bool shown) override { lists += shown ? "shown " : "hidden "; }
    void SetCurrentFolder(const std::string& folder) override { currentFolder = folder; }
    bool AskYesNo(const std::string& text, const std::string& caption) override {
        questions.push_back({text, caption, Icon::Question});
        return questions.size() <= answers.size() && answers[questions.size() - 1];
    }
    void ShowMessage(const std::string& text, const std::string& caption, Icon icon) override {
        messages.push_back({text, caption, icon});
    }

    long yields = 0;
    std::function<void()> onYield = [] {};  // runs at every yield, as a click would
    long cancelAfterYields = -1;
    int timer = 100;
    std::vector<Lamp> lamps;
    std::vector<std::string> statuses;
    std::string lists;  // "hidden " and "shown ", in order
    std::string currentFolder;
    std::vector<Message> messages;
    std::vector<Message> questions;
    std::vector<bool> answers;  // answered in order; No once they run out
};

// The core with its state, table and recording host, over one temporary folder.
struct CoreFixture {
    CoreFixture();
    // Opens `file` (".pod" or ".lst") in the folder; with `bytes`, writes it there first.
    bool Open(const std::string& file);
    bool Open(const std::string& file, const std::string& bytes);
    // status line | size | files | lamp | Make, Extract, Edit enabled | FailFlag
    std::string Screen() const;
    std::string Listing() const;   // one "name|size|offset" line per entry
    std::string Messages() const;  // the texts shown, joined by "\n--\n"

    TempDir dir;
    RecordingHost host;
    ArchiveSession session;
    ArchiveState& state = session.State();
    EntryTable& table = session.Table();
    PodCore& core = session.Core();
    StatusRow row;
};

}  // namespace karvex::test
