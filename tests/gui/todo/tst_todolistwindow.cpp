// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/todo/todostring.h"
#include "gui/todo/todolistwindow.h"

#include <QDateEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;
using namespace ToDoList;

namespace {

const QDate May10(2005, 5, 10);

QString item(bool done, const QString& time, const QString& text) {
    return ToDo_ItemString(done, time, u"普通"_s, text);
}

struct ListFixture {
    ListFixture() {
        f.env.app.store().set(f.row(May10), StoreCol::ToDo,
                              item(false, u"09:00"_s, u"一"_s) + item(true, {}, u"二"_s));
        f.env.app.store().set(f.row(QDate(2005, 5, 12)), StoreCol::ToDo, item(false, {}, u"三"_s));
        f.calendar->action(u"mnuToDo"_s)->trigger();
        w = static_cast<ToDoListWindow*>(f.env.nav->window(View::ToDoList)->widget());
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the ToDo list did not become active");
    }
    void showRange(const QDate& from, const QDate& to) {
        w->fromPicker()->setDate(from);
        w->toPicker()->setDate(to);
        QTest::mouseClick(w->showButton(), Qt::LeftButton);
    }
    GridModel& list() { return w->list(); }

    ViewFixture f;
    ToDoListWindow* w = nullptr;
};

} // namespace

class TestToDoListWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theListOpensBesideTheViewWithTheCurrentMonthListed() {
        ListFixture l;
        QVERIFY(l.f.calendar->isVisible());
        QCOMPARE(l.list().textMatrix(0, TextCol), u"用　　　件"_s);
        QCOMPARE(l.w->fromPicker()->date(), QDate(2005, 5, 1));
        QCOMPARE(l.w->toPicker()->date(), QDate(2005, 5, 31));
        QCOMPARE(l.w->fromPicker()->minimumDate(), QDate(2005, 4, 1));
        QCOMPARE(l.w->toPicker()->maximumDate(), QDate(2006, 3, 31));
        QCOMPARE(l.list().rows(), 4);
        QCOMPARE(l.list().textMatrix(1, TextCol), u"一"_s);
        QCOMPARE(l.list().textMatrix(3, TextCol), u"三"_s);
        QCOMPARE(l.w->shownDocument(), &l.f.env.app.doc());
        QVERIFY(!l.w->isModified());
        QCOMPARE(l.w->focusWidget(), l.w->showButton());
        QCOMPARE(l.w->grid()->accessibleName(), u"ToDo一覧"_s);
        QCOMPARE(l.w->fromPicker()->accessibleName(), u"開始日"_s);
        QCOMPARE(l.w->toPicker()->accessibleName(), u"終了日"_s);

        l.showRange(QDate(2005, 5, 11), QDate(2005, 5, 31));
        QCOMPARE(l.list().rows(), 2);
        QCOMPARE(l.list().textMatrix(1, TextCol), u"三"_s);

        // The diary's toolbar button leads here too, after the diary stored its page.
        DiaryWindow* diary = l.f.open(May10);
        ViewFixture::type(diary->recordBox(), u"日記"_s);
        diary->action(u"tb_ToDo一覧"_s)->trigger();
        QCOMPARE(l.f.stored(May10, StoreCol::Record), u"日記"_s);
        QVERIFY(diary->isVisible());
        QVERIFY(l.w->isVisible());
        QCOMPARE(l.list().rows(), 2); // asked for again while open: kept as it is

        // Closed and opened again at another current date: that date's month.
        l.w->close();
        l.f.env.app.setCurrentDate(QDate(2006, 2, 14));
        l.f.env.app.store().set(l.f.row(QDate(2006, 2, 28)), StoreCol::ToDo,
                                item(false, {}, u"月末"_s));
        l.f.calendar->action(u"mnuToDo"_s)->trigger();
        QCOMPARE(l.w->fromPicker()->date(), QDate(2006, 2, 1));
        QCOMPARE(l.w->toPicker()->date(), QDate(2006, 2, 28));
        QCOMPARE(l.list().rows(), 2);
        QCOMPARE(l.list().textMatrix(1, TextCol), u"月末"_s);
    }

    void aRangeBackwardsIsRefused() {
        ListFixture l;
        l.showRange(QDate(2005, 5, 12), QDate(2005, 5, 10));
        QCOMPARE(l.f.env.messages->shown.size(), 1);
        QCOMPARE(l.f.env.messages->shown[0].text, u"日付設定が不適切です"_s);
        QCOMPARE(l.list().rows(), 4); // the month listed stays
    }

    void aBadDateStopsTheSaveAndShowsItsRow() {
        ListFixture l;
        l.showRange(QDate(2005, 5, 1), QDate(2005, 5, 31));
        l.list().setTextMatrix(3, DateCol, u"いつか"_s);
        l.list().setTextMatrix(1, TextCol, u"書き換え"_s);
        QTest::mouseClick(l.w->saveButton(), Qt::LeftButton);
        QCOMPARE(l.f.env.messages->shown.last().text, u"日付が不適切です"_s);
        QCOMPARE(l.list().row(), 3);
        QCOMPARE(l.f.stored(May10, StoreCol::ToDo),
                 item(false, u"09:00"_s, u"一"_s) + item(true, {}, u"二"_s));
    }

    void addingAndDeletingItems() {
        ListFixture l;
        l.list().select(0, DoneCol);
        l.w->action(u"mnuAdd"_s)->trigger();
        QCOMPARE(l.f.env.messages->shown.last().text, u"挿入する場所を選択してください"_s);

        l.list().select(2, TextCol);
        l.w->action(u"mnuAdd"_s)->trigger();
        QCOMPARE(l.list().rows(), 5);
        QVERIFY(l.list().textMatrix(2, TextCol).isEmpty());
        QCOMPARE(l.list().textMatrix(3, TextCol), u"二"_s);
        QCOMPARE(l.list().textMatrix(4, NumberCol), u"4"_s);
        l.list().setTextMatrix(2, DateCol, u"2005/05/20"_s);
        l.list().setTextMatrix(2, TextCol, u"足した"_s);
        l.list().select(1, TextCol);
        l.w->action(u"mnuDel"_s)->trigger();
        QCOMPARE(l.list().textMatrix(1, TextCol), u"足した"_s);
        QVERIFY(l.w->save());
        QCOMPARE(l.f.stored(May10, StoreCol::ToDo), item(true, {}, u"二"_s));
        QCOMPARE(l.f.stored(QDate(2005, 5, 20), StoreCol::ToDo),
                 ToDo_ItemString(false, {}, {}, u"足した"_s));
    }

    void datesAreEditedWithADateFieldInsideTheYear() {
        ListFixture l;
        l.showRange(QDate(2005, 5, 1), QDate(2005, 5, 31));
        Grid* g = l.w->grid();
        g->setFocus();
        g->setCursor(1, DateCol);
        QVERIFY(g->startEdit());
        auto* field = qobject_cast<QDateEdit*>(g->editor());
        QVERIFY(field);
        QCOMPARE(field->date(), May10);
        QCOMPARE(field->minimumDate(), QDate(2005, 4, 1));
        QCOMPARE(field->maximumDate(), QDate(2006, 3, 31));
        field->setDate(QDate(2005, 6, 3));
        QTest::keyClick(field, Qt::Key_Return);
        QCOMPARE(l.list().textMatrix(1, DateCol), u"2005/06/03"_s);
        QCOMPARE(l.list().row(), 2);
        QVERIFY(l.w->isModified());
        // Times are kept as hh:mm.
        g->setCursor(3, TimeCol);
        ViewFixture::typeInGrid(g, u"745"_s);
        QTest::keyClick(g->editor(), Qt::Key_Return);
        QCOMPARE(l.list().textMatrix(3, TimeCol), u"07:45"_s);
    }

    void keysAndTheClipboardActOnTheList() {
        ListFixture l;
        l.showRange(QDate(2005, 5, 1), QDate(2005, 5, 31));
        Grid* g = l.w->grid();
        g->setFocus();
        l.list().select(3, TextCol, 2, TimeCol); // selected upwards and leftwards
        QTest::keyClick(g, Qt::Key_Delete);
        QVERIFY(l.list().textMatrix(2, TextCol).isEmpty());
        QVERIFY(l.list().textMatrix(3, TimeCol).isEmpty());
        QCOMPARE(l.list().textMatrix(1, TextCol), u"一"_s);

        l.list().select(1, TextCol);
        l.w->action(u"mnuCopy"_s)->trigger();
        QCOMPARE(l.f.env.clipboard->content, u"一"_s);
        l.list().select(2, TextCol);
        l.w->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(l.list().textMatrix(2, TextCol), u"一"_s);
        l.w->action(u"mnuCut"_s)->trigger();
        QVERIFY(l.list().textMatrix(2, TextCol).isEmpty());

        g->setCursor(3, TextCol);
        QTest::keyClick(g, Qt::Key_Return); // the last row: stays
        QCOMPARE(l.list().row(), 3);
    }

    void theWholeListIsPrinted() {
        ListFixture l;
        l.showRange(QDate(2005, 5, 1), QDate(2005, 5, 31));
        l.w->action(u"mnuPrint"_s)->trigger();
        QCOMPARE(l.f.env.printer->files.size(), 1);
        const QString text = TestEnvironment::pdfText(l.f.env.printer->files[0]);
        for (const QString& expected : {u"一"_s, u"二"_s, u"三"_s, u"2005/05/12"_s, u"時刻"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
    }
};

QTEST_MAIN(TestToDoListWindow)
#include "tst_todolistwindow.moc"
