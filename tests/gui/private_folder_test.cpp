// SPDX-License-Identifier: GPL-3.0-or-later
// The private folder against another user of the machine: which temporary folder it goes
// into, which folders the start-up clean-up may remove, and a folder swapped for a link.
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

    // "tmp", "temp", TMPDIR, /tmp: the first that is a folder of the user's or root's,
    // neither a root nor open to others without the sticky bit, made absolute.
    void temporaryBase_data() {
        QTest::addColumn<QString>("tmp");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("stranger");
        QTest::addColumn<bool>("used");
        QTest::newRow("a private folder") << "base" << 0700 << false << true;
        QTest::newRow("relative, made absolute") << "./base" << 0700 << false << true;
        QTest::newRow("the root") << "/" << 0700 << false << false;
        QTest::newRow("the root, spelt otherwise") << "/tmp/../" << 0700 << false << false;
        QTest::newRow("missing") << "missing" << 0700 << false << false;
        QTest::newRow("open to all, no sticky bit") << "base" << 0777 << false << false;
        QTest::newRow("open to the group") << "base" << 0770 << false << false;
        QTest::newRow("open to all, sticky") << "base" << 01777 << false << true;
        QTest::newRow("another user's") << "base" << 0700 << true << false;
    }
    void temporaryBase() {
        QFETCH(QString, tmp);
        QFETCH(int, mode);
        QFETCH(bool, stranger);
        QFETCH(bool, used);
        QTemporaryDir work;
        const QString base = work.filePath("base");
        QVERIFY(QDir().mkpath(base));
        ::chmod(Native(base), static_cast<mode_t>(mode));
        if (stranger && ::chown(Native(base), kStranger, kStranger) != 0)
            QSKIP("giving a folder to another user needs root");
        const QString start = QDir::currentPath();
        QDir::setCurrent(work.path());
        const QByteArray saved = qgetenv("tmp");
        qputenv("tmp", Native(tmp));
        qputenv("temp", "");
        qputenv("TMPDIR", "");
        QString error;
        const QString chosen = PrivateFolder::ResolveTemporaryBase(&error);
        qputenv("tmp", saved);
        QDir::setCurrent(start);
        if (used)
            QCOMPARE(chosen, base);
        else
            QVERIFY2(chosen != base && chosen != "/" && !chosen.startsWith(work.path()),
                     qPrintable(chosen));
        QVERIFY(chosen.isEmpty() || QDir::isAbsolutePath(chosen));
    }

    // Only a folder of the user's own, mode 0700, whose lock no run holds, is removed at
    // start-up, through handles: a link inside it is unlinked, and a link named as a private
    // folder is never followed.
    void removeStale_data() {
        QTest::addColumn<int>("mode");  // 0: the folder is a link to the documents
        QTest::addColumn<bool>("stranger");
        QTest::addColumn<int>("lock");  // 0 none, 1 a lock file, 2 one a run holds
        QTest::addColumn<bool>("removed");
        QTest::newRow("stale") << 0700 << false << 1 << true;
        QTest::newRow("held by a run elsewhere") << 0700 << false << 2 << false;
        QTest::newRow("no lock") << 0700 << false << 0 << false;
        QTest::newRow("not private") << 0755 << false << 1 << false;
        QTest::newRow("a link") << 0 << false << 0 << false;
        QTest::newRow("another user's") << 0700 << true << 1 << false;  // last: it may skip
    }
    void removeStale() {
        QFETCH(int, mode);
        QFETCH(bool, stranger);
        QFETCH(int, lock);
        QFETCH(bool, removed);
        // The PID in the name is not running: it decides nothing.
        const QString planted = m_base.filePath("karvex32-999999999-Ab12Cd");
        if (mode == 0) {
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
            lock ? ::open(Native(planted + "/lock"), O_RDWR | O_CREAT | O_CLOEXEC, 0600) : -1;
        QVERIFY(handle >= 0 || !lock);
        if (lock == 2)
            QCOMPARE(::flock(handle, LOCK_EX | LOCK_NB), 0);
        if (mode)
            ::chmod(Native(planted), static_cast<mode_t>(mode));
        if (stranger && ::chown(Native(planted), kStranger, kStranger) != 0)
            QSKIP("giving a folder to another user needs root");
        PrivateFolder::RemoveStale();
        if (handle >= 0)
            ::close(handle);
        QCOMPARE(QFileInfo::exists(planted), !removed);
        QVERIFY(DocumentsIntact());
        if (!QFile::remove(planted))  // a link goes as a file, never through its target
            QDir(planted).removeRecursively();
    }

    // A live folder is private and locked: another run's clean-up leaves it, and its lock is
    // not handed to programs the run starts. Everything in it goes at exit, links unlinked.
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

    // Someone renames the live folder away and puts a link to the user's documents in its
    // place: the next use makes a new folder, and nothing is written into or removed from
    // the documents, then or at exit.
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
