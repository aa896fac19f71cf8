// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"

#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/documentfile.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/exportcommand.h"

#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestSaveCommands : public QObject {
    Q_OBJECT

private:
    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static bool write(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }
    static void newYear(AppState& app, const QString& docPath) {
        app.doc().setPath(docPath);
        setCurrentDateToToday(app, 2005);
        Store_New(app, 2005);
        app.setDocChanged(true);
    }

private Q_SLOTS:
    void anUntitledDocumentAsksForANameAndTakesTheKindsExtension_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("dys") << "diary2006.dys"
                             << "diary2006.dys";
        QTest::newRow("other extension") << "plan.txt"
                                         << "plan.dys";
        QTest::newRow("no extension") << "plan"
                                      << "plan.dys";
    }
    void anUntitledDocumentAsksForANameAndTakesTheKindsExtension() {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QTemporaryDir dir;
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, QStringLiteral("nikki0"));
        env.files->answers = {dir.filePath(chosen)};

        QVERIFY(Store_SaveDoc(nullptr, env.app));

        QCOMPARE(env.files->asked.size(), 1);
        QVERIFY(env.files->asked[0].save);
        QCOMPARE(env.files->asked[0].title, QStringLiteral("名前を付けて保存"));
        QCOMPARE(env.files->asked[0].filter, QStringLiteral("DayLogのﾌｧｲﾙ (*.dys)|*.dys"));
        QCOMPARE(env.app.docPath(), dir.filePath(written));
        QVERIFY(env.messages->shown.isEmpty()); // no file of that name: nothing to ask
        QVERIFY(!env.app.docChanged());
        GridModel loaded;
        QVERIFY(DocFiles::loadDocument(env.app.docPath(), loaded).ok());
        QCOMPARE(loaded.textMatrix(316, 0), QStringLiteral("2006/02/10"));
    }

    // The overwrite question names the file that is written, not the name chosen.
    void anExistingFileIsReplacedOnlyWhenTheUserAgrees_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<MessageBox::Button>("answer");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("other extension, no") << "plan.txt" << MessageBox::No << false;
        QTest::newRow("other extension, yes") << "plan.txt" << MessageBox::Yes << true;
        QTest::newRow("no extension, no") << "plan" << MessageBox::No << false;
        QTest::newRow("same name, no") << "plan.dys" << MessageBox::No << false;
        QTest::newRow("same name, yes") << "plan.dys" << MessageBox::Yes << true;
    }
    void anExistingFileIsReplacedOnlyWhenTheUserAgrees() {
        QFETCH(QString, chosen);
        QFETCH(MessageBox::Button, answer);
        QFETCH(bool, replaced);
        QTemporaryDir dir;
        const QString plan = dir.filePath(QStringLiteral("plan.dys"));
        const QByteArray before = "2004\n前の年\n";
        QVERIFY(write(plan, before));
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, QStringLiteral("nikki0"));
        env.files->answers = {dir.filePath(chosen)};
        env.messages->answers = {answer};

        QCOMPARE(Store_SaveAs(nullptr, env.app), replaced);

        QCOMPARE(env.messages->shown.size(), 1);
        QCOMPARE(env.messages->shown[0].text,
                 QStringLiteral("「plan.dys」は既に存在します。\n上書きしますか。"));
        QCOMPARE(env.messages->shown[0].buttons, MessageBox::YesNo);
        QCOMPARE(env.messages->shown[0].icon, MessageBox::Question);
        QCOMPARE(env.app.docChanged(), !replaced);
        if (replaced) {
            QCOMPARE(env.app.docPath(), plan);
            GridModel loaded;
            QVERIFY(DocFiles::loadDocument(plan, loaded).ok());
            QCOMPARE(loaded.textMatrix(316, 0), QStringLiteral("2006/02/10"));
        } else {
            QCOMPARE(env.app.docPath(), QStringLiteral("nikki0"));
            QCOMPARE(contents(plan), before);
            // Nothing at all was written: no other name, no backup.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{u"plan.dys"_s});
        }
    }

    void aFileOfTheChosenNameOnlyIsNotAskedAbout() {
        QTemporaryDir dir;
        const QString txt = dir.filePath(QStringLiteral("plan.txt"));
        QVERIFY(write(txt, "メモ\n"));
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, QStringLiteral("nikki0"));
        env.files->answers = {txt};

        QVERIFY(Store_SaveAs(nullptr, env.app));

        QVERIFY(env.messages->shown.isEmpty());
        QCOMPARE(env.app.docPath(), dir.filePath(QStringLiteral("plan.dys")));
        QCOMPARE(contents(txt), QByteArray("メモ\n"));
    }

    // 名前を付けて保存 and エクスポート open beside the document with its name; a
    // document never saved, in the documents folder with the year's name.
    void theDialogsOpenAtTheDocumentsFolderAndName_data() {
        QTest::addColumn<QString>("docPath");
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<QString>("start");
        const QString documents =
            QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QTest::newRow("save as, saved before")
            << u"/data/学校/2005.dys"_s << false << u"/data/学校/2005.dys"_s;
        QTest::newRow("save as, never saved")
            << u"nikki0"_s << false << QDir(documents).filePath(u"2005年度.dys"_s);
        QTest::newRow("export, saved before")
            << u"/data/学校/plan.v2.dys"_s << true << u"/data/学校/plan.v2.ics"_s;
        QTest::newRow("export, never saved")
            << u"nikki3"_s << true << QDir(documents).filePath(u"2005年度.ics"_s);
    }
    void theDialogsOpenAtTheDocumentsFolderAndName() {
        QFETCH(QString, docPath);
        QFETCH(bool, exporting);
        QFETCH(QString, start);
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, docPath);
        // The dialog is cancelled: nothing is written.
        if (exporting)
            QVERIFY(!ExportCommand::exportYear(nullptr, env.app.doc()));
        else
            QVERIFY(!Store_SaveAs(nullptr, env.app));
        QCOMPARE(env.files->asked.size(), 1);
        QCOMPARE(env.files->asked[0].start, start);
        QCOMPARE(env.app.docPath(), docPath);
    }

    void chooseSavePathTakesTheKindsFilterAndExtension_data() {
        QTest::addColumn<MessageBox::Button>("answer");
        QTest::addColumn<bool>("taken");
        QTest::newRow("yes") << MessageBox::Yes << true;
        QTest::newRow("no") << MessageBox::No << false;
        QTest::newRow("box closed") << MessageBox::Cancel << false;
    }
    void chooseSavePathTakesTheKindsFilterAndExtension() {
        QFETCH(MessageBox::Button, answer);
        QFETCH(bool, taken);
        QTemporaryDir dir;
        const QString form = dir.filePath(QStringLiteral("form.dyy"));
        QVERIFY(write(form, "x"));
        TestEnvironment env(at(2006, 2, 10));
        env.files->answers = {dir.filePath(QStringLiteral("form.dys"))};
        env.messages->answers = {answer};

        const QString path =
            chooseSavePath(nullptr, QString::fromUtf16(DocFiles::RecordTemplateFilter),
                           QString::fromUtf16(DocFiles::RecordTemplateExt));

        QCOMPARE(path, taken ? form : QString());
        QCOMPARE(env.files->asked.size(), 1);
        QCOMPARE(env.files->asked[0].title, QStringLiteral("名前を付けて保存"));
        QCOMPARE(env.files->asked[0].filter,
                 QStringLiteral("記録テンプレートのﾌｧｲﾙ (*.dyy)|*.dyy"));
        QCOMPARE(env.messages->shown.size(), 1);
        QCOMPARE(env.messages->shown[0].text,
                 QStringLiteral("「form.dyy」は既に存在します。\n上書きしますか。"));
        QCOMPARE(contents(form), QByteArray("x"));
    }

    void cancellingTheNameDialogChangesNothing() {
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, QStringLiteral("nikki0"));
        QVERIFY(!Store_SaveDoc(nullptr, env.app));
        QCOMPARE(env.files->asked.size(), 1);
        QVERIFY(env.app.docChanged());
        QCOMPARE(env.app.docPath(), QStringLiteral("nikki0"));
        QVERIFY(env.messages->shown.isEmpty());
    }

    void aTitledDocumentIsSavedInPlaceAndKeepsThePreviousVersion() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("year.dys"));
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, path);
        QVERIFY(Store_SaveDoc(nullptr, env.app));
        const QByteArray first = contents(path);

        env.app.store().set(20, StoreCol::Record, QStringLiteral("二回目"));
        env.app.setDocChanged(true);
        QVERIFY(Store_SaveDoc(nullptr, env.app));

        QVERIFY(env.files->asked.isEmpty());
        QVERIFY(!env.app.docChanged());
        QCOMPARE(contents(GridFile::backupPath(path)), first);
        QVERIFY(contents(path).contains("二回目"));
    }

    void aFailedSaveIsReportedAndKeepsTheChangesAndTheFile() {
        QTemporaryDir dir;
        TestEnvironment env(at(2006, 2, 10));
        // The chosen name is taken by a folder: the save cannot replace it.
        const QString blocked = dir.filePath(QStringLiteral("blocked.dys"));
        QVERIFY(QDir().mkdir(blocked));
        newYear(env.app, QStringLiteral("nikki0"));
        env.files->answers = {blocked};
        QVERIFY(!Store_SaveDoc(nullptr, env.app));
        QCOMPARE(env.messages->shown.size(), 1);
        QVERIFY(env.messages->shown[0].text.contains(blocked));
        QVERIFY(env.app.docChanged());
        QCOMPARE(env.app.docPath(), QStringLiteral("nikki0"));
        QVERIFY(QFileInfo(blocked).isDir());

        // A titled document whose folder has gone: reported, the path stays.
        const QString gone = dir.filePath(QStringLiteral("gone/year.dys"));
        env.app.doc().setPath(gone);
        QVERIFY(!Store_SaveDoc(nullptr, env.app));
        QCOMPARE(env.messages->shown.size(), 2);
        QVERIFY(env.messages->shown[1].text.contains(gone));
        QCOMPARE(env.app.docPath(), gone);
        QVERIFY(env.app.docChanged());
    }
};

QTEST_MAIN(TestSaveCommands)
#include "tst_savecommands.moc"
