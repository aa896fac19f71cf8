// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/calendar/monthpaint.h"
#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <QLocale>
#include <QTest>

using namespace Qt::StringLiterals;
using MonthPaint::Opacity;
using MonthPaint::Variant;

namespace {

constexpr std::array<Variant, 4> AllVariants = {Variant::Diary, Variant::Weekly, Variant::Monthly,
                                                Variant::Calendar};

// A new document of `baseYear` showing `month` of `year`, the current day `day`.
void newDocument(AppState& app, int baseYear, int year, int month, int day = 1) {
    app.setCurrentDate(QDate(year, month, day));
    Store_New(app, baseYear);
}

// A stored colour: red in the low byte.
constexpr quint32 rgb(quint32 r, quint32 g, quint32 b) {
    return r | (g << 8) | (b << 16);
}

QString items(int open, int done) {
    QString s;
    for (int i = 0; i < open; ++i)
        s += ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"未"_s + QString::number(i));
    for (int i = 0; i < done; ++i)
        s += ToDo_ItemString(true, u"11:00"_s, u"重要"_s, u"済"_s + QString::number(i));
    return s;
}

} // namespace

class TestMonthPaint : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void daysFillTheCellsFromTheFirstWeekday_data() {
        QTest::addColumn<int>("baseYear");
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("firstCell");
        QTest::addColumn<int>("lastCell");

        QTest::newRow("31 days from Saturday") << 2005 << 2005 << 10 << 6 << 36;
        QTest::newRow("30 days from Saturday") << 2006 << 2006 << 4 << 6 << 35;
        QTest::newRow("February from Sunday") << 2008 << 2009 << 2 << 0 << 27;
        QTest::newRow("January of the document's second calendar year")
            << 2005 << 2006 << 1 << 0 << 30;
    }

    void daysFillTheCellsFromTheFirstWeekday() {
        QFETCH(int, baseYear);
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, firstCell);
        QFETCH(int, lastCell);
        AppState app;
        newDocument(app, baseYear, year, month);

        for (Variant v : AllVariants) {
            const MonthPaint::Month m = MonthPaint::paint(v, app);
            QCOMPARE(m.monthCaption, QString::number(month) + u"月"_s);
            QCOMPARE(m.yearCaption, QString::number(year));
            for (int k = 0; k < 37; ++k) {
                const MonthPaint::Cell& c = m.cells[size_t(k)];
                if (k >= firstCell && k <= lastCell) {
                    const int day = k - firstCell + 1;
                    QCOMPARE(c.caption, QString::number(day));
                    QCOMPARE(c.row, Dates::rowOfDate(QDate(year, month, day), baseYear));
                    // A screen reader hears the date and its weekday.
                    const QDate date(year, month, day);
                    QVERIFY2(
                        c.spoken.startsWith(QStringLiteral("%1月%2日 ").arg(month).arg(day) +
                                            QLocale(QLocale::Japanese).dayName(date.dayOfWeek())),
                        qPrintable(c.spoken));
                    continue;
                }
                // Cells outside the month are wiped of whatever an earlier month left.
                QVERIFY2(c.caption.isEmpty(), qPrintable(QString::number(k)));
                QCOMPARE(c.row, -1);
                QVERIFY(c.spoken.isEmpty());
                QVERIFY(c.setBack);
                QCOMPARE(c.back, MonthPaint::White);
                QVERIFY(!c.textBoxVisible);
                // Diary and calendar also drop the tip a holiday left.
                QCOMPARE(c.setTip, v == Variant::Diary || v == Variant::Calendar);
                QVERIFY(c.tip.isEmpty());
                QCOMPARE(c.opacity, v == Variant::Calendar ? Opacity::Keep : Opacity::Transparent);
            }
        }
    }

    void backgroundShowsTheLoadOfOpenItems_data() {
        QTest::addColumn<QString>("todo");
        QTest::addColumn<quint32>("back");
        QTest::addColumn<Opacity>("opacity"); // diary, weekly and monthly

        QTest::newRow("1 open") << items(1, 0) << rgb(185, 251, 242) << Opacity::Opaque;
        QTest::newRow("2 open") << items(2, 0) << rgb(185, 251, 242) << Opacity::Opaque;
        QTest::newRow("3 open 2 done") << items(3, 2) << rgb(255, 255, 0) << Opacity::Opaque;
        QTest::newRow("5 open") << items(5, 0) << rgb(255, 255, 0) << Opacity::Opaque;
        QTest::newRow("6 open") << items(6, 0) << rgb(255, 179, 179) << Opacity::Opaque;
        // Done items alone weigh nothing: the day looks like one without ToDo text.
        QTest::newRow("only done: white as without ToDo")
            << items(0, 2) << rgb(255, 255, 255) << Opacity::Transparent;
        QTest::newRow("no ToDo") << QString() << rgb(255, 255, 255) << Opacity::Transparent;
    }

    void backgroundShowsTheLoadOfOpenItems() {
        QFETCH(QString, todo);
        QFETCH(quint32, back);
        QFETCH(Opacity, opacity);
        AppState app;
        newDocument(app, 2005, 2005, 6);
        // 1 June 2005 is a Wednesday: the 15th is cell 17.
        app.store().set(Dates::rowOfDate(QDate(2005, 6, 15), 2005), StoreCol::ToDo, todo);
        for (Variant v : AllVariants) {
            const MonthPaint::Cell c = MonthPaint::paint(v, app).cells[17];
            QCOMPARE(c.caption, u"15"_s);
            QVERIFY(c.setBack);
            QCOMPARE(c.back, back);
            QCOMPARE(c.opacity, v == Variant::Calendar ? Opacity::Keep : opacity);
            const int open = int(todo.count(u"未"_s));
            QCOMPARE(c.spoken.endsWith(QStringLiteral(" ToDo %1件").arg(open)), open > 0);
            QVERIFY(!c.spoken.contains(u"ToDo"_s) || open > 0);
        }
    }

    void holidayAndCurrentDayByVariant_data() {
        QTest::addColumn<Variant>("variant");
        QTest::addColumn<bool>("setTextColor");
        QTest::addColumn<bool>("setTip");
        QTest::addColumn<int>("todayCell");
        QTest::addColumn<QString>("monthText");
        QTest::addColumn<QString>("dayText");

        // The current day is 10 May 2005, cell 9.
        QTest::newRow("calendar") << Variant::Calendar << true << true << -1 << QString()
                                  << QString();
        QTest::newRow("diary") << Variant::Diary << true << true << 9 << u"5月"_s << u"10日"_s;
        QTest::newRow("weekly") << Variant::Weekly << false << false << 9 << QString() << QString();
        QTest::newRow("monthly") << Variant::Monthly << true << false << -1 << QString()
                                 << QString();
    }

    void holidayAndCurrentDayByVariant() {
        QFETCH(Variant, variant);
        QFETCH(bool, setTextColor);
        QFETCH(bool, setTip);
        QFETCH(int, todayCell);
        QFETCH(QString, monthText);
        QFETCH(QString, dayText);
        AppState app;
        newDocument(app, 2005, 2005, 5, 10);
        // 1 May 2005 is a Sunday: 3 May (a holiday) is cell 2, 12 May (no holiday) cell 11.
        const MonthPaint::Month m = MonthPaint::paint(variant, app);
        const MonthPaint::Cell& holiday = m.cells[2];
        const MonthPaint::Cell& plain = m.cells[11];
        QCOMPARE(holiday.setTextColor, setTextColor);
        QCOMPARE(holiday.setTip, setTip);
        QCOMPARE(plain.setTip, setTip);
        if (setTextColor) {
            QCOMPARE(holiday.textColor, 255u);
            QCOMPARE(plain.textColor, 0u);
        }
        if (setTip) {
            QCOMPARE(holiday.tip, u"憲法記念日"_s);
            QVERIFY(plain.tip.isEmpty()); // an earlier month's tip does not stay
        }
        QCOMPARE(holiday.spoken, u"5月3日 火曜日 憲法記念日"_s);
        QCOMPARE(plain.spoken, u"5月12日 木曜日"_s);
        QCOMPARE(m.todayCell, todayCell);
        QCOMPARE(m.monthText, monthText);
        QCOMPARE(m.dayText, dayText);
    }

    void monthlyShowsTheDayTextBox() {
        AppState app;
        newDocument(app, 2005, 2005, 5);
        const int holiday = Dates::rowOfDate(QDate(2005, 5, 3), 2005);
        app.store().set(holiday, StoreCol::EventsFore, qint64(0x123456));
        const int meeting = Dates::rowOfDate(QDate(2005, 5, 12), 2005);
        app.store().set(meeting, StoreCol::Events, u"会議"_s);
        app.store().set(meeting, StoreCol::EventsBack, qint64(0x00FF00));

        const MonthPaint::Month m = MonthPaint::paint(Variant::Monthly, app);
        const MonthPaint::Cell& h = m.cells[2];
        QVERIFY(h.textBoxVisible);
        QCOMPARE(h.text, u"憲法記念日"_s);
        QCOMPARE(h.textFore, 0x123456u);
        QCOMPARE(h.textBack, MonthPaint::SystemWindow); // no background chosen
        const MonthPaint::Cell& c = m.cells[11];
        QVERIFY(c.textBoxVisible);
        QCOMPARE(c.text, u"会議"_s);
        QCOMPARE(c.textBack, 0x00FF00u);
        QVERIFY(m.cells[1].textBoxVisible); // a day without events still shows its box
        QVERIFY(m.cells[1].text.isEmpty());
        for (int k = 31; k < 37; ++k)
            QVERIFY(!m.cells[size_t(k)].textBoxVisible);
    }
};

QTEST_GUILESS_MAIN(TestMonthPaint)
#include "tst_monthpaint.moc"
