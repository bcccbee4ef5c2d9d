#include "text_editor.h"

#include <QProcess>

namespace karvex::platform {

bool StartTextEditor(const QString& path) {
    QStringList command = QProcess::splitCommand(qEnvironmentVariable("VISUAL"));
    if (command.isEmpty())
        command = {"xdg-open"};
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command << path);
}

}  // namespace karvex::platform
