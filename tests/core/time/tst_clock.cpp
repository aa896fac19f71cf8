// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/time/clock.h"
#include "support/fixedclock.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;

class TestClock : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void daylogNowAcceptsOnlyTheFullForm_data();
    void daylogNowAcceptsOnlyTheFullForm();
    void offsetClockRunsOnFromItsStart();
    void environmentInstallsClockOrRefuses();
};

void TestClock::cleanup() {
    qunsetenv("DAYLOG_NOW");
    Clock::install(nullptr);
}

void TestClock::daylogNowAcceptsOnlyTheFullForm_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QDateTime>("expected"); // invalid: refused

    QTest::newRow("full form") << u"2006-02-10T09:30:00"_s
                               << QDateTime(QDate(2006, 2, 10), QTime(9, 30));
    QTest::newRow("leap day, last second")
        << u"2004-02-29T23:59:59"_s << QDateTime(QDate(2004, 2, 29), QTime(23, 59, 59));
    QTest::newRow("one-digit month") << u"2006-2-10T09:30:00"_s << QDateTime();
    QTest::newRow("30 February") << u"2006-02-30T00:00:00"_s << QDateTime();
    QTest::newRow("blank for T") << u"2006-02-10 09:30:00"_s << QDateTime();
    QTest::newRow("empty") << QString() << QDateTime();
    QTest::newRow("trailing text") << u"2006-02-10T09:30:00x"_s << QDateTime();
    QTest::newRow("trailing line end") << u"2006-02-10T09:30:00\n"_s << QDateTime();
    QTest::newRow("hour 25") << u"2006-02-10T25:00:00"_s << QDateTime();
    QTest::newRow("full-width digits") << u"２００６-02-10T09:30:00"_s << QDateTime();
}

void TestClock::daylogNowAcceptsOnlyTheFullForm() {
    QFETCH(QString, value);
    QFETCH(QDateTime, expected);
    const std::optional<QDateTime> at = parseDaylogNow(value);
    QCOMPARE(at.has_value(), expected.isValid());
    if (at)
        QCOMPARE(*at, expected);
}

// The clock keeps pace with real time from its start, in milliseconds.
void TestClock::offsetClockRunsOnFromItsStart() {
    const QDateTime start(QDate(2006, 2, 10), QTime(9, 30));
    const OffsetClock clock(start);
    QElapsedTimer real;
    real.start();
    QVERIFY(clock.now() >= start);
    QTest::qWait(200);
    const qint64 ran = start.msecsTo(clock.now());
    QVERIFY2(ran >= 200 && ran <= real.elapsed() + 1000, qPrintable(QString::number(ran)));
}

void TestClock::environmentInstallsClockOrRefuses() {
    Clock::install(std::make_unique<FixedClock>(QDateTime(QDate(1999, 1, 1), QTime(0, 0))));
    QString error;
    qputenv("DAYLOG_NOW", "2006-2-10T09:30:00");
    QVERIFY(!installClockFromEnvironment(&error));
    QVERIFY(error.contains(u"2006-2-10T09:30:00"_s));
    QCOMPARE(Clock::today(), QDate(1999, 1, 1));

    error.clear();
    qunsetenv("DAYLOG_NOW");
    QVERIFY(installClockFromEnvironment(&error));
    QVERIFY(error.isEmpty());
    QCOMPARE(Clock::today(), QDate(1999, 1, 1));

    qputenv("DAYLOG_NOW", "2006-02-10T09:30:00");
    QVERIFY(installClockFromEnvironment(&error));
    QCOMPARE(Clock::today(), QDate(2006, 2, 10));
    QVERIFY(Clock::currentDateTime() >= QDateTime(QDate(2006, 2, 10), QTime(9, 30)));
}

QTEST_GUILESS_MAIN(TestClock)
#include "tst_clock.moc"
