// SPDX-License-Identifier: GPL-3.0-or-later
// The private folder against another user of the machine: the temporary folder it goes into,
// which folders the start-up clean-up may remove, and a folder swapped for a link.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/replacing_file.h"
#include "platform/private_folder.h"

using karvex::platform::PrivateFolder;

namespace {

constexpr uid_t kStranger = 65534;  // nobody

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

class PrivateFolderTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_base;    // where the private folders go in these tests
    QTemporaryDir m_victim;  // the user's documents: document.txt and inner/deep.txt

    bool DocumentsIntact() const {
        QFile file(m_victim.filePath("document.txt"));
        return file.open(QIODevice::ReadOnly) && file.readAll() == "mine" &&
               QFile::exists(m_victim.filePath("inner/deep.txt")) &&
               QDir(m_victim.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size() == 2;
    }

  private slots:
    void initTestCase() {
        ::chmod(Native(m_base.path()), 0700);
        qputenv("tmp", Native(m_base.path()));
        QCOMPARE(PrivateFolder::TemporaryBase(), m_base.path());
    }
    void init() {
        WriteFile(m_victim.filePath("document.txt"), "mine");
        QVERIFY(QDir(m_victim.path()).mkpath("inner"));
        WriteFile(m_victim.filePath("inner/deep.txt"), "deep");
    }

    // The first folder of the user's or root's, no root, not open to others unless sticky.
    void temporaryBase() {
        const struct {
            const char* tmp;
            int mode;
            bool used;
        } rows[] = {{"base", 0700, true},     {"./base", 0700, true},
                    {"/", 0700, false},       {"/tmp/../", 0700, false},
                    {"missing", 0700, false}, {"base", 0777, false},
                    {"base", 0770, false},    {"base", 01777, true},
                    {"base", 0, false}};  // 0: another user's, last as it may skip
        for (const auto& row : rows) {
            QTemporaryDir work;
            const QString base = work.filePath("base");
            QVERIFY(QDir().mkpath(base));
            ::chmod(Native(base), static_cast<mode_t>(row.mode ? row.mode : 0700));
            if (!row.mode && ::chown(Native(base), kStranger, kStranger) != 0)
                QSKIP("giving a folder to another user needs root");
            const QString start = QDir::currentPath();
            QDir::setCurrent(work.path());
            const QByteArray saved = qgetenv("tmp");
            qputenv("tmp", row.tmp);
            qputenv("temp", "");
            qputenv("TMPDIR", "");
            QString error;
            const QString chosen = PrivateFolder::ResolveTemporaryBase(&error);
            qputenv("tmp", saved);
            QDir::setCurrent(start);
            QVERIFY2(row.used ? chosen == base
                              : chosen != base && chosen != "/" && !chosen.startsWith(work.path()),
                     qPrintable(row.tmp + (" " + chosen)));
            QVERIFY(chosen.isEmpty() || QDir::isAbsolutePath(chosen));
        }
    }

    // Only the user's own 0700 folder whose lock no run holds goes; links are never followed.
    void removeStale() {
        const struct {
            int mode;  // 0: the folder is a link to the documents; -1: another user's
            int lock;  // 0 none, 1 a lock file, 2 one a run holds
            bool removed;
        } rows[] = {{0700, 1, true},  {0700, 2, false}, {0700, 0, false},
                    {0755, 1, false}, {0, 0, false},    {-1, 1, false}};
        for (const auto& row : rows) {
            const QString planted = m_base.filePath("karvex32-999999999-Ab12Cd");
            if (row.mode == 0) {
                QVERIFY(QFile::link(m_victim.path(), planted));
            } else {
                QVERIFY(QDir().mkpath(planted + "/sub"));
                QVERIFY(QFile::link(m_victim.path(), planted + "/docs"));
                QVERIFY(QFile::link(m_victim.path(), planted + "/sub/docs"));
                QVERIFY(QFile::link(m_victim.filePath("document.txt"), planted + "/sub/file"));
                for (int i = 0; i < 50; ++i)
                    WriteFile(planted + QString("/sub/f%1").arg(i), "x");
            }
            const int handle =
                row.lock ? ::open(Native(planted + "/lock"), O_RDWR | O_CREAT | O_CLOEXEC, 0600)
                         : -1;
            QVERIFY(handle >= 0 || !row.lock);
            if (row.lock == 2)
                QCOMPARE(::flock(handle, LOCK_EX | LOCK_NB), 0);
            if (row.mode)
                ::chmod(Native(planted), static_cast<mode_t>(row.mode > 0 ? row.mode : 0700));
            if (row.mode < 0 && ::chown(Native(planted), kStranger, kStranger) != 0)
                QSKIP("giving a folder to another user needs root");
            PrivateFolder::RemoveStale();
            if (handle >= 0)
                ::close(handle);
            QCOMPARE(QFileInfo::exists(planted), !row.removed);
            QVERIFY(DocumentsIntact());
            if (!QFile::remove(planted))  // a link goes as a file, never through its target
                QDir(planted).removeRecursively();
        }
    }

    // A live folder is private and locked against another run's clean-up, and gone at exit.
    void liveFolderIsLockedAndRemovedAtExit() {
        QString path;
        {
            PrivateFolder folder;
            QString error;
            const int handle = folder.Handle(error);
            QVERIFY2(handle >= 0, qPrintable(error));
            path = folder.Path();
            QVERIFY(QFileInfo(path).fileName().startsWith(QString("karvex32-%1-").arg(::getpid())));
            struct stat st {};
            QCOMPARE(::stat(Native(path), &st), 0);
            QCOMPARE(st.st_mode & 07777, 0700u);
            PrivateFolder::RemoveStale();
            QVERIFY(QFileInfo(path).isDir());
            QVERIFY(QDir().mkpath(path + "/drag-a/sounds"));
            karvex::RemoveStaleTemporaries(handle);  // a writer's sweep reads the folder first
            QVERIFY(QFile::link(m_victim.path(), path + "/drag-a/sounds/link"));
            WriteFile(path + "/drag-a/sounds/horn.wav", "w");
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(DocumentsIntact());
    }

    // The live folder swapped for a link to the documents: the next use makes a new folder.
    void swappedFolderIsNotTrusted() {
        QString moved, path;
        {
            PrivateFolder folder;
            QString error, drag;
            QVERIFY(folder.Handle(error) >= 0);
            path = folder.Path();
            moved = path + "-moved";
            QVERIFY(QDir().rename(path, moved));
            QVERIFY(QFile::link(m_victim.path(), path));
            bool renewed = false;
            QVERIFY(folder.Handle(error, &renewed) >= 0);
            QVERIFY(renewed);
            QVERIFY(folder.Path() != path);
            const int sub = folder.MakeSubfolder("drag", drag, error);
            QVERIFY(sub >= 0);
            ::close(sub);
            QVERIFY(drag.startsWith(folder.Path() + "/drag-"));
        }
        QVERIFY(DocumentsIntact());
        QDir(moved).removeRecursively();
        QFile::remove(path);
    }
};

QTEST_MAIN(PrivateFolderTest)
#include "private_folder_test.moc"
