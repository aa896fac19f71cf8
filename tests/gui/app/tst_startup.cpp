// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/testsupport.h"

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/time/dates.h"
#include "gui/app/splash.h"
#include "gui/app/startup.h"
#include "gui/frame/yeardialog.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

class TestStartup : public QObject {
    Q_OBJECT

private:
    // Writes a document of `baseYear` with a record text on row 10.
    static QString makeDocument(const QString& path, int baseYear) {
        AppState doc;
        doc.doc().setPath(path);
        setCurrentDateToToday(doc, baseYear);
        Store_New(doc, baseYear);
        doc.store().set(10, StoreCol::Record, QStringLiteral("運動会の準備"));
        const FileResult r = DocFiles::writeDocument(doc.store(), 20, doc.docPath());
        if (!r.ok())
            qFatal("cannot write test document");
        return path;
    }

private Q_SLOTS:
    void withoutDocumentTheYearDialogAsksAndBuildsTheYear() {
        TestEnvironment env(at(2006, 2, 10));
        Startup s(env.app);
        s.Main(QString());

        QVERIFY(s.splash() && s.splash()->isVisible());
        YearDialog* dlg = s.yearDialog();
        QVERIFY(dlg && dlg->isVisible());
        QCOMPARE(dlg->objectName(), QStringLiteral("年度決定"));
        QCOMPARE(dlg->windowTitle(), QStringLiteral("年度"));
        QCOMPARE(dlg->findChild<QLabel*>(QStringLiteral("Label1"))->text(),
                 QStringLiteral("何年のデータを作成しますか"));
        QCOMPARE(dlg->button()->text(), QStringLiteral("選択"));
        QCOMPARE(dlg->tag(), QStringLiteral("1"));
        QVERIFY(!dlg->isModal());
        QCOMPARE(env.app.docPath(), QStringLiteral("nikki0"));
        QVERIFY(!s.calendarWindow());

        // 2001 through ten years after the current one, the current year chosen.
        QComboBox* combo = dlg->combo();
        QCOMPARE(combo->count(), 16);
        QCOMPARE(combo->itemText(0), QStringLiteral("2001"));
        QCOMPARE(combo->itemText(15), QStringLiteral("2016"));
        QCOMPARE(combo->currentText(), QStringLiteral("2006"));

        combo->setCurrentIndex(combo->findText(QStringLiteral("2005")));
        QTest::mouseClick(dlg->button(), Qt::LeftButton);

        QCOMPARE(env.app.baseYear(), 2005);
        QCOMPARE(env.app.CurYear, 2006);
        QCOMPARE(env.app.CurMonth, 2);
        QCOMPARE(env.app.CurDay, 10);
        QCOMPARE(Store_DayRow(env.app), 316);
        QCOMPARE(env.app.store().number(316, StoreCol::WeekdayFore), 16711935);
        QCOMPARE(env.app.store().text(366, StoreCol::Date), QStringLiteral("2006/04/01"));
        QCOMPARE(env.app.documents().size(), 1);
        QVERIFY(!s.splash() || !s.splash()->isVisible());
        QVERIFY(!s.yearDialog() || !s.yearDialog()->isVisible());
        QVERIFY(s.calendarWindow() && s.calendarWindow()->isVisible());
        QCOMPARE(s.calendarWindow()->windowTitle(), QStringLiteral("nikki0[*] - デイログ"));
    }

    // Without a year chosen there is nothing to show: Escape or the close box of the
    // year dialog at start-up ends the program. With no entry selected the button
    // waits for a choice.
    void theYearDialogAtStartUpCanBeCancelled_data() {
        QTest::addColumn<bool>("escape");
        QTest::newRow("Escape") << true;
        QTest::newRow("close box") << false;
    }
    void theYearDialogAtStartUpCanBeCancelled() {
        QFETCH(bool, escape);
        TestEnvironment env(at(2006, 5, 1));
        Startup s(env.app);
        QSignalSpy ending(&s, &Startup::programEnding);
        s.Main(QString());
        YearDialog* dlg = s.yearDialog();
        dlg->combo()->setCurrentIndex(-1);
        QTest::mouseClick(dlg->button(), Qt::LeftButton);
        QVERIFY(dlg->isVisible());
        QCOMPARE(ending.count(), 0);
        if (escape)
            QTest::keyClick(dlg, Qt::Key_Escape);
        else
            dlg->close();
        QCOMPARE(ending.count(), 1);
        QCOMPARE(env.app.baseYear(), 0);
        QVERIFY(!s.calendarWindow());
    }

    void theCurrentDateIsTodayInTheChosenYear_data() {
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("year");
        QTest::addColumn<QDate>("current");
        QTest::newRow("May 2006, year 2003") << at(2006, 5, 20) << "2003" << QDate(2003, 5, 20);
        QTest::newRow("29 Feb in a year without it")
            << at(2008, 2, 29) << "2006" << QDate(2007, 3, 1);
        QTest::newRow("current year beyond the old list")
            << at(2031, 1, 5) << "2041" << QDate(2042, 1, 5);
    }
    void theCurrentDateIsTodayInTheChosenYear() {
        QFETCH(QDateTime, now);
        QFETCH(QString, year);
        QFETCH(QDate, current);
        TestEnvironment env(now);
        Startup s(env.app);
        s.Main(QString());
        QComboBox* combo = s.yearDialog()->combo();
        QCOMPARE(combo->currentText(), QString::number(now.date().year()));
        combo->setCurrentIndex(combo->findText(year));
        QVERIFY(combo->currentIndex() >= 0);
        QTest::mouseClick(s.yearDialog()->button(), Qt::LeftButton);
        QCOMPARE(env.app.currentDate(), current);
        QCOMPARE(env.app.store().number(Store_DayRow(env.app), StoreCol::WeekdayFore), 16711935);
    }

    void aDocumentOnTheCommandLineOpensAtTodayInItsYear_data() {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("plain") << false;
        QTest::newRow("quoted, with a blank") << true;
    }
    void aDocumentOnTheCommandLineOpensAtTodayInItsYear() {
        QFETCH(bool, quoted);
        QTemporaryDir dir;
        TestEnvironment env(at(2006, 2, 10));
        const QString path = makeDocument(dir.filePath(QStringLiteral("my data.dys")), 2003);
        Startup s(env.app);
        s.Main(quoted ? u'"' + path + u'"' : path);

        QCOMPARE(env.app.docPath(), path);
        QCOMPARE(env.app.baseYear(), 2003);
        QCOMPARE(env.app.currentDate(), QDate(2004, 2, 10));
        QCOMPARE(env.app.store().text(10, StoreCol::Record), QStringLiteral("運動会の準備"));
        QCOMPARE(env.app.documents().size(), 1);
        QVERIFY(!env.app.docChanged());
        QVERIFY(!s.splash() || !s.splash()->isVisible());
        QVERIFY(!s.yearDialog());
        QVERIFY(s.calendarWindow()->isVisible());
        QVERIFY(env.messages->shown.isEmpty());
    }

    void aDocumentThatCannotBeOpenedIsReportedAndStartUpAsksForTheYear_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("reasonPart");
        QTest::newRow("missing") << QByteArray() << QStringLiteral("見つかりません");
        QTest::newRow("foreign") << QByteArray("<?xml version=\"1.0\"?><a/>")
                                 << QStringLiteral("DayLogのファイルではありません");
        QTest::newRow("truncated")
            << QByteArray("DayLogGrid\t1\n367\t20\n0\t0\t2005\n") << QStringLiteral("壊れています");
        QTest::newRow("not a year") << QByteArray("DayLogGrid\t1\n1\t1\n0\t0\tabc\nend\n")
                                    << QStringLiteral("年度のデータではありません");
    }
    void aDocumentThatCannotBeOpenedIsReportedAndStartUpAsksForTheYear() {
        QFETCH(QByteArray, content);
        QFETCH(QString, reasonPart);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("broken.dys"));
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        TestEnvironment env(at(2006, 2, 10));
        env.app.store().set(5, StoreCol::Record, QStringLiteral("そのまま"));
        Startup s(env.app);
        s.Main(path);

        QCOMPARE(env.messages->shown.size(), 1);
        QVERIFY(env.messages->shown[0].text.contains(path));
        QVERIFY2(env.messages->shown[0].text.contains(reasonPart),
                 qPrintable(env.messages->shown[0].text));
        QCOMPARE(env.app.docPath(), QStringLiteral("nikki0"));
        QCOMPARE(env.app.store().text(5, StoreCol::Record), QStringLiteral("そのまま"));
        QVERIFY(s.yearDialog() && s.yearDialog()->isVisible());
        QVERIFY(!s.calendarWindow());
    }

    void theSplashShowsTheVersionAndClosesOnAKeyOrAClick() {
        for (bool byKey : {true, false}) {
            QPointer<SplashWindow> splash = new SplashWindow;
            QCOMPARE(splash->versionLabel()->text(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ 0.1.0"));
            QCOMPARE(splash->findChild<QLabel*>(QStringLiteral("lblProductName"))->text(),
                     QStringLiteral("DayLog"));
            splash->show();
            QVERIFY(QTest::qWaitForWindowExposed(splash));
            if (byKey)
                QTest::keyClick(splash, Qt::Key_A);
            else
                QTest::mouseClick(splash->frame(), Qt::LeftButton);
            QTRY_VERIFY(!splash); // deletes itself once closed
        }
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
