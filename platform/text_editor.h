// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

namespace karvex::platform {

// What the desktop offers for editing a plain text.
struct EditorChoice {
    QString exec;           // the Exec line of the default application for text/plain; empty: none
    bool terminal = false;  // that application asks for a terminal (Terminal=true)
    QString visual;         // $VISUAL
    QString editor;         // $EDITOR
};

// The command lines to try in turn, program first: the default application, inside
// "x-terminal-emulator -e" when it asks for a terminal; else $VISUAL (or $EDITOR) inside
// "x-terminal-emulator -e". `path` is always one argument of its own, never seen by a
// shell: the Exec line's %f, %F, %u and %U become it (a file URI for %u and %U), and it is
// added at the end when the line has none. "Exec=gedit %U" with /tmp/a b.txt gives
// gedit file:///tmp/a%20b.txt.
QList<QStringList> EditorCommands(const EditorChoice& choice, const QString& path);

// The desktop's choice: the default application for text/plain from the MIME database,
// whatever the copy's own type, and the environment's editors.
EditorChoice DesktopEditorChoice();

// Starts the user's text editor on `path` without waiting for it. False when nothing can be
// started, with `reason` set to why.
bool StartTextEditor(const QString& path, QString& reason);

}  // namespace karvex::platform
