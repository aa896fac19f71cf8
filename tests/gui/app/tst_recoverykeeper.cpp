// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/store/recovery.h"
#include "core/todo/todostring.h"
#include "gui/app/recoverykeeper.h"
#include "gui/app/startup.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/yeardialog.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

const QString Question = u"前回保存されなかった変更があります。復元しますか。"_s;

// Writes a document of 2005 with `record` on 10 May.
void makeDocument(const QString& path, const QString& record) {
    AppState doc;
    doc.doc().setPath(path);
    setCurrentDateToToday(doc, 2005);
    Store_New(doc, 2005);
    doc.store().set(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::Record, record);
    if (!DocFiles::writeDocument(doc.store(), 20, doc.docPath()).ok())
        qFatal("cannot write test document");
}

// The record of 10 May in the recovery copy of `docPath`.
QString recordInCopy(const QString& docPath) {
    AppState back;
    if (!readYear(back, Recovery::copyPath(docPath)))
        return u"<no copy>"_s;
    return back.store().text(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::Record);
}

bool asked(const TestEnvironment& env) {
    for (const MessageBox::Request& r : env.messages->shown)
        if (r.text.startsWith(Question))
            return true;
    return false;
}

} // namespace

class TestRecoveryKeeper : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Typing into the diary starts the half-minute wait; the copy then holds the text
    // typed and not stored, and the box keeps its cursor and selection.
    void aChangeIsCopiedWithWhatTheViewHasNotStored() {
        ViewFixture f;
        RecoveryKeeper keeper(f.env.app, *f.env.nav);
        QVERIFY(!keeper.timer()->isActive());
        QVERIFY(keeper.writeNow()); // no change: nothing to write
        QVERIFY(!QFile::exists(Recovery::copyPath(u"nikki0"_s)));

        DiaryWindow* d = f.open(QDate(2005, 5, 10));
        TextBox* record = d->recordBox();
        record->setFocus();
        ViewFixture::type(record, u"修学旅行の下見"_s);
        QVERIFY(f.env.app.docChanged());
        QVERIFY(keeper.timer()->isActive());
        QCOMPARE(keeper.timer()->interval(), RecoveryKeeper::DelayMs);
        QVERIFY(keeper.timer()->isSingleShot());
        QVERIFY(f.stored(QDate(2005, 5, 10), StoreCol::Record).isEmpty()); // not stored

        QTextCursor c = record->textCursor();
        c.setPosition(2);
        c.setPosition(5, QTextCursor::KeepAnchor);
        record->setTextCursor(c);
        // The wait ends (shortened here).
        keeper.timer()->start(0);
        QTRY_VERIFY(QFile::exists(Recovery::copyPath(u"nikki0"_s)));
        QCOMPARE(recordInCopy(u"nikki0"_s), u"修学旅行の下見"_s);
        QCOMPARE(record->textCursor().anchor(), 2);
        QCOMPARE(record->textCursor().position(), 5);
        QCOMPARE(QApplication::focusWidget(), record);
        QVERIFY(f.stored(QDate(2005, 5, 10), StoreCol::Record).isEmpty());

        // A ToDo item typed in the grid goes into the copy; the grid keeps it.
        Grid* fg = d->todoGrid();
        fg->setFocus();
        fg->setCursor(1, 3);
        ViewFixture::typeInGrid(fg, u"家庭訪問の連絡"_s);
        QTest::keyClick(fg->editor(), Qt::Key_Return);
        const int cursorRow = fg->model()->row(), cursorCol = fg->model()->col();
        QVERIFY(keeper.writeNow());
        AppState back;
        QVERIFY(readYear(back, Recovery::copyPath(u"nikki0"_s)));
        const auto items = ToDo_Parse(back.store().text(f.row(QDate(2005, 5, 10)), StoreCol::ToDo));
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items[0].text, u"家庭訪問の連絡"_s);
        QCOMPARE(fg->model()->textMatrix(1, 3), u"家庭訪問の連絡"_s);
        QCOMPARE(fg->model()->row(), cursorRow);
        QCOMPARE(fg->model()->col(), cursorCol);
    }

    // The week's and the annual table's unstored text go into the copy as well, each
    // at the days the window shows.
    void theWeekAndTheTableAreCopiedToo() {
        ViewFixture f;
        RecoveryKeeper keeper(f.env.app, *f.env.nav);
        auto* week = f.open<WeeklyWindow>(View::Weekly, QDate(2005, 5, 10)); // Sun 8 May..
        ViewFixture::type(week->slotBox(3, 1), u"水曜の二時間目"_s);
        QVERIFY(keeper.writeNow());
        AppState back;
        QVERIFY(readYear(back, Recovery::copyPath(u"nikki0"_s)));
        QCOMPARE(back.store().text(f.row(QDate(2005, 5, 11)), StoreCol::SlotItem1 + 1),
                 u"水曜の二時間目"_s);
        QCOMPARE(week->slotBox(3, 1)->toPlainText(), u"水曜の二時間目"_s);

        auto* main = f.open<MainWindow>(View::Main, QDate(2005, 5, 10));
        main->activeAnnual()->model().setTextMatrix(f.row(QDate(2005, 6, 1)), StoreCol::Record,
                                                    u"表の記録"_s);
        f.env.app.setDocChanged(true);
        QVERIFY(keeper.writeNow());
        QVERIFY(readYear(back, Recovery::copyPath(u"nikki0"_s)));
        QCOMPARE(back.store().text(f.row(QDate(2005, 6, 1)), StoreCol::Record), u"表の記録"_s);
        // What the week stored on the way out is there too.
        QCOMPARE(back.store().text(f.row(QDate(2005, 5, 11)), StoreCol::SlotItem1 + 1),
                 u"水曜の二時間目"_s);
    }

    void aSaveAndAChosenEndRemoveTheCopy() {
        QTemporaryDir dir;
        ViewFixture f;
        RecoveryKeeper keeper(f.env.app, *f.env.nav);
        f.env.app.store().set(f.row(QDate(2005, 5, 10)), StoreCol::Record, u"下書き"_s);
        f.env.app.setDocChanged(true);
        QVERIFY(keeper.writeNow());
        QVERIFY(QFile::exists(Recovery::copyPath(u"nikki0"_s)));

        // Saved under a name: the untitled copy goes.
        f.env.files->answers.append(dir.filePath(u"年度.dys"_s));
        QVERIFY(Store_SaveDoc(nullptr, f.env.app));
        QVERIFY(!QFile::exists(Recovery::copyPath(u"nikki0"_s)));
        QVERIFY(!keeper.timer()->isActive());

        // Changed again, then the program ended without saving.
        f.env.app.setDocChanged(true);
        QVERIFY(keeper.writeNow());
        const QString copy = Recovery::copyPath(f.env.app.docPath());
        QVERIFY(QFile::exists(copy));
        f.env.messages->answers = {MessageBox::No};
        QVERIFY(f.calendar->endProgram());
        QVERIFY(!QFile::exists(copy));
    }

    void startUpOffersANewerCopyOfTheDocument_data() {
        QTest::addColumn<MessageBox::Button>("answer");
        QTest::newRow("restored") << MessageBox::Yes;
        QTest::newRow("let go") << MessageBox::No;
    }
    void startUpOffersANewerCopyOfTheDocument() {
        QFETCH(MessageBox::Button, answer);
        QTemporaryDir dir;
        TestEnvironment env(at(2005, 5, 10));
        const QString path = dir.filePath(u"年度.dys"_s);
        makeDocument(path, u"保存した記録"_s);
        {
            AppState unsaved;
            Store_New(unsaved, 2005);
            unsaved.store().set(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::Record,
                                u"保存していない記録"_s);
            QVERIFY(Recovery::write(unsaved.store(), Recovery::copyPath(path)).ok());
        }
        env.messages->answers = {answer};
        Startup s(env.app);
        s.Main(path);

        QVERIFY(asked(env));
        QCOMPARE(env.messages->shown[0].buttons, MessageBox::YesNo);
        QCOMPARE(env.app.docPath(), path);
        const int row = Dates::rowOfDate(QDate(2005, 5, 10), 2005);
        if (answer == MessageBox::Yes) {
            QCOMPARE(env.app.store().text(row, StoreCol::Record), u"保存していない記録"_s);
            QVERIFY(env.app.docChanged());
            QVERIFY(QFile::exists(Recovery::copyPath(path))); // until it is saved
        } else {
            QCOMPARE(env.app.store().text(row, StoreCol::Record), u"保存した記録"_s);
            QVERIFY(!env.app.docChanged());
            QVERIFY(!QFile::exists(Recovery::copyPath(path)));
        }
        QVERIFY(s.calendarWindow() && s.calendarWindow()->isVisible());
    }

    void anOlderCopyIsNotOfferedAndAnUntitledOneIs() {
        QTemporaryDir dir;
        TestEnvironment env(at(2005, 5, 10));
        const QString path = dir.filePath(u"年度.dys"_s);
        {
            AppState older;
            Store_New(older, 2005);
            QVERIFY(Recovery::write(older.store(), Recovery::copyPath(path)).ok());
            QFile copy(Recovery::copyPath(path));
            QVERIFY(copy.open(QIODevice::ReadWrite));
            QVERIFY(copy.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                     QFileDevice::FileModificationTime));
            copy.close();
            makeDocument(path, u"保存した記録"_s);
            Startup s(env.app);
            s.Main(path);
            QVERIFY(!asked(env));
            QVERIFY(!QFile::exists(Recovery::copyPath(path)));
        }
        TestEnvironment untitled(at(2005, 5, 10));
        AppState unsaved;
        Store_New(unsaved, 2004);
        unsaved.store().set(3, StoreCol::Record, u"名前のない年度"_s);
        QVERIFY(Recovery::write(unsaved.store(), Recovery::copyPath(u"nikki0"_s)).ok());
        Startup s(untitled.app);
        s.Main(QString());
        QVERIFY(asked(untitled));
        // Restored: no year to choose, the calendar shows the recovered year.
        QVERIFY(!s.yearDialog());
        QCOMPARE(untitled.app.baseYear(), 2004);
        QCOMPARE(untitled.app.store().text(3, StoreCol::Record), u"名前のない年度"_s);
        QCOMPARE(untitled.app.docPath(), u"nikki0"_s);
        QVERIFY(untitled.app.docChanged());
        QVERIFY(s.calendarWindow() && s.calendarWindow()->isVisible());
    }

    void aDamagedCopyIsRefusedAndStartUpGoesOn() {
        QTemporaryDir dir;
        TestEnvironment env(at(2005, 5, 10));
        const QString path = dir.filePath(u"年度.dys"_s);
        makeDocument(path, u"保存した記録"_s);
        QVERIFY(QDir().mkpath(Recovery::folder()));
        QFile copy(Recovery::copyPath(path));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write("DayLog grid\nthis is not what it should be\n");
        copy.close();

        Startup s(env.app);
        s.Main(path);
        QVERIFY(!asked(env));
        QCOMPARE(env.messages->shown.size(), 1);
        QCOMPARE(env.messages->shown[0].icon, MessageBox::Critical);
        QVERIFY(env.messages->shown[0].text.contains(Recovery::copyPath(path)));
        QVERIFY(!QFile::exists(Recovery::copyPath(path)));
        QCOMPARE(env.app.store().text(Dates::rowOfDate(QDate(2005, 5, 10), 2005), StoreCol::Record),
                 u"保存した記録"_s);
        QVERIFY(!env.app.docChanged());
        QVERIFY(s.calendarWindow() && s.calendarWindow()->isVisible());
    }
};

QTEST_MAIN(TestRecoveryKeeper)
#include "tst_recoverykeeper.moc"
