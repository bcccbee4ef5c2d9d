// SPDX-License-Identifier: GPL-3.0-or-later
// karvex32: the desktop program. An archive or response file may be named on the command
// line; it is opened at start-up.
#include <QApplication>

#include <cstdio>
#include <cstdlib>

#include "core/archive_session.h"
#include "mainwindow/artwork.h"
#include "mainwindow/main_window.h"
#include "platform/private_folder.h"
#include "platform/program_font.h"

int main(int argc, char** argv) {
    int status = 0;
    {
        QApplication app(argc, argv);
        QApplication::setStyle("Fusion");
        QApplication::setFont(karvex::platform::ProgramFont());
        QApplication::setWindowIcon(karvex::ProgramIcon());  // every window's

        // The whole command line is one path, which may hold blanks.
        QStringList arguments = QApplication::arguments();
        arguments.removeFirst();

        karvex::platform::PrivateFolder::RemoveStale();  // left by runs that were killed
        karvex::ArchiveSession session;
        karvex::Form1 window(session);
        window.show();
        // Start-up may end the program: a named file that is missing, or Exit during the load.
        if (window.Startup(arguments.join(' ')) && window.isVisible())
            status = QApplication::exec();
    }
    // The window, its private folder and the application are gone. Qt Multimedia's PulseAudio
    // engine, a static, disconnects from the sound server at exit without taking its own
    // thread's lock, so that a server event arriving then (after a sound was played) aborts the
    // program: the statics' destructors are skipped.
    std::fflush(nullptr);
    std::quick_exit(status);
}
