// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/todo/todostring.h"
#include "gui/search/searchwindow.h"

#include <QDateEdit>
#include <QLabel>
#include <QListWidget>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);

struct SearchFixture {
    SearchFixture() {
        f.calendar->action(u"mnuKensaku"_s)->trigger();
        w = static_cast<SearchWindow*>(f.env.nav->window(View::Search)->widget());
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the search window did not become active");
    }
    void put(const QDate& d, int col, const QString& text) {
        f.env.app.store().set(f.row(d), col, text);
    }
    void find(const QString& text) {
        w->textBox()->setText(text);
        w->action(u"tb_検索"_s)->trigger();
    }

    ViewFixture f;
    SearchWindow* w = nullptr;
};

} // namespace

class TestSearchWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theWindowOpensFromTheCalendarReadyToType() {
        SearchFixture s;
        QCOMPARE(s.w->objectName(), u"検索"_s);
        QCOMPARE(s.w->windowTitle(), u"検索 - nikki0[*]"_s);
        QCOMPARE(s.w->focusWidget(), s.w->textBox());
        // The whole year is picked.
        QCOMPARE(s.w->fromPicker()->date(), QDate(2005, 4, 1));
        QCOMPARE(s.w->toPicker()->date(), QDate(2006, 3, 31));
        QCOMPARE(s.w->toPicker()->maximumDate(), QDate(2006, 3, 31));
        // Every control has a name a screen reader can say.
        QCOMPARE(s.w->results()->accessibleName(), u"検索結果"_s);
        QCOMPARE(s.w->fromPicker()->accessibleName(), u"開始日"_s);
        QCOMPARE(s.w->toPicker()->accessibleName(), u"終了日"_s);
        QCOMPARE(s.w->findChild<QLabel*>(u"lbMoji"_s)->buddy(), s.w->textBox());
        QCOMPARE(s.w->action(u"mnuFind"_s)->text(), u"検索(&F)"_s);
        QCOMPARE(s.w->action(u"mnuClose"_s)->text(), u"閉じる(&X)"_s);
        QVERIFY(s.w->results()->count() == 0);
    }

    void everyTextFoundIsListedByDateWithItsFieldAndWhatSurroundsIt() {
        SearchFixture s;
        s.put(QDate(2005, 5, 2), StoreCol::Record, u"遠足の下見"_s);
        s.put(QDate(2005, 4, 20), StoreCol::SlotText1 + 6, u"遠足の準備"_s);
        s.put(QDate(2005, 4, 20), StoreCol::Events, u"遠足説明会"_s);
        s.put(QDate(2005, 5, 9), StoreCol::ToDo,
              ToDo_ItemString(false, {}, u"普通"_s, u"遠足のしおり"_s));
        s.put(QDate(2006, 3, 31), StoreCol::Record, u"来年度の遠足"_s); // the year's last day
        // Enter in the text searches too.
        s.w->textBox()->setText(u"遠足"_s);
        QTest::keyClick(s.w->textBox(), Qt::Key_Return);
        QCOMPARE(s.w->resultTexts(), QStringList({
                                         u"2005/04/20(水)　今日の行事：遠足説明会"_s,
                                         u"2005/04/20(水)　７(24～)内容：遠足の準備"_s,
                                         u"2005/05/02(月)　記録：遠足の下見"_s,
                                         u"2005/05/09(月)　ToDo：普通 遠足のしおり"_s,
                                         u"2006/03/31(金)　記録：来年度の遠足"_s,
                                     }));
        QCOMPARE(s.w->resultDays(),
                 QList<QDate>({QDate(2005, 4, 20), QDate(2005, 4, 20), QDate(2005, 5, 2),
                               QDate(2005, 5, 9), QDate(2006, 3, 31)}));

        // Only the picked days.
        s.w->fromPicker()->setDate(QDate(2005, 4, 21));
        s.w->toPicker()->setDate(QDate(2005, 5, 8));
        s.find(u"遠足"_s);
        QCOMPARE(s.w->resultDays(), QList<QDate>({QDate(2005, 5, 2)}));
        // Days picked backwards examine nothing.
        s.w->fromPicker()->setDate(QDate(2005, 5, 9));
        s.w->toPicker()->setDate(QDate(2005, 5, 1));
        s.find(u"遠足"_s);
        QCOMPARE(s.w->resultTexts(), QStringList());
        QVERIFY(s.f.env.messages->shown.isEmpty());
    }

    void anEmptyTextOrABadPatternIsRefusedAndTheListStays() {
        SearchFixture s;
        s.put(May10, StoreCol::Record, u"遠足"_s);
        s.find(u"遠足"_s);
        QCOMPARE(s.w->results()->count(), 1);
        s.find(QString());
        QCOMPARE(s.f.env.messages->shown.size(), 1);
        QCOMPARE(s.f.env.messages->shown[0].text, u"検索項目を入力してください"_s);
        QCOMPARE(s.w->results()->count(), 1);
        s.find(u"遠足["_s);
        QCOMPARE(s.f.env.messages->shown.size(), 2);
        QVERIFY(s.f.env.messages->shown[1].text.contains(u"遠足["_s));
        QCOMPARE(s.w->results()->count(), 1);
    }

    void aDayChosenOpensInTheDiaryAndTheSearchCloses() {
        SearchFixture s;
        s.put(QDate(2005, 4, 20), StoreCol::Record, u"遠足の準備"_s);
        s.find(u"遠足"_s);
        QListWidgetItem* day = s.w->results()->item(0);
        const QRect place = s.w->results()->visualItemRect(day);
        QTest::mouseClick(s.w->results()->viewport(), Qt::LeftButton, {}, place.center());
        QCOMPARE(s.f.env.nav->currentView(), View::Diary);
        auto* diary = static_cast<DiaryWindow*>(s.f.env.nav->window(View::Diary)->widget());
        QVERIFY(diary->isVisible());
        QCOMPARE(diary->recordBox()->toPlainText(), u"遠足の準備"_s);
        QCOMPARE(s.f.env.app.currentDate(), QDate(2005, 4, 20));
        QVERIFY(!s.w->isVisible());
        QVERIFY(!s.f.calendar->isVisible());
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
