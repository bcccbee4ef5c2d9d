// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "core/archive_session.h"
#include "core/host.h"

// What the fuzz targets share: a window that answers No and keeps nothing, scratch folders
// that each run starts fresh in, and a listing of a folder tree that shows whatever a run
// created, removed or changed.
namespace karvex::fuzz {

// Prints `what` and aborts, which libFuzzer reports as a crash with this input saved.
[[noreturn]] void Fail(const std::string& what);
#define KARVEX_FUZZ_CHECK(condition, what) \
    ((condition) ? void() : ::karvex::fuzz::Fail(std::string(#condition ": ") + (what)))

// Answers every question No, shows nothing, never cancels.
class QuietHost : public Host {
  public:
    void Yield() override {}
    void SetLamp(Lamp) override {}
    void SetTimerInterval(int) override {}
    void SetStatus(const std::string&) override {}
    bool AskYesNo(const std::string&, const std::string&) override { return false; }
    void ShowMessage(const std::string&, const std::string&, Icon) override {}
};

// The input opened as an archive: written as FUZZ.POD into a fresh run folder and opened as
// the Open command opens one, reporting to a QuietHost.
class OpenedInput {
  public:
    OpenedInput() = default;
    ~OpenedInput();  // the run's folder goes
    OpenedInput(const OpenedInput&) = delete;
    OpenedInput& operator=(const OpenedInput&) = delete;

    // False, with nothing opened, when the input's header announces more than `maxCount`
    // entries (the target would only spend its time on them).
    bool Open(std::string_view bytes, std::uint32_t maxCount);
    ArchiveSession& Archive() { return m_session; }

  private:
    QuietHost m_host;
    ArchiveSession m_session;
    std::filesystem::path m_run;
};

// The folders one process fuzzes in, made once under the system's temporary folder:
//   karvex-fuzz-XXXXXX/            Root(): everything a run may touch lies below it
//     up/                          Parent(): holds the runs' folders, and c.raw for a
//       run-XXXXXX/                response file to find one folder up
// Two levels above every run folder belong to us, so a name that climbs out of a run
// folder by one or two levels lands where Snapshot(Root()) sees it.
class Scratch {
  public:
    static Scratch& Get();
    const std::filesystem::path& Root() const { return m_root; }
    const std::filesystem::path& Parent() const { return m_parent; }
    // A new empty folder below Parent(), for one run.
    std::filesystem::path NewRun();
    // Removes a run's folder.
    void EndRun(const std::filesystem::path& run);

  private:
    Scratch();
    ~Scratch();
    std::filesystem::path m_root;
    std::filesystem::path m_parent;
};

// Every entry below `folder`, found by lstat (links are listed, never followed), by path
// relative to `folder`: its type, and for a regular file its size.
using Snapshot = std::map<std::string, std::string>;
Snapshot TakeSnapshot(const std::filesystem::path& folder);
// The entries that were added, removed or changed from `before` to `after`, one per line.
std::string Difference(const Snapshot& before, const Snapshot& after);

void WriteFile(const std::filesystem::path& path, std::string_view bytes);
std::string ReadFile(const std::filesystem::path& path);

// The input as text; libFuzzer hands over bytes.
inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace karvex::fuzz
