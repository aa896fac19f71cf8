// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "core/time/dates.h"
#include "support/fixedclock.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

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
    void newDocumentDumpsEveryRowAndColumn();
    void dumpEscapesControlCharacters();
    void unreadableDocumentExitsWithOne_data();
    void unreadableDocumentExitsWithOne();
    void todoListsTheRangeInEveryOrder_data();
    void todoListsTheRangeInEveryOrder();
    void todoRefusesARangeBackwardsAndAnUnknownOrder();
    void searchListsTheDaysFoundInOrder();
    void searchRefusesAnEmptyTextABadPatternAndARangeBackwards();
    void statsRecordCountsEachFirstKeywordInTheOrderGiven();
    void statsRecordRefusesABadPatternAndARangeBackwards();
    void statsItemGivesCountTargetAndPercentage();
    void statsItemRefusesABadPatternAndARangeBackwards();
    void statsTakeUpToFiftyKeywords();
    void searchAndStatsOfAMissingDocumentExitWithOne();

private:
    QTemporaryDir m_dir;
    QString todoDocument();
    QString statsDocument();
};

// A year with five items a day, every category, open and done, timed and untimed, and
// a text holding a TAB.
QString TestDaylogTool::todoDocument() {
    const QString path = m_dir.filePath(u"todo.dys"_s);
    if (QFileInfo::exists(path))
        return path;
    AppState app;
    app.doc().setPath(path);
    app.setCurrentDate(QDate(2005, 4, 1));
    Store_New(app, 2005);
    static const char16_t* const categories[] = {u"要軽", u"普通", u"重要", u"最重"};
    for (int r = 1; r <= 366; ++r) {
        QString day;
        for (int i = 0; i < 5; ++i) {
            const int k = (r * 7 + i * 3) % 11;
            day +=
                u'|' + QString::number(k % 3 == 0 ? 1 : 0) + u',' +
                (k % 4 == 0 ? QString() : u"%1:%2"_s.arg(7 + k, 2, 10, QChar(u'0')).arg(i * 10)) +
                u',' + QString::fromUtf16(categories[k % 4]) + u',' +
                (r == 40 && i == 0 ? u"tab\there"_s : u"用件%1"_s.arg(k, 2, 10, QChar(u'0')));
        }
        app.store().set(r, StoreCol::ToDo, day);
    }
    DocFiles::writeDocument(app.store(), 20, app.docPath());
    return path;
}

void TestDaylogTool::todoListsTheRangeInEveryOrder_data() {
    QTest::addColumn<QString>("order");
    for (const char* o :
         {"", "date", "date-desc", "open-first", "done-first", "category", "text", "text-desc"})
        QTest::newRow(*o ? o : "as stored") << QString::fromLatin1(o);
}

void TestDaylogTool::todoListsTheRangeInEveryOrder() {
    QFETCH(QString, order);
    QStringList args{u"todo"_s, todoDocument(), u"2005-04-01"_s, u"2006-04-01"_s};
    if (!order.isEmpty())
        args << u"--sort"_s << order;
    const Run r = runTool(args);
    QCOMPARE(r.exitCode, 0);
    QList<QStringList> items;
    for (const QString& line : r.out.split(u'\n', Qt::SkipEmptyParts))
        items.append(line.split(u'\t'));
    QCOMPARE(items.size(), 366 * 5);
    for (const QStringList& f : items)
        QCOMPARE(f.size(), 5);
    // The TAB in a text is escaped, so every line keeps its five fields.
    QVERIFY(r.out.contains(u"2005/05/10\t"_s));
    QVERIFY(r.out.contains(u"tab\\there"_s));
    auto column = [&](int i) {
        QStringList c;
        for (const QStringList& f : items)
            c.append(f[i]);
        return c;
    };
    const QStringList dates = column(0), flags = column(1), texts = column(4);
    if (order.isEmpty() || order == u"date"_s) {
        QVERIFY(std::is_sorted(dates.begin(), dates.end()));
    } else if (order == u"date-desc"_s) {
        QVERIFY(std::is_sorted(dates.rbegin(), dates.rend()));
    } else if (order == u"open-first"_s || order == u"done-first"_s) {
        const QString first = order == u"open-first"_s ? u"0"_s : u"1"_s;
        const qsizetype switchAt = flags.indexOf(first == u"0"_s ? u"1"_s : u"0"_s);
        QVERIFY(switchAt > 0);
        QVERIFY(!flags.mid(switchAt).contains(first));
        // Within each part the days still run in order.
        QVERIFY(std::is_sorted(dates.begin(), dates.begin() + switchAt));
    } else if (order == u"category"_s) {
        const QStringList cats = column(3);
        const QStringList rank{u"最重"_s, u"重要"_s, u"普通"_s, u"要軽"_s};
        for (qsizetype i = 1; i < cats.size(); ++i)
            QVERIFY(rank.indexOf(cats[i - 1]) <= rank.indexOf(cats[i]));
    } else if (order == u"text"_s || order == u"text-desc"_s) {
        QStringList plain = texts;
        plain.removeAll(u"tab\\there"_s);
        if (order == u"text"_s)
            QVERIFY(std::is_sorted(plain.begin(), plain.end()));
        else
            QVERIFY(std::is_sorted(plain.rbegin(), plain.rend()));
    }
}

void TestDaylogTool::todoRefusesARangeBackwardsAndAnUnknownOrder() {
    const Run backwards = runTool({u"todo"_s, todoDocument(), u"2005-05-02"_s, u"2005-05-01"_s});
    QCOMPARE(backwards.exitCode, 1);
    QVERIFY(backwards.err.contains(u"日付設定が不適切です"_s));
    QVERIFY(backwards.out.isEmpty());
    const Run unknown = runTool(
        {u"todo"_s, todoDocument(), u"2005-05-01"_s, u"2005-05-02"_s, u"--sort"_s, u"size"_s});
    QCOMPARE(unknown.exitCode, 2);
}

// A year with a few records, slot titles and a ToDo item to search and count.
QString TestDaylogTool::statsDocument() {
    const QString path = m_dir.filePath(u"stats.dys"_s);
    if (QFileInfo::exists(path))
        return path;
    AppState app;
    app.doc().setPath(path);
    app.setCurrentDate(QDate(2005, 4, 1));
    Store_New(app, 2005);
    auto row = [](int m, int d) {
        return Dates::rowOfDate(QDate(m > 3 ? 2005 : 2006, m, d), 2005);
    };
    using namespace StoreCol;
    app.store().set(row(5, 1), Record, u"WAとWB"_s);
    app.store().set(row(5, 2), Record, u"WB"_s);
    app.store().set(row(5, 3), Record, u"W A"_s);
    app.store().set(row(5, 10), Record, u"雨\tのち晴れ"_s);
    app.store().set(row(3, 31), Record, u"WA"_s);
    for (int i = 0; i < 3; ++i)
        app.store().set(row(5, 1), SlotItem1 + i, u"ジョギング"_s);
    app.store().set(row(5, 2), SlotItem1 + 6, u"朝のジョギング"_s);
    app.store().set(row(5, 2), SlotText1, u"通院"_s); // a slot's content, no title
    app.store().set(row(6, 1), SlotItem1, u"通院"_s);
    app.store().set(row(6, 2), SlotItem1, u"a=b"_s);
    app.store().set(row(7, 7), ToDo, u"|0,,普通,七夕の笹を買う"_s);
    DocFiles::writeDocument(app.store(), 20, app.docPath());
    return path;
}

void TestDaylogTool::searchListsTheDaysFoundInOrder() {
    const QString doc = statsDocument();
    auto search = [&](const QString& from, const QString& to, const QString& text) {
        const Run r = runTool({u"search"_s, doc, from, to, text});
        return r.exitCode == 0 && r.err.isEmpty() ? r.out
                                                  : u"exit %1: %2"_s.arg(r.exitCode).arg(r.err);
    };
    QCOMPARE(search(u"2005-04-01"_s, u"2006-04-01"_s, u"W"_s),
             u"2005/05/01\n2005/05/02\n2005/05/03\n2006/03/31\n"_s);
    QCOMPARE(search(u"2005-05-02"_s, u"2005-05-03"_s, u"W"_s), u"2005/05/02\n2005/05/03\n"_s);
    QCOMPARE(search(u"2005-04-01"_s, u"2005-04-30"_s, u"火"_s),
             u"2005/04/05\n2005/04/12\n2005/04/19\n2005/04/26\n"_s);
    QCOMPARE(search(u"2005-04-01"_s, u"2006-04-01"_s, u"七夕"_s), u"2005/07/07\n"_s);
    QCOMPARE(search(u"2005-04-01"_s, u"2006-04-01"_s, u"ジョギング"_s),
             u"2005/05/01\n2005/05/02\n"_s);
    QCOMPARE(search(u"2005-04-01"_s, u"2006-04-01"_s, u"W?W"_s), QString());
    // Days outside the document's year are no days of it.
    QCOMPARE(search(u"2000-01-01"_s, u"2005-05-01"_s, u"W"_s), u"2005/05/01\n"_s);
    QCOMPARE(search(u"2006-04-02"_s, u"2007-01-01"_s, u"*"_s), QString());
}

void TestDaylogTool::searchRefusesAnEmptyTextABadPatternAndARangeBackwards() {
    const QString doc = statsDocument();
    const Run empty = runTool({u"search"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, QString()});
    QCOMPARE(empty.exitCode, 1);
    QVERIFY(empty.out.isEmpty());
    QVERIFY2(empty.err.contains(u"検索項目を入力してください"_s), qPrintable(empty.err));

    const Run bad = runTool({u"search"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, u"W[A"_s});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY(bad.out.isEmpty());
    QVERIFY2(bad.err.contains(u"W[A"_s), qPrintable(bad.err));

    const Run backwards = runTool({u"search"_s, doc, u"2005-05-02"_s, u"2005-05-01"_s, u"W"_s});
    QCOMPARE(backwards.exitCode, 1);
    QVERIFY(backwards.out.isEmpty());
    QVERIFY2(backwards.err.contains(u"日付設定が不適切です"_s), qPrintable(backwards.err));
}

void TestDaylogTool::statsRecordCountsEachFirstKeywordInTheOrderGiven() {
    const QString doc = statsDocument();
    const Run r = runTool({u"stats-record"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, u"--key1"_s,
                           u"X"_s, u"--key1"_s, u"W"_s, u"--key1"_s, u"雨\t"_s, u"--key2"_s, u"A"_s,
                           u"--key2"_s, u"B"_s, u"--key2"_s, u"のち"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"X\t\t\t\nW\t2\t1\t\n雨\\t\t\t\t1\n"_s);

    // Options before and between the other arguments; a second keyword left empty.
    const Run may = runTool({u"stats-record"_s, u"--key2"_s, QString(), u"--key2"_s, u"B"_s, doc,
                             u"--key1"_s, u"W"_s, u"2005-05-01"_s, u"2005-05-02"_s});
    QCOMPARE(may.exitCode, 0);
    QCOMPARE(may.out, u"W\t\t2\n"_s);

    const Run none =
        runTool({u"stats-record"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, u"--key2"_s, u"A"_s});
    QCOMPARE(none.exitCode, 0);
    QCOMPARE(none.out, QString());
}

void TestDaylogTool::statsRecordRefusesABadPatternAndARangeBackwards() {
    const QString doc = statsDocument();
    const Run bad = runTool({u"stats-record"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, u"--key1"_s,
                             u"W"_s, u"--key2"_s, u"A"_s, u"--key2"_s, u"[z-a]"_s});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY(bad.out.isEmpty());
    QVERIFY2(bad.err.contains(u"[z-a]"_s), qPrintable(bad.err));

    const Run backwards = runTool({u"stats-record"_s, doc, u"2005-05-02"_s, u"2005-05-01"_s,
                                   u"--key1"_s, u"W"_s, u"--key2"_s, u"A"_s});
    QCOMPARE(backwards.exitCode, 1);
    QVERIFY(backwards.out.isEmpty());
    QVERIFY2(backwards.err.contains(u"日付設定が不適切です"_s), qPrintable(backwards.err));
}

void TestDaylogTool::statsItemGivesCountTargetAndPercentage() {
    const QString doc = statsDocument();
    QStringList args{u"stats-item"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s};
    for (const QString& key :
         {u"ジョギング=2"_s, u"通院"_s, u"通院=3"_s, u"読書=5"_s, u"ジョギング=十"_s,
          u"ジョギング=0"_s, u"ジョギング= 8 "_s, u"a=b="_s, u"=4"_s, u"通\t院"_s})
        args << u"--key"_s << key;
    const Run r = runTool(args);
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out.split(u'\n'),
             (QStringList{u"ジョギング\t2\t4\t200.0"_s, u"通院\t\t1\t"_s, u"通院\t3\t1\t33.3"_s,
                          u"読書\t5\t\t"_s, u"ジョギング\t十\t4\t"_s, u"ジョギング\t0\t4\t"_s,
                          u"ジョギング\t 8 \t4\t50.0"_s, u"a=b\t\t1\t"_s, u"\t4\t\t"_s,
                          u"通\\t院\t\t\t"_s, QString()}));

    const Run may = runTool(
        {u"stats-item"_s, doc, u"2005-05-02"_s, u"2005-05-31"_s, u"--key"_s, u"ジョギング=3"_s});
    QCOMPARE(may.exitCode, 0);
    QCOMPARE(may.out, u"ジョギング\t3\t1\t33.3\n"_s);
}

void TestDaylogTool::statsItemRefusesABadPatternAndARangeBackwards() {
    const QString doc = statsDocument();
    const Run bad = runTool({u"stats-item"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s, u"--key"_s,
                             u"通院=1"_s, u"--key"_s, u"[通院=1"_s});
    QCOMPARE(bad.exitCode, 1);
    QVERIFY(bad.out.isEmpty());
    QVERIFY2(bad.err.contains(u"[通院"_s), qPrintable(bad.err));

    const Run backwards =
        runTool({u"stats-item"_s, doc, u"2006-01-01"_s, u"2005-12-31"_s, u"--key"_s, u"通院"_s});
    QCOMPARE(backwards.exitCode, 1);
    QVERIFY(backwards.out.isEmpty());
    QVERIFY2(backwards.err.contains(u"日付設定が不適切です"_s), qPrintable(backwards.err));
}

void TestDaylogTool::statsTakeUpToFiftyKeywords() {
    const QString doc = statsDocument();
    QStringList record{u"stats-record"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s};
    QStringList item{u"stats-item"_s, doc, u"2005-04-01"_s, u"2006-04-01"_s};
    for (int k = 1; k <= 50; ++k) {
        record << u"--key1"_s << (k == 50 ? u"W"_s : QString::number(k));
        item << u"--key"_s << (k == 50 ? u"通院=2"_s : QString::number(k));
    }
    for (int c = 1; c <= 10; ++c)
        record << u"--key2"_s << (c == 10 ? u"A"_s : QString::number(c));
    const Run r = runTool(record);
    QCOMPARE(r.exitCode, 0);
    const QStringList lines = r.out.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 50);
    QCOMPARE(lines.first(), u"1\t\t\t\t\t\t\t\t\t\t"_s);
    QCOMPARE(lines.last(), u"W\t\t\t\t\t\t\t\t\t\t2"_s);
    const Run i = runTool(item);
    QCOMPARE(i.exitCode, 0);
    QCOMPARE(i.out.split(u'\n', Qt::SkipEmptyParts).last(), u"通院\t2\t1\t50.0"_s);

    QCOMPARE(runTool(record << u"--key1"_s << u"51"_s).exitCode, 2);
    QCOMPARE(runTool(item << u"--key"_s << u"51"_s).exitCode, 2);
}

void TestDaylogTool::searchAndStatsOfAMissingDocumentExitWithOne() {
    const QString path = m_dir.filePath(u"無い.dys"_s);
    for (const QStringList& args :
         {QStringList{u"search"_s, path, u"2005-04-01"_s, u"2006-04-01"_s, u"W"_s},
          QStringList{u"stats-record"_s, path, u"2005-04-01"_s, u"2006-04-01"_s},
          QStringList{u"stats-item"_s, path, u"2005-04-01"_s, u"2006-04-01"_s}}) {
        const Run r = runTool(args);
        QCOMPARE(r.exitCode, 1);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.err.contains(path), qPrintable(r.err));
    }
}

void TestDaylogTool::initTestCase() {
    QVERIFY2(QFileInfo(qEnvironmentVariable("DAYLOG_TOOL")).isExecutable(),
             "DAYLOG_TOOL must name the built daylog-tool");
}

void TestDaylogTool::holidaysListsExactlyTheSpansHolidays() {
    const Run r = runTool({u"holidays"_s, u"1948-07-19"_s, u"1948-12-31"_s});
    QCOMPARE(r.exitCode, 0);
    QCOMPARE(r.out, u"1948-09-23\t秋分の日\n1948-11-03\t文化の日\n1948-11-23\t勤労感謝の日\n"_s);
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
    app.doc().setPath(dir.filePath(u"escaped.dys"_s));
    setCurrentDateToToday(app, 2005);
    Store_New(app, 2005);
    Clock::install(nullptr);
    app.store().set(20, StoreCol::Record, u"a\tb\nc\\d"_s);
    QVERIFY(DocFiles::writeDocument(app.store(), 20, app.docPath()).ok());

    const Run r = runTool({u"dump"_s, app.docPath()});
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
