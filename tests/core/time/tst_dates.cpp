// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/time/dates.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestDates : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void surplusDaysAndMonthsCarryOver_data();
    void surplusDaysAndMonthsCarryOver();
    void storeTextIsReadBackOnlyInItsForms_data();
    void storeTextIsReadBackOnlyInItsForms();
    void numericValueReadsLeadingNumber_data();
    void numericValueReadsLeadingNumber();
    void theMonthOfADayIsKeptInsideTheYear_data();
    void theMonthOfADayIsKeptInsideTheYear();
};

void TestDates::surplusDaysAndMonthsCarryOver_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QDate>("expected");

    QTest::newRow("31 April") << 2005 << 4 << 31 << QDate(2005, 5, 1);
    QTest::newRow("29 Feb, common year") << 2007 << 2 << 29 << QDate(2007, 3, 1);
    QTest::newRow("month 13") << 2005 << 13 << 10 << QDate(2006, 1, 10);
    QTest::newRow("month 0") << 2006 << 0 << 5 << QDate(2005, 12, 5);
    QTest::newRow("month -12") << 2006 << -12 << 1 << QDate(2004, 12, 1);
    QTest::newRow("day 0") << 2006 << 3 << 0 << QDate(2006, 2, 28);
}

void TestDates::surplusDaysAndMonthsCarryOver() {
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QDate, expected);
    QCOMPARE(Dates::make(year, month, day), expected);
}

// `date` invalid: the text is no Date column text.
void TestDates::storeTextIsReadBackOnlyInItsForms_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");

    QTest::newRow("store form") << u"2005/04/01"_s << QDate(2005, 4, 1);
    QTest::newRow("dashes, short fields") << u"2005-4-1"_s << QDate(2005, 4, 1);
    QTest::newRow("blanks around") << u" 2006/03/31 "_s << QDate(2006, 3, 31);
    QTest::newRow("two-digit year") << u"05/04/01"_s << QDate();
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

void TestDates::numericValueReadsLeadingNumber_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("value");

    QTest::newRow("then letters") << u"42abc"_s << qint64(42);
    QTest::newRow("leading blanks and tab") << u"  \t7"_s << qint64(7);
    QTest::newRow("ideographic space") << u"\u300012"_s << qint64(12);
    QTest::newRow("minus") << u"-2005"_s << qint64(-2005);
    QTest::newRow("no digits") << u"abc"_s << qint64(0);
    QTest::newRow("empty") << QString() << qint64(0);
}

void TestDates::numericValueReadsLeadingNumber() {
    QFETCH(QString, text);
    QFETCH(qint64, value);
    QCOMPARE(Dates::numericValue(text), value);
}

void TestDates::theMonthOfADayIsKeptInsideTheYear_data() {
    QTest::addColumn<QDate>("day");
    QTest::addColumn<QDate>("first");
    QTest::addColumn<QDate>("last");

    // The year of 2005: 1 April 2005 to 31 March 2006.
    QTest::newRow("May") << QDate(2005, 5, 10) << QDate(2005, 5, 1) << QDate(2005, 5, 31);
    QTest::newRow("the year's first day")
        << QDate(2005, 4, 1) << QDate(2005, 4, 1) << QDate(2005, 4, 30);
    QTest::newRow("the year's last day")
        << QDate(2006, 3, 31) << QDate(2006, 3, 1) << QDate(2006, 3, 31);
    QTest::newRow("February of a common year")
        << QDate(2006, 2, 14) << QDate(2006, 2, 1) << QDate(2006, 2, 28);
    QTest::newRow("December into January")
        << QDate(2005, 12, 31) << QDate(2005, 12, 1) << QDate(2005, 12, 31);
    QTest::newRow("before the year: its first month")
        << QDate(2005, 3, 20) << QDate(2005, 4, 1) << QDate(2005, 4, 30);
    QTest::newRow("after the year: its last month")
        << QDate(2006, 4, 1) << QDate(2006, 3, 1) << QDate(2006, 3, 31);
    QTest::newRow("no day: the first month") << QDate() << QDate(2005, 4, 1) << QDate(2005, 4, 30);
}

void TestDates::theMonthOfADayIsKeptInsideTheYear() {
    QFETCH(QDate, day);
    QFETCH(QDate, first);
    QFETCH(QDate, last);
    const Dates::Period month = Dates::monthInYear(day, 2005);
    QCOMPARE(month.first, first);
    QCOMPARE(month.last, last);
}

QTEST_GUILESS_MAIN(TestDates)
#include "tst_dates.moc"
