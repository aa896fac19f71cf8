// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "core/store/documentfile.h"
#include "gui/frame/exportcommand.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestExportCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // エクスポート in the calendar: the kind follows the name's extension, a name
    // without one becomes an iCalendar file, a file there is replaced only on Yes.
    void theCalendarExportsTheYearInTheKindChosen() {
        QTemporaryDir dir;
        ViewFixture f;
        f.env.app.store().set(f.row(QDate(2005, 5, 10)), StoreCol::Events, u"遠足, 雨天延期"_s);
        QAction* item = f.calendar->action(u"mnuExport"_s);
        QVERIFY(item && item->isEnabled());
        QCOMPARE(item->text(), u"エクスポート(&E)..."_s);

        f.env.files->answers = {dir.filePath(u"年度.csv"_s)};
        item->trigger();
        QCOMPARE(f.env.files->asked.size(), 1);
        QVERIFY(f.env.files->asked[0].save);
        QCOMPARE(f.env.files->asked[0].title, u"エクスポート"_s);
        QCOMPARE(f.env.files->asked[0].filter, u"iCalendar (*.ics)|*.ics|CSV (*.csv)|*.csv"_s);
        QVERIFY(
            contents(dir.filePath(u"年度.csv"_s)).contains("2005/05/10,火,\"遠足, 雨天延期\","));

        f.env.files->answers = {dir.filePath(u"年度"_s)};
        item->trigger();
        const QByteArray ics = contents(dir.filePath(u"年度.ics"_s));
        QVERIFY(ics.startsWith("BEGIN:VCALENDAR\r\n"));
        QVERIFY(ics.contains("SUMMARY:遠足\\, 雨天延期\r\n"));
        QVERIFY(f.env.messages->shown.isEmpty());

        // Already there: No leaves it, Yes replaces it.
        f.env.app.store().set(f.row(QDate(2005, 5, 10)), StoreCol::Events, u"運動会"_s);
        f.env.files->answers = {dir.filePath(u"年度.ics"_s)};
        f.env.messages->answers = {MessageBox::No};
        item->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QVERIFY(f.env.messages->shown[0].text.contains(u"「年度.ics」は既に存在します。"_s));
        QCOMPARE(contents(dir.filePath(u"年度.ics"_s)), ics);
        f.env.files->answers = {dir.filePath(u"年度.ics"_s)};
        f.env.messages->answers = {MessageBox::Yes};
        f.env.app.setDocChanged(false);
        item->trigger();
        QVERIFY(contents(dir.filePath(u"年度.ics"_s)).contains("SUMMARY:運動会\r\n"));
        QVERIFY(!f.env.app.docChanged()); // an export is no save and no change
    }

    // The open document, or any file named or made like a document, is never the
    // target of an export: refused before the replace question, the file untouched.
    void anExportNeverWritesOverADocument() {
        QTemporaryDir dir;
        ViewFixture f;
        const QString doc = dir.filePath(u"2005.dys"_s);
        QVERIFY(DocFiles::writeDocument(f.env.app.store(), 20, doc).ok());
        f.env.app.doc().setPath(doc);
        const QByteArray before = contents(doc);
        QFile::copy(doc, dir.filePath(u"renamed.ics"_s));
        for (const QString& target : {doc, dir.filePath(u"renamed.ics"_s)}) {
            f.env.files->answers = {target};
            f.env.messages->shown.clear();
            f.calendar->action(u"mnuExport"_s)->trigger();
            QCOMPARE(f.env.messages->shown.size(), 1);
            QCOMPARE(f.env.messages->shown[0].icon, MessageBox::Critical);
        }
        QCOMPARE(contents(doc), before);
        QCOMPARE(contents(dir.filePath(u"renamed.ics"_s)), before);
    }

    void aFailureNamesTheFileAndTheReason() {
        QTemporaryDir dir;
        ViewFixture f;
        const QString path = dir.filePath(u"無い/年度.csv"_s);
        f.env.files->answers = {path};
        f.calendar->action(u"mnuExport"_s)->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].icon, MessageBox::Critical);
        QVERIFY(f.env.messages->shown[0].text.contains(path));
        QVERIFY(!QFile::exists(path));

        // Cancelled: nothing at all.
        f.env.messages->shown.clear();
        f.calendar->action(u"mnuExport"_s)->trigger();
        QVERIFY(f.env.messages->shown.isEmpty());
    }

    // The main window exports the document of the table in front, with what was
    // typed into it and not stored yet.
    void theMainWindowExportsTheTableInFront() {
        QTemporaryDir dir;
        ViewFixture f;
        f.env.app.doc().setPath(u"/data/2005.dys"_s);
        auto* main = f.open<MainWindow>(View::Main, QDate(2005, 5, 10));
        QAction* item = main->action(u"mnuFileExport"_s);
        QVERIFY(item);
        QCOMPARE(item->text(), u"エクスポート(&E)..."_s);
        AnnualWindow* w = main->activeAnnual();
        QVERIFY(w);
        w->model().setTextMatrix(f.row(QDate(2005, 6, 1)), StoreCol::Record, u"表に書いた記録"_s);
        f.env.files->answers = {dir.filePath(u"table.csv"_s)};
        item->trigger();
        QVERIFY(contents(dir.filePath(u"table.csv"_s)).contains("2005/06/01,水,,表に書いた記録,"));
    }
};

QTEST_MAIN(TestExportCommand)
#include "tst_exportcommand.moc"
