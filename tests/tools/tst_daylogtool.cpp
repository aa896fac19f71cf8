#include "grid/gridmodel.h"
#include "platform/clock.h"
#include "store/appstate.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

Run runTool(const QStringList& args, const QByteArray& now = "2006-02-10T09:30:00") {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DAYLOG_NOW"_s, QString::fromUtf8(now));
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("DAYLOG_TOOL"), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// The dump of a document: one list of fields per line.
QList<QStringList> dumpRows(const QString& out) {
    QList<QStringList> rows;
    const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
    for (const QString& line : lines)
        rows.append(line.split(u'\t'));
    return rows;
}
} // namespace

class TestDaylogTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void holidaysListsExactlyTheSpansHolidays();
    void usageErrorsExitWithTwo_data();
    void usageErrorsExitWithTwo();
    void versionIsPrinted();
    void newDocumentDumpsEveryRowAndColumn();
    void dumpEscapesControlCharacters();
    void unreadableDocumentExitsWithOne_data();
    void unreadableDocumentExitsWithOne();
};

void TestDaylogTool::initTestCase() {
    QVERIFY2(QFileInfo(qEnvironmentVariable("DAYLOG_TOOL")).isExecutable(),
             "DAYLOG_TOOL must name the built daylog-tool");
}

void TestDaylogTool::holidaysListsExactlyTheSpansHolidays() {
    const Run r = runTool({u"holidays"_s, u"1948-07-19"_s, u"1948-12-31"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"1948-09-23\t秋分の日\n1948-11-03\t文化の日\n1948-11-23\t勤労感謝の日\n"_s);
}

void TestDaylogTool::usageErrorsExitWithTwo_data() {
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("now");

    const QByteArray now = "2006-02-10T09:30:00";
    QTest::newRow("unknown command") << QStringList{u"print"_s} << now;
    QTest::newRow("holidays, one date") << QStringList{u"holidays"_s, u"2006-01-01"_s} << now;
    QTest::newRow("holidays, short month")
        << QStringList{u"holidays"_s, u"2006-1-01"_s, u"2006-02-01"_s} << now;
    QTest::newRow("holidays, 30 February")
        << QStringList{u"holidays"_s, u"2006-01-01"_s, u"2006-02-30"_s} << now;
    QTest::newRow("new, year not a number")
        << QStringList{u"new"_s, u"heisei"_s, u"/nonexistent/x.dys"_s} << now;
    QTest::newRow("malformed DAYLOG_NOW")
        << QStringList{u"--version"_s} << QByteArray("2006-02-10");
}

void TestDaylogTool::usageErrorsExitWithTwo() {
    QFETCH(QStringList, args);
    QFETCH(QByteArray, now);
    const Run r = runTool(args, now);
    QCOMPARE(r.exitCode, 2);
    QVERIFY(r.out.isEmpty());
    QVERIFY(!r.err.isEmpty());
}

void TestDaylogTool::versionIsPrinted() {
    const Run r = runTool({u"--version"_s});
    QCOMPARE(r.exitCode, 0);
    QVERIFY2(r.out.contains(QStringLiteral(DAYLOG_VERSION)), qPrintable(r.out));
}

void TestDaylogTool::newDocumentDumpsEveryRowAndColumn() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"diary2005.dys"_s);
    QCOMPARE(runTool({u"new"_s, u"2005"_s, path}).exitCode, 0);
    const Run r = runTool({u"dump"_s, path});
    QCOMPARE(r.exitCode, 0);
    const QList<QStringList> rows = dumpRows(r.out);
    QCOMPARE(rows.size(), 367);
    for (int n = 0; n < rows.size(); ++n) {
        QCOMPARE(rows[n].size(), 53);
        QCOMPARE(rows[n][0], QString::number(n));
    }
    QCOMPARE(rows[0][1], u"2005"_s);
    QCOMPARE(rows[316][1], u"2006/02/10"_s);
    QCOMPARE(rows[316][1 + 19], u"16711935"_s);
    QCOMPARE(rows[366][1], u"2006/04/01"_s);
    QCOMPARE(rows[366][1 + 19], u"16711680"_s);
}

void TestDaylogTool::dumpEscapesControlCharacters() {
    QTemporaryDir dir;
    Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(2006, 2, 10), QTime(9, 30))));
    AppState app;
    app.BaseYear = 2005;
    app.DocPath = dir.filePath(u"escaped.dys"_s);
    setCurrentDateToToday(app);
    Store_New(app);
    Clock::install(nullptr);
    app.store.set(20, StoreCol::Record, u"a\tb\nc\\d"_s);
    QVERIFY(Store_Save(app).ok());

    const Run r = runTool({u"dump"_s, app.DocPath});
    QCOMPARE(r.exitCode, 0);
    const QList<QStringList> rows = dumpRows(r.out);
    QCOMPARE(rows.value(20).value(1 + StoreCol::Record), u"a\\tb\\nc\\\\d"_s);
}

// Empty `bytes`: no file at all.
void TestDaylogTool::unreadableDocumentExitsWithOne_data() {
    QTest::addColumn<QByteArray>("bytes");

    GridModel doc(367, 20);
    doc.setTextMatrix(0, 0, u"2005"_s);
    const QByteArray image = doc.toFileImage();
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("truncated") << image.left(image.size() - 40);
    QTest::newRow("damaged colour") << QByteArray(image).replace("\n0\t0\t", "\nx\t0\t");
    QTest::newRow("foreign") << QByteArray("PK\x03\x04 not a document\n");
    QTest::newRow("not a year document") << GridModel(10, 10).toFileImage();
}

void TestDaylogTool::unreadableDocumentExitsWithOne() {
    QFETCH(QByteArray, bytes);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"壊れた.dys"_s);
    QFile f(path);
    if (!bytes.isEmpty()) {
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(bytes), bytes.size());
        f.close();
    }
    const Run r = runTool({u"dump"_s, path});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(r.out.isEmpty());
    QVERIFY2(r.err.contains(path), qPrintable(r.err));
    QVERIFY2(r.err.contains(u"開けませんでした"_s), qPrintable(r.err));
}

QTEST_GUILESS_MAIN(TestDaylogTool)
#include "tst_daylogtool.moc"
