// SPDX-License-Identifier: GPL-3.0-or-later
// 同期の設定 and 同期 as the calendar's menu runs them, against a real calendar server
// (Radicale): linking through the dialog with a wrong password first, the password
// asked again, the first sync, the sync after each save, and the automatic syncs'
// failures while the server is away said once, not at every save.

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/sync/syncitems.h"
#include "core/sync/syncstate.h"
#include "core/time/dates.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/synccommand.h"
#include "gui/frame/syncdialog.h"
#include "net/caldavclient.h"
#include "net/secretstore.h"
#include "support/radicale.h"
#include "support/testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

using namespace Qt::StringLiterals;

namespace {

// A secret store that keeps nothing (the user did not tick 保管する).
class NoSecrets : public SecretStore::Backend {
public:
    SecretStore::Result read(const QString&) override {
        SecretStore::Result none;
        none.code = SecretStore::Result::NotFound;
        return none;
    }
    SecretStore::Result write(const QString&, const QString&) override { return {}; }
    SecretStore::Result remove(const QString&) override { return {}; }
};

} // namespace

class TestSyncCommand : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void linkedThroughTheDialogAndSyncedAfterEachSave() {
        if (!RadicaleServer::available())
            QSKIP("needs radicale");
        RadicaleServer server;
        QVERIFY2(server.start(), qPrintable(server.log()));
        SecretStore::install(std::make_unique<NoSecrets>());
        TestEnvironment env(at(2005, 5, 10, 9, 0));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"2005.dys"_s);
        env.app.doc().setPath(path);
        setCurrentDateToToday(env.app, 2005);
        Store_New(env.app, 2005);
        const int day = Dates::rowOfDate(QDate(2005, 5, 10), 2005);
        env.app.store().set(day, StoreCol::Record, u"保護者会の準備"_s);
        env.app.setDocChanged(true);
        QVERIFY(Store_SaveDoc(nullptr, env.app));
        Document& doc = env.app.doc();

        // The dialog as a user fills it: server, user, a password, カレンダーを探す, the new
        // calendar, both automatic syncs.
        const auto fill = [&](const QString& password, bool find) {
            return [&, password, find](QDialog& d) {
                auto& dialog = static_cast<SyncDialog&>(d);
                dialog.serverBox()->setText(server.url().toString());
                dialog.userBox()->setText(server.user());
                dialog.passwordBox()->setText(password);
                if (find) {
                    dialog.findCalendars();
                    QCOMPARE(dialog.calendars()->currentText(),
                             u"新しいカレンダー「2005年度」を作る"_s);
                    dialog.afterSave()->setChecked(true);
                    dialog.everyFewMinutes()->setChecked(true);
                }
                dialog.accept();
            };
        };
        // The calendar made for the year; no sync yet.
        env.dialogs->scripts = {fill(server.password(), true)};
        env.messages->answers = {MessageBox::No};
        QVERIFY(SyncCommand::settings(nullptr, env.app, doc));
        SyncState state;
        QString error;
        QVERIFY2(Sync_ReadState(path, doc.store(), 2005, state, &error), qPrintable(error));
        QVERIFY(state.link.made);
        QVERIFY(SyncCommand::syncsAfterSave(doc) && SyncCommand::syncsPeriodically(doc));

        // The same calendar with a wrong password: refused, said, and asked again.
        env.dialogs->scripts = {[&](QDialog& d) {
            auto& dialog = static_cast<SyncDialog&>(d);
            QCOMPARE(dialog.serverBox()->text(), server.url().toString());
            dialog.passwordBox()->setText(u"wrong"_s);
            dialog.accept();
        }};
        env.messages->answers = {MessageBox::Yes, MessageBox::Ok};
        QVERIFY(SyncCommand::settings(nullptr, env.app, doc));
        QCOMPARE(env.messages->shown.size(), 3);
        QVERIFY2(env.messages->shown[2].text.contains(u"パスワード"_s),
                 qPrintable(env.messages->shown[2].text));
        env.dialogs->scripts = {fill(server.password(), false)};
        env.messages->answers = {MessageBox::Yes, MessageBox::Ok};
        QVERIFY(!SyncCommand::sync(nullptr, env.app, doc)); // the settings, then a sync
        QCOMPARE(env.dialogs->asked.size(), 3);
        QCOMPARE(env.messages->shown.size(), 5);
        QVERIFY2(env.messages->shown[4].text.contains(u"を同期しました"_s),
                 qPrintable(env.messages->shown[4].text));
        QVERIFY(Sync_ReadState(path, doc.store(), 2005, state, &error));
        QVERIFY(state.link.made); // the same calendar stays the one made here

        CalDavClient client(server.url(), server.user(), server.password());
        const auto onServer = [&] {
            return client.listEtags(state.link.collection).wait().etags.size();
        };
        const qsizetype synced = onServer();
        QCOMPARE(synced, qsizetype(Sync_LocalResources(doc.store(), 2005).size()));

        // Each save syncs by itself, saying nothing when all goes well.
        SyncCommand::AutoSync automatic(env.app, nullptr);
        const auto typeAndSave = [&](const QString& item) {
            env.app.store().set(day, StoreCol::ToDo,
                                env.app.store().text(day, StoreCol::ToDo) +
                                    ToDo_ItemString(false, {}, {}, item));
            env.app.setDocChanged(true);
            QVERIFY(Store_SaveDoc(nullptr, env.app));
        };
        typeAndSave(u"学年だより"_s);
        QTRY_COMPARE_WITH_TIMEOUT(onServer(), synced + 1, 20000);
        QCOMPARE(env.messages->shown.size(), 5);

        // The server away: the first failure is said, the next ones not, until a sync
        // goes through again.
        server.stop();
        typeAndSave(u"出欠の集計"_s);
        QTRY_COMPARE_WITH_TIMEOUT(env.messages->shown.size(), 6, 20000);
        QVERIFY2(env.messages->shown[5].text.contains(u"同期できませんでした"_s),
                 qPrintable(env.messages->shown[5].text));
        typeAndSave(u"名簿"_s);
        QTest::qWait(1500);
        QCOMPARE(env.messages->shown.size(), 6);
        QVERIFY2(server.start(), qPrintable(server.log()));
        typeAndSave(u"面談"_s);
        QTRY_COMPARE_WITH_TIMEOUT(onServer(), synced + 4, 20000);
        QCOMPARE(env.messages->shown.size(), 6);
        server.stop();
        typeAndSave(u"会議"_s);
        QTRY_COMPARE_WITH_TIMEOUT(env.messages->shown.size(), 7, 20000);
        SecretStore::install(nullptr);
    }
};

QTEST_MAIN(TestSyncCommand)
#include "tst_synccommand.moc"
