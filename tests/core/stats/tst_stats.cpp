// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/stats/stats.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "support/year2005.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Year : Year2005 {
    void record(int m, int d, const QString& text) { put(m, d, StoreCol::Record, text); }
    void slot(int m, int d, int i, const QString& title) {
        put(m, d, StoreCol::SlotItem1 + i, title);
    }
};

// Record statistics with the first keywords down column 1 from row 1 and the second
// keywords along row 0 from column 2; an empty text leaves its place empty.
struct RecordTable {
    RecordTable(const QStringList& key1, const QStringList& key2) {
        Kiroku_GridInit(grid);
        for (int k = 0; k < key1.size(); ++k)
            grid.setTextMatrix(k + 1, 1, key1[k]);
        for (int c = 0; c < key2.size(); ++c)
            grid.setTextMatrix(0, c + 2, key2[c]);
    }
    QString count(const Year& y, int first, int last) {
        return Kiroku_count(grid, y.app, first, last);
    }
    // Row k's counts, columns 2..11, joined by spaces.
    QString row(int k) const {
        QStringList cells;
        for (int c = 2; c < 12; ++c)
            cells.append(grid.textMatrix(k, c));
        return cells.join(u' ');
    }
    // Every count cell of the table, row by row.
    QStringList all() const {
        QStringList rows;
        for (int k = 1; k <= 50; ++k)
            rows.append(row(k));
        return rows;
    }
    GridModel grid;
};

// The ten count cells of a row as RecordTable::row() gives them.
QString cells(QStringList counts = {}) {
    while (counts.size() < 10)
        counts.append(QString());
    return counts.join(u' ');
}

// Item statistics: keyword and target of each row from row 1.
struct ItemTable {
    explicit ItemTable(const QList<std::pair<QString, QString>>& rows) {
        Koumoku_GridInit(grid);
        for (int k = 0; k < rows.size(); ++k) {
            grid.setTextMatrix(k + 1, 1, rows[k].first);
            grid.setTextMatrix(k + 1, 2, rows[k].second);
        }
    }
    QString count(const Year& y, int first, int last) {
        return Koumoku_count(grid, y.app, first, last);
    }
    QString shown(int k) const { return grid.textMatrix(k, 3); }
    int bar(int k) const { return grid.cell(GridModel::CellFloodPercent, k, 3); }
    GridModel grid;
};

constexpr int First = 1, Last = 366;

QStringList search(const Year& y, const QString& text, int first = First, int last = Last) {
    return Search_Days(y.app, first, last, Wildcard::contains(text));
}

} // namespace

class TestStats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Record statistics.
    void anEmptyFirstKeywordCountsNothing();
    void aDayCountsOnceInTheLeftmostMatchingColumn();
    void theTwoKeywordsMustFollowEachOther();
    void anEmptySecondKeywordNeverMatches();
    void countsStayWithinTheDaysOfTheRange();
    void anEmptyRecordNeverCounts();
    void aSecondRunClearsCountsThatBecameZero();
    void aBadPatternIsNamedAndLeavesTheTableAlone();
    void aRangeBackwardsEmptiesEveryCount();

    // Item statistics.
    void everyMatchingSlotTitleCounts();
    void aTargetWithoutAKeywordIsSkipped();
    void theBarIsTheCountAgainstTheTarget();
    void aTargetThatIsNoNumberAboveZeroShowsNoBar_data();
    void aTargetThatIsNoNumberAboveZeroShowsNoBar();
    void aZeroCountEmptiesTheCellAndItsBar();
    void aBadItemKeywordIsNamedAndLeavesTheTableAlone();

    // Search.
    void aWeekdayNameListsEveryOneOfThoseDays();
    void aDayMatchingInSeveralColumnsIsListedOnce();
    void everyTextOfADayIsSearchedButTheDate();
    void aRangeBackwardsOrOutsideTheYearFindsNothingMore();
};

void TestStats::anEmptyFirstKeywordCountsNothing() {
    Year y;
    y.record(5, 1, u"雨の日"_s);
    RecordTable t({QString(), u"雨"_s}, {u"の"_s});
    QVERIFY(t.count(y, First, Last).isEmpty());
    QCOMPARE(t.row(1), cells());
    QCOMPARE(t.row(2), cells({u"1"_s}));
}

void TestStats::aDayCountsOnceInTheLeftmostMatchingColumn() {
    Year y;
    y.record(5, 1, u"WBのあとWA"_s); // all three: the A column, though WB comes first
    y.record(5, 2, u"WB"_s);
    y.record(5, 3, u"WAWAWA"_s);
    y.record(5, 4, u"Wx"_s);
    RecordTable t({u"W"_s}, {u"A"_s, u"B"_s, u"?"_s});
    QVERIFY(t.count(y, First, Last).isEmpty());
    QCOMPARE(t.row(1), cells({u"2"_s, u"1"_s, u"1"_s}));
}

void TestStats::theTwoKeywordsMustFollowEachOther() {
    Year y;
    y.record(5, 1, u"W A"_s);
    y.record(5, 2, u"W\nA"_s);
    y.record(5, 3, u"AW"_s);
    y.record(5, 4, u"ｗａ"_s); // full width
    y.record(5, 5, u"wa"_s);   // lower case
    RecordTable t({u"W"_s, u"W*"_s, u"W?"_s}, {u"A"_s});
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells());
    // Wildcards in either keyword act between them.
    QCOMPARE(t.row(2), cells({u"2"_s}));
    QCOMPARE(t.row(3), cells({u"2"_s}));
}

void TestStats::anEmptySecondKeywordNeverMatches() {
    Year y;
    y.record(5, 1, u"W"_s);
    y.record(5, 2, u"WA"_s);
    RecordTable t({u"W"_s}, {QString(), u"A"_s, QString(), u"*"_s});
    t.count(y, First, Last);
    // "W" alone would match both days; the star column takes what A leaves.
    QCOMPARE(t.row(1), cells({QString(), u"1"_s, QString(), u"1"_s}));
}

void TestStats::countsStayWithinTheDaysOfTheRange() {
    Year y;
    for (int r = 1; r <= 366; ++r)
        y.app.store().set(r, StoreCol::Record, u"日記日記日記"_s);
    RecordTable t({u"日"_s, u"*"_s}, {u"記"_s, u"記日"_s, u"*"_s});
    t.count(y, y.row(5, 1), y.row(5, 31));
    QCOMPARE(t.row(1), cells({u"31"_s}));
    QCOMPARE(t.row(2), cells({u"31"_s}));
    t.count(y, y.row(5, 31), y.row(5, 31));
    QCOMPARE(t.row(1), cells({u"1"_s}));
    t.count(y, -100, 1000); // rows outside 1..366 are no days
    QCOMPARE(t.row(1), cells({u"366"_s}));
    t.count(y, 366, 367);
    QCOMPARE(t.row(1), cells({u"1"_s}));
}

void TestStats::anEmptyRecordNeverCounts() {
    Year y;
    y.record(5, 1, u"何か"_s);
    RecordTable t({u"*"_s}, {u"*"_s});
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells({u"1"_s}));
}

void TestStats::aSecondRunClearsCountsThatBecameZero() {
    Year y;
    y.record(5, 1, u"WA"_s);
    y.record(6, 1, u"WB"_s);
    RecordTable t({u"W"_s}, {u"A"_s, u"B"_s});
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells({u"1"_s, u"1"_s}));
    y.record(5, 1, u"WB"_s);
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells({QString(), u"2"_s}));
    t.count(y, y.row(5, 1), y.row(5, 31));
    QCOMPARE(t.row(1), cells({QString(), u"1"_s}));
    t.grid.setTextMatrix(1, 1, QString()); // the keyword taken away
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells());
}

void TestStats::aBadPatternIsNamedAndLeavesTheTableAlone() {
    Year y;
    y.record(5, 1, u"WA"_s);
    RecordTable t({u"W"_s}, {u"A"_s});
    t.count(y, First, Last);
    QCOMPARE(t.row(1), cells({u"1"_s}));
    y.record(6, 1, u"WA"_s);

    t.grid.setTextMatrix(0, 11, u"[x"_s); // the last second keyword
    const QString unclosed = t.count(y, First, Last);
    QVERIFY(unclosed.contains(u"[x"_s));
    QVERIFY(unclosed.contains(Wildcard::compile(u"[x"_s).error()));
    QCOMPARE(t.row(1), cells({u"1"_s})); // not 2: nothing was counted

    t.grid.setTextMatrix(0, 11, QString());
    t.grid.setTextMatrix(50, 1, u"[z-a]"_s); // the last first keyword
    const QString backwards = t.count(y, First, Last);
    QVERIFY(backwards.contains(u"[z-a]"_s));
    QCOMPARE(backwards, Stats_BadKeyword(u"[z-a]A"_s, Wildcard::compile(u"[z-a]"_s).error()));
    QCOMPARE(t.row(1), cells({u"1"_s}));
    QCOMPARE(t.row(50), cells());

    // The two keywords are one pattern: a bracket may open in one and close in the other.
    t.grid.setTextMatrix(50, 1, u"W["_s);
    t.grid.setTextMatrix(0, 2, u"AB]"_s);
    QVERIFY(t.count(y, First, Last).isEmpty());
    QCOMPARE(t.row(50), cells({u"2"_s}));
}

void TestStats::aRangeBackwardsEmptiesEveryCount() {
    Year y;
    for (int r = 1; r <= 366; ++r)
        y.app.store().set(r, StoreCol::Record, u"毎日"_s);
    RecordTable t({u"毎"_s, u"*"_s}, {u"日"_s, QString(), u"?"_s});
    t.count(y, First, Last);
    QCOMPARE(t.row(2), cells({u"366"_s}));
    QVERIFY(t.count(y, 20, 10).isEmpty());
    QCOMPARE(t.all(), QStringList(50, cells()));
}

void TestStats::everyMatchingSlotTitleCounts() {
    Year y;
    y.slot(5, 1, 0, u"会議"_s);
    y.slot(5, 1, 3, u"定例会議"_s);
    y.slot(5, 1, 6, u"会議・会議"_s); // once, though it holds the word twice
    y.slot(5, 1, 1, u"会 議"_s);
    y.put(5, 1, StoreCol::SlotText1, u"会議"_s); // a slot's content is no title
    y.record(5, 1, u"会議"_s);
    y.slot(5, 2, 2, u"会議"_s);
    ItemTable t({{u"会議"_s, QString()},
                 {u"会?"_s, QString()},
                 {QString(), QString()},
                 {u"#"_s, QString()}});
    QVERIFY(t.count(y, y.row(5, 1), y.row(5, 1)).isEmpty());
    QCOMPARE(t.shown(1), u"3"_s);
    QCOMPARE(t.shown(2), u"4"_s);
    QCOMPARE(t.shown(3), QString());
    QCOMPARE(t.shown(4), QString());
    t.count(y, First, Last);
    QCOMPARE(t.shown(1), u"4"_s);
}

void TestStats::aTargetWithoutAKeywordIsSkipped() {
    Year y;
    y.slot(5, 1, 0, u"読書"_s);
    ItemTable t({{QString(), u"10"_s}, {u"読書"_s, u"10"_s}});
    t.count(y, First, Last);
    QCOMPARE(t.shown(1), QString());
    QCOMPARE(t.bar(1), -1);
    QCOMPARE(t.grid.textMatrix(1, 2), u"10"_s);
    QCOMPARE(t.shown(2), u"1"_s);
    QCOMPARE(t.bar(2), 10);
}

void TestStats::theBarIsTheCountAgainstTheTarget() {
    Year y;
    for (int d = 1; d <= 15; ++d)
        y.slot(5, d, 0, u"ジョギング"_s);
    for (int d = 1; d <= 5; ++d)
        y.slot(6, d, 0, u"通院"_s);
    y.slot(7, 1, 0, u"読書"_s);
    ItemTable t({{u"通院"_s, u"10"_s},
                 {u"ジョギング"_s, u"10"_s},
                 {u"ジョギング"_s, u"15"_s},
                 {u"通院"_s, u"3"_s},
                 {u"通院"_s, u"7.5"_s},
                 {u"読書"_s, u"0.00000001"_s}, // far more than 100 %
                 {u"読書"_s, u"1000"_s},       // 0.1 %
                 {u"通院"_s, u"２０"_s}});     // typed full width
    QVERIFY(t.count(y, First, Last).isEmpty());
    QCOMPARE(t.shown(1), u"5"_s);
    QCOMPARE(t.bar(1), 50);
    QCOMPARE(t.shown(2), u"15"_s);
    QCOMPARE(t.bar(2), 100);
    QCOMPARE(t.bar(3), 100);
    QCOMPARE(t.bar(4), 100);
    QCOMPARE(t.bar(5), 66);
    QCOMPARE(t.shown(6), u"1"_s);
    QCOMPARE(t.bar(6), 100);
    QCOMPARE(t.bar(7), 0);
    QCOMPARE(t.bar(8), 25);
    QCOMPARE(t.grid.floodColor(), quint32(0x64FF64)); // RGB(100, 255, 100)
}

void TestStats::aTargetThatIsNoNumberAboveZeroShowsNoBar_data() {
    QTest::addColumn<QString>("target");
    QTest::newRow("none") << QString();
    QTest::newRow("zero") << u"0"_s;
    QTest::newRow("zero point zero") << u"0.0"_s;
    QTest::newRow("negative") << u"-5"_s;
    QTest::newRow("word") << u"毎日"_s;
    QTest::newRow("number and word") << u"10回"_s;
}

void TestStats::aTargetThatIsNoNumberAboveZeroShowsNoBar() {
    QFETCH(QString, target);
    Year y;
    y.slot(5, 1, 0, u"通院"_s);
    y.slot(5, 2, 0, u"通院"_s);
    ItemTable t({{u"通院"_s, u"1"_s}});
    t.count(y, First, Last);
    QCOMPARE(t.bar(1), 100);
    t.grid.setTextMatrix(1, 2, target);
    t.count(y, First, Last);
    QCOMPARE(t.shown(1), u"2"_s);
    QCOMPARE(t.bar(1), -1);
    QCOMPARE(t.grid.textMatrix(1, 2), target);
}

void TestStats::aZeroCountEmptiesTheCellAndItsBar() {
    Year y;
    y.slot(5, 1, 0, u"通院"_s);
    ItemTable t({{u"通院"_s, u"4"_s}});
    t.count(y, First, Last);
    QCOMPARE(t.shown(1), u"1"_s);
    QCOMPARE(t.bar(1), 25);
    t.count(y, y.row(6, 1), Last);
    QCOMPARE(t.shown(1), QString());
    QCOMPARE(t.bar(1), -1);
    t.count(y, First, Last);
    y.slot(5, 1, 0, QString());
    t.count(y, First, Last);
    QCOMPARE(t.shown(1), QString());
    QCOMPARE(t.bar(1), -1);
    QCOMPARE(t.grid.textMatrix(1, 2), u"4"_s);
}

void TestStats::aBadItemKeywordIsNamedAndLeavesTheTableAlone() {
    Year y;
    y.slot(5, 1, 0, u"通院"_s);
    ItemTable t({{u"通院"_s, u"2"_s}});
    t.count(y, First, Last);
    y.slot(5, 2, 0, u"通院"_s);
    t.grid.setTextMatrix(2, 1, u"[歯医者"_s);
    const QString message = t.count(y, First, Last);
    QCOMPARE(message, Stats_BadKeyword(u"[歯医者"_s, Wildcard::compile(u"["_s).error()));
    QVERIFY(message.contains(u"[歯医者"_s));
    QCOMPARE(t.shown(1), u"1"_s);
    QCOMPARE(t.bar(1), 50);
    t.grid.setTextMatrix(2, 1, u"[!0-9]歯医者"_s);
    QVERIFY(t.count(y, First, Last).isEmpty());
    QCOMPARE(t.shown(1), u"2"_s);
    QCOMPARE(t.bar(1), 100);
}

void TestStats::aWeekdayNameListsEveryOneOfThoseDays() {
    Year y;
    QStringList tuesdays;
    for (QDate d(2005, 4, 1); d <= QDate(2006, 4, 1); d = d.addDays(1))
        if (d.dayOfWeek() == Qt::Tuesday)
            tuesdays.append(d.toString(u"yyyy/MM/dd"_s));
    QCOMPARE(tuesdays.size(), 52);
    QCOMPARE(search(y, u"火"_s), tuesdays);
    QCOMPARE(search(y, u"火"_s, y.row(4, 1), y.row(4, 30)),
             (QStringList{u"2005/04/05"_s, u"2005/04/12"_s, u"2005/04/19"_s, u"2005/04/26"_s}));
    QCOMPARE(search(y, u"火"_s, y.row(4, 6), y.row(4, 11)), QStringList());
}

void TestStats::aDayMatchingInSeveralColumnsIsListedOnce() {
    Year y;
    y.record(6, 1, u"読書"_s);
    y.slot(6, 1, 0, u"読書"_s);
    y.put(6, 1, StoreCol::SlotText1 + 6, u"読書の続き"_s);
    y.put(6, 1, StoreCol::Events, u"読書会"_s);
    y.record(5, 20, u"本を読書"_s); // an earlier day, entered later
    y.slot(6, 30, 5, u"読書"_s);
    y.put(4, 1, StoreCol::Events, u"読書週間"_s);
    QCOMPARE(search(y, u"読書"_s),
             (QStringList{u"2005/04/01"_s, u"2005/05/20"_s, u"2005/06/01"_s, u"2005/06/30"_s}));
}

void TestStats::everyTextOfADayIsSearchedButTheDate() {
    Year y;
    y.put(8, 8, StoreCol::ToDo, u"|0,10:00,普通,車検の予約"_s);
    y.put(8, 9, StoreCol::SlotText1 + 3, u"車検\n費用"_s);
    y.put(8, 10, StoreCol::SlotItem1 + 6, u"車検"_s);
    y.put(8, 11, StoreCol::Events, u"車検"_s);
    QCOMPARE(search(y, u"車検の予約"_s), QStringList{u"2005/08/08"_s});
    QCOMPARE(search(y, u"検?費"_s), QStringList{u"2005/08/09"_s});
    QCOMPARE(search(y, u"車検"_s),
             (QStringList{u"2005/08/08"_s, u"2005/08/09"_s, u"2005/08/10"_s, u"2005/08/11"_s}));
    QCOMPARE(search(y, u"2005/08/08"_s), QStringList());
}

void TestStats::aRangeBackwardsOrOutsideTheYearFindsNothingMore() {
    Year y;
    y.record(4, 1, u"Q1"_s);
    y.app.store().set(366, StoreCol::Record, u"Q2"_s);
    y.app.store().set(0, StoreCol::Record, u"Q0"_s); // the headings row
    QCOMPARE(search(y, u"Q"_s, 10, 9), QStringList());
    QCOMPARE(search(y, u"Q"_s, 366, 1), QStringList());
    QCOMPARE(search(y, u"Q"_s, -5, 1000), (QStringList{u"2005/04/01"_s, u"2006/04/01"_s}));
    QCOMPARE(search(y, u"Q"_s, 0, 0), QStringList());
}

QTEST_GUILESS_MAIN(TestStats)
#include "tst_stats.moc"
