// SPDX-License-Identifier: GPL-3.0-or-later
// GLib's headers name a struct member "signals", which Qt's keyword macro would rewrite.
#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

#include "platform/text_editor.h"

#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace karvex::platform {

namespace {

const char* const kTerminal = "x-terminal-emulator";

// An Exec line's words with its field codes expanded: the first file code (%f, %F, %u, %U)
// becomes `path`, the other codes go, and "%%" is a "%". The path goes into the line quoted,
// before the line is split, so that it stays one word, and stays quoted for a shell that
// the line itself starts (sh -c "edit %f"). Empty when the line cannot be read.
QStringList ExpandExec(const QString& exec, const QString& path) {
    QString line;
    bool named = false;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] != '%' || i + 1 == exec.size()) {
            line += exec[i];
        } else if (const QChar code = exec[++i]; code == '%') {
            line += '%';
        } else if (QString("fFuU").contains(code) && !named) {
            named = true;
            const QString value = code.toLower() == 'u'
                                      ? QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)
                                      : path;
            gchar* quoted = g_shell_quote(value.toUtf8().constData());
            line += QString::fromUtf8(quoted);
            g_free(quoted);
        }
    }
    gchar** words = nullptr;
    if (line.trimmed().isEmpty() ||
        !g_shell_parse_argv(line.toUtf8().constData(), nullptr, &words, nullptr))
        return {};
    QStringList command;
    for (gchar** word = words; *word; ++word)
        command << QString::fromUtf8(*word);
    g_strfreev(words);
    if (!named)
        command << path;
    return command;
}

}  // namespace

QList<QStringList> EditorCommands(const EditorChoice& choice, const QString& path) {
    QList<QStringList> commands;
    const QStringList application = ExpandExec(choice.exec, path);
    if (!application.isEmpty())
        commands << (choice.terminal ? QStringList{kTerminal, "-e"} + application : application);
    const QString& own = choice.visual.trimmed().isEmpty() ? choice.editor : choice.visual;
    const QStringList editor = QProcess::splitCommand(own);
    if (!editor.isEmpty())
        commands << QStringList{kTerminal, "-e"} + editor + QStringList{path};
    return commands;
}

EditorChoice DesktopEditorChoice() {
    EditorChoice choice;
    choice.visual = qEnvironmentVariable("VISUAL");
    choice.editor = qEnvironmentVariable("EDITOR");
    GAppInfo* application = g_app_info_get_default_for_type("text/plain", FALSE);
    if (application == nullptr)
        return choice;
    if (G_IS_DESKTOP_APP_INFO(application)) {
        GDesktopAppInfo* desktop = G_DESKTOP_APP_INFO(application);
        gchar* exec = g_desktop_app_info_get_string(desktop, "Exec");
        choice.exec = QString::fromUtf8(exec);
        g_free(exec);
        choice.terminal = g_desktop_app_info_get_boolean(desktop, "Terminal");
    } else if (const char* line = g_app_info_get_commandline(application)) {
        choice.exec = QString::fromUtf8(line);
    }
    g_object_unref(application);
    return choice;
}

bool StartTextEditor(const QString& path, QString& reason) {
    reason = "No application for plain text is set, and neither VISUAL nor EDITOR names an editor.";
    for (const QStringList& command : EditorCommands(DesktopEditorChoice(), path)) {
        // A terminal starts whatever it is given, and cannot say that the editor is missing.
        const QString& editor = command.first() == kTerminal ? command.at(2) : command.first();
        if (QStandardPaths::findExecutable(editor).isEmpty()) {
            reason = editor + ": no such program";
            continue;
        }
        QProcess process;
        process.setProgram(command.first());
        process.setArguments(command.mid(1));
        process.setStandardInputFile(QProcess::nullDevice());
        if (process.startDetached())
            return true;
        reason = command.first() + ": " + process.errorString();
    }
    return false;
}

}  // namespace karvex::platform
