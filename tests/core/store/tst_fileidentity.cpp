// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/documentfile.h"
#include "core/store/fileidentity.h"
#include "support/yearstores.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// Moves the file's time of last modification by `secs` seconds.
bool touch(const QString& path, int secs) {
    QFile f(path);
    return f.open(QIODevice::ReadWrite) &&
           f.setFileTime(f.fileTime(QFileDevice::FileModificationTime).addSecs(secs),
                         QFileDevice::FileModificationTime);
}

QString described(const FileIdentity& id) {
    return u"%1 %2 %3 %4"_s.arg(id.exists)
        .arg(id.size)
        .arg(id.modifiedMs)
        .arg(QString::fromLatin1(id.digest.toHex()));
}

} // namespace

class TestFileIdentity : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What a user or another program does to a file, and whether the identity taken
    // first calls it a change: only a change of content is one, and a file gone is
    // none (saving over it loses nothing).
    void onlyAChangedContentIsAChange() {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"年度.dys"_s);
        QVERIFY(put(path, "content A"));
        const FileIdentity id = FileIdentity::ofFile(path);
        QCOMPARE(described(id),
                 described({true, 9, QFileInfo(path).lastModified().toMSecsSinceEpoch(),
                            FileIdentity::digestOf("content A")}));
        QVERIFY(!id.changedOnDisk(path));
        QVERIFY(touch(path, 30) && !id.changedOnDisk(path)); // another time, the same content
        QVERIFY(put(path, "content B") && touch(path, 60) && id.changedOnDisk(path)); // same size
        QVERIFY(put(path, "content A") && !id.changedOnDisk(path)); // written back as it was
        QVERIFY(put(path, "content A, longer") && id.changedOnDisk(path));
        QVERIFY(QFile::remove(path) && !id.changedOnDisk(path));

        const FileIdentity none = FileIdentity::ofFile(path);
        QVERIFY(!none.exists && none.digest.isEmpty());
        QVERIFY(!none.changedOnDisk(path)); // still not there
        QVERIFY(put(path, ""));
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
        FileIdentity written, loaded;
        QVERIFY(DocFiles::writeDocument(TestYears::filled(2005, rng), 20, path, &written).ok());
        YearStore read;
        QVERIFY(DocFiles::readDocument(path, read, &loaded).ok());
        const QString onDisk = described(FileIdentity::ofFile(path));
        QCOMPARE(described(written), onDisk);
        QCOMPARE(described(loaded), onDisk);

        // Another program's save of another year over it.
        QVERIFY(DocFiles::writeDocument(TestYears::valid(2006), 20, path).ok());
        QVERIFY(written.changedOnDisk(path));
    }
};

QTEST_GUILESS_MAIN(TestFileIdentity)
#include "tst_fileidentity.moc"
