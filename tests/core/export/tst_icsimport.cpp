// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/export/icsimport.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QTest>

#include <ctime>

using namespace Qt::StringLiterals;

class TestIcsImport : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void schoolYearLandsOnItsDaysOnce();
    void malformedFileChangesNothing_data();
    void malformedFileChangesNothing();
};

namespace {

// The school's year 2026 as a school would send it. Times without a zone are this
// machine's (Asia/Tokyo in this test).
const char SchoolCalendar[] = R"(BEGIN:VCALENDAR
VERSION:2.0
PRODID:-//Test//School//JA
BEGIN:VTIMEZONE
TZID:Europe/Berlin
BEGIN:DAYLIGHT
TZOFFSETFROM:+0100
TZOFFSETTO:+0200
TZNAME:CEST
DTSTART:19700329T020000
RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU
END:DAYLIGHT
BEGIN:STANDARD
TZOFFSETFROM:+0200
TZOFFSETTO:+0100
TZNAME:CET
DTSTART:19701025T030000
RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU
END:STANDARD
END:VTIMEZONE
BEGIN:VEVENT
UID:meeting@school
DTSTART;TZID=Asia/Tokyo:20260406T160000
DTEND;TZID=Asia/Tokyo:20260406T170000
RRULE:FREQ=WEEKLY;BYDAY=MO;UNTIL=20260504T235959Z
EXDATE;TZID=Asia/Tokyo:20260427T160000
SUMMARY:職員会議
LOCATION:会議室
DESCRIPTION:定例\, 第1週は拡大
END:VEVENT
BEGIN:VEVENT
UID:meeting@school
RECURRENCE-ID;TZID=Asia/Tokyo:20260504T160000
DTSTART:20260507T183000
DTEND:20260507T193000
SUMMARY:職員会議（変更）
END:VEVENT
BEGIN:VEVENT
UID:spring@school
DTSTART;VALUE=DATE:20270325
DTEND;VALUE=DATE:20270405
SUMMARY:春休み
END:VEVENT
BEGIN:VEVENT
UID:trip@school
DTSTART;VALUE=DATE:20261014
DTEND;VALUE=DATE:20261017
SUMMARY:修学旅行
END:VEVENT
BEGIN:VEVENT
UID:holiday@school
DTSTART;VALUE=DATE:20260429
SUMMARY:昭和の日
END:VEVENT
BEGIN:VEVENT
UID:berlin-summer@school
DTSTART;TZID=Europe/Berlin:20260610T100000
DTEND;TZID=Europe/Berlin:20260610T113000
SUMMARY:姉妹校とのビデオ会議
END:VEVENT
BEGIN:VEVENT
UID:berlin-winter@school
DTSTART;TZID=Europe/Berlin:20261201T100000
DURATION:PT2H
SUMMARY:姉妹校との交流会
END:VEVENT
BEGIN:VEVENT
UID:night@school
DTSTART:20260701T150000Z
DTEND:20260701T160000Z
SUMMARY:夜間見回り
END:VEVENT
BEGIN:VEVENT
UID:last-year@school
DTSTART;VALUE=DATE:20260320
SUMMARY:修了式
END:VEVENT
BEGIN:VEVENT
UID:cancelled@school
DTSTART;VALUE=DATE:20260601
SUMMARY:中止の行事
STATUS:CANCELLED
END:VEVENT
BEGIN:VEVENT
UID:nameless@school
DTSTART;VALUE=DATE:20260602
END:VEVENT
BEGIN:VEVENT
UID:mars@school
DTSTART;TZID=Mars/Olympus:20260603T100000
SUMMARY:火星の会議
END:VEVENT
BEGIN:VTODO
UID:report@school
DUE:20260720T170000
PRIORITY:2
STATUS:COMPLETED
SUMMARY:通知表提出
END:VTODO
BEGIN:VTODO
UID:plan@school
DUE;VALUE=DATE:20260901
PRIORITY:7
COMPLETED:20260901T100000Z
SUMMARY:指導計画
END:VTODO
BEGIN:VTODO
UID:list@school
DTSTART;VALUE=DATE:20260910
SUMMARY:名簿|確認
END:VTODO
BEGIN:VTODO
UID:someday@school
SUMMARY:いつか片付け
END:VTODO
BEGIN:VTODO
UID:next-year@school
DUE;VALUE=DATE:20270410
SUMMARY:来年度の準備
END:VTODO
BEGIN:VJOURNAL
UID:letter@school
DTSTART;VALUE=DATE:20260415
SUMMARY:学年だより
DESCRIPTION:一行目\n二行目
END:VJOURNAL
BEGIN:VJOURNAL
UID:long@school
DTSTART;VALUE=DATE:20260416
SUMMARY:長い日記
END:VJOURNAL
BEGIN:VFREEBUSY
UID:busy@school
DTSTART:20260601T000000Z
END:VFREEBUSY
END:VCALENDAR
)";

QByteArray crlf(const char* text) {
    return QByteArray(text).replace("\n", "\r\n");
}

int row(int y, int m, int d) {
    return Dates::rowOfDate(QDate(y, m, d), 2026);
}

} // namespace

void TestIcsImport::initTestCase() {
    qputenv("TZ", "Asia/Tokyo");
    tzset();
}

// Every kind of entry lands on its day, slot and time in local time, appended to what
// the day held; a second import of the same file adds nothing; the summary counts
// everything left out.
void TestIcsImport::schoolYearLandsOnItsDaysOnce() {
    using namespace StoreCol;
    YearStore store;
    Store_New(store, 2026, QDate(2026, 4, 1));
    const int slot3 = 3; // 15〜18
    store.set(row(2026, 4, 6), SlotItem1 + slot3, u"面談"_s);
    store.set(row(2026, 4, 6), SlotText1 + slot3, u"保護者"_s);
    const QString longRecord(99998, u'x');
    store.set(row(2026, 4, 16), Record, longRecord);
    const YearStore before = store;

    IcsImportSummary summary;
    QString error;
    QVERIFY2(Import_ICalendar(crlf(SchoolCalendar), store, 2026, summary, &error),
             qPrintable(error));

    struct Expect {
        int row, col;
        QString text;
    };
    const QString meeting = u"16:00〜17:00 場所:会議室 定例, 第1週は拡大"_s;
    const Expect cells[] = {
        // Weekly on Mondays without 27 April; 4 May moved to 7 May, 18:30 (18〜21).
        {row(2026, 4, 6), SlotItem1 + 3, u"面談\n職員会議"_s},
        {row(2026, 4, 6), SlotText1 + 3, u"保護者\n"_s + meeting},
        {row(2026, 4, 13), SlotText1 + 3, meeting},
        {row(2026, 4, 20), SlotItem1 + 3, u"職員会議"_s},
        {row(2026, 4, 27), SlotItem1 + 3, {}},
        {row(2026, 5, 4), SlotItem1 + 3, {}},
        {row(2026, 5, 11), SlotItem1 + 3, {}},
        {row(2026, 5, 7), SlotItem1 + 4, u"職員会議（変更）"_s},
        {row(2026, 5, 7), SlotText1 + 4, u"18:30〜19:30"_s},
        // Several days, within the year only; the holiday name is not doubled.
        {row(2026, 10, 13), Events, {}},
        {row(2026, 10, 14), Events, u"修学旅行"_s},
        {row(2026, 10, 16), Events, u"修学旅行"_s},
        {row(2026, 10, 17), Events, {}},
        {row(2027, 3, 24), Events, {}},
        {row(2027, 3, 25), Events, u"春休み"_s},
        {row(2027, 3, 31), Events, u"春休み"_s},
        {row(2026, 4, 29), Events, u"昭和の日"_s},
        // Berlin 10:00 is 17:00 in Tokyo in summer, 18:00 in winter.
        {row(2026, 6, 10), SlotItem1 + 3, u"姉妹校とのビデオ会議"_s},
        {row(2026, 6, 10), SlotText1 + 3, u"17:00〜18:30"_s},
        {row(2026, 12, 1), SlotItem1 + 4, u"姉妹校との交流会"_s},
        {row(2026, 12, 1), SlotText1 + 4, u"18:00〜20:00"_s},
        // 15:00 UTC is midnight in Tokyo: the 24〜 slot of the day before.
        {row(2026, 7, 1), SlotItem1 + 6, u"夜間見回り"_s},
        {row(2026, 7, 1), SlotText1 + 6, u"00:00〜01:00"_s},
        {row(2026, 7, 2), SlotItem1 + 0, {}},
        {row(2026, 6, 1), Events, {}},
        {row(2026, 6, 3), SlotItem1 + 0, {}},
        {row(2026, 4, 15), Record, u"学年だより\n一行目\n二行目"_s},
        {row(2026, 4, 16), Record, longRecord},
    };
    for (const Expect& e : cells)
        QVERIFY2(store.text(e.row, e.col) == e.text,
                 qPrintable(u"%1 column %2: %3"_s.arg(Dates::dateOfRow(e.row, 2026).toString())
                                .arg(e.col)
                                .arg(store.text(e.row, e.col))));

    struct Task {
        int row;
        bool done;
        QString time, category, text;
    };
    const Task tasks[] = {
        {row(2026, 7, 20), true, u"17:00"_s, u"最重"_s, u"通知表提出"_s},
        {row(2026, 9, 1), true, {}, u"要軽"_s, u"指導計画"_s},
        {row(2026, 9, 10), false, {}, u"普通"_s, u"名簿｜確認"_s},
    };
    for (const Task& t : tasks) {
        const std::vector<ToDoItem> items = ToDo_Parse(store.text(t.row, ToDo));
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items[0].done(), t.done);
        QCOMPARE(items[0].time, t.time);
        QCOMPARE(items[0].category, t.category);
        QCOMPARE(items[0].text, t.text);
    }
    // Nothing else changed: every other text is as before.
    int changedCells = 0;
    for (int r = 0; r < YearStore::Rows; ++r)
        for (int c = 0; c < YearStore::Cols; ++c)
            changedCells += store.text(r, c) != before.text(r, c);
    QCOMPARE(changedCells, 10 + 7 * 2 + 3 + 1);

    auto counts = [](const IcsImportSummary& s) {
        return QList<int>{s.events,  s.slots, s.todos,     s.records,     s.present, s.outside,
                          s.undated, s.empty, s.cancelled, s.unsupported, s.tooLong};
    };
    QCOMPARE(counts(summary), (QList<int>{10, 7, 3, 1, 1, 2, 1, 1, 1, 2, 1}));
    QVERIFY(summary.text().contains(u"行事 10件、時間帯 7件、ToDo 3件、記録 1件"_s));
    QVERIFY(summary.text().contains(u"年度の外の日付のもの: 2件"_s));

    const YearStore once = store;
    IcsImportSummary again;
    QVERIFY(Import_ICalendar(crlf(SchoolCalendar), store, 2026, again, &error));
    QVERIFY(store.sameAs(once));
    QCOMPARE(counts(again), (QList<int>{0, 0, 0, 0, 22, 2, 1, 1, 1, 2, 1}));
}

void TestIcsImport::malformedFileChangesNothing_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("reason");
    const QByteArray event = "BEGIN:VEVENT\r\nDTSTART;VALUE=DATE:20260501\r\nSUMMARY:a\r\n";
    QTest::newRow("empty") << QByteArray("\r\n") << u"ファイルが空です"_s;
    QTest::newRow("not UTF-8") << QByteArray("BEGIN:VCALENDAR\r\nSUMMARY:\x93\xfa\r\n")
                               << u"UTF-8 ではありません"_s;
    QTest::newRow("a CSV file") << QByteArray("2026,曜日,今日の行事\r\n")
                                << u"BEGIN:VCALENDAR で始まっていません"_s;
    QTest::newRow("no END") << "BEGIN:VCALENDAR\r\n" + event << u"対になっていません"_s;
    QTest::newRow("a date that is none")
        << QByteArray("BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nDTSTART:2026xx\r\nEND:VEVENT\r\n"
                      "END:VCALENDAR\r\n")
        << u"DTSTARTの値「2026xx」が読めません"_s;
    QTest::newRow("a line that is no property")
        << "BEGIN:VCALENDAR\r\n" + event + "ここは本文\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"
        << u"読めない行があります（「ここは本文」）"_s;
}

void TestIcsImport::malformedFileChangesNothing() {
    QFETCH(QByteArray, file);
    QFETCH(QString, reason);
    YearStore store;
    Store_New(store, 2026, QDate(2026, 4, 1));
    const YearStore before = store;
    IcsImportSummary summary;
    QString error;
    QVERIFY(!Import_ICalendar(file, store, 2026, summary, &error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    QVERIFY(store.sameAs(before));
}

QTEST_GUILESS_MAIN(TestIcsImport)
#include "tst_icsimport.moc"
