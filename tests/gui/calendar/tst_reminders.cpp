// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"

#include "core/calendar/reminders.h"
#include "core/calendar/todotiming.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "gui/calendar/calendarwindow.h"

#include <QLabel>
#include <QStatusBar>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QString item(bool done, const QString& time, const QString& text) {
    return ToDo_ItemString(done, time, u"普通"_s, text);
}

} // namespace

class TestReminders : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The earliest open timed item of today is announced once within 30 minutes and
    // once when due; ticks in between, done and untimed items say nothing.
    void eachLevelIsAnnouncedOnce() {
        TestEnvironment env(at(2005, 5, 10, 8, 0));
        env.newYear(2005);
        const int today = Dates::rowOfDate(QDate(2005, 5, 10), 2005);
        env.app.store().set(
            today, StoreCol::ToDo,
            item(true, u"09:00"_s, u"済んだ用事"_s) + item(false, QString(), u"時刻なし"_s) +
                item(false, u"11:00"_s, u"会議の準備"_s) + item(false, u"10:00"_s, u"職員会議"_s));
        // Tomorrow's items are not today's.
        env.app.store().set(today + 1, StoreCol::ToDo, item(false, u"08:10"_s, u"明日"_s));
        Reminders r;
        auto at10 = [](int h, int m, int s = 0) {
            return QDateTime(QDate(2005, 5, 10), QTime(h, m, s));
        };
        QVERIFY(!r.check(at10(8, 0), env.app.store(), 2005));
        QVERIFY(!r.check(at10(9, 30), env.app.store(), 2005)); // exactly 30 minutes ahead

        const auto soon = r.check(at10(9, 30, 1), env.app.store(), 2005);
        QVERIFY(soon);
        QCOMPARE(soon->level, int(AlarmHalfHour));
        QCOMPARE(soon->text, u"10:00　職員会議"_s);
        QVERIFY(!r.check(at10(9, 45), env.app.store(), 2005));

        const auto due = r.check(at10(10, 0, 1), env.app.store(), 2005);
        QVERIFY(due);
        QCOMPARE(due->level, int(AlarmPast));
        QCOMPARE(due->text, u"10:00　職員会議"_s);
        QVERIFY(due->title != soon->title);
        QVERIFY(!r.check(at10(10, 20), env.app.store(), 2005));

        // Ticked off: the next item becomes the earliest and has its own messages.
        env.app.store().set(today, StoreCol::ToDo,
                            item(true, u"10:00"_s, u"職員会議"_s) +
                                item(false, u"11:00"_s, u"会議の準備"_s));
        QVERIFY(!r.check(at10(10, 20), env.app.store(), 2005));
        const auto next = r.check(at10(10, 40), env.app.store(), 2005);
        QVERIFY(next);
        QCOMPARE(next->text, u"11:00　会議の準備"_s);

        // A day outside the document's year has nothing to announce.
        QVERIFY(!r.check(QDateTime(QDate(2006, 5, 10), QTime(10, 50)), env.app.store(), 2005));
    }

    // Each message reaches the user one way, exactly once: the notification area where
    // there is one; else the desktop's notification service (GNOME); else the calendar
    // window's status bar, which then appears and says once why. A service that
    // refuses the message leaves it to the status bar too.
    void eachMessageTakesOneWay_data() {
        QTest::addColumn<bool>("tray");
        QTest::addColumn<bool>("service");
        QTest::addColumn<bool>("refuses");
        QTest::addColumn<QString>("way");
        QTest::newRow("notification area") << true << true << false << u"tray"_s;
        QTest::newRow("notification service, no area") << false << true << false << u"service"_s;
        QTest::newRow("neither") << false << false << false << u"window"_s;
        QTest::newRow("a service that refuses") << false << true << true << u"window"_s;
    }
    void eachMessageTakesOneWay() {
        QFETCH(bool, tray);
        QFETCH(bool, service);
        QFETCH(bool, refuses);
        QFETCH(QString, way);
        TestEnvironment env(at(2005, 5, 10, 9, 0));
        env.newYear(2005);
        env.app.store().set(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::ToDo,
                            item(false, u"10:00"_s, u"職員会議"_s));
        env.tray->available = tray;
        env.notifier->available = service;
        env.notifier->refuse = refuses;
        CalendarWindow w(env.app, *env.nav);
        w.timer()->stop();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize page = w.centralWidget()->size();
        const int height = w.height();
        QVERIFY(!w.findChild<QStatusBar*>()); // no status bar until it is needed

        // What each way has got so far, as "tray notification-service window".
        QStringList window;
        auto got = [&] {
            if (QLabel* line = w.reminderLine();
                line && window.value(window.size() - 1) != line->text())
                window.append(line->text());
            return QList<qsizetype>{env.tray->messages.size(), env.notifier->messages.size(),
                                    window.size()};
        };
        const QList<qsizetype> once{way == u"tray"_s, way == u"service"_s, way == u"window"_s};
        const QList<qsizetype> twice{2 * once[0], 2 * once[1], 2 * once[2]};

        env.clock->set(QDateTime(QDate(2005, 5, 10), QTime(9, 40)));
        w.clockTick();
        w.clockTick(); // the same second
        QCOMPARE(got(), once);
        env.clock->set(QDateTime(QDate(2005, 5, 10), QTime(9, 50)));
        w.clockTick(); // still within the 30 minutes: said already
        QCOMPARE(got(), once);
        env.clock->set(QDateTime(QDate(2005, 5, 10), QTime(10, 0, 30)));
        w.clockTick();
        w.clockTick();
        QCOMPARE(got(), twice);

        const QString soon = u"まもなくToDoの時刻です"_s;
        const QString due = u"ToDoの時刻になりました"_s;
        if (way != u"window"_s) {
            QCOMPARE(way == u"tray"_s ? env.tray->messages : env.notifier->messages,
                     QStringList({soon + u"\n10:00　職員会議"_s, due + u"\n10:00　職員会議"_s}));
            QVERIFY(!w.findChild<QStatusBar*>());
            // A click on the desktop's message brings the calendar back from wherever
            // it was.
            if (way == u"service"_s) {
                w.showMinimized();
                QTRY_VERIFY(w.isMinimized());
                QVERIFY(env.notifier->lastClicked);
                env.notifier->lastClicked();
                QTRY_VERIFY(!w.isMinimized() && w.isVisible());
            }
            return;
        }
        // The status bar says once why the reminders are there, then holds the last two
        // reminders; the window grows by it and the month keeps its size.
        const QString why =
            refuses ? u"通知サービスに届かなかったため、リマインダーはこの欄に表示します。"_s
                    : u"通知領域も通知サービスもないため、リマインダーはこの欄に表示します。"_s;
        const QString soonLine = soon + u"：10:00　職員会議"_s;
        QCOMPARE(window, QStringList({why + u"\n"_s + soonLine,
                                      soonLine + u"\n"_s + due + u"：10:00　職員会議"_s}));
        QTRY_VERIFY(w.reminderLine()->isVisible());
        QCOMPARE(w.reminderLine()->toolTip(), why);
        QTRY_COMPARE(w.centralWidget()->size(), page);
        QTRY_COMPARE(w.height(), height + w.findChild<QStatusBar*>()->height());
    }

    // The switch: off, no message goes anywhere (the clock keeps its colours); it is
    // kept for the next run.
    void theCalendarShowsThemWhileSwitchedOn() {
        TestEnvironment env(at(2005, 5, 10, 9, 0));
        env.newYear(2005);
        env.app.store().set(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::ToDo,
                            item(false, u"10:00"_s, u"職員会議"_s) +
                                item(false, u"13:00"_s, u"面談"_s));
        {
            CalendarWindow w(env.app, *env.nav);
            w.timer()->stop();
            QAction* sw = w.action(u"mnuRemind"_s);
            QVERIFY(sw && sw->isCheckable());
            QCOMPARE(sw->text(), u"リマインダー(&R)"_s);
            QVERIFY(sw->isChecked()); // on until switched off

            env.clock->set(at(2005, 5, 10, 9, 41));
            w.clockTick();
            w.clockTick(); // the same second again
            QCOMPARE(env.tray->messages.size(), 1);
            QVERIFY(env.tray->messages[0].endsWith(u"10:00　職員会議"_s));
            QCOMPARE(w.clock()->hourColor(), int(AlarmHalfHour));

            sw->trigger(); // off
            env.clock->set(at(2005, 5, 10, 10, 1));
            w.clockTick();
            QCOMPARE(env.tray->messages.size(), 1);
            env.tray->available = false;
            env.clock->set(at(2005, 5, 10, 10, 2));
            w.clockTick();
            QVERIFY(env.notifier->messages.isEmpty());
            QVERIFY(!w.reminderLine());
            env.tray->available = true;
            QCOMPARE(w.clock()->hourColor(), int(AlarmPast)); // the clock keeps its colours
        }
        {
            CalendarWindow again(env.app, *env.nav);
            again.timer()->stop();
            QVERIFY(!again.action(u"mnuRemind"_s)->isChecked());
            again.action(u"mnuRemind"_s)->trigger(); // on again
            env.clock->set(at(2005, 5, 10, 10, 3));
            again.clockTick();
            QCOMPARE(env.tray->messages.size(), 2);
        }
        CalendarWindow third(env.app, *env.nav);
        third.timer()->stop();
        QVERIFY(third.action(u"mnuRemind"_s)->isChecked());
    }
};

QTEST_MAIN(TestReminders)
#include "tst_reminders.moc"
