// SPDX-License-Identifier: GPL-3.0-or-later
// Handing a copy to the user's editor: the command lines tried, and the desktop's default
// application for plain text started with the copy as one argument of its own.
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include "platform/text_editor.h"

using namespace karvex::platform;

class TextEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void commands() {
        const QString p = "/p/$(rm x) a.txt", term = "x-terminal-emulator|-e|", o;
        using E = EditorChoice;
        // The choice, then the commands tried: one a line, words joined by |.
        // clang-format off
        const std::pair<EditorChoice, QString> rows[] = {
            {E{"gedit --new-window %F", false, o, o}, "gedit|--new-window|" + p},
            {E{"ed -f=%f 100%%", false, o, o}, "ed|-f=" + p + "|100%"},  // %f in a word, %%
            {E{"kate %i %c %k %U", false, o, o}, "kate|file:///p/$(rm%20x)%20a.txt"},  // %U a URI
            {E{"\"my ed\" -x", false, o, o}, "my ed|-x|" + p},  // the path last
            {E{"sh -c \"ed %f\"", false, o, o}, "sh|-c|ed '" + p + "'"},  // its own shell
            {E{"vim %f", true, o, o}, term + "vim|" + p},  // in a terminal
            {E{"leafpad %f", false, "nano -w", "vi"},  // then VISUAL
             "leafpad|" + p + "\n" + term + "nano|-w|" + p},
            {E{"", false, "", "vi"}, term + "vi|" + p},  // EDITOR without VISUAL
            {E{"ed \"unclosed", false, o, o}, ""},  // an Exec that cannot be read
            {E{"", false, " ", o}, ""}};  // nothing
        // clang-format on
        for (const auto& [choice, commands] : rows) {
            QStringList lines;
            for (const QStringList& command : EditorCommands(choice, "/p/$(rm x) a.txt"))
                lines << command.join('|');
            QCOMPARE(lines.join('\n'), commands);
        }
    }

    // The default for text/plain, whatever the copy's name, asks for a terminal and gets one.
    void startsTheDefaultApplication() {
        QTemporaryDir home;
        const auto write = [&](const QString& name, const QByteArray& text) {
            QFile file(home.filePath(name));
            QVERIFY(QDir(home.path()).mkpath(QFileInfo(name).path()) &&
                    file.open(QIODevice::WriteOnly) && file.write(text) == text.size());
            if (name.startsWith("bin/"))
                file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        };
        write("applications/plain.desktop",
              "[Desktop Entry]\nType=Application\nName=Plain\nExec=plain-editor --edit %f\n"
              "Terminal=true\nMimeType=text/plain;\n");
        write(
            "applications/web.desktop",
            "[Desktop Entry]\nType=Application\nName=Web\nExec=browser %u\nMimeType=text/html;\n");
        write("mimeapps.list",
              "[Default Applications]\ntext/plain=plain.desktop\ntext/html=web.desktop\n");
        write("bin/plain-editor", "#!/bin/sh\n");
        const QByteArray out = QFile::encodeName(home.filePath("started"));
        write("bin/x-terminal-emulator",
              "#!/bin/sh\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > \"" + out +
                  ".new\"\nmv \"" + out + ".new\" \"" + out + "\"\n");
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(name, QFile::encodeName(home.path()));
        qputenv("PATH", QFile::encodeName(home.filePath("bin")) + ":/usr/bin:/bin");
        const QString copy = home.filePath("a page; $(x).html");
        QString reason;
        QVERIFY2(StartTextEditor(copy, reason), qPrintable(reason));
        QFile file(QFile::decodeName(out));
        QTRY_VERIFY(file.exists() && file.size() > 0);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), "-e|plain-editor|--edit|" + copy + "|");
    }
};

QTEST_MAIN(TextEditorTest)
#include "text_editor_test.moc"
