// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"
#include "core/stats/stats.h"
#include "core/stats/yearstats.h"
#include "support/yearstores.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Three years of a school: 2019 and 2023 end in a February with a 29th, 2021 does not.
// The current year is 2023; each year has slot titles and records of its own.
constexpr int Current = 2023;
const QList<int> Years{2019, 2021, Current};

YearStore makeYear(int baseYear) {
    static const QStringList titles{u"国語"_s, u"算数"_s, u"理科"_s, u"国語(補習)"_s,
                                    u"体育"_s, u"学活"_s, QString(), QString()};
    static const QStringList records{u"国語の授業"_s, u"算数の宿題"_s, u"雨"_s,
                                     u"国語の宿題"_s, u"会議"_s,       u" "_s};
    QRandomGenerator rng{quint32(baseYear)};
    YearStore year = TestYears::valid(baseYear);
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        for (int i = 0; i < 7; ++i)
            year.set(r, StoreCol::SlotItem1 + i, titles[rng.bounded(int(titles.size()))]);
        QString record;
        for (int n = rng.bounded(4); n > 0; --n)
            record += records[rng.bounded(int(records.size()))];
        year.set(r, StoreCol::Record, record);
    }
    // The 29th of February is counted where the range holds it.
    if (QDate::isLeapYear(baseYear + 1))
        year.set(Dates::rowOfDate(QDate(baseYear + 1, 2, 29), baseYear), StoreCol::SlotItem1,
                 u"国語"_s);
    return year;
}

// The days of the year of `baseYear` whose month and day lie between those of `from`
// and `to` in the order of the school year, as store rows (1, 0 when none).
std::pair<int, int> referenceRows(const QDate& from, const QDate& to, int baseYear) {
    auto place = [](const QDate& d) { return (d.month() + 8) % 12 * 100 + d.day(); };
    int first = 0, last = 0;
    const QDate end(baseYear + 1, 3, 31);
    for (QDate d(baseYear, 4, 1); d <= end; d = d.addDays(1))
        if (place(d) >= place(from) && place(d) <= place(to)) {
            const int row = Dates::rowOfDate(d, baseYear);
            first = first ? first : row;
            last = row;
        }
    return first ? std::pair(first, last) : std::pair(1, 0);
}

struct Keywords {
    QStringList first;  // record: first keywords; item: keywords
    QStringList second; // record: second keywords; item: targets
};

// A table of one year with the keywords, as its window has it.
void oneYearTable(GridModel& t, TemplateKind kind, const Keywords& k) {
    Stats_Layout(t, kind, {Current});
    const bool record = kind == TemplateKind::Record;
    for (int i = 0; i < k.first.size(); ++i)
        t.setTextMatrix(i + 1, 1, k.first[i]);
    for (int i = 0; i < k.second.size(); ++i)
        t.setTextMatrix(record ? 0 : i + 1, record ? i + 2 : 2, k.second[i]);
}

// Every cell of a table: text, bar, alignment and whether it takes typing.
QStringList cellsOf(const GridModel& t) {
    QStringList all{
        u"%1x%2 fixed %3,%4"_s.arg(t.rows()).arg(t.cols()).arg(t.fixedRows()).arg(t.fixedCols())};
    for (int r = 0; r < t.rows(); ++r)
        for (int c = 0; c < t.cols(); ++c)
            all << u"(%1,%2) %3 bar %4 align %5 %6"_s.arg(r)
                       .arg(c)
                       .arg(t.textMatrix(r, c))
                       .arg(t.cell(GridModel::CellFloodPercent, r, c))
                       .arg(t.cell(GridModel::CellAlignment, r, c))
                       .arg(t.isEditable(r, c) ? u"typed"_s : u"fixed"_s);
    return all;
}

} // namespace

class TestYearStats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The keywords of a one-year table laid out for three years and counted: each
    // year's columns hold what the one-year count gives over the same days of that
    // year, the second keywords are repeated read-only, and the table laid out for
    // one year again is the one-year table it was.
    void everyYearCountsAsItsOwnTableOverTheSameDays_data() {
        QTest::addColumn<bool>("record");
        QTest::addColumn<QStringList>("first");
        QTest::addColumn<QStringList>("second");
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        const struct {
            const char* name;
            bool record;
            QStringList first, second;
        } keywords[] = {
            {"record", true, {u"国語"_s, QString(), u"算数"_s, u"*"_s}, {u"の授業"_s, u"の宿題"_s}},
            {"record, wildcards", true, {u"?の"_s, u"雨"_s}, {u"宿題"_s, QString(), u"*"_s}},
            {"record, bad", true, {u"国語"_s}, {u"の授業"_s, u"[z-a]"_s}},
            {"item", false, {u"国語"_s, u"算数"_s, u"理?"_s}, {u"100"_s, u"3"_s, u"abc"_s}},
            {"item, wildcards", false, {u"*"_s, QString(), u"国語*"_s}, {u"500"_s, u"1"_s}},
            {"item, bad", false, {u"体育"_s, u"[z-a]"_s}, {}},
        };
        const struct {
            const char* name;
            QDate from, to;
        } ranges[] = {
            {"whole year", {2023, 4, 1}, {2024, 3, 31}},
            {"from 29 February", {2024, 2, 29}, {2024, 3, 31}},
            {"to 29 February", {2023, 9, 1}, {2024, 2, 29}},
            {"29 February alone", {2024, 2, 29}, {2024, 2, 29}},
            {"over the new year", {2023, 12, 20}, {2024, 1, 10}},
            {"backwards", {2023, 5, 1}, {2023, 4, 20}},
        };
        for (const auto& k : keywords)
            for (const auto& r : ranges)
                QTest::addRow("%s, %s", k.name, r.name)
                    << k.record << k.first << k.second << r.from << r.to;
    }

    void everyYearCountsAsItsOwnTableOverTheSameDays() {
        QFETCH(bool, record);
        QFETCH(QStringList, first);
        QFETCH(QStringList, second);
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        const TemplateKind kind = record ? TemplateKind::Record : TemplateKind::Item;
        const Keywords keys{first, second};
        std::vector<YearStore> stores;
        std::vector<StatsYear> years;
        for (int y : Years)
            stores.push_back(makeYear(y));
        for (size_t i = 0; i < stores.size(); ++i)
            years.push_back({Years[qsizetype(i)], &stores[i]});

        GridModel table;
        oneYearTable(table, kind, keys);
        const QStringList oneYear = cellsOf(table);
        table.select(record ? 0 : 3, record ? 3 : 2); // on a second keyword, or a target
        Stats_Layout(table, kind, Years);
        const int head = record ? 2 : 1;
        QCOMPARE(std::pair(table.row(), table.col()), std::pair(record ? 1 : 3, record ? 3 : 2));
        QCOMPARE(Stats_Years(table, kind), 3);
        const QStringList empty = cellsOf(table);

        const QString bad =
            Stats_Count(table, kind, years,
                        {Current, Dates::rowOfDate(from, Current), Dates::rowOfDate(to, Current)});
        for (qsizetype y = 0; y < Years.size(); ++y) {
            GridModel expected;
            oneYearTable(expected, kind, keys);
            const auto [firstRow, lastRow] = referenceRows(from, to, Years[y]);
            const QString reference =
                record ? Kiroku_count(expected, stores[size_t(y)], firstRow, lastRow)
                       : Koumoku_count(expected, stores[size_t(y)], firstRow, lastRow);
            QCOMPARE(bad, reference);
            if (!bad.isEmpty()) {
                QCOMPARE(cellsOf(table), empty); // nothing counted
                break;
            }
            // The year's heading, the keywords and the counts beside the one-year table's.
            const int firstCol = record ? 2 + 10 * int(y) : 3 + int(y);
            QCOMPARE(table.textMatrix(0, firstCol), u"%1年度"_s.arg(Years[y]));
            for (int k = 0; k <= 50; ++k)
                for (int c = 0; c < (record ? 10 : 1); ++c) {
                    const int row = k == 0 ? head - 1 : head + k - 1;
                    const QString where =
                        u"year %1, row %2, column %3"_s.arg(Years[y]).arg(k).arg(c);
                    QVERIFY2(table.textMatrix(row, firstCol + c) ==
                                     expected.textMatrix(k, (record ? 2 : 3) + c) ||
                                 (!record && k == 0),
                             qPrintable(where));
                    QVERIFY2(
                        table.cell(GridModel::CellFloodPercent, row, firstCol + c) ==
                            expected.cell(GridModel::CellFloodPercent, k, (record ? 2 : 3) + c),
                        qPrintable(where));
                    // Only the second keywords of the first year are typed.
                    QCOMPARE(table.isEditable(row, firstCol + c), record && k == 0 && y == 0);
                }
            // The table of one year kept in a template: the year's own counts.
            GridModel kept;
            Stats_OneYear(table, kind, int(y), kept);
            QCOMPARE(cellsOf(kept), cellsOf(expected));
        }

        // Back to one year, the keywords are where they were and nothing else is left.
        Stats_Layout(table, kind, {Current});
        QCOMPARE(cellsOf(table), oneYear);
    }

    // The same days of the school year in another year, for every kind of year before
    // and after: the first and the last day of the year, the days around 29 February,
    // and a last row past the end of a year of 365 days.
    void theDaysOfARangeAreTheSameMonthsAndDays() {
        for (int current : {2022, Current})
            for (int year : {2019, 2020, 2021, 2022, 2023, 2024})
                for (int first : {1, 100, 335, 336, 365, 366})
                    for (int last : {1, 200, 334, 335, 336, 365, 366}) {
                        // A range from past the last day of the year holds none of it.
                        const QDate end(current + 1, 3, 31);
                        const QDate from = Dates::dateOfRow(first, current);
                        const QDate to = std::min(Dates::dateOfRow(last, current), end);
                        const auto [a, b] =
                            from > end ? std::pair(1, 0) : referenceRows(from, to, year);
                        const StatsRange r = Stats_SameDays({current, first, last}, year);
                        const bool same = year == current ? r.first == first && r.last == last
                                          : a > b         ? r.first > r.last
                                                          : r.first == a && r.last == b;
                        QVERIFY2(
                            r.baseYear == year && same,
                            qPrintable(u"%1 in %2: %3..%4 gives %5..%6, not %7..%8"_s.arg(current)
                                           .arg(year)
                                           .arg(first)
                                           .arg(last)
                                           .arg(r.first)
                                           .arg(r.last)
                                           .arg(a)
                                           .arg(b)));
                    }
    }
};

QTEST_GUILESS_MAIN(TestYearStats)
#include "tst_yearstats.moc"
