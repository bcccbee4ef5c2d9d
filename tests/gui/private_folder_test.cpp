// SPDX-License-Identifier: GPL-3.0-or-later
// The private folder against another user of the machine: which temporary folder it goes
// into, which folders the start-up clean-up may remove, and a folder swapped for a link
// while the program runs.
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
    QTemporaryDir m_victim;  // the user's documents
    QString m_document;

    QString Planted(const char* name) const { return m_base.filePath(name); }
    bool DocumentsIntact() const {
        QFile file(m_document);
        return file.open(QIODevice::ReadOnly) && file.readAll() == "mine" &&
               QFile::exists(m_victim.filePath("inner/deep.txt"));
    }

  private slots:
    void initTestCase() {
        ::chmod(Native(m_base.path()), 0700);
        qputenv("tmp", Native(m_base.path()));
        QCOMPARE(PrivateFolder::TemporaryBase(), m_base.path());
    }
    void init() {
        m_document = m_victim.filePath("document.txt");
        WriteFile(m_document, "mine");
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
        QTest::newRow("the root") << "/" << 0 << false << false;
        QTest::newRow("the root, spelt otherwise") << "/tmp/../" << 0 << false << false;
        QTest::newRow("missing") << "missing" << 0 << false << false;
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
        ::chmod(Native(base), static_cast<mode_t>(mode ? mode : 0700));
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
    // start-up, through handles: a link inside it is unlinked, not followed.
    void removeStale_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("stranger");
        QTest::addColumn<bool>("lockFile");
        QTest::addColumn<bool>("locked");
        QTest::addColumn<bool>("removed");
        QTest::newRow("stale") << 0700 << false << true << false << true;
        QTest::newRow("held by a run elsewhere") << 0700 << false << true << true << false;
        QTest::newRow("no lock") << 0700 << false << false << false << false;
        QTest::newRow("not private") << 0755 << false << true << false << false;
        QTest::newRow("another user's") << 0700 << true << true << false << false;
    }
    void removeStale() {
        QFETCH(int, mode);
        QFETCH(bool, stranger);
        QFETCH(bool, lockFile);
        QFETCH(bool, locked);
        QFETCH(bool, removed);
        // The PID in the name is not running: it decides nothing.
        const QString planted = Planted("karvex32-999999999-Ab12Cd");
        QVERIFY(QDir().mkpath(planted + "/sub"));
        QVERIFY(QFile::link(m_victim.path(), planted + "/docs"));
        QVERIFY(QFile::link(m_victim.path(), planted + "/sub/docs"));
        QVERIFY(QFile::link(m_document, planted + "/sub/file"));
        for (int i = 0; i < 50; ++i)
            WriteFile(planted + QString("/sub/f%1").arg(i), "x");
        int lock = -1;
        if (lockFile) {
            lock = ::open(Native(planted + "/lock"), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
            QVERIFY(lock >= 0);
            if (locked)
                QCOMPARE(::flock(lock, LOCK_EX | LOCK_NB), 0);
        }
        ::chmod(Native(planted), static_cast<mode_t>(mode));
        if (stranger && ::chown(Native(planted), kStranger, kStranger) != 0)
            QSKIP("giving a folder to another user needs root");
        PrivateFolder::RemoveStale();
        if (lock >= 0)
            ::close(lock);
        QCOMPARE(QFileInfo::exists(planted), !removed);
        QVERIFY(DocumentsIntact());
        QDir(planted).removeRecursively();
    }

    // A link named as a private folder is never followed.
    void staleLinkIsNotFollowed() {
        QVERIFY(QFile::link(m_victim.path(), Planted("karvex32-999999999-Link01")));
        PrivateFolder::RemoveStale();
        QVERIFY(DocumentsIntact());
        QFile::remove(Planted("karvex32-999999999-Link01"));
    }

    // A live folder is locked: another run's clean-up leaves it, and its lock is not
    // handed to programs the run starts.
    void liveFolderIsLocked() {
        PrivateFolder folder;
        QString error;
        const int handle = folder.Handle(error);
        QVERIFY2(handle >= 0, qPrintable(error));
        QVERIFY(QFileInfo(folder.Path())
                    .fileName()
                    .startsWith(QString("karvex32-%1-").arg(::getpid())));
        struct stat st {};
        QCOMPARE(::stat(Native(folder.Path()), &st), 0);
        QCOMPARE(st.st_mode & 07777, 0700u);
        PrivateFolder::RemoveStale();
        QVERIFY(QFileInfo(folder.Path()).isDir());
    }

    // Someone renames the live folder away and puts a link to the user's documents in its
    // place: the next use makes a new folder, and nothing is written into or removed from
    // the documents, then or at exit.
    void swappedFolderIsNotTrusted() {
        QString moved, path;
        {
            PrivateFolder folder;
            QString error;
            const int first = folder.Handle(error);
            QVERIFY(first >= 0);
            path = folder.Path();
            moved = path + "-moved";
            QVERIFY(QDir().rename(path, moved));
            QVERIFY(QFile::link(m_victim.path(), path));
            bool renewed = false;
            QVERIFY(folder.Handle(error, &renewed) >= 0);
            QVERIFY(renewed);
            QVERIFY(folder.Path() != path);
            QString drag;
            const int sub = folder.MakeSubfolder("drag", drag, error);
            QVERIFY(sub >= 0);
            ::close(sub);
            QVERIFY(drag.startsWith(folder.Path() + "/drag-"));
        }
        QVERIFY(DocumentsIntact());
        QCOMPARE(QDir(m_victim.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(),
                 2);
        QDir(moved).removeRecursively();
        QFile::remove(path);
    }

    // Everything in the folder goes at exit, links unlinked and not followed.
    void exitRemovesThroughHandles() {
        QString path;
        {
            PrivateFolder folder;
            QString error;
            const int handle = folder.Handle(error);
            QVERIFY(handle >= 0);
            path = folder.Path();
            QVERIFY(QDir().mkpath(path + "/drag-a/sounds"));
            karvex::RemoveStaleTemporaries(handle);  // a writer's sweep reads the folder first
            QVERIFY(QFile::link(m_victim.path(), path + "/drag-a/sounds/link"));
            WriteFile(path + "/drag-a/sounds/horn.wav", "w");
        }
        QVERIFY(!QFileInfo::exists(path));
        QVERIFY(DocumentsIntact());
    }
};

QTEST_MAIN(PrivateFolderTest)
#include "private_folder_test.moc"
