// SPDX-License-Identifier: GPL-3.0-or-later
// Handing a copy to the user's editor: the command lines tried, and the desktop's default
// application for plain text found in the MIME database and started with the copy as one
// argument of its own.
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "platform/text_editor.h"

using namespace karvex::platform;

class TextEditorTest : public QObject {
    Q_OBJECT

  private slots:
    void commands_data() {
        QTest::addColumn<QString>("exec");
        QTest::addColumn<bool>("terminal");
        QTest::addColumn<QString>("visual");
        QTest::addColumn<QString>("editor");
        QTest::addColumn<QString>("commands");  // one command a line, words joined by |
        const QString path = "/p/$(rm x) a.txt", term = "x-terminal-emulator|-e|";
        // clang-format off
        QTest::newRow("desktop application, %F") << "gedit --new-window %F" << false << "" << ""
                                                 << "gedit|--new-window|" + path;
        QTest::newRow("inside a word, %% kept") << "ed --file=%f 100%%" << false << "" << ""
                                                << "ed|--file=" + path + "|100%";
        QTest::newRow("a URI for %U, other codes go") << "kate %i %c %k %U" << false << "" << ""
                                                      << "kate|file:///p/$(rm%20x)%20a.txt";
        QTest::newRow("no file code: the path last") << "\"my editor\" -x" << false << "" << ""
                                                     << "my editor|-x|" + path;
        QTest::newRow("a shell of the line's own") << "sh -c \"edit %f\"" << false << "" << ""
                                                   << "sh|-c|edit '" + path + "'";
        QTest::newRow("in a terminal") << "vim %f" << true << "" << "" << term + "vim|" + path;
        QTest::newRow("then VISUAL") << "leafpad %f" << false << "nano -w" << "vi"
                                     << "leafpad|" + path + "\n" + term + "nano|-w|" + path;
        QTest::newRow("EDITOR without VISUAL") << "" << false << "" << "vi" << term + "vi|" + path;
        QTest::newRow("an Exec that cannot be read") << "ed \"unclosed" << false << "" << "" << "";
        QTest::newRow("nothing") << "" << false << " " << "" << "";
        // clang-format on
    }
    void commands() {
        QFETCH(QString, exec);
        QFETCH(bool, terminal);
        QFETCH(QString, visual);
        QFETCH(QString, editor);
        QFETCH(QString, commands);
        QStringList lines;
        for (const QStringList& command :
             EditorCommands({exec, terminal, visual, editor}, "/p/$(rm x) a.txt"))
            lines << command.join('|');
        QCOMPARE(lines.join('\n'), commands);
    }

    // The default application for text/plain, whatever the copy's name says, asks for a
    // terminal: it is started inside x-terminal-emulator, with the path as one argument.
    void startsTheDefaultApplication() {
        QTemporaryDir home;
        const auto write = [&](const QString& name, const QByteArray& text, bool program = false) {
            QFile file(home.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(text);
            file.close();
            if (program)
                file.setPermissions(QFile::ReadOwner | QFile::ExeOwner);
        };
        QVERIFY(QDir(home.path()).mkpath("applications") && QDir(home.path()).mkpath("bin"));
        write("applications/plain.desktop",
              "[Desktop Entry]\nType=Application\nName=Plain\nExec=plain-editor --edit %f\n"
              "Terminal=true\nMimeType=text/plain;\n");
        write(
            "applications/web.desktop",
            "[Desktop Entry]\nType=Application\nName=Web\nExec=browser %u\nMimeType=text/html;\n");
        write("mimeapps.list",
              "[Default Applications]\ntext/plain=plain.desktop\ntext/html=web.desktop\n");
        write("bin/plain-editor", "#!/bin/sh\n", true);
        write("bin/x-terminal-emulator",
              "#!/bin/sh\nf=\"" + QFile::encodeName(home.filePath("started")) +
                  "\"\nfor a in \"$@\"; do printf '%s|' \"$a\"; done > \"$f.new\" && mv \"$f.new\" "
                  "\"$f\"\n",
              true);
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path()));
        qputenv("XDG_DATA_HOME", QFile::encodeName(home.path()));
        qputenv("XDG_DATA_DIRS", QFile::encodeName(home.path()));
        qputenv("PATH", QFile::encodeName(home.filePath("bin")) + ":/usr/bin:/bin");
        const QString copy = home.filePath("a page; $(x).html");
        QString reason;
        QVERIFY2(StartTextEditor(copy, reason), qPrintable(reason));
        QFile started(home.filePath("started"));
        QTRY_VERIFY(started.exists() && started.size() > 0);
        QVERIFY(started.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(started.readAll()), "-e|plain-editor|--edit|" + copy + "|");
    }
};

QTEST_MAIN(TextEditorTest)
#include "text_editor_test.moc"
