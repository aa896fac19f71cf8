#include "../yearstores.h"
#include "store/documentfile.h"
#include "store/fileidentity.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// Sets the file's time of last modification `secs` seconds from the last one.
void touch(const QString& path, int secs) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    const QDateTime was = f.fileTime(QFileDevice::FileModificationTime);
    QVERIFY(f.setFileTime(was.addSecs(secs), QFileDevice::FileModificationTime));
}

} // namespace

class TestFileIdentity : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What a user or another program can do to a file, and whether the identity taken
    // before calls it a change: only a change of content is one.
    void onlyAChangedContentIsAChange() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        put(path, "content A");
        const FileIdentity id = FileIdentity::ofFile(path);
        QVERIFY(id.exists);
        QCOMPARE(id.size, 9);
        QCOMPARE(id.digest, FileIdentity::digestOf("content A"));
        QCOMPARE(id.modifiedMs, QFileInfo(path).lastModified().toMSecsSinceEpoch());
        QVERIFY(!id.changedOnDisk(path));

        touch(path, 30); // touched: another time, the same content
        QVERIFY(!id.changedOnDisk(path));
        put(path, "content B"); // the same size, another content
        touch(path, 60);
        QVERIFY(id.changedOnDisk(path));
        put(path, "content A"); // written back as it was
        QVERIFY(!id.changedOnDisk(path));
        put(path, "content A, longer");
        QVERIFY(id.changedOnDisk(path));
        QVERIFY(QFile::remove(path));
        QVERIFY(!id.changedOnDisk(path)); // nothing there to be lost

        const FileIdentity none = FileIdentity::ofFile(path);
        QVERIFY(!none.exists && none.digest.isEmpty());
        QVERIFY(!none.changedOnDisk(path)); // still not there
        put(path, "");
        QVERIFY(none.changedOnDisk(path)); // made since
        QVERIFY(!FileIdentity::ofFile(path).changedOnDisk(path));

        // Something that is not a regular file is never opened for its hash.
        const QString fifo = dir.filePath(u"pipe"_s);
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const FileIdentity pipe = FileIdentity::ofFile(fifo);
        QVERIFY(pipe.exists && pipe.digest.isEmpty());
        QVERIFY(!pipe.changedOnDisk(fifo));
    }

    // The identities a save and a load give are the file's own.
    void saveAndLoadGiveTheFilesIdentity() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QRandomGenerator rng(1);
        const YearStore s = TestYears::filled(2005, rng);
        FileIdentity written;
        QVERIFY(DocFiles::writeDocument(s, 20, path, &written).ok());
        const FileIdentity onDisk = FileIdentity::ofFile(path);
        QVERIFY(written.exists);
        QCOMPARE(written.size, onDisk.size);
        QCOMPARE(written.modifiedMs, onDisk.modifiedMs);
        QCOMPARE(written.digest, onDisk.digest);
        QVERIFY(!written.changedOnDisk(path));

        YearStore read;
        FileIdentity loaded;
        QVERIFY(DocFiles::readDocument(path, read, &loaded).ok());
        QCOMPARE(loaded.size, onDisk.size);
        QCOMPARE(loaded.modifiedMs, onDisk.modifiedMs);
        QCOMPARE(loaded.digest, onDisk.digest);

        // Another program's save of another year over it.
        QVERIFY(DocFiles::writeDocument(TestYears::valid(2006), 20, path).ok());
        QVERIFY(written.changedOnDisk(path));
    }
};

QTEST_GUILESS_MAIN(TestFileIdentity)
#include "tst_fileidentity.moc"
