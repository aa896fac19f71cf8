#include "store/dates.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void surplusDaysAndMonthsCarryOver_data();
    void surplusDaysAndMonthsCarryOver();
    void weekdayLettersRunSundayToSaturday();
    void storeTextIsReadBackOnlyInItsForms_data();
    void storeTextIsReadBackOnlyInItsForms();
    void rowsCountFromFirstApril_data();
    void rowsCountFromFirstApril();
    void numericValueReadsLeadingNumber_data();
    void numericValueReadsLeadingNumber();
};

void TestDates::surplusDaysAndMonthsCarryOver_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("plain") << 2005 << 4 << 1 << QDate(2005, 4, 1);
    QTest::newRow("31 April") << 2005 << 4 << 31 << QDate(2005, 5, 1);
    QTest::newRow("29 Feb, common year") << 2007 << 2 << 29 << QDate(2007, 3, 1);
    QTest::newRow("29 Feb, leap year") << 2008 << 2 << 29 << QDate(2008, 2, 29);
    QTest::newRow("month 13") << 2005 << 13 << 10 << QDate(2006, 1, 10);
    QTest::newRow("month 0") << 2006 << 0 << 5 << QDate(2005, 12, 5);
    QTest::newRow("month -12") << 2006 << -12 << 1 << QDate(2004, 12, 1);
    QTest::newRow("day 0") << 2006 << 3 << 0 << QDate(2006, 2, 28);
    QTest::newRow("day 40 of December") << 2005 << 12 << 40 << QDate(2006, 1, 9);
}

void TestDates::surplusDaysAndMonthsCarryOver() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QDate, expected);
    QCOMPARE(Dates::make(year, month, day), expected);
}

void TestDates::weekdayLettersRunSundayToSaturday() {
    const QString letters = u"日月火水木金土"_s;
    const QDate sunday(2006, 2, 5);
    for (int i = 0; i < 7; ++i) {
        const QDate d = sunday.addDays(i);
        QCOMPARE(Dates::weekday(d), i + 1);
        QCOMPARE(Dates::weekdayLetter(d), letters.mid(i, 1));
    }
    QVERIFY(Dates::weekdayLetter(QDate()).isEmpty());
}

// `date` invalid: the text is no Date column text.
void TestDates::storeTextIsReadBackOnlyInItsForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("store form") << u"2005/04/01"_s << QDate(2005, 4, 1);
    QTest::newRow("dashes, short fields") << u"2005-4-1"_s << QDate(2005, 4, 1);
    QTest::newRow("blanks around") << u" 2006/03/31 "_s << QDate(2006, 3, 31);
    QTest::newRow("two-digit year") << u"05/04/01"_s << QDate();
    QTest::newRow("five-digit year") << u"20050/04/01"_s << QDate();
    QTest::newRow("month 13") << u"2005/13/01"_s << QDate();
    QTest::newRow("30 February") << u"2006/02/30"_s << QDate();
    QTest::newRow("two parts") << u"2005/04"_s << QDate();
    QTest::newRow("trailing separator") << u"2005/04/01/"_s << QDate();
    QTest::newRow("double separator") << u"2005//04/01"_s << QDate();
    QTest::newRow("three-digit day") << u"2005/04/001"_s << QDate();
    QTest::newRow("empty") << QString() << QDate();
}

void TestDates::storeTextIsReadBackOnlyInItsForms() {
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(Dates::fromStoreText(text), date);
    if (date.isValid())
        QCOMPARE(Dates::fromStoreText(Dates::toStoreText(date)), date);
}

void TestDates::rowsCountFromFirstApril_data() {
    QTest::addColumn<int>("baseYear");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("text");

    QTest::newRow("2005 row 1") << 2005 << 1 << u"2005/04/01"_s;
    QTest::newRow("2005 row 316") << 2005 << 316 << u"2006/02/10"_s;
    QTest::newRow("2005 row 365") << 2005 << 365 << u"2006/03/31"_s;
    QTest::newRow("2005 row 366") << 2005 << 366 << u"2006/04/01"_s;
    QTest::newRow("2003 row 335 leap day") << 2003 << 335 << u"2004/02/29"_s;
    QTest::newRow("2003 row 366") << 2003 << 366 << u"2004/03/31"_s;
    QTest::newRow("year below 1000") << 999 << 1 << u"0999/04/01"_s;
}

void TestDates::rowsCountFromFirstApril() {
    QFETCH(int, baseYear);
    QFETCH(int, row);
    QFETCH(QString, text);
    const QDate d = Dates::dateOfRow(row, baseYear);
    QCOMPARE(Dates::toStoreText(d), text);
    QCOMPARE(Dates::rowOfDate(d, baseYear), row);
}

void TestDates::numericValueReadsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");

    QTest::newRow("digits") << u"16711935"_s << qint64(16711935);
    QTest::newRow("then letters") << u"42abc"_s << qint64(42);
    QTest::newRow("leading blanks and tab") << u"  \t7"_s << qint64(7);
    QTest::newRow("ideographic space") << u"\u300012"_s << qint64(12);
    QTest::newRow("minus") << u"-2005"_s << qint64(-2005);
    QTest::newRow("plus") << u"+3"_s << qint64(3);
    QTest::newRow("no digits") << u"abc"_s << qint64(0);
    QTest::newRow("sign only") << u"-"_s << qint64(0);
    QTest::newRow("empty") << QString() << qint64(0);
}

void TestDates::numericValueReadsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(Dates::numericValue(text), value);
}

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
