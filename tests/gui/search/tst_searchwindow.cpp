// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"
#include "support/yearfolder.h"

#include "core/todo/todostring.h"
#include "gui/frame/documentcommands.h"
#include "gui/search/searchwindow.h"

#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QSettings>

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

    // Every year: the search done, the lines listed.
    void findEverywhere(const QString& text) {
        w->setScope(SearchWindow::Scope::AllYears);
        find(text);
        QTRY_VERIFY(!w->searching());
    }

    ViewFixture f;
    SearchWindow* w = nullptr;
};

// What the window lists for the years of `found`, newest first: a heading and the
// lines of each year with a hit.
QStringList listedYears(std::vector<YearFolder::Found> found) {
    std::sort(found.begin(), found.end(),
              [](const auto& a, const auto& b) { return a.baseYear > b.baseYear; });
    QStringList lines;
    for (const auto& year : found) {
        if (year.hits.empty())
            continue;
        lines << u"%1年度　%2（%3件）"_s.arg(year.baseYear)
                     .arg(QFileInfo(year.path).fileName())
                     .arg(year.hits.size());
        for (const SearchHit& hit : year.hits)
            lines << Search_HitLine(hit);
    }
    return lines;
}

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

    // Every year of the current document's folder, the current one as it is now (not
    // as saved), each year under its heading, newest first, the same lines as each
    // year's own search; the files that are no documents listed last with the reason.
    // A line of another year opens that document at its day, and the current one keeps
    // its changes, which are asked about at the end.
    void everyYearIsListedNewestFirstAndALineOfAnotherYearOpensIt() {
        const YearFolder folder(2001, 2004, 20050510);
        SearchFixture s;
        Document& current = s.f.env.app.doc();
        const QString currentPath = folder.dir.filePath(u"2005.dys"_s);
        current.setPath(currentPath);
        QVERIFY(DocFiles::writeDocument(current.store(), 20, currentPath).ok());
        s.put(May10, StoreCol::Record, u"保護者会の準備"_s); // not saved
        for (const QString& text : {u"保護者会"_s, u"面談\t"_s, u"授業 会議"_s}) {
            s.findEverywhere(text);
            auto found = folder.searchEach(text);
            YearStore now = current.store();
            found.push_back(
                {currentPath, 2005,
                 Search_Hits(now, 2005, 1, YearStore::DayRows, Wildcard::contains(text))});
            QStringList expected = listedYears(found);
            QVERIFY(!expected.isEmpty());
            const QStringList listed = s.w->resultTexts();
            QCOMPARE(listed.mid(0, expected.size()), expected);
            // The two files that are no documents, in the order they were read.
            QStringList skipped = listed.mid(expected.size());
            QCOMPARE(skipped.value(0), u"探せなかったファイル（2件）"_s);
            skipped = skipped.mid(1);
            skipped.sort();
            QCOMPARE(skipped.size(), 2);
            QVERIFY(skipped[0].startsWith(u"broken.dys　ファイルが壊れています"_s));
            QVERIFY(skipped[1].startsWith(u"memo.dys　DayLogのファイルではありません"_s));
            QVERIFY(s.w->status()->text().contains(u"5件の文書を探しました"_s));
        }
        s.findEverywhere(u"保護者会"_s);
        QCOMPARE(s.w->resultTexts().mid(0, 2),
                 QStringList(
                     {u"2005年度　2005.dys（1件）"_s, u"2005/05/10(火)　記録：保護者会の準備"_s}));

        // A line of 2003 chosen with the keys.
        const qsizetype at = s.w->resultFiles().indexOf(folder.documents[2]);
        QVERIFY(at > 0);
        const QDate day = s.w->resultDays()[at];
        s.w->results()->setCurrentRow(int(at));
        QTest::keyClick(s.w->results(), Qt::Key_Return);
        AppState& app = s.f.env.app;
        QCOMPARE(app.documents().size(), 2);
        QCOMPARE(QFileInfo(app.docPath()).fileName(), u"2003.dys"_s);
        QCOMPARE(app.baseYear(), 2003);
        QCOMPARE(s.f.env.nav->currentView(), View::Diary);
        QCOMPARE(app.currentDate(), day);
        QVERIFY(!s.w->isVisible());
        QVERIFY(!app.docChanged());
        // The year left keeps what was typed, and the end asks about it by name.
        QVERIFY(current.isChanged());
        QCOMPARE(current.store().text(Dates::rowOfDate(May10, 2005), StoreCol::Record),
                 u"保護者会の準備"_s);
        s.f.env.messages->answers << MessageBox::Cancel;
        QVERIFY(!Docs_ConfirmEnd(nullptr, app));
        QCOMPARE(s.f.env.messages->shown.size(), 1);
        QVERIFY(s.f.env.messages->shown[0].text.contains(u"2005.dys"_s));
    }

    // A folder added is searched with the open year and kept for the next time; a
    // search cancelled lists nothing more.
    void aFolderAddedIsSearchedAndACancelledSearchListsNothingMore() {
        const YearFolder other(2001, 2002, 7);
        SearchFixture s;
        s.put(May10, StoreCol::Record, u"授業の準備"_s);
        s.f.env.files->answers << other.dir.path();
        s.w->addFolder();
        QCOMPARE(s.w->scope(), SearchWindow::Scope::AllYears);
        QCOMPARE(s.w->searchFolders(), QStringList{other.dir.path()});
        QCOMPARE(QSettings().value(u"search/folders"_s).toStringList(),
                 QStringList{other.dir.path()});

        s.find(u"授業"_s);
        QVERIFY(s.w->searching());
        s.w->cancelSearch();
        QVERIFY(!s.w->searching());
        QTest::qWait(200);
        QCOMPARE(s.w->resultTexts().value(0), u"2005年度　nikki0（1件）"_s);
        QCOMPARE(s.w->resultTexts().size(), 2); // the year open, nothing of the folder
        QVERIFY(s.w->status()->text().startsWith(u"中止しました。"_s));

        s.findEverywhere(u"授業"_s);
        const QStringList listed = s.w->resultTexts();
        QVERIFY(listed.contains(u"2005年度　nikki0（1件）"_s));
        QCOMPARE(listed.filter(u"年度　200"_s).size(), 2);
        // The open year, the folder's years, the heading of the two files not searched
        // and their lines.
        QCOMPARE(listed.size(),
                 2 + listedYears(other.searchEach(u"授業"_s)).size() + 3); // + skipped

        s.w->removeFolder(other.dir.path());
        QVERIFY(s.w->searchFolders().isEmpty());
        QVERIFY(QSettings().value(u"search/folders"_s).toStringList().isEmpty());
    }
};

QTEST_MAIN(TestSearchWindow)
#include "tst_searchwindow.moc"
