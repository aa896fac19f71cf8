// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridfile.h"

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

bool put(const QString& path, const QByteArray& bytes, int mode = -1) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() &&
           (mode < 0 || ::chmod(QFile::encodeName(path).constData(), mode_t(mode)) == 0);
}

int modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// Every name in the folder, hidden ones included, and what each regular file holds.
QStringList entries(const QString& folder, bool withContents = false) {
    QStringList out;
    for (const QFileInfo& info : QDir(folder).entryInfoList(
             QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name))
        out << info.fileName() + (withContents && info.isFile()
                                      ? u"="_s + QString::fromUtf8(contents(info.filePath()))
                                      : QString());
    return out;
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
    void permissionsAreKeptOrMadePrivate_data() {
        QTest::addColumn<int>("before"); // -1: no file yet
        QTest::addColumn<int>("umask");
        QTest::addColumn<bool>("ownerOnly"); // a recovery copy: private, no backup
        QTest::addColumn<int>("after");
        QTest::newRow("0600 kept") << 0600 << 077 << false << 0600;
        QTest::newRow("0640 kept, whatever the umask") << 0640 << 077 << false << 0640;
        QTest::newRow("0604 kept") << 0604 << 077 << false << 0604;
        QTest::newRow("a new file has the umask's") << -1 << 027 << false << 0640;
        QTest::newRow("a private copy over a 0644 file") << 0644 << 022 << true << 0600;
        QTest::newRow("a new private copy") << -1 << 0 << true << 0600;
    }
    // A document keeps the permissions it had, and so does its backup (the old file
    // itself), save after save; a private file is 0600 whatever was there.
    void permissionsAreKeptOrMadePrivate() {
        QFETCH(int, before);
        QFETCH(int, umask);
        QFETCH(bool, ownerOnly);
        QFETCH(int, after);
        const mode_t was = ::umask(mode_t(umask));
        const auto restore = qScopeGuard([was] { ::umask(was); });
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s), bak = path + u".bak"_s;
        if (before >= 0)
            QVERIFY(put(path, "一", before));
        const auto save = [&](const QByteArray& bytes) {
            return ownerOnly ? GridFile::writeAtomically(path, bytes, GridFile::Backup::None,
                                                         GridFile::Access::OwnerOnly)
                             : GridFile::writeAtomically(path, bytes);
        };
        const bool backups = !ownerOnly;
        QVERIFY(save("二").ok());
        QCOMPARE(modeOf(path), after);
        QCOMPARE(modeOf(bak), backups && before >= 0 ? before : -1);
        QVERIFY(save("三").ok());
        QCOMPARE(modeOf(path), after);
        const QStringList left = {u"年度.dys=三"_s, u"年度.dys.bak=二"_s};
        QCOMPARE(entries(dir.path(), true), backups ? left : left.first(1));
        QCOMPARE(modeOf(bak), backups ? after : -1);
    }

    // What killed saves of the document left beside it goes with its next save; files
    // that only look alike, other documents' and what is not a regular file stay.
    void leftoversOfKilledSavesGoAndNothingElse() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QVERIFY(put(path, "old"));
        QStringList kept = {u".年度.dys.daylog-Ab12C"_s,     u".年度.dys.daylog-Ab12Cde"_s,
                            u".年度.dys.daylog-Ab_2Cd"_s,    u".年度.dys.daylog-Ab12Cd.x"_s,
                            u".他.dys.daylog-Ab12Cd"_s,      u"年度.dys.daylog-Ab12Cd"_s,
                            u".年度.dys.bak.daylog-Ab12Cd"_s};
        for (const QString& name :
             kept + QStringList{u".年度.dys.daylog-Ab12Cd"_s, u".年度.dys.daylog-000000"_s})
            QVERIFY(put(dir.filePath(name), "x"));
        QVERIFY(QDir(dir.path()).mkdir(u".年度.dys.daylog-Folder"_s));
        QVERIFY(QFile::link(path, dir.filePath(u".年度.dys.daylog-SymLnk"_s)));

        QVERIFY(GridFile::writeAtomically(path, "new").ok());
        kept << u".年度.dys.daylog-Folder"_s << u".年度.dys.daylog-SymLnk"_s << u"年度.dys"_s
             << u"年度.dys.bak"_s;
        kept.sort();
        QStringList found = entries(dir.path());
        found.sort();
        QCOMPARE(found, kept);
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
            const QString path = dir.filePath(u"年度.dys"_s), bak = path + u".bak"_s;
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
            QCOMPARE(
                entries(dir.path(), true),
                (QStringList{u"年度.dys=next"_s, u"年度.dys.bak="_s + QString::fromUtf8(doc)}));
        }
    }

    void aSaveThatCannotBeDoneSaysWhyAndChangesNothing_data() {
        QTest::addColumn<QString>("what"); // what is at the document's name
        QTest::addColumn<qint64>("room");  // -1: the disk has room
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("reason");
        const int noSpace = FileResult::NoSpace, failed = FileResult::WriteFailed;
        const QString file = u"file"_s;
        QTest::newRow("no room at all")
            << file << 0LL << ENOSPC << noSpace << u"空きがありません"_s;
        QTest::newRow("room for some of it")
            << file << 70000LL << ENOSPC << noSpace << u"空きがありません"_s;
        QTest::newRow("the quota reached")
            << file << 1000LL << EDQUOT << noSpace << u"使用量が上限に達して"_s;
        QTest::newRow("an I/O error") << file << 10LL << EIO << failed << u"入出力エラー"_s;
        QTest::newRow("a folder") << u"folder"_s << -1LL << 0 << failed << u"フォルダ"_s;
        // Not opened: the save would wait for a reader.
        QTest::newRow("a named pipe") << u"fifo"_s << -1LL << 0 << failed << u"名前付きパイプ"_s;
        QTest::newRow("a read-only file")
            << u"readonly"_s << -1LL << 0 << failed << u"書き込みが禁止"_s;
        QTest::newRow("a missing folder")
            << u"nofolder"_s << -1LL << 0 << failed << u"がありません"_s;
    }
    // The document, its backup and the folder stay as they were.
    void aSaveThatCannotBeDoneSaysWhyAndChangesNothing() {
        QFETCH(QString, what);
        QFETCH(qint64, room);
        QFETCH(int, error);
        QFETCH(int, code);
        QFETCH(QString, reason);
        if (what == u"readonly"_s && ::geteuid() == 0)
            QSKIP("root writes read-only files");
        QTemporaryDir dir;
        QString path = dir.filePath(u"年度.dys"_s);
        if (what == u"file"_s)
            QVERIFY(put(path, "old") && put(path + u".bak"_s, "older"));
        else if (what == u"folder"_s)
            QVERIFY(QDir(dir.path()).mkdir(u"年度.dys"_s));
        else if (what == u"fifo"_s)
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (what == u"readonly"_s)
            QVERIFY(put(path, "old", 0444));
        else
            path = dir.filePath(u"無い/年度.dys"_s);
        g_room = room;
        g_error = error;
        GridFile::setWriteHook(room >= 0 ? fillingWrite : nullptr);
        const auto restore = qScopeGuard([] { GridFile::setWriteHook(nullptr); });
        const QStringList before = entries(dir.path(), true);
        const FileResult r = GridFile::writeAtomically(path, QByteArray(200000, 'n'));
        QCOMPARE(int(r.code), code);
        QVERIFY2(r.reason().contains(reason), qPrintable(r.reason()));
        QVERIFY(r.saveMessage(path).contains(r.reason()));
        QCOMPARE(entries(dir.path(), true), before);
    }

    // A save through a symbolic link replaces its target and keeps the link; the
    // backup is the target's.
    void aLinkIsFollowed() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(u"real"_s));
        QVERIFY(put(dir.filePath(u"real/年度.dys"_s), "old"));
        const QString link = dir.filePath(u"link.dys"_s);
        QCOMPARE(::symlink("real/年度.dys", QFile::encodeName(link).constData()), 0);
        QVERIFY(GridFile::writeAtomically(link, "new").ok());
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(entries(dir.path()), (QStringList{u"link.dys"_s, u"real"_s}));
        QCOMPARE(entries(dir.filePath(u"real"_s), true),
                 (QStringList{u"年度.dys=new"_s, u"年度.dys.bak=old"_s}));
    }
};

QTEST_GUILESS_MAIN(TestGridFileIO)
#include "tst_gridfileio.moc"
