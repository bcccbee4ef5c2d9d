// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QStringList>
#include <string>

#include "core/archive_session.h"
#include "mainwindow/main_window.h"
#include "tests/core/fake_session.h"
#include "tests/core/test_support.h"

namespace karvex::test {

// A fresh temporary folder, the current folder while it lives; removed with all in it after.
class TestFolder {
  public:
    TestFolder();
    ~TestFolder() { QDir::setCurrent(m_start); }  // before the members remove the folder
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const QString& path() const { return m_path; }  // links resolved
    QString filePath(const QString& name) const { return m_path + '/' + name; }
    bool MakeCurrent() const { return QDir::setCurrent(m_path); }

    // An empty file for each name, with any folders on the way; false if one is missing.
    bool MakeFiles(const QStringList& names) const;
    bool MakeFolder(const QString& name) const { return QDir(m_path).mkpath(name); }
    void Write(const QString& name, const std::string& bytes) const {
        WriteBytes(Native(name), bytes);
    }
    std::string Read(const QString& name) const { return ReadBytes(Native(name)); }

  private:
    std::filesystem::path Native(const QString& name) const {
        return m_dir.path() / name.toStdString();
    }

    QString m_start;
    TempDir m_dir;
    QString m_path;
};

// The main window over an archive in memory, in a fresh current folder.
struct FakeWindow {
    explicit FakeWindow(const std::vector<PodEntry>& entries = {});
    // Starts the window on an empty file `name` ("" for none), then forgets the calls made.
    bool Start(const QString& name = "test.pod");
    QString Calls() const;  // the session's calls so far, one a line

    TestFolder folder;
    FakeSession session;
    Form1 window{session};
};

}  // namespace karvex::test
