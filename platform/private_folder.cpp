#include "private_folder.h"

#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>

namespace karvex::platform {

namespace {

const char* const kPrefix = "karvex32-";

// "tmp", then "temp", then the system's temporary folder; a root is never used.
QString TemporaryBase() {
    for (const char* name : {"tmp", "temp"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty() && !QDir(value).isRoot() && QFileInfo(value).isDir())
            return value;
    }
    return QDir::tempPath();
}

}  // namespace

PrivateFolder::~PrivateFolder() {
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
}

QString PrivateFolder::Path() {
    if (!m_path.isEmpty() && QFileInfo(m_path).isDir())
        return m_path;
    QByteArray pattern =
        QDir(TemporaryBase()).filePath(kPrefix + QString::number(::getpid()) + "-XXXXXX").toLocal8Bit();
    if (::mkdtemp(pattern.data()) == nullptr)
        return {};
    m_path = QString::fromLocal8Bit(pattern);
    return m_path;
}

void PrivateFolder::RemoveStale() {
    static const QRegularExpression name(QString("^") + kPrefix + "(\\d+)-[A-Za-z0-9]{6}$");
    const QDir base(TemporaryBase());
    for (const QString& entry : base.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks)) {
        const QRegularExpressionMatch match = name.match(entry);
        if (!match.hasMatch())
            continue;
        const pid_t owner = static_cast<pid_t>(match.captured(1).toLongLong());
        if (owner != ::getpid() && ::kill(owner, 0) != 0 && errno == ESRCH)
            QDir(base.filePath(entry)).removeRecursively();
    }
}

}  // namespace karvex::platform
