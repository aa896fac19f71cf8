// SPDX-License-Identifier: GPL-3.0-or-later
// Saves killed at random moments: a child process (this program, running its
// saveLoop case) saves a full-size year over and over, alternating between a few
// contents, until it is killed with SIGKILL. After every kill the document and its
// backup must each be a whole file of one of the contents the model allows, and the
// next save must leave nothing of the killed one behind.

#include "core/store/documentfile.h"
#include "support/yearstores.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <utility>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int Contents = 3;
constexpr int Kills = 200;
const char* const ChildVariable = "DAYLOG_KILLSAVE_CHILD"; // "FIRST:FOLDER"
const char* const SeedVariable = "DAYLOG_KILLSAVE_SEED";

// Content `k` of a full-size year: every text of every day some 170 Japanese
// characters (over 3 MB in all), different in every cell for each content.
YearStore content(int k) {
    static const QString text =
        u"朝から雨が降っていたので駅まではバスで行った。午後は報告書をまとめ、"
        "帰りに駅前の店で卵と牛乳を買った。夜は録画したドラマを見て十一時に寝た。"_s.repeated(20);
    YearStore s = TestYears::valid(2005);
    for (int r = 1; r <= YearStore::DayRows; ++r)
        for (int c = StoreCol::Events; c < StoreCol::TextColumns; ++c)
            s.set(r, c,
                  QChar(u'0' + k) + QString::number(r * 32 + c) +
                      text.mid((r * 17 + c * 5 + k * 11) % 600, 170));
    return s;
}

// A line for the parent, unbuffered, so that it is there even when the next
// instruction is the last.
void tell(const QByteArray& line) {
    const QByteArray l = '@' + line + '\n';
    if (::write(STDOUT_FILENO, l.constData(), size_t(l.size())) < 0)
        std::abort();
}

// Which content the file at `path` is (-1 for none); a file that does not load adds
// to `failure`.
int loadedContent(const std::array<QByteArray, Contents>& digests, const QString& path,
                  QString& failure) {
    YearStore loaded;
    FileIdentity read;
    if (const FileResult r = DocFiles::readDocument(path, loaded, &read); !r.ok())
        failure += r.loadMessage(path);
    const auto k = std::find(digests.begin(), digests.end(), read.digest);
    return k == digests.end() ? -1 : int(k - digests.begin());
}

} // namespace

class TestKillSave : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void killedSavesLeaveWholeFiles();
    void saveLoop();
};

void TestKillSave::killedSavesLeaveWholeFiles() {
    const quint32 seed = qEnvironmentVariableIsSet(SeedVariable)
                             ? quint32(qEnvironmentVariableIntValue(SeedVariable))
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (set %s to repeat the run)", seed, SeedVariable);
    QRandomGenerator rng(seed);

    std::array<YearStore, Contents> stores;
    std::array<QByteArray, Contents> digests;
    for (int k = 0; k < Contents; ++k) {
        stores[size_t(k)] = content(k);
        const QByteArray image = DocFiles::documentImage(stores[size_t(k)], 20);
        QVERIFY(image.size() > 3 * 1024 * 1024);
        digests[size_t(k)] = FileIdentity::digestOf(image);
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(u"年度.dys"_s), bak = GridFile::backupPath(path);
    QVERIFY(DocFiles::writeDocument(stores[0], 20, path).ok());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(DocFiles::writeDocument(stores[1], 20, path).ok());
    // Kills fall anywhere in the first two saves of a child (a third is begun at
    // times, with the time the child takes to make its contents).
    const qint64 window = std::max<qint64>(timer.nsecsElapsed() / 1000 * 2, 1000);
    int doc = 1, backup = 0; // what the document and the backup hold

    for (int kill = 1; kill <= Kills; ++kill) {
        const QString where = u"kill %1, seed %2: "_s.arg(kill).arg(seed);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QString::fromLatin1(ChildVariable),
                   QString::number(rng.bounded(Contents)) + u':' + dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {u"saveLoop"_s});
        QByteArray out;
        while (!out.contains("@R\n")) {
            QVERIFY2(child.waitForReadyRead(30000), qPrintable(where + u"no start"_s));
            out += child.readAllStandardOutput();
        }
        QThread::usleep(rng.bounded(quint64(window)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(30000));
        out += child.readAllStandardOutput();
        QVERIFY2(!out.contains("@F"), qPrintable(where + u"a save failed in the child"_s));

        // The model: a save done made the document's content the backup; a save begun
        // and not done may have made its backup, then its content.
        int saving = -1;
        for (const QByteArray& line : out.split('\n')) {
            if (line.startsWith("@S "))
                saving = line.mid(3).toInt();
            if (line.startsWith("@D ")) {
                backup = std::exchange(doc, line.mid(3).toInt());
                saving = -1;
            }
        }
        QString failure;
        const int docNow = loadedContent(digests, path, failure);
        const int bakNow = loadedContent(digests, bak, failure);
        QVERIFY2(failure.isEmpty(), qPrintable(where + failure));
        // The backup is replaced before the document: a new content has the old one as
        // its backup.
        QVERIFY2(
            (docNow == doc || (saving >= 0 && docNow == saving)) &&
                (bakNow == backup || (saving >= 0 && bakNow == doc)) &&
                (docNow == doc || bakNow == doc),
            qPrintable(where + u"document %1, backup %2, was %3 and %4, saving %5"_s.arg(docNow)
                                   .arg(bakNow)
                                   .arg(doc)
                                   .arg(backup)
                                   .arg(saving)));

        // The next save leaves the document, its backup and nothing else.
        backup = docNow;
        doc = (docNow + 1) % Contents;
        QVERIFY(DocFiles::writeDocument(stores[size_t(doc)], 20, path).ok());
        QVERIFY2(FileIdentity::ofFile(path).digest == digests[size_t(doc)], qPrintable(where));
        QVERIFY2(FileIdentity::ofFile(bak).digest == digests[size_t(backup)], qPrintable(where));
        const QStringList left =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY2(left == (QStringList{u"年度.dys"_s, u"年度.dys.bak"_s}),
                 qPrintable(where + left.join(u", "_s)));
    }
}

// The child's side: saves the contents in turn from the one the parent chose until it
// is killed, each content made when first saved (most children are killed before the
// third). Skipped when the test runs by itself.
void TestKillSave::saveLoop() {
    const QString told = qEnvironmentVariable(ChildVariable);
    if (told.isEmpty())
        QSKIP("run by killedSavesLeaveWholeFiles as its child");
    const QString path = QDir(told.mid(2)).filePath(u"年度.dys"_s);
    std::array<std::optional<YearStore>, Contents> stores;
    tell("R");
    for (int k = told.left(1).toInt();; k = (k + 1) % Contents) {
        if (!stores[size_t(k)])
            stores[size_t(k)] = content(k);
        tell("S " + QByteArray::number(k));
        if (!DocFiles::writeDocument(*stores[size_t(k)], 20, path).ok())
            return tell("F");
        tell("D " + QByteArray::number(k));
    }
}

QTEST_GUILESS_MAIN(TestKillSave)
#include "tst_killsave.moc"
