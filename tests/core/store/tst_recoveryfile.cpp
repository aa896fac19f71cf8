// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/store/recovery.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {
bool readYear(AppState& app, const QString& path) {
    YearStore year;
    if (!DocFiles::readDocument(path, year).ok())
        return false;
    app.doc().replace(year);
    return true;
}
} // namespace

namespace {

int modeOf(const QString& path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// A new document of 2005 and recovery copies in a folder of the test's own.
struct Env {
    Env() {
        Recovery::setFolder(folder.filePath(u"DayLog/recovery"_s));
        app.doc().setPath(u"nikki0"_s);
        setCurrentDateToToday(app, 2005);
        Store_New(app, 2005);
    }
    ~Env() { Recovery::setFolder(QString()); }
    QTemporaryDir folder;
    AppState app;
};

} // namespace

class TestRecoveryFile : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachDocumentHasItsOwnCopyInTheFolder() {
        Env env;
        const QString a = Recovery::copyPath(u"/home/a/2005年度.dys"_s);
        const QString b = Recovery::copyPath(u"/home/b/2005年度.dys"_s);
        QVERIFY(a != b);
        QVERIFY(a.startsWith(Recovery::folder()));
        QVERIFY(QFileInfo(a).fileName().startsWith(u"2005年度-"_s));
        // Untitled documents have a copy each.
        QVERIFY(Recovery::copyPath(u"nikki0"_s) != Recovery::copyPath(u"nikki3"_s));
        QCOMPARE(QFileInfo(Recovery::copyPath(u"nikki3"_s)).fileName(), u"untitled-3.dys"_s);
        // The same document reached by another spelling of its path.
        QCOMPARE(Recovery::copyPath(u"/home/a/../a/2005年度.dys"_s), a);
    }

    // A copy is a whole document, written without a backup beside it, readable by the
    // user only, and read back like one.
    void theCopyIsADocumentOfTheWholeYear() {
        Env env;
        env.app.store().set(40, StoreCol::Record, u"遠足\n雨天延期"_s);
        env.app.store().set(40, StoreCol::RecordFore, qint64(255));
        const QString path = Recovery::copyPath(u"nikki0"_s);
        const mode_t was = ::umask(022);
        QVERIFY(Recovery::write(env.app.store(), path).ok()); // the folders are made
        ::umask(was);
        env.app.store().set(40, StoreCol::Record, u"二度目"_s);
        QVERIFY(Recovery::write(env.app.store(), path).ok());
        QVERIFY(!QFile::exists(path + u".bak"_s));
        QCOMPARE(QDir(Recovery::folder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u"untitled.dys"_s});
        QCOMPARE(modeOf(path), 0600);
        QCOMPARE(modeOf(Recovery::folder()), 0700);
        QCOMPARE(modeOf(env.folder.filePath(u"DayLog"_s)), 0700);
        QFile copy(path);
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.readAll(), DocFiles::documentImage(env.app.store(), 20));

        AppState back;
        QVERIFY(readYear(back, path));
        QCOMPARE(back.baseYear(), 2005);
        QCOMPARE(back.store().text(40, StoreCol::Record), u"二度目"_s);
        QCOMPARE(back.store().number(40, StoreCol::RecordFore), 255);
    }

    void aCopyIsOfferedOnlyWhenNewerThanTheDocument() {
        Env env;
        QTemporaryDir docs;
        const QString doc = docs.filePath(u"年間.dys"_s);
        QVERIFY(!Recovery::hasNewerCopy(doc)); // no copy
        QVERIFY(Recovery::write(env.app.store(), Recovery::copyPath(doc)).ok());
        QVERIFY(Recovery::hasNewerCopy(doc)); // the document is not on disk

        env.app.doc().setPath(doc);
        QVERIFY(DocFiles::writeDocument(env.app.store(), 20, env.app.docPath()).ok());
        QFile copy(Recovery::copyPath(doc));
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                 QFileDevice::FileModificationTime));
        copy.close();
        QVERIFY(!Recovery::hasNewerCopy(doc)); // saved after the copy
        QVERIFY(copy.open(QIODevice::ReadWrite));
        QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addSecs(60),
                                 QFileDevice::FileModificationTime));
        copy.close();
        QVERIFY(Recovery::hasNewerCopy(doc));

        Recovery::remove(doc);
        QVERIFY(!QFile::exists(Recovery::copyPath(doc)));
        QVERIFY(!Recovery::hasNewerCopy(doc));
    }

    void aCopyThatCannotBeWrittenIsAFailure() {
        Env env;
        QTemporaryDir dir;
        QFile blocker(dir.filePath(u"file"_s));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        Recovery::setFolder(dir.filePath(u"file/recovery"_s)); // a file in the way
        const FileResult r = Recovery::write(env.app.store(), Recovery::copyPath(u"nikki0"_s));
        QVERIFY(!r.ok());
        QCOMPARE(r.code, FileResult::WriteFailed);
    }
};

QTEST_GUILESS_MAIN(TestRecoveryFile)
#include "tst_recoveryfile.moc"
