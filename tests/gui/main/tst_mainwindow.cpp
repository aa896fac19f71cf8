// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/store/documentfile.h"
#include "core/todo/todostring.h"
#include "gui/frame/carrydialog.h"
#include "gui/frame/yeardialog.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);

// The program as start-up leaves it with a document of 2005 that no annual window
// shows yet (saved: nothing changed), and the main window opened from the calendar.
struct MainFixture {
    MainFixture() {
        f.env.app.doc().setPath(u"/data/2005.dys"_s);
        f.env.app.store().set(f.row(May10), StoreCol::Record, u"十日の記録"_s);
        f.env.app.setDocChanged(false);
        main = f.open<MainWindow>(View::Main, May10);
    }
    AnnualWindow* active() const { return main->activeAnnual(); }
    GridModel& grid() const { return active()->model(); }
    // 新規作成 (`command`: the menu's or the toolbar's) with `year` chosen in the dialog.
    AnnualWindow* newYear(int year, const QString& command = u"mnuFileNew"_s) {
        main->action(command)->trigger();
        YearDialog* d = main->yearDialog();
        d->combo()->setCurrentText(QString::number(year));
        d->button()->click();
        return active();
    }

    ViewFixture f;
    MainWindow* main = nullptr;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void thePendingDocumentFillsTheFirstTableOnly() {
        MainFixture m;
        QCOMPARE(m.main->annualWindows().size(), 1);
        QCOMPARE(m.active()->caption(), u"/data/2005.dys"_s);
        QCOMPARE(m.grid().textMatrix(m.f.row(May10), 3), u"十日の記録"_s);
        // The current date's row is at the top, with the cursor.
        QCOMPARE(m.active()->grid()->topRow(), m.f.row(May10));
        QCOMPARE(m.grid().row(), m.f.row(May10));

        AnnualWindow* second = m.newYear(2006);
        QCOMPARE(second->caption(), u"nikki1"_s);
        QCOMPARE(second->model().textMatrix(0, 0), u"2006"_s);
        QVERIFY(second->model().textMatrix(m.f.row(May10), 3).isEmpty());
        // The holidays are filled in: 3 May 2006 is row 33.
        QCOMPARE(second->model().textMatrix(33, 2), u"憲法記念日"_s);
        QCOMPARE(m.main->annualWindows().size(), 2);
        QCOMPARE(m.newYear(2007)->caption(), u"nikki2"_s);
        QCOMPARE(m.newYear(2007)->caption(), u"nikki3"_s);
    }

    // 新規作成 cancelled with Escape makes nothing and leaves the changed state as it was.
    void aCancelledNewYearMakesNothing() {
        MainFixture m;
        m.f.env.app.setDocChanged(true);
        m.main->action(u"mnuFileNew"_s)->trigger();
        QTest::keyClick(m.main->yearDialog(), Qt::Key_Escape);
        QTRY_VERIFY(!m.main->yearDialog());
        QCOMPARE(m.f.env.app.documents().size(), 1);
        QCOMPARE(m.main->annualWindows().size(), 1);
        QVERIFY(m.f.env.app.docChanged());
    }

    // A new year with the year before open offers that year's open ToDo items from
    // 1 March (from any day of it, chosen in the date field); those left ticked go to
    // the new document's 1 April, which is then changed. Another year, a year before
    // without open items or the answer 繰り越さない carry nothing; the old year stays.
    void theOpenToDoOfTheYearBeforeCanBeCarried() {
        MainFixture m;
        AppState& app = m.f.env.app;
        ScriptedDialogs& dialogs = *m.f.env.dialogs;
        m.newYear(2006);
        QVERIFY(dialogs.asked.isEmpty()); // no open items in 2005 yet

        auto day = [&](int y, int mo, int d) { return Dates::rowOfDate(QDate(y, mo, d), 2005); };
        Document& old = *app.documents().first();
        QCOMPARE(old.baseYear(), 2005);
        old.store().set(day(2006, 2, 10), StoreCol::ToDo,
                        ToDo_ItemString(false, u"09:00"_s, u"重要"_s, u"二月の用事"_s));
        old.store().set(day(2006, 3, 1), StoreCol::ToDo,
                        ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"報告書, 提出"_s) +
                            ToDo_ItemString(true, {}, u"普通"_s, u"済んだ用事"_s) +
                            ToDo_ItemString(false, {}, u"最重"_s, u"外す用事"_s));
        old.store().set(day(2006, 3, 31), StoreCol::ToDo,
                        ToDo_ItemString(false, {}, {}, u"年度末"_s));
        old.setChanged(false);
        const YearStore before = old.store();
        m.newYear(2007);
        // 2005 is not the year before 2007, and 2006 has no open items.
        QVERIFY(dialogs.asked.isEmpty());

        auto rows = [](QListWidget* list) {
            QStringList out;
            for (int i = 0; i < list->count(); ++i)
                out.append((list->item(i)->checkState() == Qt::Checked ? u"[x] "_s : u"[ ] "_s) +
                           list->item(i)->text());
            return out;
        };
        dialogs.scripts.append([&](QDialog& d) {
            auto* carry = qobject_cast<CarryDialog*>(&d);
            QVERIFY(carry);
            QCOMPARE(d.windowTitle(), u"ToDoの繰り越し"_s);
            QListWidget* list = carry->list();
            QCOMPARE(d.focusWidget(), list);
            QCOMPARE(carry->sinceEdit()->date(), QDate(2006, 3, 1));
            QCOMPARE(carry->sinceEdit()->minimumDate(), QDate(2005, 4, 1));
            QCOMPARE(carry->sinceEdit()->maximumDate(), QDate(2006, 3, 31));
            QCOMPARE(rows(list), (QStringList{u"[x] 2006/03/01(水)  10:00  普通  報告書, 提出"_s,
                                              u"[x] 2006/03/01(水)  最重  外す用事"_s,
                                              u"[x] 2006/03/31(金)  年度末"_s}));
            carry->sinceEdit()->setDate(QDate(2006, 2, 1));
            list->setCurrentRow(2);
            QTest::keyClick(list, Qt::Key_Space);
            // The untick holds when the list is filled again.
            carry->sinceEdit()->setDate(QDate(2006, 3, 31));
            QCOMPARE(rows(list), QStringList{u"[x] 2006/03/31(金)  年度末"_s});
            carry->sinceEdit()->setDate(QDate(2006, 2, 1));
            QCOMPARE(rows(list), (QStringList{u"[x] 2006/02/10(金)  09:00  重要  二月の用事"_s,
                                              u"[x] 2006/03/01(水)  10:00  普通  報告書, 提出"_s,
                                              u"[ ] 2006/03/01(水)  最重  外す用事"_s,
                                              u"[x] 2006/03/31(金)  年度末"_s}));
            for (QWidget* w :
                 {static_cast<QWidget*>(carry->sinceEdit()), static_cast<QWidget*>(list),
                  static_cast<QWidget*>(carry->carryButton()),
                  static_cast<QWidget*>(carry->skipButton())})
                QVERIFY(!w->accessibleName().isEmpty() && w->focusPolicy() & Qt::TabFocus);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_Return); // 繰り越す
        });
        AnnualWindow* next = m.newYear(2006, u"tb_新規作成"_s);
        QCOMPARE(dialogs.asked, QStringList{u"ToDo繰り越し"_s});
        QCOMPARE(next->model().textMatrix(0, 0), u"2006"_s);
        QCOMPARE(ToDo_Parse(next->document().store().text(1, StoreCol::ToDo)).size(), 3u);
        QCOMPARE(next->document().store().text(1, StoreCol::ToDo),
                 ToDo_ItemString(false, u"09:00"_s, u"重要"_s, u"二月の用事"_s) +
                     ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"報告書, 提出"_s) +
                     ToDo_ItemString(false, {}, {}, u"年度末"_s));
        QVERIFY(next->document().isChanged()); // the toolbar's new year is otherwise unchanged
        QVERIFY(old.store().sameAs(before));
        QVERIFY(!old.isChanged());

        // 繰り越さない (Escape, what the scripted dialogs answer by themselves).
        AnnualWindow* declined = m.newYear(2006);
        QCOMPARE(dialogs.asked.size(), 2);
        QVERIFY(declined->document().store().text(1, StoreCol::ToDo).isEmpty());
        QCOMPARE(app.documents().size(), 5);
    }

    void theCloseBoxHidesTheFrameAndNeverEndsTheProgram() {
        MainFixture m;
        QSignalSpy ending(m.f.env.nav, &Navigator::endRequested);
        m.f.env.app.setDocChanged(true);
        QVERIFY(!m.main->close());
        QVERIFY(!m.main->isVisible());
        QVERIFY(m.f.calendar->isVisible());
        QVERIFY(m.f.env.messages->shown.isEmpty());
        QCOMPARE(ending.count(), 0);
    }

    void theTableIsItsDocumentWhereverItWasChanged() {
        MainFixture m;
        m.main->close();
        m.f.env.app.store().set(m.f.row(May10), StoreCol::Events, u"カレンダーから"_s);
        m.f.env.nav->open(View::Main);
        QCOMPARE(m.main->annualWindows().size(), 1);
        QCOMPARE(m.grid().textMatrix(m.f.row(May10), 2), u"カレンダーから"_s);

        // Saved under another name meanwhile: the same table, under the new name.
        m.main->close();
        m.f.env.app.doc().setPath(u"/data/renamed.dys"_s);
        m.f.env.nav->open(View::Main);
        QCOMPARE(m.main->annualWindows().size(), 1);
        QCOMPARE(m.active()->caption(), u"/data/renamed.dys"_s);
        QCOMPARE(m.grid().textMatrix(m.f.row(May10), 2), u"カレンダーから"_s);
    }

    void copyChangesNothingAndActsOnTheBlockEitherWay() {
        MainFixture m;
        GridModel& g = m.grid();
        g.setTextMatrix(41, 3, u"a"_s);
        g.setTextMatrix(41, 4, u"b"_s);
        g.setTextMatrix(42, 3, u"c"_s);
        g.setTextMatrix(42, 4, u"d"_s);
        g.select(42, 4, 41, 3); // selected upwards and leftwards
        m.f.env.app.setDocChanged(false);
        m.main->action(u"mnuEditCopy"_s)->trigger();
        QCOMPARE(m.f.env.clipboard->content, u"a\tb\r\nc\td\r\n"_s);
        QVERIFY(!m.f.env.app.docChanged());

        m.main->action(u"mnuEditCut"_s)->trigger();
        QVERIFY(m.f.env.app.docChanged());
        QVERIFY(g.textMatrix(41, 3).isEmpty());
        QVERIFY(g.textMatrix(42, 4).isEmpty());
    }

    void pastingFollowsTheClipboardRules() {
        MainFixture m;
        GridModel& g = m.grid();
        g.setTextMatrix(50, 4, u"old"_s);
        g.setTextMatrix(51, 4, u"keep"_s);
        g.select(50, 3);
        // Text without a line end writes nothing, says nothing and changes nothing.
        m.f.env.clipboard->setText(u"x"_s);
        m.f.env.app.setDocChanged(false);
        m.main->action(u"mnuEditPaste"_s)->trigger();
        QCOMPARE(g.textMatrix(50, 3), QString());
        QVERIFY(m.f.env.messages->shown.isEmpty());
        QVERIFY(!m.f.env.app.docChanged());

        m.f.env.clipboard->setText(u"a\tb\r\nc\r\n"_s);
        m.main->action(u"mnuPasteAdd"_s)->trigger();
        QCOMPARE(g.textMatrix(50, 4), u"oldb"_s);
        QCOMPARE(g.textMatrix(51, 4), u"keep"_s);
        m.main->action(u"mnuEditPaste"_s)->trigger();
        QCOMPARE(g.textMatrix(50, 3), u"a"_s);
        QCOMPARE(g.textMatrix(51, 3), u"c"_s);
        QVERIFY(g.textMatrix(51, 4).isEmpty()); // the short line clears the rest of the block

        // The block may end on the last row, not one row further.
        g.select(365, 3);
        m.main->action(u"mnuEditPaste"_s)->trigger();
        QVERIFY(m.f.env.messages->shown.isEmpty());
        g.select(366, 3);
        m.main->action(u"mnuEditPaste"_s)->trigger();
        QCOMPARE(m.f.env.messages->shown.size(), 1);
        QCOMPARE(m.f.env.messages->shown[0].text, u"コピー先の範囲が不適当です"_s);
        m.f.env.clipboard->clear();
        m.main->action(u"mnuEditPaste"_s)->trigger();
        QCOMPARE(m.f.env.messages->shown.last().text, u"コピーが正しくできていません。"_s);
    }

    void blockColoursAndTheirCancel() {
        MainFixture m;
        GridModel& g = m.grid();
        g.select(45, 5, 44, 4);
        m.f.env.app.setDocChanged(false);
        m.main->action(u"tb_文字色"_s)->trigger(); // cancelled
        QVERIFY(!m.f.env.app.docChanged());
        QCOMPARE(g.cellAt(44, 4).fore, 0u);
        m.f.env.colors->answers = {QColor(0, 0, 255)};
        m.main->action(u"tb_バック"_s)->trigger();
        QVERIFY(m.f.env.app.docChanged());
        for (int r : {44, 45})
            for (int c : {4, 5})
                QCOMPARE(g.cellAt(r, c).back, 0xFF0000u);
        QCOMPARE(g.cellAt(46, 4).back, 0u);
    }

    void pagingEnterAndDeleteInTheTable() {
        MainFixture m;
        Grid* grid = m.active()->grid();
        GridModel& g = m.grid();
        grid->setFocus();
        const int p = Grid_FitRows(*grid);
        QVERIFY(p >= 1);

        grid->setCursor(366 - p, 3);
        QTest::keyClick(grid, Qt::Key_PageDown);
        QCOMPARE(g.row(), 366);
        QCOMPARE(grid->topRow(), 366 - p);
        QCOMPARE(m.active()->rowBox()->text(), u"366"_s);
        QCOMPARE(m.active()->columnBox()->text(), u"3"_s);
        QTest::keyClick(grid, Qt::Key_Return); // on the last row: stays
        QCOMPARE(g.row(), 366);

        grid->setTopRow(1 + p);
        grid->setCursor(1 + p, 3);
        grid->setTopRow(1 + p);
        QTest::keyClick(grid, Qt::Key_PageUp);
        QCOMPARE(g.row(), 1);
        QCOMPARE(grid->topRow(), 1);

        g.setTextMatrix(2, 3, u"x"_s);
        g.setTextMatrix(3, 4, u"y"_s);
        g.select(3, 4, 2, 3);
        m.f.env.app.setDocChanged(false);
        QTest::keyClick(grid, Qt::Key_Delete);
        QVERIFY(g.textMatrix(2, 3).isEmpty());
        QVERIFY(g.textMatrix(3, 4).isEmpty());
        QVERIFY(m.f.env.app.docChanged());
    }

    void theLastTableCannotBeClosedAndAChangedOneAsks() {
        MainFixture m;
        QSignalSpy ending(m.f.env.nav, &Navigator::endRequested);
        auto* first = qobject_cast<QMdiSubWindow*>(m.active()->parentWidget());
        QVERIFY(!first->close());
        QCOMPARE(m.f.env.messages->shown.size(), 1);
        QCOMPARE(m.f.env.messages->shown[0].text, u"すべての年間データは閉じることができません"_s);

        m.newYear(2006);
        m.f.env.app.setDocChanged(true);
        m.f.env.messages->answers = {MessageBox::No, MessageBox::Yes};
        auto* second = qobject_cast<QMdiSubWindow*>(m.active()->parentWidget());
        QVERIFY(!second->close());
        QCOMPARE(m.f.env.messages->shown.last().text,
                 u"ファイルが変更されています。終了しますか?"_s);
        QCOMPARE(m.f.env.messages->shown.last().title, u"nikki1"_s);
        QCOMPARE(ending.count(), 0);
        second->close();
        QCOMPARE(ending.count(), 1);

        m.f.env.app.setDocChanged(false);
        QVERIFY(second->close());
        QCOMPARE(m.main->annualWindows().size(), 1);
    }

    void aViewOpensAtTheCursorsDay() {
        MainFixture m;
        m.grid().select(70, 3); // 9 June 2005
        m.main->action(u"mnuNikki"_s)->trigger();
        QCOMPARE(m.f.env.nav->currentView(), View::Diary);
        QCOMPARE(m.f.env.app.currentDate(), QDate(2005, 6, 9));
        QVERIFY(!m.main->isVisible());

        m.f.env.nav->open(View::Main);
        m.grid().select(366, 3); // the next year's 1 April
        m.main->action(u"mnutukinittei"_s)->trigger();
        QCOMPARE(m.f.env.nav->currentView(), View::Monthly);
        QCOMPARE(m.f.env.app.currentDate(), QDate(2005, 4, 1));
    }

    void unloadingAllClosesFromTheLastLoadedBack() {
        MainFixture m;
        m.newYear(2006);
        // Record the order the windows are asked to close in.
        QStringList order;
        struct Recorder : QObject {
            QStringList* order;
            bool eventFilter(QObject* o, QEvent* e) override {
                auto* w = qobject_cast<QWidget*>(o);
                if (w && e->type() == QEvent::Close)
                    order->append(w->objectName().isEmpty() ? w->windowTitle() : w->objectName());
                return false;
            }
        } recorder;
        recorder.order = &order;
        for (QWidget* w : m.f.env.nav->loadedWindows())
            w->installEventFilter(&recorder);
        m.f.env.app.setDocChanged(false); // a changed document would end the program

        m.main->action(u"mnuFileExit"_s)->trigger();

        // nikki1 closes; the document's own table is then the last and stays; the main
        // window hides; the calendar, loaded first, stays.
        QCOMPARE(order, (QStringList{u"nikki1[*]"_s, u"/data/2005.dys[*]"_s, u"frmMain"_s}));
        QCOMPARE(m.main->annualWindows().size(), 1);
        QCOMPARE(m.f.env.messages->shown.size(), 1);
        QVERIFY(!m.main->isVisible());
        QVERIFY(m.f.calendar->isVisible());
    }

    void aFileThatIsNotADocumentOpensNoWindow() {
        QTemporaryDir dir;
        MainFixture m;
        const QString path = dir.filePath(u"broken.dys"_s);
        QFile broken(path);
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("DayLogGrid\t1\n3\t3\n");
        broken.close();
        m.f.env.files->answers = {path};
        m.main->action(u"mnuFileOpen"_s)->trigger();
        QCOMPARE(m.main->annualWindows().size(), 1);
        QCOMPARE(m.f.env.app.docPath(), u"/data/2005.dys"_s);
        QCOMPARE(m.f.env.messages->shown.size(), 1);
        QVERIFY(m.f.env.messages->shown[0].text.contains(u"broken.dys"_s));
    }

    // A table opened from a file is laid out as the new table it was saved from:
    // size, fixed lines, every column, every row and every cell's own settings, where
    // it stands, and what it paints.
    void aTableOpenedFromAFileIsLaidOutLikeANewOne() {
        QTemporaryDir dir;
        MainFixture m;
        AnnualWindow* fresh = m.newYear(2006);
        fresh->model().setTextMatrix(40, 3, u"新しい表の記録"_s);
        fresh->model().setTextMatrix(41, 18, u"|0,09:00,普通,用件"_s);
        const QString saved = dir.filePath(u"2006.dys"_s);
        m.f.env.files->answers = {saved};
        QVERIFY(m.main->Annual_SaveAs());
        // A new document is offered its year's name in the documents folder.
        QCOMPARE(QFileInfo(m.f.env.files->asked.last().start).fileName(), u"2006年度.dys"_s);
        const QString copy = dir.filePath(u"copy.dys"_s);
        QVERIFY(QFile::copy(saved, copy));
        m.f.env.files->answers = {copy};
        m.main->action(u"mnuFileOpen"_s)->trigger();
        // 開く opens in the folder of the document in front.
        QCOMPARE(m.f.env.files->asked.last().start, QFileInfo(saved).absolutePath());
        AnnualWindow* opened = m.active();
        QVERIFY(opened && opened != fresh);
        QCOMPARE(opened->caption(), copy);

        const GridModel& a = fresh->model();
        const GridModel& b = opened->model();
        QCOMPARE(b.rows(), a.rows());
        QCOMPARE(b.cols(), a.cols());
        QCOMPARE(b.fixedRows(), a.fixedRows());
        QCOMPARE(b.fixedCols(), a.fixedCols());
        for (int c = 0; c < a.cols(); ++c) {
            QCOMPARE(b.colWidth(c), a.colWidth(c));
            QCOMPARE(b.colHidden(c), a.colHidden(c));
            QCOMPARE(b.colDataType(c), a.colDataType(c));
        }
        for (int r = 0; r < a.rows(); ++r) {
            QCOMPARE(b.rowHeight(r), a.rowHeight(r));
            QCOMPARE(b.rowHidden(r), a.rowHidden(r));
            for (int c = 0; c < a.cols(); ++c) {
                const GridCell x = a.cellAt(r, c), y = b.cellAt(r, c);
                QCOMPARE(y.alignment, x.alignment);
                QCOMPARE(y.access, x.access);
                QCOMPARE(y.check, x.check);
                QCOMPARE(y.text, x.text);
                QCOMPARE(y.fore, x.fore);
                QCOMPARE(y.back, x.back);
            }
        }
        QCOMPARE(opened->grid()->topRow(), fresh->grid()->topRow());
        QCOMPARE(opened->grid()->leftCol(), fresh->grid()->leftCol());
        QCOMPARE(std::pair(b.row(), b.col()), std::pair(a.row(), a.col()));
        // Painted alike, each in front (where it fills the frame), the cursor frame
        // (which follows the focus) left out.
        auto shot = [&m](AnnualWindow* w) {
            m.main->showAnnual(w->document());
            w->grid()->setHighLight(false);
            return std::pair(w->grid()->viewport()->size(),
                             w->grid()->viewport()->grab().toImage());
        };
        const auto first = shot(opened);
        QCOMPARE(shot(fresh), first);
    }

    void thePrintedBlockHoldsItsCellsAndTheHeadingsOnly() {
        MainFixture m;
        GridModel& g = m.grid();
        g.setTextMatrix(41, 3, u"BLOCKA"_s);
        g.setTextMatrix(42, 4, u"BLOCKB"_s);
        g.setTextMatrix(43, 3, u"BELOW"_s);
        g.setTextMatrix(41, 5, u"RIGHT"_s);
        g.select(42, 4, 41, 3);
        Grid* grid = m.active()->grid();
        const int top = grid->topRow();
        m.main->action(u"mnuFilePrint"_s)->trigger();
        QCOMPARE(m.f.env.printer->files.size(), 1);
        const QString text = TestEnvironment::pdfText(m.f.env.printer->files[0]);
        for (const QString& expected :
             {u"BLOCKA"_s, u"BLOCKB"_s, u"記録"_s, u"項目"_s, u"2005/05/11"_s, u"水"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
        for (const QString& absent : {u"BELOW"_s, u"RIGHT"_s, u"2005/05/13"_s, u"今日の行事"_s})
            QVERIFY2(!text.contains(absent), qPrintable(absent));
        for (int r = 0; r < g.rows(); ++r)
            QVERIFY(!g.rowHidden(r));
        for (int c = 0; c < g.cols(); ++c)
            QVERIFY(!g.colHidden(c));
        QCOMPARE(grid->topRow(), top);
    }

    void versionAndHelp() {
        MainFixture m;
        m.main->action(u"mnuHelpAbout"_s)->trigger();
        QCOMPARE(m.f.env.messages->shown.last().text, u"ﾊﾞｰｼﾞｮﾝ 0.1.0"_s);
        // Without a manual the message carries the window's own caption.
        m.main->action(u"mnuHelpContents"_s)->trigger();
        QCOMPARE(m.f.env.messages->shown.last().title, u"DayLog"_s);
        QVERIFY(m.f.env.help->shown.isEmpty());
        QVERIFY(!m.main->action(u"tb_ToDo時間整列"_s)->isEnabled());
        QVERIFY(!m.main->action(u"tb_年間"_s)->isEnabled());
        QVERIFY(m.main->action(u"tb_日記"_s)->isEnabled());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
