// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "core/archive_session.h"
#include "mainwindow/main_window.h"
#include "tests/core/fake_session.h"
#include "tests/core/test_support.h"

namespace karvex::test {

// A fresh temporary folder that is the process's current folder while it lives. When it
// goes, the previous current folder comes back and the folder is removed with everything
// in it.
class TestFolder {
  public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    // The folder as the system names it, links resolved.
    const QString& path() const { return m_path; }
    // `name` ("out/game.inf") inside the folder.
    QString filePath(const QString& name) const { return m_path + '/' + name; }
    // Makes it the current folder again, after a test has moved elsewhere.
    bool MakeCurrent() const;

    // An empty file for each name, with any folders on the way; false if one is missing.
    bool MakeFiles(const QStringList& names) const;
    bool MakeFolder(const QString& name) const;
    void Write(const QString& name, const std::string& bytes) const;
    std::string Read(const QString& name) const;

  private:
    std::filesystem::path Native(const QString& name) const;

    QString m_start;  // the current folder before this one
    TempDir m_dir;
    QString m_path;
};

// An archive the test writes as test.pod in a fresh folder, open in a session as the Open
// command opens it.
struct OpenedArchive {
    explicit OpenedArchive(const std::vector<PodEntry>& entries);
    // Records the first entry named `name` as a right-click on it would.
    void Record(const std::string& name);

    TestFolder folder;
    ArchiveSession session;
    bool loaded = false;
};

// The main window over an archive held in memory, in a fresh current folder. The window
// checks that the file it opens is there: an empty file of that name stands in for it.
struct FakeWindow {
    explicit FakeWindow(const std::vector<PodEntry>& entries = {});
    // Starts the window with `name` (in the folder) on its command line, "" for none, as
    // Form1::Startup; the calls it made are then forgotten.
    bool Start(const QString& name = "test.pod");
    // The session's calls so far, one line each, as 8-bit text.
    QString Calls() const;

    TestFolder folder;
    FakeSession session;
    Form1 window{session};
};

}  // namespace karvex::test
