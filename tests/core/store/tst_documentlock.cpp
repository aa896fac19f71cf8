// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/documentlock.h"
#include "core/time/clock.h"
#include "support/fixedclock.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>

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

// No control characters, no line or paragraph separators: safe on one line.
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
    void init() {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        Clock::install(
            std::make_unique<FixedClock>(QDateTime(QDate(2026, 12, 8), QTime(9, 30, 15))));
    }
    void cleanup() { Clock::install(nullptr); }
    void ourLockIsReadBackMovedAndReleased();
    void onlyALockLeftByACrashHereIsTakenOverUnasked_data();
    void onlyALockLeftByACrashHereIsTakenOverUnasked();
    void whateverLiesAtTheLocksNameReadsWithoutHarm();
    void aFolderThatCannotBeWrittenOnlyGivesFalse();
    void sentenceNamesTheDocumentAndWhatIsKnown();

private:
    QString doc(const QString& name = u"年度 2005 の記録.dys"_s) const {
        return m_dir->filePath(name);
    }
    std::optional<QTemporaryDir> m_dir;
};

// Our lock as another program reads it: who, where and since when, beside the
// document and nothing else with it; it goes with Save As and with the object.
void TestDocumentLock::ourLockIsReadBackMovedAndReleased() {
    const QString path = doc();
    QCOMPARE(DocumentLock::lockPath(path), doc(u".~lock.年度 2005 の記録.dys#"_s));
    QVERIFY(!DocumentLock::holder(path));
    {
        DocumentLock lock;
        QVERIFY(lock.acquire(path));
        QVERIFY(lock.isHeld());
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{u".~lock.年度 2005 の記録.dys#"_s});
        const std::optional<Holder> h = DocumentLock::holder(path);
        QVERIFY(h && !h->user.isEmpty());
        QCOMPARE(h->user, DocumentLock::thisProcess().user);
        QCOMPARE(h->host, QSysInfo::machineHostName());
        QCOMPARE(h->pid, QCoreApplication::applicationPid());
        QCOMPARE(h->since, Clock::currentDateTime());
        QVERIFY(h->isThisProcess() && !h->isStale());

        const QString saved = doc(u"年度2006.dys"_s);
        QVERIFY(lock.move(saved));
        QVERIFY(!DocumentLock::holder(path));
        QVERIFY(DocumentLock::holder(saved)->isThisProcess());
        QCOMPARE(lock.docPath(), saved);

        DocumentLock moved = std::move(lock);
        QVERIFY(!lock.isHeld() && moved.isHeld());
    }
    QVERIFY(QDir(m_dir->path()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
}

void TestDocumentLock::onlyALockLeftByACrashHereIsTakenOverUnasked_data() {
    QTest::addColumn<QByteArray>("lock");
    QTest::addColumn<bool>("stale");

    const Holder me = DocumentLock::thisProcess();
    QProcess ran; // a process that has ended: its number is free
    ran.start(u"true"_s, {});
    QVERIFY(ran.waitForStarted());
    const qint64 ended = ran.processId(), parent = ::getppid(); // lives while we run
    QVERIFY(ran.waitForFinished());
    const auto row = [&](const char* tag, bool stale, qint64 pid, qint64 start, const QString& host,
                         const QByteArray& boot) {
        Holder h = me;
        h.pid = pid;
        h.start = start;
        h.host = host;
        h.boot = boot;
        QTest::newRow(tag) << DocumentLock::format(h) << stale;
    };
    const QString here = me.host;
    row("this computer, program ended", true, ended, -1, here, me.boot);
    row("this computer, restarted since", true, parent, -1, here, "00000000-dead");
    row("this computer, number reused by a later process", true, parent, 1, here, me.boot);
    row("this computer, host name in capitals, program ended", true, ended, me.start,
        here.toUpper(), me.boot);
    row("this computer, program runs", false, parent, -1, here, me.boot);
    row("another computer, its program's number ended here", false, ended, -1, u"pc-01"_s, me.boot);
    row("another computer, this program's number", false, me.pid, me.start, u"pc-01"_s, me.boot);
    row("no host written, program ended", false, ended, -1, QString(), me.boot);
    Holder foreign = me;
    foreign.pid = ended;
    QTest::newRow("not a lock of ours, naming this computer and an ended program")
        << DocumentLock::format(foreign).replace("DayLog-Lock 1", "Lock 1") << false;
}

// A lock a crash left on this computer is taken over without asking; any other is
// kept byte for byte unless the user chooses to open anyway. Our release never
// removes a lock that is no longer ours.
void TestDocumentLock::onlyALockLeftByACrashHereIsTakenOverUnasked() {
    QFETCH(QByteArray, lock);
    QFETCH(bool, stale);
    const QString path = doc(), lockPath = DocumentLock::lockPath(path);
    writeBytes(lockPath, lock);
    const std::optional<Holder> found = DocumentLock::holder(path);
    QVERIFY(found);
    QCOMPARE(found->isStale(), stale);
    QVERIFY(!found->isThisProcess());

    DocumentLock ours;
    QCOMPARE(ours.acquire(path), stale);
    QCOMPARE(ours.isHeld(), stale);
    if (!stale) {
        QCOMPARE(fileBytes(lockPath), lock);
        QVERIFY(ours.acquire(path, Takeover::Always));
    }
    QVERIFY(DocumentLock::holder(path)->isThisProcess());
    writeBytes(lockPath, lock); // taken over by someone else meanwhile
    ours.release();
    QVERIFY(!ours.isHeld());
    QCOMPARE(fileBytes(lockPath), lock);
}

// Whatever lies at the lock's name (a lock of ours damaged at random, a newer one, a
// huge file, a folder, a pipe nobody writes to) is read as a holder with clean values
// of what could be read, without blocking; a holder nothing is known of is never
// taken over.
void TestDocumentLock::whateverLiesAtTheLocksNameReadsWithoutHarm() {
    const QString path = doc(), lockPath = DocumentLock::lockPath(path);
    Holder tanaka;
    tanaka.user = u"田中 太郎"_s;
    tanaka.host = u"pc-01"_s;
    tanaka.pid = 4711;
    tanaka.since = QDateTime(QDate(2026, 12, 8), QTime(9, 30), Qt::OffsetFromUTC, 9 * 3600);
    tanaka.boot = "0f5c-1a";
    tanaka.start = 99;
    const QByteArray valid = DocumentLock::format(tanaka);
    // Read back whole, and a newer version's lock as far as it is understood.
    QCOMPARE(DocumentLock::format(DocumentLock::parse(valid)), valid);
    QCOMPARE(DocumentLock::format(
                 DocumentLock::parse(QByteArray(valid).replace("Lock 1", "Lock 7") + "seat=3\n")),
             valid);

    // DAYLOG_SEED=n repeats a run.
    const quint32 seed = qEnvironmentVariableIsSet("DAYLOG_SEED")
                             ? quint32(qEnvironmentVariable("DAYLOG_SEED").toUInt())
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (DAYLOG_SEED)", seed);
    QRandomGenerator rng(seed);
    static const char raw[] = "\0|\r|\n|=|\xff\xfe|\xe5\xb9|pid=|pid=-5|pid=99999999999999999999|"
                              "since=2026-13-40|user=\x1b[31m|host=\xe2\x80\xa8";
    const QByteArrayList pieces = QByteArray(raw, sizeof raw - 1).split('|')
                                  << QByteArray(5000, 'x');
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = valid;
        for (int edit = rng.bounded(1, 6); edit > 0; --edit) {
            const int at = rng.bounded(int(bytes.size()) + 1);
            const int how = rng.bounded(4);
            if (how == 0)
                bytes.truncate(at);
            else if (how == 1 && at < bytes.size())
                bytes[at] = char(rng.bounded(256));
            else if (how > 1)
                bytes.insert(at, pieces.at(rng.bounded(int(pieces.size()))));
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

    const QByteArray name = QFile::encodeName(lockPath);
    const QList<std::pair<const char*, std::function<bool()>>> unknowns = {
        {"empty file", [&] { return QFile::resize(lockPath, 0); }},
        {"a megabyte of zeros", [&] { return QFile::resize(lockPath, 1 << 20); }},
        {"a pipe",
         [&] { return QFile::remove(lockPath) && ::mkfifo(name.constData(), 0644) == 0; }},
        {"a folder", [&] { return QFile::remove(lockPath) && QDir().mkdir(lockPath); }}};
    for (const auto& [what, make] : unknowns) {
        QVERIFY2(make(), what);
        const std::optional<Holder> h = DocumentLock::holder(path);
        QVERIFY2(h && h->user.isEmpty() && h->host.isEmpty() && h->pid == 0, what);
        QVERIFY2(!h->isStale(), what);
        DocumentLock lock;
        QVERIFY2(!lock.acquire(path), what);
    }
}

// The document opens all the same: acquire() says false, and nothing is left behind.
void TestDocumentLock::aFolderThatCannotBeWrittenOnlyGivesFalse() {
    QStringList paths = {u"/proc/年度2005.dys"_s, doc(u"ない/年度2005.dys"_s)};
    const QString readOnly = doc(u"ro"_s);
    if (::geteuid() != 0) {
        QVERIFY(QDir().mkdir(readOnly));
        QVERIFY(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner));
        paths << readOnly + u"/年度2005.dys"_s;
    }
    for (const QString& path : paths) {
        DocumentLock lock;
        QVERIFY2(!lock.acquire(path), qPrintable(path));
        QVERIFY(!lock.isHeld() && !DocumentLock::holder(path));
        QVERIFY(!lock.acquire(path, Takeover::Always));
        QVERIFY(!lock.move(path));
    }
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
