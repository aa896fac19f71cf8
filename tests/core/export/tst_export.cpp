// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/export/csv.h"
#include "core/export/exporttarget.h"
#include "core/export/icalendar.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>
#include <QUuid>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runTool(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("DAYLOG_TOOL"), args);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

AppState* newYear(AppState& app, int baseYear) {
    app.setCurrentDate(QDate(baseYear, 5, 10));
    Store_New(app, baseYear);
    return &app;
}

int row(const QDate& d) {
    return Dates::rowOfDate(d, 2005);
}

// Every text of every day filled, with the characters CSV and iCalendar must carry:
// commas, quotes, semicolons, backslashes, line breaks of both kinds, Japanese.
void fillEverything(AppState& app) {
    const QStringList categories = {u"最重"_s, u"重要"_s, u"普通"_s,
                                    u"要軽"_s, u"自由"_s, QString()};
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        const QString n = QString::number(r);
        app.store().set(r, StoreCol::Events, u"行事"_s + n + u", \"引用\"; 付き"_s);
        app.store().set(r, StoreCol::Record, u"記録 "_s + n + u"\r\n二行目\n三行目 \\ 終わり"_s);
        for (int i = 0; i < 7; ++i) {
            if ((r + i) % 5 != 0)
                app.store().set(r, StoreCol::SlotItem1 + i,
                                u"項目"_s + n + u"-"_s + QString::number(i));
            if ((r + i) % 3 != 0)
                app.store().set(r, StoreCol::SlotText1 + i,
                                u"内容, "_s + n + u"\n「"_s + QString::number(i) + u"」\"x\""_s);
        }
        QString todo;
        for (int k = 0; k < r % 4; ++k)
            todo += ToDo_ItemString(
                (r + k) % 2,
                k == 2 ? QString() : u"%1:15"_s.arg(QString::number(8 + k).rightJustified(2, u'0')),
                categories[(r + k) % categories.size()],
                u"用件, "_s + n + u"-"_s + QString::number(k));
        app.store().set(r, StoreCol::ToDo, todo);
    }
}

bool put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString saveDocument(AppState& app, const QString& path) {
    app.doc().setPath(path);
    if (!DocFiles::writeDocument(app.store(), 20, app.docPath()).ok())
        qFatal("cannot write the test document");
    return path;
}

} // namespace

class TestExport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The export of a small document, against a file written by hand from RFC 5545.
    void iCalendarOfASmallDocument() {
        AppState app;
        newYear(app, 2005);
        const QDate may10(2005, 5, 10);
        app.store().set(row(QDate(2005, 5, 3)), StoreCol::Events, u"憲法記念日\n家族旅行"_s);
        app.store().set(row(may10), StoreCol::Events, u"遠足; 雨天時は5/12, 5/13"_s);
        app.store().set(row(may10), StoreCol::Record, u"晴れ。\n遠足は予定どおり。"_s);
        app.store().set(row(may10), StoreCol::SlotItem1, u"国語"_s);
        app.store().set(row(may10), StoreCol::SlotText1, u"漢字テスト\r\n教科書 p.12"_s);
        app.store().set(
            row(may10), StoreCol::SlotText1 + 2,
            u"運動会の係分担を決める。放送係・用具係・救護係・記録係・招集係の担当者を確認する。"_s);
        app.store().set(row(may10), StoreCol::SlotItem1 + 5, u"部活動"_s);
        app.store().set(row(may10), StoreCol::SlotItem1 + 6, u"夜間巡回"_s);
        app.store().set(row(may10), StoreCol::ToDo,
                        ToDo_ItemString(false, u"10:00"_s, u"最重"_s, u"職員会議"_s) +
                            ToDo_ItemString(true, QString(), u"要軽"_s, u"掃除当番"_s) +
                            ToDo_ItemString(false, QString(), u"要軽"_s, u"掃除当番"_s) +
                            ToDo_ItemString(false, u"朝"_s, u"自由"_s, u"C:\\temp を整理"_s));
        app.store().set(row(QDate(2006, 3, 31)), StoreCol::Events, u"修了式"_s);
        // Row 366 of a year without 29 February is the next year's 1 April.
        app.store().set(366, StoreCol::Events, u"入学式準備"_s);
        app.store().setDocumentId(QUuid(u"{6f1c2a4e-93d5-4b7a-8e21-5c0d9b3f7a10}"_s));

        const QByteArray got = Export_ICalendar(
            app.store(), 2005,
            {true, QDateTime(QDate(2026, 12, 8), QTime(16, 0), QTimeZone(9 * 3600))});
        QFile f(qEnvironmentVariable("DAYLOG_TESTDATA") + u"/export/small.ics"_s);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray want = f.readAll().replace("@VERSION@", DAYLOG_VERSION);
        QCOMPARE(QString::fromUtf8(got), QString::fromUtf8(want));

        // With the holidays, every holiday of the year is an all-day event of its own.
        const QString all = QString::fromUtf8(Export_ICalendar(app.store(), 2005, {false, {}}));
        QVERIFY(all.contains(u"UID:6f1c2a4e93d54b7a8e215c0d9b3f7a10-20050429-events@daylog\r\n"
                             u"DTSTAMP"_s));
        QVERIFY(all.contains(u"SUMMARY:みどりの日\r\nTRANSP"_s));
        QVERIFY(all.contains(u"SUMMARY:憲法記念日\r\nDESCRIPTION:憲法記念日\\n家族旅行\r\n"_s));
    }

    void textIsEscapedAndLinesFolded() {
        using namespace ICalendar;
        QCOMPARE(escapeText(u"a\\b;c,d\r\ne\nf\rg\th\x01i"_s), u"a\\\\b\\;c\\,d\\ne\\nf\\ng\th"
                                                               u"i"_s);
        const QByteArray ascii = foldLine(QString(200, u'x'));
        const QList<QByteArray> lines = ascii.split('\n');
        QCOMPARE(lines.size(), 4); // 75 + 74 + 51, and the empty rest after the last break
        QCOMPARE(lines[0].size(), 75 + 1);
        QCOMPARE(lines[1], " " + QByteArray(74, 'x') + "\r");
        QCOMPARE(lines[2], " " + QByteArray(51, 'x') + "\r");
        // Never inside a character: four-byte characters at an odd offset.
        const QByteArray wide = foldLine(u"X:"_s + QString(40, u'あ') + u"😀😀😀😀😀😀😀😀😀😀"_s);
        for (const QByteArray& l : wide.split('\n')) {
            QVERIFY(l.size() <= 76);
            QVERIFY(QString::fromUtf8(l).toUtf8() == l); // valid UTF-8 on its own
        }
        QCOMPARE(QString::fromUtf8(QByteArray(wide).replace("\r\n ", "").replace("\r\n", "")),
                 u"X:"_s + QString(40, u'あ') + u"😀😀😀😀😀😀😀😀😀😀"_s);
    }

    // A full document read by an independent iCalendar library: every event and task
    // with its fields, checked against the CSV export of the same document.
    void aFullDocumentParsesWithAnotherLibrary() {
        QTemporaryDir dir;
        AppState app;
        newYear(app, 2007); // a year with 29 February
        fillEverything(app);
        const QString doc = saveDocument(app, dir.filePath(u"full.dys"_s));
        const QString ics = dir.filePath(u"full.ics"_s), csv = dir.filePath(u"full.csv"_s);
        QCOMPARE(runTool({u"export"_s, u"--format"_s, u"ics"_s, doc, ics}).exitCode, 0);
        QCOMPARE(runTool({u"export"_s, u"--format"_s, u"csv"_s, doc, csv}).exitCode, 0);

        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {qEnvironmentVariable("DAYLOG_TESTDATA") + u"/../core/export/check_ics.py"_s,
                      ics, csv});
        QVERIFY(python.waitForFinished(120000));
        const QString out =
            QString::fromUtf8(python.readAllStandardOutput() + python.readAllStandardError());
        QVERIFY2(python.exitCode() == 0, qPrintable(out + u"\n(python3-icalendar is needed)"_s));
        QVERIFY2(out.contains(u" 0 problems"_s), qPrintable(out));
    }

    // export → import → dump: the same texts in every row and column.
    void csvTravelsThereAndBack() {
        QTemporaryDir dir;
        AppState app;
        newYear(app, 2005);
        fillEverything(app);
        const QString doc = saveDocument(app, dir.filePath(u"year.dys"_s));
        const QString csv = dir.filePath(u"year.csv"_s), back = dir.filePath(u"back.dys"_s);
        QCOMPARE(runTool({u"export"_s, u"--format"_s, u"csv"_s, doc, csv}).exitCode, 0);
        QFile f(csv);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"
                                 "2005,曜日,今日の行事,記録,"));
        QVERIFY(
            bytes.contains("\r\n2005/04/01,金,\"行事1, \"\"引用\"\"; 付き\",\"記録 1\r\n二行目\n"));

        const Run imported = runTool({u"import"_s, csv, back});
        QVERIFY2(imported.exitCode == 0, qPrintable(imported.err));
        const Run a = runTool({u"dump"_s, doc}), b = runTool({u"dump"_s, back});
        QCOMPARE(a.exitCode, 0);
        QCOMPARE(b.exitCode, 0);
        const QList<QByteArray> la = a.out.split('\n'), lb = b.out.split('\n');
        QCOMPARE(lb.size(), la.size());
        for (qsizetype i = 0; i < la.size(); ++i) {
            // The 19 text columns after the row number; the colours stay behind.
            const QList<QByteArray> fa = la[i].split('\t').mid(0, 20),
                                    fb = lb[i].split('\t').mid(0, 20);
            QCOMPARE(fb, fa);
        }
    }

    void malformedCsvIsRefusedWithItsLine_data() {
        QTest::addColumn<QByteArray>("change"); // "from=>to" applied to a good file
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        QTest::newRow("another heading")
            << QByteArray("今日の行事=>行事") << 1 << u"3列目の見出し"_s;
        QTest::newRow("no year") << QByteArray("\xEF\xBB\xBF"
                                               "2005,=>年度,")
                                 << 1 << u"年度"_s;
        QTest::newRow("a field too many")
            << QByteArray("2005/04/03,日,=>2005/04/03,日,,") << 4 << u"項目が20個"_s;
        QTest::newRow("a field too few")
            << QByteArray("2005/04/03,日,=>2005/04/03,") << 4 << u"項目が18個"_s;
        QTest::newRow("a day left out") << QByteArray("2005/04/03,日,,,,,,,,,,,,,,,,,\r\n=>") << 4
                                        << u"「2005/04/04」です（「2005/04/03」"_s;
        QTest::newRow("a date out of order")
            << QByteArray("2005/04/03,=>2005/04/30,") << 4 << u"日付が「2005/04/30」"_s;
        QTest::newRow("a quote left open") << QByteArray("2005/04/05,火,=>2005/04/05,火,\"open")
                                           << 6 << u"引用符が閉じていません"_s;
        QTest::newRow("text after a quote")
            << QByteArray("2005/04/05,火,=>2005/04/05,火,\"a\"b") << 6 << u"引用符の後"_s;
        QTest::newRow("a line short")
            << QByteArray("2006/04/01,土,,,,,,,,,,,,,,,,,\r\n=>") << 367 << u"行が足りません"_s;
        QTest::newRow("a line more") << QByteArray("2006/04/01,土,,,,,,,,,,,,,,,,,\r\n=>"
                                                   "2006/04/01,土,,,,,,,,,,,,,,,,,\r\nx\r\n")
                                     << 368 << u"行が多すぎます"_s;
        QTest::newRow("not UTF-8") << QByteArray("曜日=>\xff\xfe") << 1 << u"UTF-8"_s;
        QTest::newRow("empty") << QByteArray("*") << 0 << u"空"_s;
    }
    void malformedCsvIsRefusedWithItsLine() {
        QFETCH(QByteArray, change);
        QFETCH(int, line);
        QFETCH(QString, reason);
        AppState good;
        newYear(good, 2005);
        QByteArray bytes = Export_Csv(good.store(), 2005);
        if (change == "*") {
            bytes.clear();
        } else {
            const qsizetype arrow = change.indexOf("=>");
            const QByteArray from = change.left(arrow), to = change.mid(arrow + 2);
            QVERIFY(bytes.contains(from));
            bytes.replace(bytes.indexOf(from), from.size(), to);
        }
        AppState app;
        newYear(app, 2010);
        app.store().set(5, StoreCol::Record, u"そのまま"_s);
        CsvError error;
        QVERIFY(!Import_Csv(bytes, app.store(), &error));
        QCOMPARE(error.line, line);
        QVERIFY2(error.reason.contains(reason), qPrintable(error.message()));
        QCOMPARE(app.baseYear(), 2010);
        QCOMPARE(app.store().text(5, StoreCol::Record), u"そのまま"_s);

        // The command line says the same and writes nothing.
        QTemporaryDir dir;
        QFile f(dir.filePath(u"bad.csv"_s));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        f.close();
        const Run r = runTool({u"import"_s, f.fileName(), dir.filePath(u"out.dys"_s)});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(error.message()), qPrintable(r.err));
        QVERIFY(!QFile::exists(dir.filePath(u"out.dys"_s)));
    }

    void csvDatesAsASpreadsheetWritesThem_data();
    void csvDatesAsASpreadsheetWritesThem();
    void csvTextsStayWithinWhatADocumentHolds();
    void exportNeverWritesOverADayLogFile();

    void exportOnTheCommandLine() {
        QTemporaryDir dir;
        AppState app;
        newYear(app, 2005);
        const QString doc = saveDocument(app, dir.filePath(u"y.dys"_s));
        const Run out = runTool({u"export"_s, u"--format"_s, u"ics"_s, u"--no-holidays"_s, doc});
        QCOMPARE(out.exitCode, 0);
        QVERIFY(out.out.startsWith("BEGIN:VCALENDAR\r\n"));
        QVERIFY(!out.out.contains("VEVENT")); // a new year holds only holidays
        QCOMPARE(runTool({u"export"_s, u"--format"_s, u"pdf"_s, doc}).exitCode, 2);
        QCOMPARE(runTool({u"export"_s, u"--format"_s, u"csv"_s, u"--no-holidays"_s, doc}).exitCode,
                 2);
        const Run missing =
            runTool({u"export"_s, u"--format"_s, u"csv"_s, dir.filePath(u"no.dys"_s)});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.contains(u"no.dys"_s));
        const Run unwritable = runTool(
            {u"export"_s, u"--format"_s, u"csv"_s, doc, dir.filePath(u"no/such/dir.csv"_s)});
        QCOMPARE(unwritable.exitCode, 1);
        QVERIFY(unwritable.err.contains(u"dir.csv"_s));
    }
};

// The CSV of a full year as a spreadsheet gives it back: the date column in any
// spelling of the line's own day is taken for every line; another day, a weekday not
// of the date, a NUL character and bytes that are not UTF-8 (in a file that holds a
// real U+FFFD elsewhere) are refused naming the line. `line` 0: taken.
void TestExport::csvDatesAsASpreadsheetWritesThem_data() {
    QTest::addColumn<QByteArray>("csv");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("reason");
    AppState app;
    newYear(app, 2005);
    fillEverything(app);
    app.store().set(5, StoreCol::Record, u"置換文字 \uFFFD はそのまま"_s);
    const QByteArray good = Export_Csv(app.store(), 2005);
    // Where the line of a row begins, and its number (texts span lines).
    auto startOf = [&](const QByteArray& csv, int row) {
        const QByteArray date = Dates::toStoreText(Dates::dateOfRow(row, 2005)).toUtf8();
        return csv.indexOf("\r\n" + date + ',') + 2;
    };
    auto lineOf = [](const QByteArray& csv, qsizetype at) {
        return int(csv.left(at).count('\n')) + 1;
    };
    auto spelled = [&](const char* format) {
        QByteArray csv = good;
        for (int row = 1; row <= YearStore::DayRows; ++row) {
            const qsizetype at = startOf(csv, row);
            csv.replace(at, 10,
                        Dates::dateOfRow(row, 2005).toString(QLatin1String(format)).toUtf8());
        }
        return csv;
    };
    QTest::newRow("yyyy/MM/dd") << good << 0 << QString();
    for (const char* format : {"yyyy-MM-dd", "yyyy/M/d", "yyyy-M-d"})
        QTest::newRow(format) << spelled(format) << 0 << QString();

    // Each fault put at the start of a row's line ("@" stands for the date as written).
    const struct {
        const char* name;
        int row;
        QByteArray from, to;
        const char* reason;
    } faults[] = {
        {"another day", 40, "2005/05/10,", "2005-5-11,", "日付が「2005-5-11」です（「2005/05/10」"},
        {"the day of another year", 300, "2006/01/25,", "2005/1/25,", "日付が「2005/1/25」"},
        {"separators mixed", 41, "2005/05/11,", "2005/5-11,", "日付が「2005/5-11」"},
        {"no separators", 42, "2005/05/12,", "20050512,", "日付が「20050512」"},
        {"a weekday of another day", 3, "2005/04/03,日,", "2005/04/03,月,",
         "曜日が「月」です（2005/04/03 は「日」"},
        {"the weekday left out", 366, "2006/04/01,土,", "2006-04-01,,", "曜日が「」"},
        {"NUL in the date", 100, "2005/07/09,", QByteArray("2005/07/09\0,", 12),
         "1列目（日付）に NUL"},
        {"NUL in the weekday", 101, "2005/07/10,日", QByteArray("2005/07/10,日\0", 15),
         "2列目（曜日）に NUL"},
        {"NUL in a text", 102, "2005/07/11,月,\"", QByteArray("2005/07/11,月,\"\0", 17),
         "3列目（今日の行事）に NUL"},
        {"not UTF-8", 200, "2005/10/17,月,", "2005/10/17,月,\xE8\xA1", "UTF-8"},
        {"a lone surrogate", 201, "2005/10/18,火,", "2005/10/18,火,\xED\xA0\x80", "UTF-8"},
    };
    for (const auto& f : faults) {
        QByteArray csv = good;
        const qsizetype at = startOf(csv, f.row);
        QVERIFY2(csv.mid(at).startsWith(f.from), f.name);
        csv.replace(at, f.from.size(), f.to);
        QTest::newRow(f.name) << csv << lineOf(csv, at) << QString::fromUtf8(f.reason);
    }
    // A character cut short at the very end of the file.
    QTest::newRow("the last character cut")
        << good + "\xE3\x81" << lineOf(good, good.size()) << u"UTF-8"_s;
}

void TestExport::csvDatesAsASpreadsheetWritesThem() {
    QFETCH(QByteArray, csv);
    QFETCH(int, line);
    QFETCH(QString, reason);
    AppState source;
    newYear(source, 2005);
    fillEverything(source);
    source.store().set(5, StoreCol::Record, u"置換文字 \uFFFD はそのまま"_s);

    AppState app;
    newYear(app, 2010);
    app.store().set(5, StoreCol::Record, u"そのまま"_s);
    const YearStore before = app.store();
    CsvError error;
    const bool taken = Import_Csv(csv, app.store(), &error);
    const YearStore& want = line == 0 ? source.store() : before;
    if (line == 0) {
        QVERIFY2(taken, qPrintable(error.message()));
    } else {
        QVERIFY(!taken);
        QCOMPARE(error.line, line);
        QVERIFY2(error.reason.contains(reason), qPrintable(error.message()));
    }
    // Taken, the texts of every day are the file's; refused, the document is as it was.
    for (int r = 0; r <= YearStore::DayRows; ++r)
        for (int c = 0; c < StoreCol::TextColumns; ++c)
            if (app.store().text(r, c) != want.text(r, c))
                QFAIL(qPrintable(
                    u"row %1, column %2: %3"_s.arg(r).arg(c).arg(app.store().text(r, c))));
}

// Texts longer than a document holds, a NUL, and a year too large for the document
// reader are refused with the line and the reason; a text at the limit comes in whole.
void TestExport::csvTextsStayWithinWhatADocumentHolds() {
    const int limit = DocLimits::MaxTextChars;
    AppState good;
    newYear(good, 2005);
    good.store().set(10, StoreCol::Record, QString(limit, u'記'));
    YearStore imported;
    CsvError error;
    QVERIFY2(Import_Csv(Export_Csv(good.store(), 2005), imported, &error),
             qPrintable(error.message()));
    QCOMPARE(imported.text(10, StoreCol::Record).size(), limit);

    AppState kept;
    newYear(kept, 2010);
    auto refused = [&](const YearStore& store, int line, const QString& reason) {
        CsvError e;
        QVERIFY(!Import_Csv(Export_Csv(store, 2005), kept.store(), &e));
        QCOMPARE(e.line, line);
        QVERIFY2(e.reason.contains(reason), qPrintable(e.message()));
        QCOMPARE(kept.baseYear(), 2010);
    };
    good.store().set(10, StoreCol::Record, QString(limit + 1, u'記'));
    refused(good.store(), 11, u"4列目（記録）の文字が100001字あります（100000字まで"_s);
    good.store().set(10, StoreCol::Record, u"朝"_s + QChar(0) + u"夜"_s);
    refused(good.store(), 11, u"4列目（記録）に NUL 文字"_s);

    // Backslashes, each written twice in a document: within the limit one by one, too
    // many for a document together.
    AppState big;
    newYear(big, 2005);
    const QString slashes(limit, u'\\');
    for (int r = 1; r <= 20; ++r)
        for (int c = StoreCol::Events; c < StoreCol::TextColumns; ++c)
            big.store().set(r, c, slashes);
    refused(big.store(), 0, u"大きすぎます"_s);
}

// An export never goes onto a DayLog file: not by its name, not by its content, and
// not onto the document exported, however it is reached. The command line says so and
// writes nothing.
void TestExport::exportNeverWritesOverADayLogFile() {
    QTemporaryDir dir;
    AppState app;
    newYear(app, 2005);
    const QString doc = saveDocument(app, dir.filePath(u"y.dys"_s));
    saveDocument(app, doc); // and its backup
    const QString renamed = dir.filePath(u"renamed.txt"_s);
    QVERIFY(QFile::copy(doc, renamed));
    const QString hard = dir.filePath(u"hard.csv"_s);
    QCOMPARE(::link(QFile::encodeName(doc).constData(), QFile::encodeName(hard).constData()), 0);
    const QString sym = dir.filePath(u"sym.csv"_s);
    QVERIFY(QFile::link(doc, sym));
    const QString notes = dir.filePath(u"notes.txt"_s);
    QVERIFY(put(notes, "notes"));
    const QString notesLink = dir.filePath(u"notes.ics"_s);
    QCOMPARE(::link(QFile::encodeName(notes).constData(), QFile::encodeName(notesLink).constData()),
             0);
    const QString plain = dir.filePath(u"plain.csv"_s);
    QVERIFY(put(plain, "a,b\r\n"));

    const struct {
        QString path, source, reason;
    } refused[] = {
        {dir.filePath(u"new.dys"_s), {}, u"名前"_s},
        {dir.filePath(u"NEW.DYY"_s), {}, u"名前"_s},
        {dir.filePath(u"t.dyz"_s), {}, u"名前"_s},
        {sym, {}, u"名前"_s},
        {doc + u".bak"_s, {}, u"文書かテンプレート"_s},
        {renamed, {}, u"文書かテンプレート"_s},
        {hard, {}, u"文書かテンプレート"_s},
        {notesLink, notes, u"そのもの"_s},
        {dir.path() + u"/./notes.txt"_s, notes, u"そのもの"_s},
    };
    for (const auto& c : refused) {
        const FileResult r = ExportTarget::check(c.path, c.source);
        QVERIFY2(r.code == FileResult::ProtectedTarget, qPrintable(c.path));
        QVERIFY2(r.reason().contains(c.reason), qPrintable(r.reason()));
        QVERIFY(r.exportMessage(c.path).contains(c.path));
    }
    for (const QString& path : {plain, notes, dir.filePath(u"out.ics"_s)})
        QVERIFY2(ExportTarget::check(path, doc).ok(), qPrintable(path));

    const QByteArray before = contents(doc);
    for (const QString& target : {doc, dir.path() + u"/./y.dys"_s, hard, renamed}) {
        const QByteArray was = contents(target);
        const Run r = runTool({u"export"_s, u"--format"_s, u"csv"_s, doc, target});
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"書き出せません"_s), qPrintable(r.err));
        QCOMPARE(contents(target), was);
    }
    QCOMPARE(contents(doc), before);
    QCOMPARE(runTool({u"export"_s, u"--format"_s, u"csv"_s, doc, plain}).exitCode, 0);
    QVERIFY(contents(plain).startsWith("\xEF\xBB\xBF"
                                       "2005,"));
}

QTEST_GUILESS_MAIN(TestExport)
#include "tst_export.moc"
