// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"
#include "support/todoitems.h"

#include "core/calendar/clockface.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "gui/app/viewregistry.h"
#include "gui/calendar/calendarwindow.h"

#include <QApplication>
#include <QMenu>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A new document of `baseYear` with the clock fixed at `now`.
struct Fixture {
    explicit Fixture(const QDateTime& now = at(2005, 5, 10), int baseYear = 2005) : env(now) {
        env.newYear(baseYear);
    }
    int row(int y, int m, int d) const {
        return Dates::rowOfDate(QDate(y, m, d), env.app.baseYear());
    }

    TestEnvironment env;
    ScriptedTray* tray = env.tray;
    ScriptedColorDialog* colors = env.colors;
    ScriptedHelp* help = env.help;
};

bool shown(CalendarWindow& w) {
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

} // namespace

class TestCalendarWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void dayCellsShowTheMonthAndForgetThePreviousOne() {
        Fixture f;
        f.env.app.store().set(f.row(2005, 5, 20), StoreCol::ToDo, openItems(3));
        f.env.app.store().set(f.row(2005, 5, 21), StoreCol::ToDo, openItems(6));
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));

        QCOMPARE(w.monthLabel()->text(), u"5月"_s);
        QCOMPARE(w.yearLabel()->text(), u"2005"_s);
        // 1 May 2005 is a Sunday.
        QCOMPARE(w.dayCell(0)->caption(), u"1"_s);
        QCOMPARE(w.dayCell(30)->caption(), u"31"_s);
        QVERIFY(w.dayCell(31)->caption().isEmpty());
        QCOMPARE(w.dayCell(2)->textColor(), QColor(255, 0, 0));
        QCOMPARE(w.dayCell(2)->toolTip(), u"憲法記念日"_s);
        QCOMPARE(w.dayCell(19)->backColor(), QColor(255, 255, 0));
        QCOMPARE(w.dayCell(20)->backColor(), QColor(255, 179, 179));

        // June starts on Wednesday: what May left in cells 2, 19 and 20 goes.
        QTest::mouseClick(w.findChild<QToolButton*>(u"Picture2"_s), Qt::LeftButton);
        QVERIFY(w.dayCell(2)->caption().isEmpty());
        QVERIFY(w.dayCell(2)->toolTip().isEmpty());
        QCOMPARE(w.dayCell(3)->caption(), u"1"_s);
        QCOMPARE(w.dayCell(19)->backColor(), QColor(255, 255, 255));
        QCOMPARE(w.dayCell(20)->backColor(), QColor(255, 255, 255));
    }

    void monthButtonsStayInsideTheDocumentYear_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("newYear");
        QTest::addColumn<int>("newMonth");

        QTest::newRow("previous in April") << 2005 << 4 << u"Picture1"_s << 2005 << 4;
        QTest::newRow("next in March") << 2006 << 3 << u"Picture2"_s << 2006 << 3;
        QTest::newRow("next from December") << 2005 << 12 << u"Picture2"_s << 2006 << 1;
        QTest::newRow("previous from January") << 2006 << 1 << u"Picture1"_s << 2005 << 12;
    }

    void monthButtonsStayInsideTheDocumentYear() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(QString, button);
        QFETCH(int, newYear);
        QFETCH(int, newMonth);
        Fixture f;
        f.env.app.setCurrentDate(QDate(year, month, 1));
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));

        QToolButton* b = w.findChild<QToolButton*>(button);
        QVERIFY(b);
        QTest::mouseClick(b, Qt::LeftButton);
        QCOMPARE(f.env.app.CurYear, newYear);
        QCOMPARE(f.env.app.CurMonth, newMonth);
        QCOMPARE(w.monthLabel()->text(), QString::number(newMonth) + u"月"_s);
        QCOMPARE(w.yearLabel()->text(), QString::number(newYear));
    }

    void clicksOnCellsOnlyOpenThePopupOnADay_data() {
        QTest::addColumn<int>("cell");
        QTest::addColumn<Qt::MouseButton>("button");
        QTest::addColumn<bool>("opens");

        QTest::newRow("left on empty cell") << 33 << Qt::LeftButton << false;
        QTest::newRow("right on Sunday heading") << 37 << Qt::RightButton << false;
        QTest::newRow("right on Saturday heading") << 43 << Qt::RightButton << false;
        QTest::newRow("right on empty cell") << 33 << Qt::RightButton << false;
        QTest::newRow("right on day") << 11 << Qt::RightButton << true;
    }

    void clicksOnCellsOnlyOpenThePopupOnADay() {
        QFETCH(int, cell);
        QFETCH(Qt::MouseButton, button);
        QFETCH(bool, opens);
        Fixture f;
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));

        QTest::mouseClick(w.dayCell(cell), button);
        QCOMPARE(w.popupMenu()->isVisible(), opens);
        w.popupMenu()->hide();
        QVERIFY(w.isVisible());
        QCOMPARE(f.env.app.currentDate(), QDate(2005, 5, 10));
        QVERIFY(!f.env.app.docChanged());
        QVERIFY(f.env.messages->shown.isEmpty());
    }

    void dayColourFromThePopup_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<bool>("chosen");

        // Cell 11 is the 12th in both months.
        QTest::newRow("chosen") << 2005 << 5 << true;
        QTest::newRow("chosen in January") << 2006 << 1 << true;
        QTest::newRow("cancelled") << 2005 << 5 << false;
    }

    void dayColourFromThePopup() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(bool, chosen);
        Fixture f;
        f.env.app.setCurrentDate(QDate(year, month, 1));
        const int row = f.row(year, month, 12);
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));
        if (chosen)
            f.colors->answers = {QColor(0, 128, 255)};

        QTest::mouseClick(w.dayCell(11), Qt::RightButton);
        QVERIFY(w.popupMenu()->isVisible());
        QAction* day = w.action(u"mnuDay"_s);
        QVERIFY(day);
        QCOMPARE(day->text(), u"日付の色"_s);
        day->trigger();
        w.popupMenu()->hide();

        QCOMPARE(f.colors->asked, 1);
        QCOMPARE(w.dayCell(11)->textColor(), chosen ? QColor(0, 128, 255) : QColor(Qt::black));
        QCOMPARE(f.env.app.store().number(row, StoreCol::WeekdayFore),
                 chosen ? Q_INT64_C(0xFF8000) : 0);
        QCOMPARE(f.env.app.docChanged(), chosen);
    }

    void clockHandsTakeTheToDoAlarmColour_data() {
        QTest::addColumn<int>("baseYear");
        QTest::addColumn<QTime>("now");
        QTest::addColumn<QString>("todo");
        QTest::addColumn<QList<int>>("colors"); // hour, minute, second
        QTest::addColumn<QString>("spoken");

        const QString item = ToDo_ItemString(true, u"09:00"_s, u"普通"_s, u"済"_s) + openItems(1);
        QTest::newRow("open item 20 minutes ahead")
            << 2005 << QTime(9, 40) << item << QList{13, 13, 13}
            << u"時計 9時40分 30分以内のToDoがあります"_s;
        QTest::newRow("open item past") << 2005 << QTime(10, 5) << item << QList{12, 12, 12}
                                        << u"時計 10時5分 時刻を過ぎたToDoがあります"_s;
        QTest::newRow("no ToDo today")
            << 2005 << QTime(9, 40) << QString() << QList{1, 1, 1} << u"時計 9時40分"_s;
        QTest::newRow("document of another year")
            << 2004 << QTime(9, 40) << QString() << QList{1, 1, 12} << u"時計 9時40分"_s;
    }

    void clockHandsTakeTheToDoAlarmColour() {
        QFETCH(int, baseYear);
        QFETCH(QTime, now);
        QFETCH(QString, todo);
        QFETCH(QList<int>, colors);
        Fixture f(at(2005, 5, 10, 8, 0), baseYear);
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));

        if (!todo.isEmpty())
            f.env.app.store().set(f.row(2005, 5, 10), StoreCol::ToDo, todo);
        f.env.clock->set(QDateTime(QDate(2005, 5, 10), now));
        w.clockTick();
        const ClockWidget* c = w.clock();
        QCOMPARE((QList{c->hourColor(), c->minuteColor(), c->secondColor()}), colors);
        QFETCH(QString, spoken);
        QCOMPARE(c->accessibleName(), spoken);
    }

    // Random walks over the days with the keys, against a model of the date: the
    // focused cell is always the model's day in its month, named with its date, and
    // the keyboard never leaves the year; Enter opens the day, the menu key its menu.
    void keyboardWalksTheDaysOfTheYear() {
        Fixture f;
        registerViews(*f.env.nav, f.env.app);
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const QDate first(2005, 4, 1), last(2006, 3, 31);
        QDate model(2005, 5, 10); // the calendar opens on the current day
        QRandomGenerator random(20051210);
        const std::array<std::pair<Qt::Key, int>, 6> keys{{{Qt::Key_Left, -1},
                                                           {Qt::Key_Right, 1},
                                                           {Qt::Key_Up, -7},
                                                           {Qt::Key_Down, 7},
                                                           {Qt::Key_PageUp, -100},
                                                           {Qt::Key_PageDown, 100}}};
        for (int step = 0; step < 400; ++step) {
            const auto [key, move] = keys[random.bounded(int(keys.size()))];
            const QDate next = move == -100  ? model.addMonths(-1)
                               : move == 100 ? model.addMonths(1)
                                             : model.addDays(move);
            QWidget* focused = QApplication::focusWidget();
            QVERIFY(focused);
            QTest::keyClick(focused, key);
            if (next >= first && next <= last)
                model = next;
            const auto* cell = qobject_cast<DayCell*>(QApplication::focusWidget());
            QVERIFY2(cell, qPrintable(model.toString(Qt::ISODate)));
            QCOMPARE(cell->row(), f.row(model.year(), model.month(), model.day()));
            QCOMPARE(cell->caption(), QString::number(model.day()));
            QCOMPARE(f.env.app.CurMonth, model.month());
            QVERIFY(cell->accessibleName().startsWith(
                QStringLiteral("%1月%2日 ").arg(model.month()).arg(model.day())));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Menu);
        QVERIFY(w.popupMenu()->isVisible());
        w.popupMenu()->hide();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(f.env.app.currentDate(), model);
        QVERIFY(!f.env.app.docChanged());
    }

    void clockHandGeometry_data() {
        QTest::addColumn<QTime>("time");
        QTest::addColumn<QList<QPoint>>("hands"); // hour, minute, second

        QTest::newRow("3:00:00") << QTime(3, 0)
                                 << QList{QPoint(30, 0), QPoint(0, -40), QPoint(0, -25)};
        QTest::newRow("6:30:15") << QTime(6, 30, 15)
                                 << QList{QPoint(-8, 29), QPoint(0, 40), QPoint(25, 0)};
        // The hour angle 292.5 rounds to the even 292, not to 293 (which gives y -12).
        QTest::newRow("9:45:45") << QTime(9, 45, 45)
                                 << QList{QPoint(-28, -11), QPoint(-40, 0), QPoint(-25, 0)};
    }

    void clockHandGeometry() {
        QFETCH(QTime, time);
        QFETCH(QList<QPoint>, hands);
        const ClockFace::Hands h = ClockFace::hands(time);
        QCOMPARE((QList{h.hour, h.minute, h.second}), hands);
    }

    void trayHidesTheWindowUntilItsIconIsClicked_data() {
        QTest::addColumn<bool>("available");
        QTest::addColumn<bool>("viaClock");
        QTest::newRow("menu") << true << false;
        QTest::newRow("clock click") << true << true;
        QTest::newRow("no tray: minimised instead") << false << false;
    }

    void trayHidesTheWindowUntilItsIconIsClicked() {
        QFETCH(bool, available);
        QFETCH(bool, viaClock);
        Fixture f;
        f.tray->available = available;
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));

        if (viaClock)
            QTest::mouseClick(w.clock(), Qt::LeftButton);
        else
            w.action(u"mnuTask"_s)->trigger();
        if (!available) {
            QVERIFY(w.isVisible());
            QVERIFY(w.isMinimized());
            QVERIFY(!f.tray->shown);
            return;
        }
        QVERIFY(!w.isVisible());
        QVERIFY(f.tray->shown);
        QCOMPARE(f.tray->tip, u"デイログ"_s);

        Q_EMIT Tray::instance().rightClicked();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].text, u"左ボタンをクリックしてください。"_s);
        QVERIFY(!w.isVisible());

        Q_EMIT Tray::instance().leftClicked();
        QVERIFY(w.isVisible());
        QVERIFY(!f.tray->shown);
    }

    void endingAsksToSaveUnsavedChanges_data() {
        QTest::addColumn<bool>("viaClose");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("titled");
        QTest::addColumn<bool>("answerYes");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<bool>("written");

        for (bool viaClose : {false, true}) {
            const char* how = viaClose ? "close" : "end";
            QTest::addRow("%s: no changes", how)
                << viaClose << false << true << true << true << false;
            QTest::addRow("%s: saved", how) << viaClose << true << true << true << true << true;
            QTest::addRow("%s: not saved", how)
                << viaClose << true << true << false << true << false;
            QTest::addRow("%s: name dialog cancelled", how)
                << viaClose << true << false << true << false << false;
        }
    }

    void endingAsksToSaveUnsavedChanges() {
        QFETCH(bool, viaClose);
        QFETCH(bool, changed);
        QFETCH(bool, titled);
        QFETCH(bool, answerYes);
        QFETCH(bool, ends);
        QFETCH(bool, written);
        QTemporaryDir dir;
        Fixture f;
        if (titled)
            f.env.app.doc().setPath(dir.filePath(u"year.dys"_s));
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));
        f.env.app.setDocChanged(changed);
        f.env.messages->answers = {answerYes ? MessageBox::Yes : MessageBox::No};
        QSignalSpy ending(&w, &CalendarWindow::programEnding);

        if (viaClose)
            w.close();
        else
            QCOMPARE(w.endProgram(), ends);

        QCOMPARE(ending.count(), ends ? 1 : 0);
        QCOMPARE(f.env.messages->shown.size(), changed ? 1 : 0);
        if (changed) {
            // The question names the document; Return saves, Escape ends nothing.
            const MessageBox::Request& q = f.env.messages->shown[0];
            QVERIFY(q.text.startsWith(u"ファイルが変更されています。保存しますか。"_s));
            QVERIFY(q.text.contains(f.env.app.doc().displayName()));
            QCOMPARE(q.title, f.env.app.doc().displayName());
            QCOMPARE(q.buttons, MessageBox::YesNoCancel);
            QCOMPARE(q.defaultButton, MessageBox::Yes);
        }
        QCOMPARE(!QDir(dir.path()).isEmpty(), written);
        QCOMPARE(f.env.app.docChanged(), changed && !written);
        QCOMPARE(w.isVisible(), !(viaClose && ends));
    }

    // Escape (キャンセル) at the end question ends nothing and drops nothing.
    void cancellingTheEndQuestionKeepsEverything() {
        QTemporaryDir dir;
        Fixture f;
        f.env.app.doc().setPath(dir.filePath(u"year.dys"_s));
        CalendarWindow w(f.env.app, *f.env.nav);
        QVERIFY(shown(w));
        f.env.app.store().set(40, StoreCol::Record, u"消えない"_s);
        f.env.messages->answers = {MessageBox::Cancel, MessageBox::Cancel};
        QSignalSpy ending(&w, &CalendarWindow::programEnding);
        QSignalSpy requested(f.env.nav, &Navigator::endRequested);
        QVERIFY(!w.endProgram());
        w.close();
        QCOMPARE(f.env.messages->shown.size(), 2);
        QCOMPARE(ending.count(), 0);
        QCOMPARE(requested.count(), 0);
        QVERIFY(w.isVisible());
        QVERIFY(f.env.app.docChanged());
        QCOMPARE(f.env.app.store().text(40, StoreCol::Record), u"消えない"_s);
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void missingHelpFileIsReported() {
        Fixture f;
        f.help->path = f.env.printFolder.filePath(u"daylogHelp.html"_s); // not there
        CalendarWindow w(f.env.app, *f.env.nav);

        w.action(u"mnuHelp"_s)->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        const MessageBox::Request& r = f.env.messages->shown[0];
        QCOMPARE(r.text, u"ﾍﾙﾌﾟの目次を表示できません。ﾍﾙﾌﾟが存在しません。"_s);
        QCOMPARE(r.icon, MessageBox::Information);
        QCOMPARE(r.title, u"デイログ"_s);
        QVERIFY(f.help->shown.isEmpty());
    }

    void menuItems_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption"); // empty: not checked
        QTest::addColumn<bool>("enabled");

        QTest::newRow("mnuSave") << u"mnuSave"_s << u"上書き保存(&S)"_s << true;
        QTest::newRow("mnuAsSave") << u"mnuAsSave"_s << u"名前を付けて保存(&A)"_s << true;
        QTest::newRow("mnuTask") << u"mnuTask"_s << u"タスクに入れる(&T)"_s << true;
        QTest::newRow("mnuEnd") << u"mnuEnd"_s << u"終了(&X)"_s << true;
        QTest::newRow("mnuNikki") << u"mnuNikki"_s << u"日記(&N)"_s << true;
        QTest::newRow("mnuShuu") << u"mnuShuu"_s << u"週日程(&W)"_s << true;
        QTest::newRow("mnuTuki") << u"mnuTuki"_s << u"月日程(&M)"_s << true;
        QTest::newRow("mnuNen") << u"mnuNen"_s << u"年間日程(&Y)"_s << true;
        QTest::newRow("mnuToDo") << u"mnuToDo"_s << u"ToDo一覧(&T)"_s << true;
        QTest::newRow("mnuKiroku") << u"mnuKiroku"_s << u"記録統計(&K)"_s << true;
        QTest::newRow("mnuKoumoku") << u"mnuKoumoku"_s << u"項目統計(&S)"_s << true;
        QTest::newRow("mnuKensaku") << u"mnuKensaku"_s << u"検索(&F)"_s << true;
    }

    void menuItems() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(bool, enabled);
        Fixture f;
        CalendarWindow w(f.env.app, *f.env.nav);
        // Windows registered after the calendar was built are still offered.
        registerViews(*f.env.nav, f.env.app);
        QAction* a = w.action(name);
        QVERIFY(a);
        if (!caption.isEmpty())
            QCOMPARE(a->text(), caption);
        QCOMPARE(a->isEnabled(), enabled);
    }
};

QTEST_MAIN(TestCalendarWindow)
#include "tst_calendarwindow.moc"
