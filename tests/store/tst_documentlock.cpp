#include "platform/clock.h"
#include "store/documentlock.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using Holder = DocumentLock::Holder;
using Takeover = DocumentLock::Takeover;

namespace {

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

// The process id of a program that has run and ended.
qint64 endedPid() {
    QProcess p;
    p.start(u"true"_s, {});
    p.waitForStarted();
    const qint64 pid = p.processId();
    p.waitForFinished();
    return pid;
}

bool clean(const QString& s) {
    return std::none_of(s.begin(), s.end(), [](QChar c) {
        return c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    });
}

} // namespace

class TestDocumentLock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void lockTellsAnotherProgramWhoHoldsTheDocument();
    void lockOfALiveHolderIsKeptAndOneLeftByACrashIsTakenOver_data();
    void lockOfALiveHolderIsKeptAndOneLeftByACrashIsTakenOver();
    void damagedOrForeignLockReadsAsAnUnknownHolderWithoutHarm();
    void aFolderThatCannotBeWrittenOnlyGivesFalse();
    void sentenceNamesTheDocumentAndWhatIsKnown();

private:
    QTemporaryDir m_dir;
    QString doc(const QString& name = u"年度 2005 の記録.dys"_s) const {
        return m_dir.filePath(name);
    }
};

void TestDocumentLock::init() {
    QVERIFY(m_dir.isValid());
    Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 15))));
}

void TestDocumentLock::cleanup() {
    Clock::install(nullptr);
    QDir dir(m_dir.path());
    for (const QString& name :
         dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        const QFileInfo info(dir.filePath(name));
        if (info.isDir() && !info.isSymLink())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
}

// The whole life of a lock as another program sees it: taken beside the document,
// read back with who, where and since when; kept from a second taker while its holder
// lives; moved with Save As; removed at the end only while it is still ours.
void TestDocumentLock::lockTellsAnotherProgramWhoHoldsTheDocument() {
    const QString path = doc();
    const QString lockPath = DocumentLock::lockPath(path);
    QCOMPARE(lockPath, m_dir.filePath(u".~lock.年度 2005 の記録.dys#"_s));
    QVERIFY(!DocumentLock::holder(path));

    const QDateTime taken = Clock::currentDateTime();
    {
        DocumentLock lock;
        QVERIFY(lock.acquire(path));
        QVERIFY(lock.isHeld());
        // Nothing of the writing is left beside it.
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u".~lock.年度 2005 の記録.dys#"_s});
        const std::optional<Holder> h = DocumentLock::holder(path);
        QVERIFY(h);
        QCOMPARE(h->user, DocumentLock::thisProcess().user);
        QVERIFY(!h->user.isEmpty());
        QCOMPARE(h->host, QSysInfo::machineHostName());
        QCOMPARE(h->pid, QCoreApplication::applicationPid());
        QCOMPARE(h->since, taken);
        QVERIFY(h->isThisProcess());
        QVERIFY(!h->isStale());

        // Another computer's program that finds it keeps off: it is not stale to it.
        Holder theirs = *h;
        theirs.host = u"pc-01"_s;
        QVERIFY(!theirs.isThisProcess());
        QVERIFY(!theirs.isStale());

        // Save As: the lock goes with the document, none stays at the old name.
        const QString saved = doc(u"年度2006.dys"_s);
        QVERIFY(lock.move(saved));
        QVERIFY(!QFile::exists(lockPath));
        QVERIFY(DocumentLock::holder(saved)->isThisProcess());
        QCOMPARE(lock.docPath(), saved);

        // The object going away releases the lock.
        DocumentLock moved = std::move(lock);
        QVERIFY(!lock.isHeld());
        QVERIFY(moved.isHeld());
    }
    QVERIFY(!DocumentLock::holder(doc(u"年度2006.dys"_s)));

    // A live holder on another computer: not taken over unless the user chose so.
    Holder other;
    other.user = u"tanaka"_s;
    other.host = u"pc-01"_s;
    other.pid = 4711;
    other.since = QDateTime(QDate(2026, 12, 7), QTime(17, 0));
    other.version = 1;
    const QByteArray theirs = DocumentLock::format(other);
    writeBytes(lockPath, theirs);
    DocumentLock lock;
    QVERIFY(!lock.acquire(path));
    QVERIFY(!lock.isHeld());
    QCOMPARE(fileBytes(lockPath), theirs);
    const std::optional<Holder> h = DocumentLock::holder(path);
    QCOMPARE(h->user, u"tanaka"_s);
    QCOMPARE(h->since, other.since);
    QVERIFY(lock.acquire(path, Takeover::Always));
    QVERIFY(DocumentLock::holder(path)->isThisProcess());

    // Taken over by the other computer meanwhile: our release leaves theirs alone.
    writeBytes(lockPath, theirs);
    lock.release();
    QVERIFY(!lock.isHeld());
    QCOMPARE(fileBytes(lockPath), theirs);
}

void TestDocumentLock::lockOfALiveHolderIsKeptAndOneLeftByACrashIsTakenOver_data() {
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<bool>("stale");

    const Holder me = DocumentLock::thisProcess();
    const auto variant = [&](auto change) {
        Holder h = me;
        change(h);
        return DocumentLock::format(h);
    };
    const qint64 ended = endedPid();
    const qint64 parent = ::getppid(); // lives while this test runs

    QTest::newRow("this computer, program ended") << variant([&](Holder& h) {
        h.pid = ended;
        h.start = -1;
    }) << true;
    QTest::newRow("this computer, restarted since") << variant([&](Holder& h) {
        h.pid = parent;
        h.start = -1;
        h.boot = "00000000-dead";
    }) << true;
    QTest::newRow("this computer, number reused by a later process") << variant([&](Holder& h) {
        h.pid = parent;
        h.start = 1;
    }) << true;
    QTest::newRow("this computer, host name in capitals, program ended") << variant([&](Holder& h) {
        h.pid = ended;
        h.host = h.host.toUpper();
    }) << true;
    QTest::newRow("this computer, program runs") << variant([&](Holder& h) {
        h.pid = parent;
        h.start = -1;
    }) << false;
    QTest::newRow("another computer, its program's number ended here") << variant([&](Holder& h) {
        h.pid = ended;
        h.host = u"pc-01"_s;
    }) << false;
    QTest::newRow("no host written, program ended") << variant([&](Holder& h) {
        h.pid = ended;
        h.host.clear();
    }) << false;
    QTest::newRow("not a lock of ours, naming this computer and an ended program")
        << variant([&](Holder& h) { h.pid = ended; }).replace("DayLog-Lock 1", "Lock 1") << false;
}

// A lock left by a crash on this computer is taken over without asking; any lock whose
// holder may still run (or that another computer holds) is kept, byte for byte.
void TestDocumentLock::lockOfALiveHolderIsKeptAndOneLeftByACrashIsTakenOver() {
    QFETCH(QByteArray, lock);
    QFETCH(bool, stale);
    const QString path = doc();
    writeBytes(DocumentLock::lockPath(path), lock);
    const std::optional<Holder> found = DocumentLock::holder(path);
    QVERIFY(found);
    QCOMPARE(found->isStale(), stale);
    QVERIFY(!found->isThisProcess());

    DocumentLock ours;
    QCOMPARE(ours.acquire(path), stale);
    if (stale)
        QVERIFY(DocumentLock::holder(path)->isThisProcess());
    else
        QCOMPARE(fileBytes(DocumentLock::lockPath(path)), lock);
}

// Whatever lies at the lock's name (a damaged or foreign lock, random bytes, a huge
// file, a folder, a pipe nobody writes to) is read promptly as a holder, with clean
// values of what could be read; the reader never takes such a lock over.
void TestDocumentLock::damagedOrForeignLockReadsAsAnUnknownHolderWithoutHarm() {
    const QString path = doc();
    const QString lockPath = DocumentLock::lockPath(path);
    Holder tanaka;
    tanaka.user = u"田中 太郎"_s;
    tanaka.host = u"pc-01"_s;
    tanaka.pid = 4711;
    tanaka.since = QDateTime(QDate(2026, 12, 8), QTime(9, 30), Qt::OffsetFromUTC, 9 * 3600);
    tanaka.version = 1;
    tanaka.boot = "0f5c-1a";
    tanaka.start = 99;
    const QByteArray valid = DocumentLock::format(tanaka);
    const Holder back = DocumentLock::parse(valid);
    QCOMPARE(back.user, tanaka.user);
    QCOMPARE(back.host, tanaka.host);
    QCOMPARE(back.pid, tanaka.pid);
    QCOMPARE(back.since, tanaka.since);
    QCOMPARE(back.boot, tanaka.boot);
    QCOMPARE(back.start, tanaka.start);
    // A newer version's lock is read as far as it is understood.
    QCOMPARE(DocumentLock::parse(QByteArray(valid).replace("Lock 1", "Lock 7") + "seat=3\n").user,
             tanaka.user);

    // DAYLOG_SEED=n repeats a run.
    const quint32 seed = qEnvironmentVariableIsSet("DAYLOG_SEED")
                             ? quint32(qEnvironmentVariable("DAYLOG_SEED").toUInt())
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (DAYLOG_SEED)", seed);
    QRandomGenerator rng(seed);
    const QList<QByteArray> pieces = {"\0",
                                      "\r",
                                      "\n",
                                      "=",
                                      "\xff\xfe",
                                      "\xe5\xb9",
                                      "pid=",
                                      "pid=-5",
                                      "pid=99999999999999999999",
                                      "since=2026-13-40",
                                      "user=\x1b[31m",
                                      "host=\xe2\x80\xa8",
                                      QByteArray(5000, 'x')};
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = valid;
        for (int edit = rng.bounded(1, 6); edit > 0; --edit) {
            const int at = rng.bounded(int(bytes.size()) + 1);
            switch (rng.bounded(4)) {
            case 0:
                bytes.truncate(at);
                break;
            case 1:
                if (at < bytes.size())
                    bytes[at] = char(rng.bounded(256));
                break;
            default:
                bytes.insert(at, pieces.at(rng.bounded(int(pieces.size()))));
                break;
            }
        }
        writeBytes(lockPath, bytes);
        const std::optional<Holder> h = DocumentLock::holder(path);
        QVERIFY2(h, bytes.toPercentEncoding().constData());
        QVERIFY(clean(h->user) && h->user.size() <= 200);
        QVERIFY(clean(h->host) && h->host.size() <= 200);
        QVERIFY(h->pid >= 0 && h->pid <= INT_MAX);
        const QString sentence = h->describe(u"年度2005.dys"_s);
        QVERIFY(sentence.startsWith(u"「年度2005.dys」は"_s) && clean(sentence));
    }

    const auto unknown = [&](const char* what) {
        QElapsedTimer took;
        took.start();
        const std::optional<Holder> h = DocumentLock::holder(path);
        QVERIFY2(h, what);
        QVERIFY2(h->user.isEmpty() && h->host.isEmpty() && h->pid == 0, what);
        QVERIFY2(!h->isStale(), what);
        QVERIFY2(took.elapsed() < 5000, what);
        DocumentLock lock;
        QVERIFY2(!lock.acquire(path), what);
    };
    writeBytes(lockPath, {});
    unknown("empty file");
    writeBytes(lockPath, QByteArray(1 << 20, '\0'));
    unknown("a megabyte of zeros");
    QVERIFY(QFile::remove(lockPath));
    QVERIFY(::mkfifo(QFile::encodeName(lockPath).constData(), 0644) == 0);
    unknown("a pipe");
    QVERIFY(QFile::remove(lockPath));
    QVERIFY(QDir().mkdir(lockPath));
    unknown("a folder");
}

// The document opens all the same: acquire() says false, and nothing is left behind.
void TestDocumentLock::aFolderThatCannotBeWrittenOnlyGivesFalse() {
    QStringList paths = {u"/proc/年度2005.dys"_s, m_dir.filePath(u"ない/年度2005.dys"_s)};
    if (::geteuid() != 0) {
        const QString readOnly = m_dir.filePath(u"ro"_s);
        QVERIFY(QDir().mkdir(readOnly));
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
        paths << readOnly + u"/年度2005.dys"_s;
    }
    for (const QString& path : paths) {
        DocumentLock lock;
        QVERIFY2(!lock.acquire(path), qPrintable(path));
        QVERIFY(!lock.isHeld());
        QVERIFY(!DocumentLock::holder(path));
        QVERIFY(!lock.acquire(path, Takeover::Always));
        QVERIFY(!lock.move(path));
    }
    QFile::setPermissions(m_dir.filePath(u"ro"_s),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestDocumentLock::sentenceNamesTheDocumentAndWhatIsKnown() {
    Holder h;
    h.user = u"tanaka"_s;
    h.host = u"pc-01"_s;
    h.since = QDateTime(QDate(2026, 12, 8), QTime(9, 30));
    QCOMPARE(h.describe(u"年度2005.dys"_s),
             u"「年度2005.dys」は tanaka さん（コンピューター: pc-01、2026/12/08 09:30 から）"
             u"が開いています。"_s);
    // Written on another computer in another time zone: shown in ours.
    Holder utc = h;
    utc.since = h.since.toUTC();
    QCOMPARE(DocumentLock::parse(DocumentLock::format(utc)).describe(u"a.dys"_s),
             h.describe(u"a.dys"_s));
    QCOMPARE(Holder().describe(u"年度2005.dys"_s),
             u"「年度2005.dys」はほかの利用者が開いています。"_s);
    Holder hostOnly;
    hostOnly.host = u"pc-01"_s;
    QCOMPARE(hostOnly.describe(u"%1.dys"_s),
             u"「%1.dys」はほかの利用者（コンピューター: pc-01）が開いています。"_s);
}

QTEST_GUILESS_MAIN(TestDocumentLock)
#include "tst_documentlock.moc"
