#include "grid/gridfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cerrno>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(none)");
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

int modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Every name in the folder, hidden ones included.
QStringList entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A disk that fills up: the first `g_room` bytes are written, then every write fails
// with `g_error`.
qint64 g_room = 0;
int g_error = 0;
qint64 fillingWrite(int fd, const char* data, qint64 size) {
    if (g_room <= 0) {
        errno = g_error;
        return -1;
    }
    const qint64 n = ::write(fd, data, size_t(std::min(size, g_room)));
    if (n > 0)
        g_room -= n;
    return n;
}

// A save that stops (as if killed) before its `g_stopAt`-th call that changes the disk.
int g_stopAt = 0;
void stopAtCall(const char*) {
    static int calls = 0;
    if (++calls == g_stopAt)
        ::_exit(3);
}

} // namespace

class TestGridFileIO : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void replacedFileKeepsItsPermissions_data() {
        QTest::addColumn<int>("mode");
        QTest::newRow("0600") << 0600;
        QTest::newRow("0640") << 0640;
        QTest::newRow("0604") << 0604;
    }
    // The document keeps the permissions it had, and so does its backup (the old file
    // itself), save after save.
    void replacedFileKeepsItsPermissions() {
        QFETCH(int, mode);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QVERIFY(put(path, "一"));
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
        QVERIFY(GridFile::writeAtomically(path, "二").ok());
        QVERIFY(GridFile::writeAtomically(path, "三").ok());
        QCOMPARE(contents(path), QByteArray("三"));
        QCOMPARE(contents(path + u".bak"_s), QByteArray("二"));
        QCOMPARE(modeOf(path), mode);
        QCOMPARE(modeOf(path + u".bak"_s), mode);
    }

    // A new file has the permissions the umask gives; a private one (the recovery
    // copies) is 0600 whatever the file there had.
    void newAndPrivateFilesPermissions() {
        QTemporaryDir dir;
        const mode_t was = ::umask(027);
        const auto restore = qScopeGuard([was] { ::umask(was); });
        const QString path = dir.filePath(u"new.dys"_s);
        QVERIFY(GridFile::writeAtomically(path, "a").ok());
        QCOMPARE(modeOf(path), 0640);
        QVERIFY(!QFile::exists(path + u".bak"_s));

        const QString copy = dir.filePath(u"copy.dys"_s);
        QVERIFY(put(copy, "old"));
        QVERIFY(::chmod(QFile::encodeName(copy).constData(), 0644) == 0);
        QVERIFY(GridFile::writeAtomically(copy, "new", GridFile::Backup::None,
                                          GridFile::Access::OwnerOnly)
                    .ok());
        QCOMPARE(modeOf(copy), 0600);
        QCOMPARE(entries(dir.path()), (QStringList{u"copy.dys"_s, u"new.dys"_s}));
    }

    // What killed saves of the document left beside it goes with its next save; files
    // that only look alike, other documents' and what is not a regular file stay.
    void leftoversOfKilledSavesGoAndNothingElse() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QVERIFY(put(path, "old"));
        const QStringList ours = {u".年度.dys.daylog-Ab12Cd"_s, u".年度.dys.daylog-000000"_s};
        const QStringList kept = {u".年度.dys.daylog-Ab12C"_s,     u".年度.dys.daylog-Ab12Cde"_s,
                                  u".年度.dys.daylog-Ab_2Cd"_s,    u".年度.dys.daylog-Ab12Cd.x"_s,
                                  u".他.dys.daylog-Ab12Cd"_s,      u"年度.dys.daylog-Ab12Cd"_s,
                                  u".年度.dys.bak.daylog-Ab12Cd"_s};
        for (const QString& name : ours + kept)
            QVERIFY(put(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir(u".年度.dys.daylog-Folder"_s));
        QVERIFY(QFile::link(path, dir.filePath(u".年度.dys.daylog-SymLnk"_s)));

        QVERIFY(GridFile::writeAtomically(path, "new").ok());
        QStringList expected = kept;
        expected << u".年度.dys.daylog-Folder"_s << u".年度.dys.daylog-SymLnk"_s << u"年度.dys"_s
                 << u"年度.dys.bak"_s;
        expected.sort();
        QStringList found = entries(dir.path());
        found.sort();
        QCOMPARE(found, expected);
        QCOMPARE(contents(path), QByteArray("new"));
    }

    // A save stopped before any of its calls that change the disk (killed there, or
    // the power cut after them) leaves the document whole, old or new, and its backup
    // whole, the older or the old, and never the new document with the older backup.
    // The next save leaves nothing of it behind.
    void aSaveStoppedAnywhereLeavesWholeFiles() {
        for (int stop = 1;; ++stop) {
            QVERIFY2(stop < 100, "the save never ends");
            QTemporaryDir dir;
            const QString path = dir.filePath(u"年度.dys"_s);
            const QString bak = path + u".bak"_s;
            QVERIFY(put(path, "old") && put(bak, "older"));
            QVERIFY(put(dir.filePath(u".年度.dys.daylog-Left01"_s), "left by a killed save"));
            const pid_t child = ::fork();
            if (child == 0) {
                g_stopAt = stop;
                GridFile::setCallHook(stopAtCall);
                ::_exit(GridFile::writeAtomically(path, "new").ok() ? 0 : 1);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) != 1);
            const QByteArray doc = contents(path), old = contents(bak);
            const QByteArray state =
                "stopped before call " + QByteArray::number(stop) + ": " + doc + " / " + old;
            QVERIFY2((doc == "old" && (old == "older" || old == "old")) ||
                         (doc == "new" && old == "old"),
                     state.constData());
            if (WEXITSTATUS(status) == 0) {
                QCOMPARE(doc, QByteArray("new"));
                QVERIFY2(stop > 8, "a save makes more calls than that");
                return;
            }
            QVERIFY(GridFile::writeAtomically(path, "next").ok());
            QCOMPARE(entries(dir.path()), (QStringList{u"年度.dys"_s, u"年度.dys.bak"_s}));
            QCOMPARE(contents(bak), doc);
        }
    }

    void aFullDiskChangesNothing_data() {
        QTest::addColumn<qint64>("room");
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        const int noSpace = FileResult::NoSpace;
        QTest::newRow("no room at all") << 0LL << ENOSPC << noSpace << u"空きがありません"_s;
        QTest::newRow("room for some of it")
            << 70000LL << ENOSPC << noSpace << u"空きがありません"_s;
        QTest::newRow("the quota reached")
            << 1000LL << EDQUOT << noSpace << u"使用量が上限に達して"_s;
        QTest::newRow("an I/O error")
            << 10LL << EIO << int(FileResult::WriteFailed) << u"入出力エラー"_s;
    }
    // A save that cannot be written says why, and leaves the document, its backup and
    // the folder as they were.
    void aFullDiskChangesNothing() {
        QFETCH(qint64, room);
        QFETCH(int, error);
        QFETCH(int, code);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QVERIFY(put(path, "old"));
        QVERIFY(put(path + u".bak"_s, "older"));
        g_room = room;
        g_error = error;
        GridFile::setWriteHook(fillingWrite);
        const auto restore = qScopeGuard([] { GridFile::setWriteHook(nullptr); });
        const FileResult r = GridFile::writeAtomically(path, QByteArray(200000, 'n'));
        QCOMPARE(int(r.code), code);
        QVERIFY2(r.reason().contains(reason), qPrintable(r.reason()));
        QVERIFY(r.saveMessage(path).contains(r.reason()));
        QCOMPARE(contents(path), QByteArray("old"));
        QCOMPARE(contents(path + u".bak"_s), QByteArray("older"));
        QCOMPARE(entries(dir.path()), (QStringList{u"年度.dys"_s, u"年度.dys.bak"_s}));
    }

    // A save through a symbolic link replaces its target and keeps the link; the
    // backup is the target's.
    void aLinkIsFollowed() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"real"_s));
        const QString real = dir.filePath(u"real/年度.dys"_s);
        QVERIFY(put(real, "old"));
        const QString link = dir.filePath(u"link.dys"_s);
        QCOMPARE(::symlink("real/年度.dys", QFile::encodeName(link).constData()), 0);
        QVERIFY(GridFile::writeAtomically(link, "new").ok());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(contents(real), QByteArray("new"));
        QCOMPARE(contents(real + u".bak"_s), QByteArray("old"));
        QCOMPARE(entries(dir.path()), (QStringList{u"link.dys"_s, u"real"_s}));
    }

    // A folder, a named pipe or a file the user may not write is not replaced; the pipe
    // is not opened (the save would wait for a reader).
    void whatIsNotAWritableFileIsNotReplaced_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("folder") << u"folder"_s << u"フォルダ"_s;
        QTest::newRow("named pipe") << u"fifo"_s << u"名前付きパイプ"_s;
        QTest::newRow("read-only file") << u"readonly"_s << u"書き込みが禁止"_s;
        QTest::newRow("missing folder") << u"nofolder"_s << u"がありません"_s;
    }
    void whatIsNotAWritableFileIsNotReplaced() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        if (kind == u"readonly"_s && ::geteuid() == 0)
            QSKIP("root writes read-only files");
        QTemporaryDir dir;
        QString path = dir.filePath(u"年度.dys"_s);
        if (kind == u"folder"_s)
            QVERIFY(QDir(dir.path()).mkdir(u"年度.dys"_s));
        else if (kind == u"fifo"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == u"readonly"_s)
            QVERIFY(put(path, "old") && ::chmod(QFile::encodeName(path).constData(), 0444) == 0);
        else
            path = dir.filePath(u"無い/年度.dys"_s);
        const QStringList before = entries(dir.path());
        const FileResult r = GridFile::writeAtomically(path, "new");
        QCOMPARE(r.code, FileResult::WriteFailed);
        QVERIFY2(r.reason().contains(reason), qPrintable(r.reason()));
        QCOMPARE(entries(dir.path()), before);
    }
};

QTEST_GUILESS_MAIN(TestGridFileIO)
#include "tst_gridfileio.moc"
