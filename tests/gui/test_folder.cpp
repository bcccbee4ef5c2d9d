// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/test_folder.h"

#include <QDir>
#include <QFileInfo>

namespace fs = std::filesystem;

namespace karvex::test {

TestFolder::TestFolder()
    : m_start(QDir::currentPath()), m_path(QString::fromStdString(m_dir.path().string())) {
    MakeCurrent();
}

// The body runs before the members go, so the process leaves the folder before it is
// removed.
TestFolder::~TestFolder() {
    QDir::setCurrent(m_start);
}

bool TestFolder::MakeCurrent() const {
    return QDir::setCurrent(m_path);
}

bool TestFolder::MakeFiles(const QStringList& names) const {
    bool made = true;
    for (const QString& name : names) {
        Write(name, {});
        made = made && QFileInfo(filePath(name)).isFile();
    }
    return made;
}

bool TestFolder::MakeFolder(const QString& name) const {
    return QDir(m_path).mkpath(name);
}

void TestFolder::Write(const QString& name, const std::string& bytes) const {
    WriteBytes(Native(name), bytes);
}

std::string TestFolder::Read(const QString& name) const {
    return ReadBytes(Native(name));
}

fs::path TestFolder::Native(const QString& name) const {
    return m_dir.path() / name.toStdString();
}

OpenedArchive::OpenedArchive(const std::vector<PodEntry>& entries) {
    folder.Write("test.pod", PodBytes(entries));
    StatusRow row;
    loaded =
        session.Open(QFile::encodeName(folder.filePath("test.pod")).toStdString(), row).IsDone();
}

void OpenedArchive::Record(const std::string& name) {
    ArchiveState& state = session.State();
    state.EntryIndex = session.Find(name, false);
    state.SelectedName = name;
    if (state.EntryIndex >= 0) {
        state.SelectedSize = static_cast<std::int32_t>(session.Table().SizeOf(state.EntryIndex));
        state.SelectedOffset =
            static_cast<std::int32_t>(session.Table().OffsetOf(state.EntryIndex));
    }
}

FakeWindow::FakeWindow(const std::vector<PodEntry>& entries) : session(entries) {
    window.show();
}

bool FakeWindow::Start(const QString& name) {
    if (!name.isEmpty())
        folder.Write(name, "");
    const bool started = window.Startup(name.isEmpty() ? QString() : folder.filePath(name));
    session.calls.clear();
    return started;
}

QString FakeWindow::Calls() const {
    QStringList lines;
    for (const std::string& call : session.calls)
        lines << QString::fromLatin1(call);
    return lines.join('\n');
}

}  // namespace karvex::test
