// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/todo/todostring.h"
#include "support/year2005.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Fifteen characters each, the context shown either side of a match.
const QString Before = u"あいうえおかきくけこさしすせそ"_s;
const QString After = u"はひふへほまみむめもやゆよらり"_s;

} // namespace

class TestSearch : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aHitShowsTheDayTheFieldAndTheTextAroundTheMatch_data();
    void aHitShowsTheDayTheFieldAndTheTextAroundTheMatch();
};

void TestSearch::aHitShowsTheDayTheFieldAndTheTextAroundTheMatch_data() {
    // The texts of 10 May 2005 (a Tuesday): store column and text, one after the other.
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QStringList>("lines");

    const QString day = u"2005/05/10(火)　"_s;
    const QString record = QString::number(StoreCol::Record);
    QTest::newRow("short text, whole") << QStringList{record, u"遠足の下見"_s} << u"遠足"_s
                                       << QStringList{day + u"記録：遠足の下見"_s};
    QTest::newRow("long text, cut both sides")
        << QStringList{record, u"前"_s + Before + u"遠足"_s + After + u"後"_s} << u"遠足"_s
        << QStringList{day + u"記録：…"_s + Before + u"遠足"_s + After + u"…"_s};
    QTest::newRow("near the start, cut after only")
        << QStringList{record, u"朝"_s + u"遠足"_s + After + u"後"_s} << u"遠足"_s
        << QStringList{day + u"記録：朝遠足"_s + After + u"…"_s};
    QTest::newRow("line breaks and tabs are spaces")
        << QStringList{record, u"朝は雨\r\n昼は\t遠足\n夜\rは晴れ"_s} << u"遠足"_s
        << QStringList{day + u"記録：朝は雨 昼は 遠足 夜 は晴れ"_s};
    QTest::newRow("the first match")
        << QStringList{record, u"遠足"_s + After + After + u"遠足"_s} << u"遠足"_s
        << QStringList{day + u"記録：遠足"_s + After + u"…"_s};
    QTest::newRow("wildcards: the text they match")
        << QStringList{record, Before + u"歯医者 14:30"_s} << u"##:##"_s
        << QStringList{day + u"記録：…"_s + Before.mid(4) + u"歯医者 14:30"_s};
    QTest::newRow("a long match from its start")
        << QStringList{record, u"前"_s + Before + u"遠"_s + After + After + After + u"足"_s}
        << u"遠*足"_s
        << QStringList{day + u"記録：…"_s + Before + u"遠"_s + After + After + After.left(14) +
                       u"…"_s};
    QTest::newRow("a pair outside the BMP is never cut in half")
        << QStringList{record, u"𩸽"_s + Before.mid(1) + u"遠足"_s} << u"遠足"_s
        << QStringList{day + u"記録：…"_s + Before.mid(1) + u"遠足"_s};
    QTest::newRow("every field that matches, in the table's order")
        << QStringList{QString::number(StoreCol::SlotText1 + 6), u"遠足の準備"_s,
                       QString::number(StoreCol::Events),        u"遠足説明会"_s,
                       QString::number(StoreCol::SlotItem1),     u"遠足"_s}
        << u"遠足"_s
        << QStringList{day + u"今日の行事：遠足説明会"_s, day + u"１(～9)項目：遠足"_s,
                       day + u"７(24～)内容：遠足の準備"_s};
    QTest::newRow("the weekday is a field")
        << QStringList{record, u"火曜の記録"_s} << u"火"_s
        << QStringList{day + u"曜日：火"_s, day + u"記録：火曜の記録"_s};
    QTest::newRow("ToDo items as they read")
        << QStringList{QString::number(StoreCol::ToDo),
                       ToDo_ItemString(false, {}, {}, u"傘"_s) +
                           ToDo_ItemString(true, u"09:00"_s, u"重要"_s, u"遠足のしおり"_s)}
        << u"遠足"_s << QStringList{day + u"ToDo：傘／済 09:00 重要 遠足のしおり"_s};
    QTest::newRow("ToDo matched on its separators: as stored")
        << QStringList{QString::number(StoreCol::ToDo),
                       ToDo_ItemString(true, u"09:00"_s, u"重要"_s, u"遠足"_s)}
        << u"1,0"_s << QStringList{day + u"ToDo：|1,09:00,重要,遠足"_s};
    QTest::newRow("no match, no line")
        << QStringList{record, u"遠足の下見"_s} << u"運動会"_s << QStringList{};
}

void TestSearch::aHitShowsTheDayTheFieldAndTheTextAroundTheMatch() {
    QFETCH(QStringList, texts);
    QFETCH(QString, search);
    QFETCH(QStringList, lines);
    Year2005 y;
    for (qsizetype i = 0; i + 1 < texts.size(); i += 2)
        y.put(5, 10, texts[i].toInt(), texts[i + 1]);
    // The day before and after hold the same texts, outside the days searched.
    for (const int d : {9, 11})
        for (qsizetype i = 0; i + 1 < texts.size(); i += 2)
            y.put(5, d, texts[i].toInt(), texts[i + 1]);
    const Wildcard pattern = Wildcard::contains(search);
    const int row = y.row(5, 10);
    QStringList shown;
    for (const SearchHit& hit : Search_Hits(y.app, row, row, pattern)) {
        QCOMPARE(hit.date, QDate(2005, 5, 10));
        shown << Search_HitLine(hit);
    }
    QCOMPARE(shown, lines);
    // The days found are those the command-line search lists.
    QCOMPARE(Search_Days(y.app, row, row, pattern),
             lines.isEmpty() ? QStringList() : QStringList{u"2005/05/10"_s});
}

QTEST_GUILESS_MAIN(TestSearch)
#include "tst_search.moc"
