// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/store/documentfile.h"
#include "core/todo/todostring.h"
#include "gui/frame/viewcommands.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QDate May10(2005, 5, 10);

void select(TextBox* box, int from, int to) {
    QTextCursor c = box->textCursor();
    c.setPosition(from);
    c.setPosition(to, QTextCursor::KeepAnchor);
    box->setTextCursor(c);
}

QToolButton* toolButton(DiaryWindow* w, const QString& key) {
    return qobject_cast<QToolButton*>(w->toolBar()->widgetForAction(w->action(u"tb_"_s + key)));
}

} // namespace

// The editing, colour, help and printing commands that the views share, driven through
// the diary's menus and toolbar.
class TestViewCommands : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Every view saves with Ctrl+S (what is typed on its page included) and opens the
    // ToDo list and the search from its 表示 menu.
    void everyViewSavesAndOpensTheListAndTheSearch_data() {
        QTest::addColumn<int>("view");
        QTest::newRow("diary") << int(View::Diary);
        QTest::newRow("weekly") << int(View::Weekly);
        QTest::newRow("monthly") << int(View::Monthly);
        QTest::newRow("main window") << int(View::Main);
    }
    void everyViewSavesAndOpensTheListAndTheSearch() {
        QFETCH(int, view);
        ViewFixture f;
        auto* w = f.open<ViewWindow>(View(view), May10);
        for (const auto& [name, beside] :
             {std::pair{u"mnuToDo"_s, View::ToDoList}, std::pair{u"mnuKensaku"_s, View::Search}}) {
            QVERIFY2(w->action(name), qPrintable(name));
            w->action(name)->trigger();
            QVERIFY(f.env.nav->window(beside) && f.env.nav->window(beside)->widget()->isVisible());
            f.env.nav->window(beside)->widget()->close();
        }
        if (View(view) == View::Main)
            return; // its own 上書き保存 is the table's
        QTemporaryDir dir;
        QAction* save = w->action(u"mnuSave"_s);
        QCOMPARE(save->shortcut(), QKeySequence(QKeySequence::Save));
        auto* box = w->findChildren<TextBox*>().constFirst();
        box->setFocus();
        ViewFixture::type(box, u"保存する"_s);
        f.env.files->answers = {dir.filePath(u"y.dys"_s)};
        save->trigger();
        YearStore saved;
        QVERIFY(DocFiles::readDocument(dir.filePath(u"y.dys"_s), saved).ok());
        bool found = false;
        for (int r = 1; r <= YearStore::DayRows && !found; ++r)
            for (int c = StoreCol::Events; c <= StoreCol::ToDo && !found; ++c)
                found = saved.text(r, c).contains(u"保存する"_s);
        QVERIFY(found);
        QVERIFY(!f.env.app.docChanged());
    }

    // F1 opens the manual at the window's own section in every window; Escape closes
    // the windows beside the views (an Escape taken inside them, as by a cell being
    // edited, does not).
    void f1InEveryWindowAndEscapeBesideTheViews_data() {
        QTest::addColumn<int>("view");
        for (View v : {View::Calendar, View::Diary, View::Weekly, View::Monthly, View::Main,
                       View::ToDoList, View::RecordStats, View::ItemStats, View::Search})
            QTest::newRow(qPrintable(QString::number(int(v)))) << int(v);
    }
    void f1InEveryWindowAndEscapeBesideTheViews() {
        QFETCH(int, view);
        ViewFixture f;
        f.env.help->path = TestEnvironment::manualPath();
        auto* w = f.open<ViewWindow>(View(view), May10);
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        const auto before = f.env.help->shown.size();
        QTest::keyClick(w, Qt::Key_F1);
        QCOMPARE(f.env.help->shown.size(), before + 1);
        const bool beside = Navigator::opensBeside(View(view));
        if (auto* grid = w->findChild<Grid*>(); grid && beside) {
            grid->setFocus();
            grid->setCursor(1, grid->model()->cols() - 1);
            QTest::keyClick(grid, Qt::Key_F2);
            if (grid->isEditing()) {
                QTest::keyClick(grid->editor(), Qt::Key_Escape);
                QVERIFY(!grid->isEditing());
                QVERIFY(w->isVisible());
            }
        }
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Escape);
        QCOMPARE(w->isVisible(), !beside);
    }

    // Every menu item and button of the windows beside the views has a mnemonic.
    void theWindowsBesideTheViewsTakeAltForEveryItemAndButton() {
        ViewFixture f;
        QStringList without;
        for (View v : {View::ToDoList, View::RecordStats, View::ItemStats, View::Search}) {
            auto* w = f.open<ViewWindow>(v, May10);
            for (QMenu* menu : w->menuBar()->findChildren<QMenu*>())
                for (QAction* a : menu->actions())
                    if (!a->isSeparator() && !a->text().contains(u'&'))
                        without << w->objectName() + u": "_s + a->text();
            for (QPushButton* b : w->findChildren<QPushButton*>())
                if (!b->text().isEmpty() && !b->text().contains(u'&'))
                    without << w->objectName() + u": "_s + b->text();
            w->close();
        }
        QVERIFY2(without.isEmpty(), qPrintable(without.join(u", "_s)));
    }

    void editingActsOnTheSelectionOfTheFocusedBox() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        TextBox* events = w->eventsBox();
        events->setFocus();
        ViewFixture::type(events, u"あいうえお"_s);
        f.env.app.setDocChanged(false);

        select(events, 1, 3);
        w->action(u"mnuCopy"_s)->trigger();
        QCOMPARE(f.env.clipboard->content, u"いう"_s);
        QVERIFY(!f.env.app.docChanged());

        // Paste replaces only the selected part.
        f.env.clipboard->setText(u"XY"_s);
        select(events, 3, 4);
        w->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(events->toPlainText(), u"あいうXYお"_s);
        QVERIFY(f.env.app.docChanged());

        f.env.app.setDocChanged(false);
        select(events, 0, 2);
        w->action(u"mnuCut"_s)->trigger();
        QCOMPARE(f.env.clipboard->content, u"あい"_s);
        QCOMPARE(events->toPlainText(), u"うXYお"_s);
        QVERIFY(f.env.app.docChanged());

        select(events, 1, 3);
        w->action(u"mnuDelete"_s)->trigger();
        QCOMPARE(events->toPlainText(), u"うお"_s);

        f.env.app.setDocChanged(false);
        w->action(u"mnuAllSelect"_s)->trigger();
        QCOMPARE(events->textCursor().selectedText(), u"うお"_s);
        QVERIFY(!f.env.app.docChanged());

        // The toolbar buttons run the same commands.
        QTest::mouseClick(toolButton(w, u"ｺﾋﾟｰ"_s), Qt::LeftButton);
        QCOMPARE(f.env.clipboard->content, u"うお"_s);
        QTest::mouseClick(toolButton(w, u"切り取り"_s), Qt::LeftButton);
        QVERIFY(events->toPlainText().isEmpty());
        QTest::mouseClick(toolButton(w, u"貼り付け"_s), Qt::LeftButton);
        QCOMPARE(events->toPlainText(), u"うお"_s);

        // With nothing on the clipboard a paste leaves the selection alone.
        f.env.clipboard->clear();
        f.env.app.setDocChanged(false);
        w->action(u"mnuAllSelect"_s)->trigger();
        w->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(events->toPlainText(), u"うお"_s);
        QVERIFY(!f.env.app.docChanged());
    }

    void theBoxesOwnClipboardKeysUseTheProgramsClipboard() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        TextBox* record = w->recordBox();
        ViewFixture::type(record, u"記録"_s);
        select(record, 0, 2);
        QTest::keyClick(record, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(f.env.clipboard->content, u"記録"_s);
        f.env.clipboard->setText(u"貼る"_s);
        QTest::keyClick(record, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(record->toPlainText(), u"貼る"_s);
    }

    void editingElsewhereThanInABoxDoesNothing() {
        ViewFixture f;
        f.env.app.store().set(f.row(May10), StoreCol::ToDo,
                              ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"会議"_s));
        f.env.app.setDocChanged(false);
        DiaryWindow* w = f.open(May10);
        w->todoGrid()->setFocus();
        w->todoGrid()->setCursor(1, 3);
        f.env.clipboard->setText(u"元のまま"_s);

        for (const char* name : {"mnuCopy", "mnuCut", "mnuPaste", "mnuDelete", "mnuAllSelect"})
            w->action(QString::fromLatin1(name))->trigger();
        QTest::keyClick(w->todoGrid(), Qt::Key_C, Qt::ControlModifier);

        QCOMPARE(f.env.clipboard->content, u"元のまま"_s);
        QCOMPARE(w->todoGrid()->model()->textMatrix(1, 3), u"会議"_s);
        QVERIFY(!f.env.app.docChanged());
        QVERIFY(f.env.messages->shown.isEmpty());
    }

    void aHugePasteIsRefusedAndTheBoxIsKept() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        TextBox* record = w->recordBox();
        ViewFixture::type(record, u"大事"_s);
        f.env.clipboard->setText(QString(TextBox::MaxPaste + 1, u'x'));
        w->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(record->toPlainText(), u"大事"_s);
        QCOMPARE(f.env.messages->shown.size(), 1);
        QVERIFY(f.env.messages->shown[0].text.startsWith(u"貼り付ける文字が多すぎます。"_s));
        // The largest paste that still fits into one text goes in.
        f.env.clipboard->setText(QString(DocLimits::MaxTextChars - 2, u'y'));
        w->action(u"mnuPaste"_s)->trigger();
        QCOMPARE(record->toPlainText().size(), DocLimits::MaxTextChars);
    }

    void colourCommandsColourTheFocusedBox_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("chosen");
        QTest::newRow("text colour") << u"mnuMoji"_s << true;
        QTest::newRow("text colour cancelled") << u"mnuMoji"_s << false;
        QTest::newRow("background") << u"mnuBack"_s << true;
        QTest::newRow("background cancelled") << u"mnuBack"_s << false;
        QTest::newRow("toolbar text colour") << u"tb_文字色"_s << true;
        QTest::newRow("toolbar background") << u"tb_バック"_s << true;
    }

    void colourCommandsColourTheFocusedBox() {
        QFETCH(QString, command);
        QFETCH(bool, chosen);
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        TextBox* box = w->slotItemBox(2);
        box->setFocus();
        if (chosen)
            f.env.colors->answers = {QColor(0, 0, 255)};

        w->action(command)->trigger();

        const bool text = command.contains(u"Moji"_s) || command.contains(u"文字"_s);
        QCOMPARE(f.env.colors->asked, 1);
        QCOMPARE(f.env.app.docChanged(), chosen);
        w->close();
        const int fore = f.env.app.store().number(f.row(May10), StoreCol::SlotItemFore1 + 2);
        const qint64 back = f.env.app.store().number(f.row(May10), StoreCol::SlotItemBack1 + 2);
        QCOMPARE(fore, chosen && text ? 0xFF0000 : 0);
        // No background chosen stays "no colour", not the window colour the box shows.
        QCOMPARE(back, chosen && !text ? Q_INT64_C(0xFF0000) : Q_INT64_C(0));
        QVERIFY(f.env.messages->shown.isEmpty());
    }

    void colourCommandsOutsideABoxSaySoAndAskNothing() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        w->todoGrid()->setFocus();
        for (const char* name : {"mnuMoji", "mnuBack"})
            w->action(QString::fromLatin1(name))->trigger();
        QCOMPARE(f.env.colors->asked, 0);
        QCOMPARE(f.env.messages->shown.size(), 2);
        QCOMPARE(f.env.messages->shown[0].text, u"ここの色は変更できません。"_s);
        QCOMPARE(f.env.messages->shown[0].buttons, MessageBox::OkOnly);
        QVERIFY(!f.env.app.docChanged());
    }

    void aDoubleClickColoursTheTextOfTheRecordAndTheSlotsOnly() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        f.env.colors->answers = {QColor(255, 0, 0), QColor(0, 128, 0)};
        QTest::mouseDClick(w->recordBox()->viewport(), Qt::LeftButton);
        QTest::mouseDClick(w->slotTextBox(6)->viewport(), Qt::LeftButton);
        QTest::mouseDClick(w->eventsBox()->viewport(), Qt::LeftButton);
        QCOMPARE(f.env.colors->asked, 2);
        QCOMPARE(w->recordBox()->textColor(), QColor(255, 0, 0));
        QCOMPARE(w->slotTextBox(6)->textColor(), QColor(0, 128, 0));
        QVERIFY(f.env.app.docChanged());
        // Cancelled: nothing changes.
        f.env.app.setDocChanged(false);
        QTest::mouseDClick(w->slotItemBox(0)->viewport(), Qt::LeftButton);
        QCOMPARE(w->slotItemBox(0)->textColor(), QColor(Qt::black));
        QVERIFY(!f.env.app.docChanged());
    }

    void helpWithoutAManualSaysSoInTheWindowsName() {
        ViewFixture f;
        f.env.help->path = f.env.printFolder.filePath(u"daylogHelp.html"_s); // not there
        DiaryWindow* w = f.open(May10);
        w->action(u"mnuiHelp"_s)->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        const MessageBox::Request& r = f.env.messages->shown[0];
        QCOMPARE(r.text, u"ﾍﾙﾌﾟの目次を表示できません。ﾍﾙﾌﾟが存在しません。"_s);
        QCOMPARE(r.icon, MessageBox::Information);
        QCOMPARE(r.title, u"日記"_s);
        QVERIFY(f.env.help->shown.isEmpty());
    }

    void helpOpensTheWindowsOwnSection_data() {
        QTest::addColumn<View>("view");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("section");
        QTest::newRow("calendar") << View::Calendar << u"mnuHelp"_s << u"calendar"_s;
        QTest::newRow("diary") << View::Diary << u"mnuiHelp"_s << u"diary"_s;
        QTest::newRow("weekly") << View::Weekly << u"mnuHelp"_s << u"weekly"_s;
        QTest::newRow("monthly") << View::Monthly << u"mnuHelp"_s << u"monthly"_s;
        QTest::newRow("main window") << View::Main << u"mnuHelpContents"_s << u"main"_s;
    }

    void helpOpensTheWindowsOwnSection() {
        QFETCH(View, view);
        QFETCH(QString, command);
        QFETCH(QString, section);
        ViewFixture f;
        f.env.help->path = TestEnvironment::manualPath();
        auto* w = f.open<ViewWindow>(view, May10);
        w->action(command)->trigger();
        QVERIFY(f.env.messages->shown.isEmpty());
        QCOMPARE(f.env.help->shown, QList<QString>{TestEnvironment::manualPath()});
        QCOMPARE(f.env.help->sections, QList<QString>{section});
    }

    void aWindowWithoutASectionOpensTheTopOfTheManual() {
        ViewFixture f;
        f.env.help->path = TestEnvironment::manualPath();
        DiaryWindow* w = f.open(May10);
        w->setObjectName(u"どこにもない窓"_s);
        w->action(u"mnuiHelp"_s)->trigger();
        QCOMPARE(f.env.help->shown, QList<QString>{TestEnvironment::manualPath()});
        QCOMPARE(f.env.help->sections, QList<QString>{QString()});
    }

    void thePrintedPageHoldsTheDaysTextsInLandscape() {
        ViewFixture f;
        using namespace StoreCol;
        const int row = f.row(May10);
        f.env.app.store().set(row, Events, u"避難訓練"_s);
        f.env.app.store().set(row, Record, u"今日は晴れ"_s);
        f.env.app.store().set(row, SlotItem1 + 1, u"国語"_s);
        f.env.app.store().set(row, SlotText1 + 1, u"漢字の書き取り"_s);
        f.env.app.store().set(row, ToDo,
                              ToDo_ItemString(false, u"15:30"_s, u"重要"_s, u"保護者会"_s));
        DiaryWindow* w = f.open(May10);

        QTest::mouseClick(toolButton(w, u"印刷"_s), Qt::LeftButton);

        QCOMPARE(f.env.printer->files.size(), 1);
        QCOMPARE(f.env.printer->orientations.value(0), QPageLayout::Landscape);
        const QString text = TestEnvironment::pdfText(f.env.printer->files[0]);
        for (const QString& expected :
             {u"避難訓練"_s, u"今日は晴れ"_s, u"国語"_s, u"漢字の書き取り"_s, u"保護者会"_s,
              u"15:30"_s, u"授業・項目"_s, u"10日"_s})
            QVERIFY2(text.contains(expected), qPrintable(expected + u" not in:\n"_s + text));
        // The menus and toolbar are not part of the page.
        QVERIFY(!text.contains(u"ﾌｧｲﾙ"_s));
        QVERIFY(f.env.messages->shown.isEmpty());
        // The page is as it was.
        QVERIFY(w->toolBar()->isVisible());
        QCOMPARE(w->todoGrid()->model()->fixedRows(), 1);
    }

    void aFailedPrintIsReportedAndACancelledOneIsNot() {
        ViewFixture f;
        DiaryWindow* w = f.open(May10);
        f.env.printer->cancel = true;
        w->action(u"mnuPrint"_s)->trigger();
        QVERIFY(f.env.messages->shown.isEmpty());

        Printer::install(std::make_unique<PdfPrinter>(u"/nonexistent/folder"_s));
        w->action(u"mnuPrint"_s)->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].text, u"印刷できませんでした。"_s);
    }
};

QTEST_MAIN(TestViewCommands)
#include "tst_viewcommands.moc"
