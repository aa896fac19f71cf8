// SPDX-License-Identifier: GPL-3.0-or-later
// Work kept across several open years, as a user meets it: each case is a way work
// used to be lost, duplicated or filed in the wrong year when more than one thing was
// open.

#include "support/viewfixture.h"

#include "core/calendar/newyear.h"
#include "core/grid/gridfile.h"
#include "core/store/recovery.h"
#include "core/todo/todolist.h"
#include "core/todo/todostring.h"
#include "gui/app/recoverykeeper.h"
#include "gui/frame/documentcommands.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"
#include "gui/todo/todolistwindow.h"

#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);
const int May10Row = Dates::rowOfDate(May10, 2005);

// The program of 2005 with a second document, last year's, on disk: 2005 is the
// file `thisYear`, 2004 the file `lastYear`.
struct TwoYears {
    TwoYears() {
        thisYear = dir.filePath(u"2005年度.dys"_s);
        lastYear = dir.filePath(u"2004年度.dys"_s);
        YearStore last;
        Store_New(last, 2004, QDate());
        last.set(40, StoreCol::Record, u"去年"_s);
        if (!DocFiles::writeDocument(last, 20, lastYear).ok())
            qFatal("cannot write last year");
        f.env.app.doc().setPath(thisYear);
        if (!DocFiles::writeDocument(f.env.app.store(), 20, thisYear).ok())
            qFatal("cannot write this year");
        f.env.app.doc().setIdentity(FileIdentity::ofFile(thisYear));
    }
    // 表示 → 年間日程, ﾌｧｲﾙ → 開く last year: its table in front.
    MainWindow* openLastYear() {
        auto* main = f.open<MainWindow>(View::Main, May10);
        f.env.files->answers = {lastYear};
        main->action(u"mnuFileOpen"_s)->trigger();
        return main;
    }
    QString savedRecord(const QString& path, int row) const {
        YearStore year;
        if (!DocFiles::readDocument(path, year).ok())
            return u"<unreadable>"_s;
        return year.text(row, StoreCol::Record);
    }
    QTemporaryDir dir;
    ViewFixture f;
    QString thisYear, lastYear;
};

// The situations in which a box speaks about one document.
enum DocumentBox {
    ChangedOnDisk,
    SaveFails,
    HeldElsewhere,
    DamagedFile,
    RecoveryDamaged,
    RecoveryUnwritable,
};

// A file that begins like a document and is none.
void writeDamaged(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write("DayLog grid\nthis is not what it should be\n") < 0)
        qFatal("cannot write the damaged file");
}

// The file an hour older than now: a recovery copy written now is newer.
void makeOlder(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadWrite) || !f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                                        QFileDevice::FileModificationTime))
        qFatal("cannot age the file");
}

QString todoTexts(const YearStore& s, int row) {
    QStringList out;
    for (const ToDoItem& i : ToDo_Parse(s.text(row, StoreCol::ToDo)))
        out.append(i.text);
    return out.join(u',');
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Typed into this year's diary, then last year opened and looked at in its table:
    // ending asks about this year by name and saves it.
    void editsOfTheYearLeftStayWhenAnotherYearIsOpened() {
        TwoYears y;
        DiaryWindow* d = y.f.open(May10);
        ViewFixture::type(d->recordBox(), u"今年の記録"_s);
        MainWindow* main = y.openLastYear();
        QCOMPARE(main->annualWindows().size(), 2);
        QCOMPARE(y.f.env.app.baseYear(), 2004); // the table in front is current
        main->action(u"mnuFileClose"_s)->trigger();
        QCOMPARE(y.f.env.app.baseYear(), 2004); // and stays so in the calendar
        QVERIFY(y.f.calendar->endProgram());
        // Asked about this year only (last year is unchanged), by name; はい saved it.
        QCOMPARE(y.f.env.messages->shown.size(), 1);
        QVERIFY(y.f.env.messages->shown[0].text.contains(u"2005年度.dys"_s));
        QCOMPARE(y.savedRecord(y.thisYear, May10Row), u"今年の記録"_s);
        QCOMPARE(y.savedRecord(y.lastYear, 40), u"去年"_s);
    }

    // The ToDo list shown, an item added in the diary, 保存 in the list: kept. An item
    // re-dated outside the range and saved twice is there once.
    void theToDoListKeepsWhatItDidNotChange() {
        ViewFixture f;
        auto* list = f.open<ToDoListWindow>(View::ToDoList, May10);
        list->fromPicker()->setDate(QDate(2005, 5, 1));
        list->toPicker()->setDate(QDate(2005, 5, 31));
        list->showButton()->click();
        f.env.app.store().set(f.row(May10), StoreCol::ToDo,
                              ToDo_ItemString(false, {}, {}, u"日記で足した"_s));
        // Shown at once: the list holds no edits of its own.
        QTRY_COMPARE(list->list().textMatrix(1, ToDoList::TextCol), u"日記で足した"_s);
        list->list().setTextMatrix(1, ToDoList::DateCol, u"2005/06/02"_s);
        QVERIFY(list->save());
        QVERIFY(list->save());
        QCOMPARE(todoTexts(f.env.app.store(), f.row(QDate(2005, 6, 2))), u"日記で足した"_s);
        QVERIFY(f.env.app.store().text(f.row(May10), StoreCol::ToDo).isEmpty());

        // With edits in the list, a change made elsewhere meanwhile is merged, not lost.
        f.env.app.store().set(f.row(QDate(2005, 5, 20)), StoreCol::ToDo,
                              ToDo_ItemString(false, {}, {}, u"一"_s));
        QTRY_COMPARE(list->list().textMatrix(1, ToDoList::TextCol), u"一"_s);
        list->sort(ToDoOrder::TextUp); // an edit of the list's own
        list->list().setCell(GridModel::CellChecked, 1, ToDoList::DoneCol, 1); // tick "一"
        f.env.app.store().set(f.row(QDate(2005, 5, 21)), StoreCol::ToDo,
                              ToDo_ItemString(false, {}, {}, u"よそで足した"_s));
        QCoreApplication::processEvents();
        QCOMPARE(list->list().rows(), 2); // not filled again over the list's edits
        QVERIFY(list->save());
        QCOMPARE(todoTexts(f.env.app.store(), f.row(QDate(2005, 5, 21))), u"よそで足した"_s);
        QVERIFY(ToDo_Parse(f.env.app.store().text(f.row(QDate(2005, 5, 20)), StoreCol::ToDo))[0]
                    .done());
    }

    // A changed table closed with はい to 終了しますか? ends the program, after the end
    // question about every other changed document; いいえ keeps the table.
    void closingAChangedTableEndsTheProgramAfterAskingTheOthers() {
        TwoYears y;
        MainWindow* main = y.openLastYear();
        AnnualWindow* last = main->activeAnnual();
        last->model().setTextMatrix(41, StoreCol::Record, u"去年の追記"_s);
        y.f.env.app.documents()[0]->store().set(May10Row, StoreCol::Record, u"今年"_s);
        QSignalSpy ending(y.f.env.nav, &Navigator::endRequested);
        auto* sub = qobject_cast<QMdiSubWindow*>(last->parentWidget());

        y.f.env.messages->answers = {MessageBox::No};
        sub->close();
        QCOMPARE(ending.count(), 0);
        QCOMPARE(main->annualWindows().size(), 2);

        // はい, then the end question about this year: キャンセル ends nothing.
        y.f.env.messages->answers = {MessageBox::Yes, MessageBox::Cancel};
        sub->close();
        QCOMPARE(ending.count(), 0);
        QCOMPARE(y.f.env.messages->shown.last().title, u"2005年度.dys"_s);

        y.f.env.messages->answers = {MessageBox::Yes, MessageBox::Yes};
        sub->close();
        QCOMPARE(ending.count(), 1);
        QCOMPARE(y.f.env.messages->shown[0].title, u"2004年度.dys"_s);
        QCOMPARE(y.savedRecord(y.thisYear, May10Row), u"今年"_s);
        QCOMPARE(y.savedRecord(y.lastYear, 41), QString()); // let go, as the user said
    }

    // The ToDo list's unsaved edits of a year whose table is closed are asked about
    // first: キャンセル keeps the table, いいえ lets them go and the table closes.
    void closingATableAsksAboutTheListsEditsOfItsYear() {
        TwoYears y;
        MainWindow* main = y.openLastYear();
        AnnualWindow* last = main->activeAnnual();
        last->model().setTextMatrix(40, StoreCol::ToDo, ToDo_ItemString(false, {}, {}, u"乙"_s));
        last->document().setChanged(false);
        auto* list = y.f.open<ToDoListWindow>(View::ToDoList, QDate(2004, 5, 10));
        QCOMPARE(y.f.env.app.baseYear(), 2004);
        list->showButton()->click();
        list->list().setTextMatrix(1, ToDoList::TextCol, u"甲"_s);
        list->sort(ToDoOrder::TextUp); // an edit of the list's own
        auto* sub = qobject_cast<QMdiSubWindow*>(last->parentWidget());
        y.f.env.messages->answers = {MessageBox::Cancel};
        sub->close();
        QCOMPARE(y.f.env.messages->shown.last().text,
                 u"ToDo一覧が変更されています。保存しますか。"_s);
        QCOMPARE(y.f.env.messages->shown.last().title, u"2004年度.dys"_s);
        QCOMPARE(main->annualWindows().size(), 2);
        y.f.env.messages->answers = {MessageBox::No};
        sub->close();
        QTRY_COMPARE(y.f.env.app.documents().size(), 1);
        const auto asked = y.f.env.messages->shown.size();
        list->close();
        QVERIFY(!list->isVisible());
        QCOMPARE(y.f.env.messages->shown.size(), asked);
    }

    // いいえ to the list's question lets its edits go: from then on the list shows what
    // the year holds, also when the year stays open (its own question cancelled), so a
    // later edit of the list cannot bring back what the user let go.
    void aListsEditsLetGoAreNotShownAnyMore() {
        TwoYears y;
        MainWindow* main = y.openLastYear();
        AnnualWindow* last = main->activeAnnual();
        last->model().setTextMatrix(40, StoreCol::ToDo, ToDo_ItemString(false, {}, {}, u"乙"_s));
        auto* list = y.f.open<ToDoListWindow>(View::ToDoList, QDate(2004, 5, 10));
        list->showButton()->click();
        QCOMPARE(list->list().textMatrix(1, ToDoList::TextCol), u"乙"_s);
        list->list().setTextMatrix(1, ToDoList::TextCol, u"甲"_s);
        list->sort(ToDoOrder::TextUp);
        auto* sub = qobject_cast<QMdiSubWindow*>(last->parentWidget());
        y.f.env.messages->answers = {MessageBox::No, MessageBox::Cancel};
        sub->close();
        QCOMPARE(y.f.env.messages->shown.size(), 2);
        QCOMPARE(main->annualWindows().size(), 2);
        QCOMPARE(list->list().textMatrix(1, ToDoList::TextCol), u"乙"_s);
    }

    // Every box about a document names its file, in its text or, where the text is a
    // fixed one, as its title, and carries the icon of its kind: Warning for a danger
    // from elsewhere, Critical for what failed.
    void aBoxAboutADocumentNamesItWithTheIconOfItsKind_data() {
        QTest::addColumn<int>("situation");
        QTest::addColumn<int>("icon");
        QTest::addColumn<QString>("name");
        const QString thisYear = u"2005年度.dys"_s, lastYear = u"2004年度.dys"_s;
        QTest::newRow("saving a file changed on disk")
            << int(ChangedOnDisk) << int(MessageBox::Warning) << thisYear;
        QTest::newRow("a save that fails")
            << int(SaveFails) << int(MessageBox::Critical) << thisYear;
        QTest::newRow("opening a file another computer holds")
            << int(HeldElsewhere) << int(MessageBox::Warning) << lastYear;
        QTest::newRow("opening a damaged file")
            << int(DamagedFile) << int(MessageBox::Critical) << u"壊れた年度.dys"_s;
        QTest::newRow("a damaged recovery copy")
            << int(RecoveryDamaged) << int(MessageBox::Critical) << thisYear;
        QTest::newRow("no recovery copy can be written")
            << int(RecoveryUnwritable) << int(MessageBox::Warning) << thisYear;
    }
    void aBoxAboutADocumentNamesItWithTheIconOfItsKind() {
        QFETCH(int, situation);
        QFETCH(int, icon);
        QFETCH(QString, name);
        TwoYears y;
        TestEnvironment& env = y.f.env;
        switch (DocumentBox(situation)) {
        case ChangedOnDisk: {
            env.app.store().set(40, StoreCol::Record, u"ここで"_s);
            YearStore other;
            Store_New(other, 2005, QDate());
            other.set(41, StoreCol::Record, u"よそで"_s);
            QTest::qWait(20); // a later modification time
            QVERIFY(DocFiles::writeDocument(other, 20, y.thisYear).ok());
            env.messages->answers = {MessageBox::Cancel};
            QVERIFY(!Store_SaveDoc(nullptr, env.app));
            break;
        }
        case SaveFails:
            env.app.store().set(40, StoreCol::Record, u"満杯"_s);
            GridFile::setWriteHook([](int, const char*, qint64) -> qint64 {
                errno = ENOSPC;
                return -1;
            });
            QVERIFY(!Store_SaveDoc(nullptr, env.app));
            GridFile::setWriteHook(nullptr);
            break;
        case HeldElsewhere: {
            DocumentLock::Holder other;
            other.user = u"tanaka"_s;
            other.host = u"pc-01"_s;
            other.pid = 4711;
            QFile lock(DocumentLock::lockPath(y.lastYear));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(DocumentLock::format(other));
            lock.close();
            env.messages->answers = {MessageBox::No};
            y.openLastYear();
            break;
        }
        case DamagedFile: {
            const QString damaged = y.dir.filePath(u"壊れた年度.dys"_s);
            writeDamaged(damaged);
            auto* main = y.f.open<MainWindow>(View::Main, May10);
            env.files->answers = {damaged};
            main->action(u"mnuFileOpen"_s)->trigger();
            break;
        }
        case RecoveryDamaged:
            makeOlder(y.thisYear);
            QVERIFY(QDir().mkpath(Recovery::folder()));
            writeDamaged(Recovery::copyPath(y.thisYear));
            QVERIFY(!Doc_OfferRecovery(nullptr, env.app.doc()));
            break;
        case RecoveryUnwritable: {
            RecoveryKeeper keeper(env.app, *env.nav);
            const QString blocked = y.dir.filePath(u"not-a-folder"_s);
            QFile(blocked).open(QIODevice::WriteOnly);
            Recovery::setFolder(blocked + u"/recovery"_s);
            env.app.store().set(40, StoreCol::Record, u"未保存"_s);
            QVERIFY(!keeper.writeNow());
            break;
        }
        }
        QVERIFY(!env.messages->shown.isEmpty());
        const MessageBox::Request& box = env.messages->shown.last();
        QVERIFY2(box.title.contains(name) || box.text.contains(name),
                 qPrintable(box.title + u" | "_s + box.text));
        QCOMPARE(int(box.icon), icon);
    }

    // Opening and closing the views with nothing typed, copying in the table: nothing
    // changes and nothing is written into the document.
    void lookingChangesNothing() {
        ViewFixture f;
        const YearStore before = f.env.app.store();
        for (View v : {View::Diary, View::Weekly, View::Monthly, View::Main}) {
            f.open<QWidget>(v, May10);
            f.env.nav->open(View::Calendar);
        }
        auto* main = f.open<MainWindow>(View::Main, May10);
        main->activeAnnual()->model().select(40, 2, 45, 8);
        main->action(u"mnuEditCopy"_s)->trigger();
        main->action(u"retu_moto"_s)->trigger();
        main->action(u"gyou_moto"_s)->trigger();
        f.env.nav->open(View::Calendar);
        QVERIFY(!f.env.app.docChanged());
        QVERIFY(f.env.app.store().sameAs(before));
        for (int r = 1; r <= YearStore::DayRows; ++r)
            QCOMPARE(f.env.app.store().number(r, StoreCol::EventsBack),
                     before.number(r, StoreCol::EventsBack));
    }

    // A file open already comes to the front; saving another document onto it is refused.
    void aFileIsOpenOnce() {
        TwoYears y;
        MainWindow* main = y.openLastYear();
        main->activeAnnual()->model().setTextMatrix(41, StoreCol::Record, u"未保存"_s);
        auto* first = qobject_cast<QMdiSubWindow*>(main->annualWindows()[0]->parentWidget());
        main->area()->setActiveSubWindow(first);
        y.f.env.files->answers = {y.lastYear};
        main->action(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(main->annualWindows().size(), 2);
        QCOMPARE(main->activeAnnual()->caption(), y.lastYear);
        QCOMPARE(main->activeAnnual()->model().textMatrix(41, StoreCol::Record), u"未保存"_s);

        main->area()->setActiveSubWindow(first);
        y.f.env.files->answers = {y.lastYear};
        QVERIFY(!main->Annual_SaveAs());
        QVERIFY(y.f.env.messages->shown.last().text.contains(u"2004年度.dys"_s));
        QCOMPARE(y.savedRecord(y.lastYear, 40), u"去年"_s);
    }

    // A file another program changed since it was read is not written over silently.
    void aFileChangedOnDiskIsAskedAbout() {
        TwoYears y;
        y.f.env.app.store().set(40, StoreCol::Record, u"ここで"_s);
        YearStore other;
        Store_New(other, 2005, QDate());
        other.set(41, StoreCol::Record, u"よそで"_s);
        QTest::qWait(20); // a later modification time
        QVERIFY(DocFiles::writeDocument(other, 20, y.thisYear).ok());

        y.f.env.messages->answers = {MessageBox::Cancel};
        QVERIFY(!Store_SaveDoc(nullptr, y.f.env.app));
        QCOMPARE(y.f.env.messages->shown.last().buttons, MessageBox::OverwriteSaveAsCancel);
        QCOMPARE(y.savedRecord(y.thisYear, 41), u"よそで"_s);
        QVERIFY(y.f.env.app.docChanged());

        y.f.env.messages->answers = {MessageBox::Overwrite};
        QVERIFY(Store_SaveDoc(nullptr, y.f.env.app));
        QCOMPARE(y.savedRecord(y.thisYear, 40), u"ここで"_s);
        // Saved: the next save asks nothing.
        const qsizetype asked = y.f.env.messages->shown.size();
        y.f.env.app.store().set(42, StoreCol::Record, u"また"_s);
        QVERIFY(Store_SaveDoc(nullptr, y.f.env.app));
        QCOMPARE(y.f.env.messages->shown.size(), asked);
    }

    // A document another computer holds open is opened only after the user has been
    // told who holds it; our own lock is beside every open document and goes with it.
    void aDocumentHeldElsewhereIsOpenedOnlyWhenTheUserAgrees() {
        TwoYears y;
        DocumentLock::Holder other;
        other.user = u"tanaka"_s;
        other.host = u"pc-01"_s;
        other.pid = 4711;
        other.since = QDateTime(QDate(2005, 5, 10), QTime(8, 0));
        {
            QFile lock(DocumentLock::lockPath(y.lastYear));
            QVERIFY(lock.open(QIODevice::WriteOnly));
            lock.write(DocumentLock::format(other));
        }
        auto* main = y.f.open<MainWindow>(View::Main, May10);
        y.f.env.files->answers = {y.lastYear};
        y.f.env.messages->answers = {MessageBox::No};
        main->action(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(main->annualWindows().size(), 1);
        QCOMPARE(y.f.env.app.documents().size(), 1);
        const MessageBox::Request& asked = y.f.env.messages->shown.last();
        QVERIFY(asked.text.contains(u"tanaka"_s) && asked.text.contains(u"pc-01"_s));
        QCOMPARE(asked.defaultButton, MessageBox::No);

        y.f.env.files->answers = {y.lastYear};
        y.f.env.messages->answers = {MessageBox::Yes};
        main->action(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(main->annualWindows().size(), 2);
        QVERIFY(DocumentLock::holder(y.lastYear)->isThisProcess());
        // Closed (unchanged), its lock goes.
        qobject_cast<QMdiSubWindow*>(main->activeAnnual()->parentWidget())->close();
        QTRY_COMPARE(y.f.env.app.documents().size(), 1);
        QVERIFY(!DocumentLock::holder(y.lastYear));
    }

    // No text grows past what one cell holds, however often the user pastes, in the
    // table or in a view's box; a refused paste writes nothing.
    void pastesStopAtWhatOneTextHolds() {
        ViewFixture f;
        auto* main = f.open<MainWindow>(View::Main, May10);
        GridModel& g = main->activeAnnual()->model();
        const QString half(60000, u'字');
        f.env.clipboard->setText(half + u"\r\n"_s);
        g.select(41, StoreCol::Record);
        main->action(u"mnuPasteAdd"_s)->trigger();
        QCOMPARE(g.textMatrix(41, StoreCol::Record).size(), 60000);
        main->action(u"mnuPasteAdd"_s)->trigger();
        QCOMPARE(g.textMatrix(41, StoreCol::Record).size(), 60000);
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].icon, MessageBox::Warning);
        QVERIFY(f.env.messages->shown[0].text.contains(u"100000"_s));

        DiaryWindow* d = f.open(May10);
        f.env.clipboard->setText(half);
        d->recordBox()->setFocus();
        d->action(u"mnuPaste"_s)->trigger();
        d->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(d->recordBox()->toPlainText().size(), 60000);
        QCOMPARE(f.env.messages->shown.size(), 2);
    }

    // A disk that is full: the save says so, the document keeps its changes and the
    // file on disk is the one before. A recovery copy that cannot be written is said to
    // the user once.
    void aFullDiskIsSaidAndLosesNothing() {
        TwoYears y;
        const QString before = y.savedRecord(y.thisYear, 40);
        y.f.env.app.store().set(40, StoreCol::Record, u"満杯"_s);
        GridFile::setWriteHook([](int, const char*, qint64) -> qint64 {
            errno = ENOSPC;
            return -1;
        });
        QVERIFY(!Store_SaveDoc(nullptr, y.f.env.app));
        GridFile::setWriteHook(nullptr);
        QCOMPARE(y.f.env.messages->shown.last().icon, MessageBox::Critical);
        QVERIFY(y.f.env.messages->shown.last().text.contains(u"空き"_s));
        QVERIFY(y.f.env.app.docChanged());
        QCOMPARE(y.savedRecord(y.thisYear, 40), before);

        RecoveryKeeper keeper(y.f.env.app, *y.f.env.nav);
        const QString blocked = y.dir.filePath(u"not-a-folder"_s);
        QFile(blocked).open(QIODevice::WriteOnly);
        Recovery::setFolder(blocked + u"/recovery"_s);
        const qsizetype shown = y.f.env.messages->shown.size();
        QVERIFY(!keeper.writeNow());
        QVERIFY(!keeper.writeNow());
        QCOMPARE(y.f.env.messages->shown.size(), shown + 1);
        QCOMPARE(y.f.env.messages->shown.last().icon, MessageBox::Warning);
    }

    // Each changed document has its own recovery copy, under its own name, with its
    // own content; a save removes that document's copy only.
    void everyDocumentHasItsOwnRecoveryCopy() {
        TwoYears y;
        RecoveryKeeper keeper(y.f.env.app, *y.f.env.nav);
        MainWindow* main = y.openLastYear();
        main->activeAnnual()->model().setTextMatrix(41, StoreCol::Record, u"去年の追記"_s);
        y.f.env.app.documents()[0]->store().set(42, StoreCol::Record, u"今年の追記"_s);
        QVERIFY(keeper.writeNow());
        YearStore a, b;
        QVERIFY(DocFiles::readDocument(Recovery::copyPath(y.thisYear), a).ok());
        QVERIFY(DocFiles::readDocument(Recovery::copyPath(y.lastYear), b).ok());
        QCOMPARE(a.text(42, StoreCol::Record), u"今年の追記"_s);
        QVERIFY(a.text(41, StoreCol::Record).isEmpty());
        QCOMPARE(b.text(41, StoreCol::Record), u"去年の追記"_s);
        QCOMPARE(b.number(0, 0), 2004);
        QVERIFY(main->Annual_Save()); // last year's table is in front
        QVERIFY(!QFile::exists(Recovery::copyPath(y.lastYear)));
        QVERIFY(QFile::exists(Recovery::copyPath(y.thisYear)));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
