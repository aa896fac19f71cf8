// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/navigator.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// A window that writes every call the navigator makes into one shared log.
class FakeWindow : public QWidget, public NavWindow {
public:
    FakeWindow(const QString& name, QStringList& log) : m_name(name), m_log(log) {}
    QWidget* widget() override { return this; }
    void storePage() override { m_log.append(m_name + u" store"_s); }
    void leavePage() override { m_log.append(m_name + u" leave"_s); }
    void enterPage() override {
        m_log.append(m_name + (isVisible() ? u" enter (shown)"_s : u" enter"_s));
        show();
    }
    void hideEvent(QHideEvent*) override { m_log.append(m_name + u" hidden"_s); }

private:
    QString m_name;
    QStringList& m_log;
};

struct Windows {
    Windows() {
        for (View v : {View::Calendar, View::Diary, View::Main, View::Search})
            nav.registerView(v, [this, v] {
                ++created[int(v)];
                return new FakeWindow(name(v), log);
            });
    }
    static QString name(View v) {
        switch (v) {
        case View::Calendar:
            return u"calendar"_s;
        case View::Diary:
            return u"diary"_s;
        case View::Main:
            return u"main"_s;
        default:
            return u"search"_s;
        }
    }
    QWidget* widget(View v) const { return nav.window(v) ? nav.window(v)->widget() : nullptr; }

    QStringList log;
    int created[9] = {};
    Navigator nav;
};

} // namespace

class TestNavigator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void windowsAreCreatedOnFirstUseOnlyAndKeepTheirLoadOrder() {
        Windows w;
        QVERIFY(!w.nav.window(View::Diary));
        QVERIFY(w.nav.open(View::Calendar));
        QVERIFY(w.nav.open(View::Diary));
        QVERIFY(w.nav.open(View::Calendar));
        QVERIFY(w.nav.open(View::Diary));
        QCOMPARE(w.created[int(View::Diary)], 1);
        QCOMPARE(w.created[int(View::Main)], 0);
        w.nav.open(View::Main);
        const QList<NavWindow*> order = w.nav.loadOrder();
        QCOMPARE(order.size(), 3);
        QCOMPARE(order[0], w.nav.window(View::Calendar));
        QCOMPARE(order[1], w.nav.window(View::Diary));
        QCOMPARE(order[2], w.nav.window(View::Main));
    }

    void aSwitchStoresTheViewLeftShowsTheTargetThenHidesTheViewLeft() {
        Windows w;
        w.nav.open(View::Calendar);
        w.log.clear();
        QSignalSpy switched(&w.nav, &Navigator::switched);

        QVERIFY(w.nav.open(View::Diary));

        QCOMPARE(w.log, (QStringList{u"calendar leave"_s, u"diary enter"_s, u"calendar hidden"_s}));
        QCOMPARE(w.nav.currentView(), View::Diary);
        QVERIFY(w.widget(View::Diary)->isVisible());
        QVERIFY(!w.widget(View::Calendar)->isVisible());
        QCOMPARE(switched.count(), 1);
    }

    void aWindowBesideTheViewsLeavesTheViewShownAfterItStored() {
        Windows w;
        w.nav.open(View::Diary);
        w.log.clear();

        QVERIFY(w.nav.open(View::Search));

        QCOMPARE(w.log, (QStringList{u"diary store"_s, u"search enter"_s}));
        QCOMPARE(w.nav.currentView(), View::Diary);
        QVERIFY(w.widget(View::Diary)->isVisible());
        QVERIFY(w.widget(View::Search)->isVisible());
        QVERIFY(w.nav.owns(w.widget(View::Search)));
    }

    void closingAViewShowsTheCalendarAndClosingABesideWindowHidesIt() {
        Windows w;
        w.nav.open(View::Calendar);
        w.nav.open(View::Diary);
        w.nav.open(View::Search);
        w.log.clear();

        w.nav.closeWindow(w.nav.window(View::Search));
        QCOMPARE(w.log, (QStringList{u"search leave"_s, u"search hidden"_s}));
        QCOMPARE(w.nav.currentView(), View::Diary);

        w.log.clear();
        w.nav.closeWindow(w.nav.window(View::Diary));
        QCOMPARE(w.log, (QStringList{u"diary leave"_s, u"calendar enter"_s, u"diary hidden"_s}));
        QCOMPARE(w.nav.currentView(), View::Calendar);

        // The calendar's own close box is the end of the program, not the navigator's.
        w.log.clear();
        w.nav.closeWindow(w.nav.window(View::Calendar));
        QVERIFY(w.log.isEmpty());
    }

    void aWindowThatDoesNotExistYetIsNotOpenedAndNothingIsLeft() {
        Windows w;
        w.nav.open(View::Diary);
        w.log.clear();
        QVERIFY(!w.nav.has(View::Weekly));
        QVERIFY(!w.nav.open(View::Weekly));
        QVERIFY(w.log.isEmpty());
        QCOMPARE(w.nav.currentView(), View::Diary);
        QVERIFY(w.widget(View::Diary)->isVisible());
    }

    void anAdoptedWindowIsOwnedAndNotCreatedAgain() {
        QStringList log;
        QPointer<FakeWindow> calendar = new FakeWindow(u"calendar"_s, log);
        {
            Navigator nav;
            int made = 0;
            nav.registerView(View::Calendar, [&] {
                ++made;
                return new FakeWindow(u"other"_s, log);
            });
            nav.adopt(View::Calendar, calendar);
            QVERIFY(nav.open(View::Calendar));
            QCOMPARE(made, 0);
            QVERIFY(nav.owns(calendar));
            QVERIFY(!nav.owns(nullptr));
        }
        // The navigator deletes the windows it owns.
        QVERIFY(calendar.isNull());
    }
};

QTEST_MAIN(TestNavigator)
#include "tst_navigator.moc"
