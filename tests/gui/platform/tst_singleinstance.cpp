// SPDX-License-Identifier: GPL-3.0-or-later
// One program per user, between real processes: this test program runs copies of
// itself (`--child NAME WHEN [ITEM...]`) as the second, third... program. WHEN is
// "now", or "go": the child says "ready" and starts when a byte arrives on its standard
// input, so that several start at the same instant. A child says what it became and,
// if it listens, every request it is handed, until its standard input closes.
// It has a main of its own for that, and a QCoreApplication: the class is in the
// widgets library (so the test links it), but nothing here needs a display.

#include "gui/platform/singleinstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int HandOverMs = 20000;

void say(const QByteArray& line) {
    std::fputs(line.constData(), stdout);
    std::fflush(stdout);
}

// A request as one line of a child's output.
QByteArray line(const QStringList& request) {
    QByteArrayList items;
    for (const QString& item : request)
        items << item.toUtf8().toPercentEncoding();
    return "request [" + items.join(' ') + ']';
}

int childMain(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    char go = 0;
    if (args.at(3) == u"go"_s && (say("ready\n"), ::read(STDIN_FILENO, &go, 1) != 1))
        return 3;
    SingleInstance instance;
    const SingleInstance::Start started = instance.start(args.at(2), args.mid(4), HandOverMs);
    if (started != SingleInstance::Start::Listening) {
        say(started == SingleInstance::Start::HandedOver ? "handed-over\n" : "failed\n");
        return started == SingleInstance::Start::HandedOver ? 0 : 1;
    }
    say("listening\n");
    QObject::connect(&instance, &SingleInstance::requested,
                     [](const QStringList& request) { say(line(request) + '\n'); });
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buf[64];
        if (::read(STDIN_FILENO, buf, sizeof buf) <= 0)
            app.quit();
    });
    return app.exec();
}

// A socket file as a program that crashed leaves it: bound, never listened on again.
bool leaveDeadSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    if (fd < 0 || name.size() >= qsizetype(sizeof addr.sun_path))
        return false;
    std::copy(name.begin(), name.end(), addr.sun_path);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        m_dir.emplace();
        QVERIFY(m_dir->isValid());
        m_name = m_dir->filePath(u"instance.socket"_s);
    }
    void cleanup() {
        for (auto& p : m_children) {
            p->kill();
            p->waitForFinished();
        }
        m_children.clear();
    }
    void framesInPiecesArriveWholeAndGarbageIsDropped();
    void aCrashedProgramsSocketIsListenedOnAgainAndRequestsArriveWhole();
    void ofProgramsStartedTogetherExactlyOneListens();

private:
    QProcess& child(const QStringList& request, bool onGo = false) {
        auto& p = m_children.emplace_back(std::make_unique<QProcess>());
        p->start(QCoreApplication::applicationFilePath(),
                 QStringList{u"--child"_s, m_name, onGo ? u"go"_s : u"now"_s} + request);
        return *p;
    }
    std::optional<QTemporaryDir> m_dir;
    QString m_name;
    std::vector<std::unique_ptr<QProcess>> m_children;
};

// A frame that comes in pieces (any split, pauses between) arrives whole; garbage,
// impossible lengths and frames that do not add up close the connection without a
// request and without hurting the next sender, and so does a frame cut short, once
// it has waited its time.
void TestSingleInstance::framesInPiecesArriveWholeAndGarbageIsDropped() {
    SingleInstance running;
    QVERIFY(running.listen(m_name));
    QSignalSpy spy(&running, &SingleInstance::requested);
    // DAYLOG_SEED=n repeats a run.
    const quint32 seed = qEnvironmentVariableIsSet("DAYLOG_SEED")
                             ? quint32(qEnvironmentVariable("DAYLOG_SEED").toUInt())
                             : QRandomGenerator::global()->generate();
    qInfo("seed %u (DAYLOG_SEED)", seed);
    QRandomGenerator rng(seed);

    // Sends `bytes` in random pieces; returns what the server answered before it
    // closed the connection (or the wait ran out).
    const auto send = [&](const QByteArray& bytes) {
        QLocalSocket s;
        s.connectToServer(m_name);
        if (!s.waitForConnected(5000))
            return QByteArray("not connected");
        QList<qsizetype> cuts = {bytes.size()};
        for (int n = rng.bounded(12); n > 0; --n)
            cuts << rng.bounded(int(bytes.size()) + 1);
        std::sort(cuts.begin(), cuts.end());
        qsizetype from = 0;
        for (const qsizetype cut : cuts) {
            if (s.state() != QLocalSocket::ConnectedState)
                break;
            s.write(bytes.mid(from, cut - from));
            s.flush();
            from = cut;
            QTest::qWait(rng.bounded(3));
        }
        QDeadlineTimer deadline(5000);
        while (s.state() != QLocalSocket::UnconnectedState && !deadline.hasExpired())
            QTest::qWait(5);
        return s.state() == QLocalSocket::UnconnectedState ? s.readAll() : QByteArray("left open");
    };
    const auto arrives = [&](const QStringList& request) {
        QCOMPARE(send(SingleInstance::frame(request)), QByteArray("\x06"));
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).toStringList(), request);
    };

    for (int round = 0; round < 12; ++round) {
        QStringList request;
        for (int n = rng.bounded(4); n > 0; --n) {
            QString item;
            for (int c = rng.bounded(1, 40); c > 0; --c)
                item += QChar(char16_t(rng.bounded(0x20, 0xd7ff)));
            request << item;
        }
        arrives(request);
    }

    const QByteArray good = SingleInstance::frame({u"/年度.dys"_s});
    const auto with = [&](int at, int byte) {
        QByteArray b = good;
        b[at] = char(byte);
        return b;
    };
    const QByteArrayList bad = {"GET / HTTP/1.1\r\n\r\n",
                                with(8, good.at(8) + 1) + "x", // the payload said a byte longer
                                with(5, 0x40),                 // a gigabyte
                                with(12, 9),                   // nine items said, one there
                                with(17, 0xff),                // not UTF-8
                                with(4, 2),                    // another version
                                QByteArray(9, '\0')};
    for (const QByteArray& bytes : bad) {
        QCOMPARE(send(bytes), QByteArray());
        QCOMPARE(spy.size(), 0);
    }
    QLocalSocket stalled;
    stalled.connectToServer(m_name);
    QVERIFY(stalled.waitForConnected(5000));
    stalled.write(good.first(good.size() - 2));
    stalled.flush();
    arrives({u"/年度.dys"_s});
    QTRY_COMPARE_WITH_TIMEOUT(stalled.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(spy.size(), 0);
}

// A program killed while it listened leaves its socket behind (the user's is in
// XDG_RUNTIME_DIR, named with the user id); the next program finds nobody answering
// there, listens, and takes what the programs after it were asked to open, as it was;
// each of those learns it was taken and ends with success. A listening program is not
// listened over.
void TestSingleInstance::aCrashedProgramsSocketIsListenedOnAgainAndRequestsArriveWhole() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->path()));
    m_name = SingleInstance::serverName();
    runtime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", runtime);
    QCOMPARE(QFileInfo(m_name).absolutePath(), m_dir->path());
    QVERIFY(QFileInfo(m_name).fileName().contains(QString::number(::getuid())));

    QVERIFY(leaveDeadSocket(m_name));
    QVERIFY(!SingleInstance::handOver(m_name, {}, 2000));

    SingleInstance next;
    QVERIFY(next.listen(m_name));
    QSignalSpy spy(&next, &SingleInstance::requested);
    for (const QStringList& request :
         {QStringList{u"/home/利用者/書類 2005/年度 2005 の 記録.dys"_s},
          QStringList{}, // nothing: come to the front
          QStringList{u"/a b/c\nd.dys"_s, u"\t"_s, u"/😀/x.dys"_s},
          QStringList{u"/"_s + QString(30000, u'長') + u".dys"_s}}) {
        QProcess& second = child(request);
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, HandOverMs);
        QCOMPARE(second.readAllStandardOutput(), QByteArray("handed-over\n"));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).toStringList(), request);
    }
    SingleInstance another;
    QVERIFY(!another.listen(m_name));
}

// Programs started at the same instant, with no socket and with one a crash left:
// exactly one listens, and it receives every other's request.
void TestSingleInstance::ofProgramsStartedTogetherExactlyOneListens() {
    constexpr int Programs = 4;
    for (int round = 0; round < 6; ++round) {
        QFile::remove(m_name);
        if (round % 2 == 1)
            QVERIFY(leaveDeadSocket(m_name));
        cleanup();
        for (int i = 0; i < Programs; ++i)
            child({u"/年度 %1.dys"_s.arg(i)}, true);
        for (auto& p : m_children) {
            QVERIFY(p->waitForReadyRead(HandOverMs));
            QCOMPARE(p->readLine(), QByteArray("ready\n"));
        }
        for (auto& p : m_children)
            p->write("g");
        for (auto& p : m_children)
            p->waitForBytesWritten();

        QProcess* listener = nullptr;
        QByteArrayList handedOver;
        for (int i = 0; i < Programs; ++i) {
            QProcess& p = *m_children[size_t(i)];
            QVERIFY(p.canReadLine() || p.waitForReadyRead(HandOverMs));
            const QByteArray said = p.readLine();
            if (said == "listening\n") {
                QVERIFY2(!listener, "two programs listen");
                listener = &p;
            } else {
                QCOMPARE(said, QByteArray("handed-over\n"));
                QVERIFY(p.waitForFinished(HandOverMs));
                QCOMPARE(p.exitCode(), 0);
                handedOver << line({u"/年度 %1.dys"_s.arg(i)});
            }
        }
        QVERIFY(listener);
        QTRY_COMPARE_WITH_TIMEOUT(listener->peek(1 << 16).count('\n'), Programs - 1, HandOverMs);
        QByteArrayList got = listener->readAll().split('\n');
        got.removeAll(QByteArray());
        std::sort(got.begin(), got.end());
        QCOMPARE(got, handedOver);
        listener->closeWriteChannel();
        QVERIFY(listener->waitForFinished(HandOverMs));
        QCOMPARE(listener->exitCode(), 0);
    }
}

int main(int argc, char** argv) {
    if (argc > 3 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
