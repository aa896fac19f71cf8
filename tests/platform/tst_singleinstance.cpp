// One program per user, between real processes: this test program runs copies of
// itself (`--child start NAME TIMEOUT WHEN [ITEM...]`) as the second, third... program;
// WHEN is "now", or "go": the child says "ready" and starts when a byte arrives on its
// standard input, so that several start at the same instant.
// It has a main of its own for that, and a QCoreApplication: the class is in the
// widgets library (so the test links it), but nothing here needs a display.

#include "platform/singleinstance.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A request as one line of a child's output.
QByteArray line(const QStringList& request) {
    QByteArrayList items;
    for (const QString& item : request)
        items << item.toUtf8().toPercentEncoding();
    return "request [" + items.join(' ') + "]\n";
}

// The child: starts as a program would, says what it became, and if it listens, reports
// every request it is handed until its standard input closes.
int childMain(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 6 || args.at(2) != u"start"_s)
        return 2;
    if (args.at(5) == u"go"_s) {
        std::fputs("ready\n", stdout);
        std::fflush(stdout);
        char go = 0;
        if (::read(STDIN_FILENO, &go, 1) != 1)
            return 3;
    }
    SingleInstance instance;
    const SingleInstance::Start started =
        instance.start(args.at(3), args.mid(6), args.at(4).toInt());
    const char* said = started == SingleInstance::Start::Listening    ? "listening\n"
                       : started == SingleInstance::Start::HandedOver ? "handed-over\n"
                                                                      : "failed\n";
    std::fputs(said, stdout);
    std::fflush(stdout);
    if (started != SingleInstance::Start::Listening)
        return started == SingleInstance::Start::HandedOver ? 0 : 1;
    QObject::connect(&instance, &SingleInstance::requested, [](const QStringList& request) {
        std::fputs(line(request).constData(), stdout);
        std::fflush(stdout);
    });
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

constexpr int HandOverMs = 20000;

} // namespace

class TestSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void requestArrivesWholeFromASecondProgram_data();
    void requestArrivesWholeFromASecondProgram();
    void framesInPiecesArriveWholeAndGarbageIsDropped();
    void socketLeftByACrashedProgramIsListenedOnAgain();
    void ofProgramsStartedTogetherExactlyOneListens();

private:
    std::unique_ptr<QProcess> child(const QStringList& request, const QString& name,
                                    bool onGo = false);
    QTemporaryDir m_dir;
    QString m_name;
    std::vector<std::unique_ptr<QProcess>> m_children;
};

void TestSingleInstance::init() {
    QVERIFY(m_dir.isValid());
    m_name = m_dir.filePath(u"instance.socket"_s);
}

void TestSingleInstance::cleanup() {
    for (auto& p : m_children) {
        p->kill();
        p->waitForFinished();
    }
    m_children.clear();
    QFile::remove(m_name);
}

std::unique_ptr<QProcess> TestSingleInstance::child(const QStringList& request, const QString& name,
                                                    bool onGo) {
    auto p = std::make_unique<QProcess>();
    p->setProgram(QCoreApplication::applicationFilePath());
    p->setArguments(QStringList{u"--child"_s, u"start"_s, name, QString::number(HandOverMs),
                                onGo ? u"go"_s : u"now"_s} +
                    request);
    p->setProcessChannelMode(QProcess::SeparateChannels);
    return p;
}

void TestSingleInstance::requestArrivesWholeFromASecondProgram_data() {
    QTest::addColumn<QStringList>("request");
    QTest::newRow("Japanese path with blanks")
        << QStringList{u"/home/利用者/書類 2005/年度 2005 の 記録.dys"_s};
    QTest::newRow("nothing: come to the front") << QStringList{};
    QTest::newRow("several, with line ends, tabs and an emoji")
        << QStringList{u"/a b/c\nd.dys"_s, u"\t"_s, u"/😀/x.dys"_s};
    QTest::newRow("a long path") << QStringList{u"/"_s + QString(30000, u'長') + u".dys"_s};
}

// What the second program was asked to open reaches the running one as it was, and
// the second program learns that it was taken (it ends with success).
void TestSingleInstance::requestArrivesWholeFromASecondProgram() {
    QFETCH(QStringList, request);
    SingleInstance running;
    QVERIFY(running.listen(m_name));
    QSignalSpy spy(&running, &SingleInstance::requested);
    auto second = child(request, m_name);
    second->start();
    QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, HandOverMs);
    QCOMPARE(second->readAllStandardOutput(), QByteArray("handed-over\n"));
    QCOMPARE(second->exitCode(), 0);
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toStringList(), request);
}

// A frame that comes in pieces (any split, pauses between) arrives whole; garbage,
// impossible lengths and frames that do not add up close the connection without a
// request and without hurting the next sender.
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

    // Sends `bytes` in the given pieces; returns what the server answered before it
    // closed the connection (or the wait ran out).
    const auto send = [&](const QByteArray& bytes, const QList<qsizetype>& cuts) {
        QLocalSocket s;
        s.connectToServer(m_name);
        if (!s.waitForConnected(5000))
            return QByteArray("not connected");
        qsizetype from = 0;
        for (const qsizetype cut : cuts + QList<qsizetype>{bytes.size()}) {
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
    const auto randomCuts = [&](qsizetype size) {
        QList<qsizetype> cuts;
        for (int n = rng.bounded(1, 12); n > 0; --n)
            cuts << rng.bounded(int(size) + 1);
        std::sort(cuts.begin(), cuts.end());
        return cuts;
    };

    for (int round = 0; round < 12; ++round) {
        QStringList request;
        for (int n = rng.bounded(4); n > 0; --n) {
            QString item;
            for (int c = rng.bounded(1, 40); c > 0; --c)
                item += QChar(char16_t(rng.bounded(0x20, 0xd7ff)));
            request << item;
        }
        const QByteArray frame = SingleInstance::frame(request);
        QCOMPARE(send(frame, randomCuts(frame.size())), QByteArray("\x06"));
        QTRY_COMPARE(spy.size(), 1);
        QCOMPARE(spy.takeFirst().at(0).toStringList(), request);
    }

    const QByteArray good = SingleInstance::frame({u"/年度.dys"_s});
    QByteArray longer = good;
    longer[8] = char(good.at(8) + 1); // the payload is said to be a byte longer
    QByteArray huge = good;
    huge[5] = char(0x40); // a gigabyte
    QByteArray count = good;
    count[12] = char(9); // nine items said, one there
    QByteArray notUtf8 = good;
    notUtf8[17] = char(0xff);
    QByteArray version = good;
    version[4] = char(2);
    QList<QByteArray> bad = {"GET / HTTP/1.1\r\n\r\n", longer + "x", huge, count, notUtf8, version,
                             QByteArray(9, '\0')};
    for (int n = 0; n < 8; ++n) {
        QByteArray noise;
        for (int b = rng.bounded(1, 200); b > 0; --b)
            noise += char(rng.bounded(256));
        bad << noise;
    }
    for (const QByteArray& bytes : bad) {
        QCOMPARE(send(bytes, randomCuts(bytes.size())), QByteArray());
        QCOMPARE(spy.size(), 0);
    }
    // A frame cut short hangs no one: the next sender is served while it waits.
    QLocalSocket stalled;
    stalled.connectToServer(m_name);
    QVERIFY(stalled.waitForConnected(5000));
    stalled.write(good.first(good.size() - 2));
    stalled.flush();
    QCOMPARE(send(good, {}), QByteArray("\x06"));
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(spy.takeFirst().at(0).toStringList(), QStringList{u"/年度.dys"_s});
    QTRY_COMPARE_WITH_TIMEOUT(stalled.state(), QLocalSocket::UnconnectedState, 10000);
    QCOMPARE(spy.size(), 0);
}

// A program killed while it listened leaves its socket behind; the next program finds
// nobody answering there, listens, and takes the requests of the ones after it. The
// user's socket is in XDG_RUNTIME_DIR and carries the user id.
void TestSingleInstance::socketLeftByACrashedProgramIsListenedOnAgain() {
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir.path()));
    m_name = SingleInstance::serverName();
    if (runtime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime);
    QCOMPARE(QFileInfo(m_name).absolutePath(), m_dir.path());
    QVERIFY(QFileInfo(m_name).fileName().contains(QString::number(::getuid())));

    auto first = child({}, m_name);
    first->start();
    QVERIFY(first->waitForReadyRead(HandOverMs));
    QCOMPARE(first->readLine(), QByteArray("listening\n"));
    first->kill();
    QVERIFY(first->waitForFinished());
    QVERIFY(QFileInfo::exists(m_name));
    QVERIFY(!SingleInstance::handOver(m_name, {}, 2000));

    SingleInstance next;
    QVERIFY(next.listen(m_name));
    QSignalSpy spy(&next, &SingleInstance::requested);
    auto third = child({u"/書類/年度 2006.dys"_s}, m_name);
    third->start();
    QTRY_COMPARE_WITH_TIMEOUT(third->state(), QProcess::NotRunning, HandOverMs);
    QCOMPARE(third->readAllStandardOutput(), QByteArray("handed-over\n"));
    QTRY_COMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toStringList(), QStringList{u"/書類/年度 2006.dys"_s});
    // A listening program is not listened over.
    SingleInstance another;
    QVERIFY(!another.listen(m_name));
}

// Programs started at the same instant, with no socket and with one a crash left:
// exactly one listens, and it receives the others' requests.
void TestSingleInstance::ofProgramsStartedTogetherExactlyOneListens() {
    constexpr int Programs = 4;
    for (int round = 0; round < 6; ++round) {
        const bool crashLeftSocket = round % 2 == 1;
        QFile::remove(m_name);
        if (crashLeftSocket)
            QVERIFY(leaveDeadSocket(m_name));
        m_children.clear();
        for (int i = 0; i < Programs; ++i) {
            m_children.push_back(child({u"/年度 %1.dys"_s.arg(i)}, m_name, true));
            m_children.back()->start();
        }
        for (auto& p : m_children) {
            QVERIFY(p->waitForReadyRead(HandOverMs));
            QCOMPARE(p->readLine(), QByteArray("ready\n"));
        }
        for (auto& p : m_children)
            p->write("g");
        for (auto& p : m_children)
            p->waitForBytesWritten();

        int listening = -1;
        QByteArrayList handedOver;
        for (int i = 0; i < Programs; ++i) {
            QProcess& p = *m_children[size_t(i)];
            QVERIFY(p.canReadLine() || p.waitForReadyRead(HandOverMs));
            const QByteArray said = p.readLine();
            if (said == "listening\n") {
                QVERIFY2(listening < 0, "two programs listen");
                listening = i;
            } else {
                QCOMPARE(said, QByteArray("handed-over\n"));
                QVERIFY(p.waitForFinished(HandOverMs));
                QCOMPARE(p.exitCode(), 0);
                handedOver << line({u"/年度 %1.dys"_s.arg(i)});
            }
        }
        QVERIFY(listening >= 0);
        // The running program took every other's request, in the order they came.
        QProcess& listener = *m_children[size_t(listening)];
        QTRY_COMPARE_WITH_TIMEOUT(listener.peek(1 << 16).count('\n'), Programs - 1, HandOverMs);
        QByteArrayList got = listener.readAll().split('\n');
        got.removeAll(QByteArray());
        for (QByteArray& l : got)
            l += '\n';
        std::sort(got.begin(), got.end());
        QCOMPARE(got, handedOver);
        listener.closeWriteChannel();
        QVERIFY(listener.waitForFinished(HandOverMs));
        QCOMPARE(listener.exitCode(), 0);
    }
}

int main(int argc, char** argv) {
    if (argc > 2 && qstrcmp(argv[1], "--child") == 0)
        return childMain(argc, argv);
    QCoreApplication app(argc, argv);
    TestSingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
