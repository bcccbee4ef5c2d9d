// karvex32: the desktop program. An archive or response file may be named on the command
// line; it is opened at start-up.
#include <QApplication>
#include <QFont>
#include <QFontDatabase>

#include "archive_state.h"
#include "main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setStyle("Fusion");
    // Tahoma where it is installed, otherwise the desktop's sans font, at 8.25 points.
    QFont font = QFontDatabase::families().contains("Tahoma")
                     ? QFont("Tahoma")
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(8.25);
    QApplication::setFont(font);

    // The whole command line is one path, which may hold blanks.
    QStringList arguments = QApplication::arguments();
    arguments.removeFirst();

    karvex::ArchiveState state;
    karvex::Form1 window(state);
    window.show();
    if (!window.Startup(arguments.join(' ')))
        return 0;
    return QApplication::exec();
}
