#include "../testsupport.h"

#include "store/documentcommands.h"
#include "store/documentfile.h"

#include <QTemporaryDir>
#include <QtTest>

class TestSaveCommands : public QObject {
    Q_OBJECT

private:
    static QByteArray contents(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void newYear(AppState& app, const QString& docPath) {
        app.BaseYear = 2005;
        app.DocPath = docPath;
        setCurrentDateToToday(app);
        Store_New(app);
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
        QCOMPARE(env.app.DocPath, dir.filePath(written));
        QVERIFY(!env.app.docChanged());
        GridModel loaded;
        QVERIFY(DocFiles::loadDocument(env.app.DocPath, loaded).ok());
        QCOMPARE(loaded.textMatrix(316, 0), QStringLiteral("2006/02/10"));
    }

    void cancellingTheNameDialogChangesNothing() {
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, QStringLiteral("nikki0"));
        QVERIFY(!Store_SaveDoc(nullptr, env.app));
        QCOMPARE(env.files->asked.size(), 1);
        QVERIFY(env.app.docChanged());
        QCOMPARE(env.app.DocPath, QStringLiteral("nikki0"));
        QVERIFY(env.messages->shown.isEmpty());
    }

    void aTitledDocumentIsSavedInPlaceAndKeepsThePreviousVersion() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("year.dys"));
        TestEnvironment env(at(2006, 2, 10));
        newYear(env.app, path);
        QVERIFY(Store_SaveDoc(nullptr, env.app));
        const QByteArray first = contents(path);

        env.app.store.set(20, StoreCol::Record, QStringLiteral("二回目"));
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
        QCOMPARE(env.app.DocPath, QStringLiteral("nikki0"));
        QVERIFY(QFileInfo(blocked).isDir());

        // A titled document whose folder has gone: reported, the path stays.
        const QString gone = dir.filePath(QStringLiteral("gone/year.dys"));
        env.app.DocPath = gone;
        QVERIFY(!Store_SaveDoc(nullptr, env.app));
        QCOMPARE(env.messages->shown.size(), 2);
        QVERIFY(env.messages->shown[1].text.contains(gone));
        QCOMPARE(env.app.DocPath, gone);
        QVERIFY(env.app.docChanged());
    }
};

QTEST_MAIN(TestSaveCommands)
#include "tst_savecommands.moc"
