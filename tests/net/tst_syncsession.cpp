// SPDX-License-Identifier: GPL-3.0-or-later
// A document synced with a real calendar server (Radicale) while a scripted phone
// edits the server between the syncs: the first sync, a task ticked, an event added
// and one deleted on the phone, the same record edited on both sides, the server
// killed in the middle of a sync, a wrong password; a server that takes no whole
// calendar in one request.

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/sync/syncapply.h"
#include "core/sync/syncitems.h"
#include "core/sync/syncstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "net/caldavclient.h"
#include "net/syncsession.h"
#include "support/radicalecalendar.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

struct Desk {
    QTemporaryDir dir;
    QString path = dir.filePath(u"2005.dys"_s);
    YearStore store;
    SyncLink link;

    int row(int m, int d) const { return Dates::rowOfDate(QDate(m < 4 ? 2006 : 2005, m, d), 2005); }
    bool save() { return DocFiles::writeDocument(store, 20, path).ok(); }
    SyncReport sync(const QString& password, const SyncProgress& progress = {}) {
        CalDavClient client(QUrl(link.server), link.user, password);
        return Sync_Run(
            client, path, store, 2005, link,
            [this](const SyncPlan& plan, QString* why) {
                return Sync_Apply(store, plan, why) && save();
            },
            progress);
    }
};

// The scripted phone: tests/interop/phone.py with python3-caldav.
struct Phone {
    QString collection, user, password;
    QStringList run(const QStringList& args) const {
        QProcess p;
        p.start(u"/usr/bin/python3"_s,
                QStringList{QStringLiteral(DAYLOG_SOURCE_DIR "/tests/interop/phone.py"), collection,
                            user, password} +
                    args);
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            qWarning("phone %s: %s", qPrintable(args.join(u' ')),
                     p.readAllStandardError().constData());
        return QString::fromUtf8(p.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    }
    // Every entry on the server.
    QList<QJsonObject> entries() const {
        QList<QJsonObject> out;
        for (const QString& line : run({u"dump"_s}))
            out << QJsonDocument::fromJson(line.toUtf8()).object();
        return out;
    }
};

bool phoneAvailable() {
    QProcess p;
    p.start(u"/usr/bin/python3"_s, {u"-c"_s, u"import caldav"_s});
    return p.waitForFinished(30000) && p.exitCode() == 0;
}

} // namespace

class TestSyncSession : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theYearAndThePhoneKeepEveryEditOfEitherSide() {
        if (!RadicaleServer::available() || !phoneAvailable())
            QSKIP("needs radicale and python3-caldav");
        RadicaleServer server;
        QVERIFY2(server.start(), qPrintable(server.log()));
        QString why;
        const QString calendar = RadicaleCalendar::make(server, &why);
        QVERIFY2(!calendar.isEmpty(), qPrintable(why));

        Desk desk;
        Store_New(desk.store, 2005, QDate());
        desk.store.set(desk.row(5, 10), StoreCol::Record, u"保護者会の準備"_s);
        desk.store.set(desk.row(5, 11), StoreCol::ToDo,
                       ToDo_ItemString(false, u"10:00"_s, u"普通"_s, u"学年だより"_s) +
                           ToDo_ItemString(false, {}, u"重要"_s, u"出欠の集計"_s));
        desk.store.set(desk.row(5, 12), StoreCol::Events, u"遠足"_s);
        desk.store.set(desk.row(5, 12), StoreCol::SlotItem1 + 1, u"国語"_s);
        for (int d = 1; d <= 30; ++d)
            desk.store.set(desk.row(6, d), StoreCol::Record, u"6月%1日の記録"_s.arg(d));
        QVERIFY(desk.save());
        desk.link = {server.url().toString(), server.user(), calendar, true};
        const Phone phone{desk.link.collection, server.user(), server.password()};

        // The first sync puts every entry (into the calendar made for it, in one
        // request); a second one has nothing to do.
        SyncReport r = desk.sync(server.password());
        QVERIFY2(r.ok, qPrintable(r.error));
        const auto local = Sync_LocalResources(desk.store, 2005);
        QCOMPARE(r.sent, int(local.size()));
        QList<QJsonObject> entries = phone.entries();
        QCOMPARE(entries.size(), qsizetype(local.size()));
        QSet<QString> uids;
        for (const QJsonObject& e : entries)
            uids.insert(e.value(u"uid"_s).toString());
        QCOMPARE(uids.size(), qsizetype(local.size()));
        QCOMPARE(phone.run({u"name"_s}), QStringList{u"2005年度"_s});
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0 && r.deleted == 0, qPrintable(r.text()));

        // On the phone: a task ticked, an event added, an event deleted.
        phone.run({u"tick"_s, u"学年だより"_s});
        phone.run({u"add-event"_s, u"2005-05-13"_s, u"臨時職員会議"_s});
        phone.run({u"delete"_s, u"遠足"_s});
        r = desk.sync(server.password());
        QVERIFY2(r.ok, qPrintable(r.error));
        const std::vector<ToDoItem> items =
            ToDo_Parse(desk.store.text(desk.row(5, 11), StoreCol::ToDo));
        QCOMPARE(items.size(), size_t(2));
        QCOMPARE(items[0].text, u"学年だより"_s);
        QVERIFY(items[0].done());
        QVERIFY(!items[1].done());
        QCOMPARE(desk.store.text(desk.row(5, 13), StoreCol::Events), u"臨時職員会議"_s);
        QVERIFY(desk.store.text(desk.row(5, 12), StoreCol::Events).isEmpty());
        QCOMPARE(desk.store.text(desk.row(5, 12), StoreCol::SlotItem1 + 1), u"国語"_s);
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0, qPrintable(r.text()));

        // The same record edited on both sides: both kept, on both sides.
        desk.store.set(desk.row(5, 10), StoreCol::Record, u"保護者会の準備。資料を印刷。"_s);
        QVERIFY(desk.save());
        phone.run({u"edit"_s, u"保護者会の準備"_s, u"保護者会は来週に延期"_s});
        r = desk.sync(server.password());
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.conflicts, std::vector<QDate>{QDate(2005, 5, 10)});
        const QString record = desk.store.text(desk.row(5, 10), StoreCol::Record);
        QVERIFY2(record.contains(u"資料を印刷"_s) && record.contains(u"来週に延期"_s) &&
                     record.contains(u"(競合)"_s),
                 qPrintable(record));
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0 && r.conflicts.empty(),
                 qPrintable(r.text()));
        bool onServer = false;
        for (const QJsonObject& e : phone.entries())
            onServer |= e[u"kind"_s] == u"VJOURNAL"_s &&
                        e[u"description"_s].toString().contains(u"資料を印刷"_s) &&
                        e[u"description"_s].toString().contains(u"来週に延期"_s);
        QVERIFY(onServer);

        // A wrong password: a clear message, nothing changed on either side.
        desk.store.set(desk.row(6, 1), StoreCol::Record, u"六月の記録"_s);
        QVERIFY(desk.save());
        auto bytes = [&](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        const QByteArray document = bytes(desk.path), state = bytes(desk.path + u".sync"_s);
        const qsizetype onServerBefore = phone.entries().size();
        r = desk.sync(u"wrong"_s);
        QVERIFY(!r.ok);
        QVERIFY2(r.error.contains(u"パスワード"_s) && r.passwordRefused, qPrintable(r.error));
        QCOMPARE(phone.entries().size(), onServerBefore);
        QCOMPARE(bytes(desk.path), document);
        QCOMPARE(bytes(desk.path + u".sync"_s), state);

        // Many changes, the server killed in the middle of the sync, then a sync again:
        // both sides equal, nothing twice.
        for (int d = 1; d <= 30; ++d)
            for (int m : {9, 10, 11})
                desk.store.set(desk.row(m, d), StoreCol::ToDo,
                               ToDo_ItemString(false, {}, u"普通"_s, u"九月の用事 %1"_s.arg(d)) +
                                   ToDo_ItemString(false, {}, u"普通"_s, u"提出物 %1"_s.arg(d)));
        QVERIFY(desk.save());
        // Cut off while the entries are written (a sync that ended first is no failure
        // either: the checks below hold all the same).
        QTimer::singleShot(300, [&server] { server.kill(); });
        r = desk.sync(server.password());
        if (r.ok)
            qWarning("the sync ended before the server was killed");
        QVERIFY2(server.restart(), qPrintable(server.log()));
        r = desk.sync(server.password());
        QVERIFY2(r.ok, qPrintable(r.error));
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0, qPrintable(r.text()));
        // Every entry of the document on the server once, the phone's own one included
        // (in the document as the phone's item, not as an entry of its own).
        SyncState synced;
        QString error;
        QVERIFY2(Sync_ReadState(desk.path, desk.store, 2005, synced, &error), qPrintable(error));
        const auto now = Sync_LocalResources(desk.store, 2005, &synced);
        entries = phone.entries();
        QCOMPARE(entries.size(), qsizetype(now.size()));
        uids.clear();
        for (const QJsonObject& e : entries)
            uids.insert(e[u"uid"_s].toString());
        QCOMPARE(uids.size(), entries.size());
        for (const auto& [uid, resource] : now)
            QVERIFY2(uids.contains(uid), qPrintable(uid));
        QCOMPARE(ToDo_Parse(desk.store.text(desk.row(9, 30), StoreCol::ToDo)).size(), size_t(2));
    }

    // A full year, about 1,300 entries, into the calendar made for it: every entry once,
    // as the document means it, and the next sync has nothing to do.
    void aFullYearGoesUpOnce() {
        if (!RadicaleServer::available() || !phoneAvailable())
            QSKIP("needs radicale and python3-caldav");
        RadicaleServer server;
        QVERIFY2(server.start(), qPrintable(server.log()));
        QString why;
        const QString calendar = RadicaleCalendar::make(server, &why);
        QVERIFY2(!calendar.isEmpty(), qPrintable(why));
        Desk desk;
        Store_New(desk.store, 2005, QDate());
        // As a teacher keeps a year: events every fourth day, records on two days in
        // three, four lessons every other day, tasks every fifth day.
        for (int r = 1; r <= YearStore::DayRows; ++r) {
            if (r % 4 == 0)
                desk.store.set(r, StoreCol::Events, u"行事 %1\n下校 %1"_s.arg(r));
            if (r % 3 != 0)
                desk.store.set(r, StoreCol::Record, u"記録 %1、「引用」; a,b\\c"_s.arg(r));
            for (int k = 0; k < 4 && r % 2 == 0; ++k) {
                desk.store.set(r, StoreCol::SlotItem1 + k, u"授業 %1-%2"_s.arg(r).arg(k));
                desk.store.set(r, StoreCol::SlotText1 + k, u"内容\n%1"_s.arg(r));
            }
            if (r % 5 == 0)
                desk.store.set(
                    r, StoreCol::ToDo,
                    ToDo_ItemString(r % 10 == 0, u"10:00"_s, u"普通"_s, u"用事 %1"_s.arg(r)) +
                        ToDo_ItemString(false, {}, u"重要"_s, u"提出 %1"_s.arg(r)));
        }
        QVERIFY(desk.save());
        desk.link = {server.url().toString(), server.user(), calendar, true};
        SyncReport r = desk.sync(server.password());
        QVERIFY2(r.ok, qPrintable(r.error));
        const SyncResources local = Sync_LocalResources(desk.store, 2005);
        QVERIFY(local.size() > 1200);
        QCOMPARE(r.sent, int(local.size()));
        // What the phone reads is what the document holds, entry by entry.
        const Phone phone{desk.link.collection, server.user(), server.password()};
        const QList<QJsonObject> entries = phone.entries();
        QCOMPARE(entries.size(), qsizetype(local.size()));
        QSet<QString> uids;
        for (const QJsonObject& e : entries) {
            const QString uid = e.value(u"uid"_s).toString();
            uids.insert(uid);
            const auto it = local.find(uid);
            QVERIFY2(it != local.end(), qPrintable(uid));
            const ICalendarEntry& entry = it->second.entry;
            QCOMPARE(e.value(u"done"_s).toBool(), entry.done);
            QCOMPARE(e.value(u"date"_s).toString(), entry.day.toString(Qt::ISODate));
        }
        QCOMPARE(uids.size(), qsizetype(local.size()));
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0, qPrintable(r.text()));
    }

    // A calendar made for the year on a server that does not take a whole calendar in
    // one request (most answer 405): the entries go one by one, each once.
    void aServerRefusingTheWholeCalendarGetsEveryEntry() {
        if (!RadicaleServer::available() || !phoneAvailable())
            QSKIP("needs radicale and python3-caldav");
        RadicaleServer::Options options;
        options.wholeCollectionPut = false;
        RadicaleServer server(options);
        QVERIFY2(server.start(), qPrintable(server.log()));
        QString why;
        const QString calendar = RadicaleCalendar::make(server, &why);
        QVERIFY2(!calendar.isEmpty(), qPrintable(why));
        Desk desk;
        Store_New(desk.store, 2005, QDate());
        for (int d = 1; d <= 30; ++d)
            desk.store.set(desk.row(7, d), StoreCol::ToDo,
                           ToDo_ItemString(false, {}, u"普通"_s, u"七月の用事 %1"_s.arg(d)));
        QVERIFY(desk.save());
        desk.link = {server.url().toString(), server.user(), calendar, true};
        QList<std::pair<int, int>> heard;
        SyncReport r = desk.sync(server.password(), [&](int done, int total) {
            heard.append({done, total});
        });
        QVERIFY2(r.ok, qPrintable(r.error));
        QCOMPARE(r.sent, 30);
        // Told from nothing to all, one answer at a time.
        QCOMPARE(heard.size(), 31);
        for (int i = 0; i < heard.size(); ++i)
            QCOMPARE(heard[i], std::pair(i, 30));
        const Phone phone{desk.link.collection, server.user(), server.password()};
        QSet<QString> uids;
        for (const QJsonObject& e : phone.entries())
            uids.insert(e.value(u"uid"_s).toString());
        QCOMPARE(uids.size(), 30);
        QCOMPARE(phone.run({u"name"_s}), QStringList{u"2005年度"_s});
        r = desk.sync(server.password());
        QVERIFY2(r.ok && r.sent == 0 && r.received == 0, qPrintable(r.text()));
    }
};

QTEST_GUILESS_MAIN(TestSyncSession)
#include "tst_syncsession.moc"
