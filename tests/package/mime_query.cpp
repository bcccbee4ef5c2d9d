// SPDX-License-Identifier: GPL-3.0-or-later
// karvex_mime_query FILE...: prints each file's MIME type as Qt's database sees it (the way
// KDE's file managers and Qt's file dialogs see it), one per line. The package test asks it
// beside GIO, with XDG_DATA_DIRS naming a database of its own.
#include <QCoreApplication>
#include <QMimeDatabase>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const QMimeDatabase database;
    QTextStream out(stdout);
    for (const QString& file : application.arguments().mid(1))
        out << database.mimeTypeForFile(file).name() << '\n';
    return 0;
}
