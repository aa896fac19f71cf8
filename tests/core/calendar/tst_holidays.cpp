// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/holidays.h"

#include <QStringList>
#include <QTest>

using namespace Qt::StringLiterals;

class TestHolidays : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void equinoxes_data();
    void equinoxes();
    void singleDays_data();
    void singleDays();
    void wholeYear_data();
    void wholeYear();
};

void TestHolidays::equinoxes_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("spring");
    QTest::addColumn<int>("autumn");

    QTest::newRow("1948") << 1948 << 21 << 23;
    QTest::newRow("1976") << 1976 << 20 << 23;
    QTest::newRow("1979") << 1979 << 21 << 24;
    QTest::newRow("2012") << 2012 << 20 << 22;
    QTest::newRow("2019") << 2019 << 21 << 23;
    QTest::newRow("2020") << 2020 << 20 << 22;
    QTest::newRow("2023") << 2023 << 21 << 23;
    QTest::newRow("2024") << 2024 << 20 << 22;
    QTest::newRow("2025") << 2025 << 20 << 23;
    QTest::newRow("2150") << 2150 << 21 << 23;
    QTest::newRow("1947 out of range") << 1947 << 99 << 99;
    QTest::newRow("2151 out of range") << 2151 << 99 << 99;
    QTest::newRow("negative year") << -5 << 99 << 99;
}

void TestHolidays::equinoxes() {
    QFETCH(int, year);
    QFETCH(int, spring);
    QFETCH(int, autumn);
    QCOMPARE(Shunbun_Day(year), spring);
    QCOMPARE(Shuubun_Day(year), autumn);
}

// `name` is what Holiday_Name reports, `get` what Holiday_Get reports.
void TestHolidays::singleDays_data() {
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("get");

    auto row = [](const char* tag, int y, int m, int d, const QString& name, const QString& get) {
        QTest::newRow(tag) << QDate(y, m, d) << name << get;
    };
    const QString none;
    const QString subst = u"振替休日"_s;
    const QString citizens = u"国民の休日"_s;

    QTest::newRow("invalid date") << QDate() << none << none;

    // The law took effect on 20 July 1948.
    row("equinox before the law", 1948, 3, 21, none, none);
    row("day before the law", 1948, 7, 19, none, none);
    row("first autumn equinox", 1948, 9, 23, u"秋分の日"_s, u"秋分の日"_s);

    row("coming of age 2000 second Monday", 2000, 1, 10, u"成人の日"_s, u"成人の日"_s);
    row("coming of age 2000 not 15th", 2000, 1, 15, none, none);
    row("coming of age 1999 fixed 15th", 1999, 1, 15, u"成人の日"_s, u"成人の日"_s);
    row("foundation day before 1967", 1966, 2, 11, none, none);
    row("foundation day 1967", 1967, 2, 11, u"建国記念の日"_s, u"建国記念の日"_s);

    row("1959 royal wedding", 1959, 4, 10, u"皇太子明仁親王の結婚の儀"_s,
        u"皇太子明仁親王の結婚の儀"_s);
    row("1989 state funeral", 1989, 2, 24, u"昭和天皇の大喪の礼"_s, u"昭和天皇の大喪の礼"_s);
    row("1993 royal wedding", 1993, 6, 9, u"皇太子徳仁親王の結婚の儀"_s,
        u"皇太子徳仁親王の結婚の儀"_s);

    row("29 Apr 1988 emperor", 1988, 4, 29, u"天皇誕生日"_s, u"天皇誕生日"_s);
    row("29 Apr 1989 greenery", 1989, 4, 29, u"みどりの日"_s, u"みどりの日"_s);
    row("23 Dec 1988", 1988, 12, 23, none, none);
    row("23 Dec 1989 emperor", 1989, 12, 23, u"天皇誕生日"_s, u"天皇誕生日"_s);

    // 4 May: a rest day from 1986 when it is a weekday; on a Monday it is the
    // substitute for a Sunday 3 May.
    row("4 May 1985 before the rule", 1985, 5, 4, none, none);
    row("4 May 1986 Sunday", 1986, 5, 4, none, none);
    row("4 May 1987 Monday", 1987, 5, 4, none, subst);
    row("4 May 1988 Wednesday", 1988, 5, 4, citizens, citizens);

    // Substitute holidays on the Monday start on 12 April 1973.
    row("Monday before 12 Apr 1973", 1973, 2, 12, none, none);
    row("first substitute holiday", 1973, 4, 30, none, subst);
    row("Sunday respect for aged 2002", 2002, 9, 16, none, subst);
    row("Sunday sports day 1999", 1999, 10, 11, none, subst);

    row("marine day 1995", 1995, 7, 20, none, none);
    row("marine day 1996", 1996, 7, 20, u"海の日"_s, u"海の日"_s);
    row("20 Jul 2003", 2003, 7, 20, none, none);
    row("marine day 2003 third Monday", 2003, 7, 21, u"海の日"_s, u"海の日"_s);
    row("respect for aged before 1966", 1965, 9, 15, none, none);
    row("respect for aged 1966", 1966, 9, 15, u"敬老の日"_s, u"敬老の日"_s);
    row("respect for aged 2003 third Monday", 2003, 9, 15, u"敬老の日"_s, u"敬老の日"_s);
    row("sports day before 1966", 1965, 10, 10, none, none);
    row("sports day 1966", 1966, 10, 10, u"体育の日"_s, u"体育の日"_s);
    row("sports day 2000 second Monday", 2000, 10, 9, u"体育の日"_s, u"体育の日"_s);
    row("10 Oct 2000", 2000, 10, 10, none, none);

    // The 2006/2007 border.
    row("29 Apr 2006", 2006, 4, 29, u"みどりの日"_s, u"みどりの日"_s);
    row("4 May 2006 Thursday", 2006, 5, 4, citizens, citizens);
    row("5 May 2006", 2006, 5, 5, u"子供の日"_s, u"子供の日"_s);
    row("29 Apr 2007 Sunday", 2007, 4, 29, u"昭和の日"_s, u"昭和の日"_s);
    row("30 Apr 2007", 2007, 4, 30, none, subst);
    row("4 May 2007", 2007, 5, 4, u"みどりの日"_s, u"みどりの日"_s);
    row("5 May 2007", 2007, 5, 5, u"子供の日"_s, u"子供の日"_s);

    // A Sunday holiday passes over the named holidays that follow it.
    row("2008 Golden Week", 2008, 5, 6, none, subst);
    row("2009 Golden Week", 2009, 5, 6, none, subst);
    row("day after 2009 Golden Week", 2009, 5, 7, none, none);

    row("22 Sep 2009", 2009, 9, 22, none, citizens);
    row("22 Sep 2015", 2015, 9, 22, none, citizens);
    row("holiday only before", 2009, 9, 24, none, none);

    row("mountain day 2015", 2015, 8, 11, none, none);
    row("mountain day 2016", 2016, 8, 11, u"山の日"_s, u"山の日"_s);

    row("emperor 23 Dec 2018 Sunday", 2018, 12, 23, u"天皇誕生日"_s, u"天皇誕生日"_s);
    row("24 Dec 2018", 2018, 12, 24, none, subst);
    row("23 Feb 2019", 2019, 2, 23, none, none);
    row("23 Dec 2019", 2019, 12, 23, none, none);
    row("emperor 23 Feb 2020 Sunday", 2020, 2, 23, u"天皇誕生日"_s, u"天皇誕生日"_s);
    row("24 Feb 2020", 2020, 2, 24, none, subst);

    row("sports day 2019", 2019, 10, 14, u"体育の日"_s, u"体育の日"_s);
    row("sports day 2022", 2022, 10, 10, u"スポーツの日"_s, u"スポーツの日"_s);

    // The Olympic years.
    row("2020 third Monday of July", 2020, 7, 20, none, none);
    row("2020 marine day", 2020, 7, 23, u"海の日"_s, u"海の日"_s);
    row("2020 sports day", 2020, 7, 24, u"スポーツの日"_s, u"スポーツの日"_s);
    row("2020 mountain day", 2020, 8, 10, u"山の日"_s, u"山の日"_s);
    row("11 Aug 2020", 2020, 8, 11, none, none);
    row("2020 second Monday of October", 2020, 10, 12, none, none);
    row("2021 third Monday of July", 2021, 7, 19, none, none);
    row("2021 marine day", 2021, 7, 22, u"海の日"_s, u"海の日"_s);
    row("2021 sports day", 2021, 7, 23, u"スポーツの日"_s, u"スポーツの日"_s);
    row("2021 mountain day Sunday", 2021, 8, 8, u"山の日"_s, u"山の日"_s);
    row("9 Aug 2021", 2021, 8, 9, none, subst);
    row("11 Aug 2021", 2021, 8, 11, none, none);
    row("2021 second Monday of October", 2021, 10, 11, none, none);
}

void TestHolidays::singleDays() {
    QFETCH(QDate, date);
    QFETCH(QString, name);
    QFETCH(QString, get);
    QCOMPARE(Holiday_Name(date), name);
    QCOMPARE(Holiday_Get(date), get);
}

// Every holiday of a year as "month/day name", found by walking the year day by day.
void TestHolidays::wholeYear_data() {
    QTest::addColumn<int>("year");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("1990") << 1990 << QStringList{u"1/1 元日"_s,           u"1/15 成人の日"_s,
                                                 u"2/11 建国記念の日"_s,  u"2/12 振替休日"_s,
                                                 u"3/21 春分の日"_s,      u"4/29 みどりの日"_s,
                                                 u"4/30 振替休日"_s,      u"5/3 憲法記念日"_s,
                                                 u"5/4 国民の休日"_s,     u"5/5 子供の日"_s,
                                                 u"9/15 敬老の日"_s,      u"9/23 秋分の日"_s,
                                                 u"9/24 振替休日"_s,      u"10/10 体育の日"_s,
                                                 u"11/3 文化の日"_s,      u"11/12 即位礼正殿の儀"_s,
                                                 u"11/23 勤労感謝の日"_s, u"12/23 天皇誕生日"_s,
                                                 u"12/24 振替休日"_s};
    QTest::newRow("2019") << 2019 << QStringList{u"1/1 元日"_s,
                                                 u"1/14 成人の日"_s,
                                                 u"2/11 建国記念の日"_s,
                                                 u"3/21 春分の日"_s,
                                                 u"4/29 昭和の日"_s,
                                                 u"4/30 国民の休日"_s,
                                                 u"5/1 天皇の即位の日"_s,
                                                 u"5/2 国民の休日"_s,
                                                 u"5/3 憲法記念日"_s,
                                                 u"5/4 みどりの日"_s,
                                                 u"5/5 子供の日"_s,
                                                 u"5/6 振替休日"_s,
                                                 u"7/15 海の日"_s,
                                                 u"8/11 山の日"_s,
                                                 u"8/12 振替休日"_s,
                                                 u"9/16 敬老の日"_s,
                                                 u"9/23 秋分の日"_s,
                                                 u"10/14 体育の日"_s,
                                                 u"10/22 即位礼正殿の儀"_s,
                                                 u"11/3 文化の日"_s,
                                                 u"11/4 振替休日"_s,
                                                 u"11/23 勤労感謝の日"_s};
    QTest::newRow("2020") << 2020 << QStringList{u"1/1 元日"_s,          u"1/13 成人の日"_s,
                                                 u"2/11 建国記念の日"_s, u"2/23 天皇誕生日"_s,
                                                 u"2/24 振替休日"_s,     u"3/20 春分の日"_s,
                                                 u"4/29 昭和の日"_s,     u"5/3 憲法記念日"_s,
                                                 u"5/4 みどりの日"_s,    u"5/5 子供の日"_s,
                                                 u"5/6 振替休日"_s,      u"7/23 海の日"_s,
                                                 u"7/24 スポーツの日"_s, u"8/10 山の日"_s,
                                                 u"9/21 敬老の日"_s,     u"9/22 秋分の日"_s,
                                                 u"11/3 文化の日"_s,     u"11/23 勤労感謝の日"_s};
    QTest::newRow("2021") << 2021 << QStringList{u"1/1 元日"_s,          u"1/11 成人の日"_s,
                                                 u"2/11 建国記念の日"_s, u"2/23 天皇誕生日"_s,
                                                 u"3/20 春分の日"_s,     u"4/29 昭和の日"_s,
                                                 u"5/3 憲法記念日"_s,    u"5/4 みどりの日"_s,
                                                 u"5/5 子供の日"_s,      u"7/22 海の日"_s,
                                                 u"7/23 スポーツの日"_s, u"8/8 山の日"_s,
                                                 u"8/9 振替休日"_s,      u"9/20 敬老の日"_s,
                                                 u"9/23 秋分の日"_s,     u"11/3 文化の日"_s,
                                                 u"11/23 勤労感謝の日"_s};
    QTest::newRow("2026") << 2026 << QStringList{u"1/1 元日"_s,          u"1/12 成人の日"_s,
                                                 u"2/11 建国記念の日"_s, u"2/23 天皇誕生日"_s,
                                                 u"3/20 春分の日"_s,     u"4/29 昭和の日"_s,
                                                 u"5/3 憲法記念日"_s,    u"5/4 みどりの日"_s,
                                                 u"5/5 子供の日"_s,      u"5/6 振替休日"_s,
                                                 u"7/20 海の日"_s,       u"8/11 山の日"_s,
                                                 u"9/21 敬老の日"_s,     u"9/22 国民の休日"_s,
                                                 u"9/23 秋分の日"_s,     u"10/12 スポーツの日"_s,
                                                 u"11/3 文化の日"_s,     u"11/23 勤労感謝の日"_s};
}

void TestHolidays::wholeYear() {
    QFETCH(int, year);
    QFETCH(QStringList, expected);

    QStringList found;
    for (QDate d(year, 1, 1); d.year() == year; d = d.addDays(1)) {
        const QString name = Holiday_Get(d);
        if (!name.isEmpty())
            found << QStringLiteral("%1/%2 %3").arg(d.month()).arg(d.day()).arg(name);
    }
    QCOMPARE(found, expected);
}

QTEST_GUILESS_MAIN(TestHolidays)
#include "tst_holidays.moc"
