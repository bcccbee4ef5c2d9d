// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/gui/test_folder.h"

#include <QFileInfo>

namespace karvex::test {

TestFolder::TestFolder()
    : m_start(QDir::currentPath()), m_path(QString::fromStdString(m_dir.path().string())) {
    MakeCurrent();
}

bool TestFolder::MakeFiles(const QStringList& names) const {
    bool made = true;
    for (const QString& name : names) {
        Write(name, {});
        made = made && QFileInfo(filePath(name)).isFile();
    }
    return made;
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
