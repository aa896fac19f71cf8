// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/viewfixture.h"

#include "gui/frame/importcommand.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestImportCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // インポート(iCalendar) of the calendar and of the annual window: an .ics file
    // chosen in the dialog is added to the document in front, which is then changed;
    // the summary is shown; a second import adds nothing; a file that is no
    // iCalendar is refused with its name and changes nothing.
    void bothFileMenusAddAnICalendarFileToTheDocument() {
        QTemporaryDir dir;
        const QString ics = dir.filePath(u"school.ics"_s), csv = dir.filePath(u"school.csv"_s);
        for (const auto& [path, bytes] :
             {std::pair{ics, QByteArray("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VEVENT\r\n"
                                        "UID:a@test\r\nDTSTART;VALUE=DATE:20050601\r\n"
                                        "SUMMARY:運動会\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n")},
              std::pair{csv, QByteArray("2005,曜日\r\n")}}) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        }
        ViewFixture f;
        const int june1 = f.row(QDate(2005, 6, 1));
        f.env.app.store().set(june1, StoreCol::Events, u"衣替え"_s);
        f.env.app.setDocChanged(false);
        QAction* item = f.calendar->action(u"mnuImportIcs"_s);
        QVERIFY(item && item->isEnabled());
        QCOMPARE(item->text(), u"インポート(iCalendar)(&I)..."_s);

        f.env.files->answers = {ics};
        item->trigger();
        QCOMPARE(f.env.files->asked.size(), 1);
        QVERIFY(!f.env.files->asked[0].save);
        QCOMPARE(f.env.files->asked[0].filter, u"iCalendar (*.ics)|*.ics"_s);
        QCOMPARE(f.env.app.store().text(june1, StoreCol::Events), u"衣替え\n運動会"_s);
        QVERIFY(f.env.app.docChanged());
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].icon, MessageBox::Information);
        QVERIFY(f.env.messages->shown[0].text.contains(u"行事 1件"_s));

        auto* main = f.open<MainWindow>(View::Main, QDate(2005, 5, 10));
        QAction* mainItem = main->action(u"mnuFileImportIcs"_s);
        QVERIFY(mainItem && main->activeAnnual());
        f.env.messages->shown.clear();
        f.env.files->answers = {ics};
        mainItem->trigger();
        QCOMPARE(f.env.app.store().text(june1, StoreCol::Events), u"衣替え\n運動会"_s);
        QCOMPARE(f.env.messages->shown.size(), 1);
        QVERIFY(f.env.messages->shown[0].text.contains(u"すでに入っていたもの: 1件"_s));

        f.env.messages->shown.clear();
        f.env.files->answers = {csv};
        mainItem->trigger();
        QCOMPARE(f.env.messages->shown.size(), 1);
        QCOMPARE(f.env.messages->shown[0].icon, MessageBox::Critical);
        QVERIFY(f.env.messages->shown[0].text.contains(csv));
        QVERIFY(f.env.messages->shown[0].text.contains(u"BEGIN:VCALENDAR で始まっていません"_s));
        QCOMPARE(f.env.app.store().text(june1, StoreCol::Events), u"衣替え\n運動会"_s);
    }
};

QTEST_MAIN(TestImportCommand)
#include "tst_importcommand.moc"
