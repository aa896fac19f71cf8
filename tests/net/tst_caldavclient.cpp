// SPDX-License-Identifier: GPL-3.0-or-later
// The calendar server client against a real server (Radicale on 127.0.0.1): a year's
// worth of items written, listed, changed, read back and refused as a server refuses
// them, the server killed in the middle of a batch and brought back, and HTTPS with a
// certificate the system does not trust.
#include "net/caldavclient.h"
#include "support/radicale.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = CalDavError::Kind;

class TestCalDavClient : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void yearOnTheServer();
    void serverKilledInTheMiddleOfABatch();
    void httpsTrustsOnlyWhatItIsTold();

private:
    RadicaleServer server;
    QString calendar; // made by yearOnTheServer
    QString token;    // its last sync token
};

namespace {

const char* const Kinds[] = {"VEVENT", "VTODO", "VJOURNAL"};

// An event, task or journal entry of the year 2005 (by `i`), in its own calendar
// object resource named after its UID.
PutRequest item(const QString& calendar, const QString& uid, int i, const QString& summary,
                const QString& etag = {}) {
    const QByteArray kind = Kinds[i % 3];
    const QByteArray day = QDate(2005, 4, 1).addDays(i % 365).toString(u"yyyyMMdd").toLatin1();
    const QByteArray when = kind == "VTODO" ? "DUE;VALUE=DATE:" : "DTSTART;VALUE=DATE:";
    const QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//DayLog//test//JA\r\n"
                           "BEGIN:" +
                           kind + "\r\nUID:" + uid.toUtf8() + "\r\nDTSTAMP:20050401T000000Z\r\n" +
                           when + day + "\r\nSUMMARY:" + summary.toUtf8() + "\r\nEND:" + kind +
                           "\r\nEND:VCALENDAR\r\n";
    return {CalDavClient::memberHref(calendar, uid + u".ics"_s), ics, etag};
}

QString uidOf(int i) {
    return u"item-%1@daylog.example"_s.arg(i);
}

QHash<QString, QString> etagsOf(const QList<PutResult>& results) {
    QHash<QString, QString> etags;
    for (const PutResult& r : results)
        etags.insert(r.href, r.etag);
    return etags;
}

} // namespace

void TestCalDavClient::initTestCase() {
    if (!RadicaleServer::available())
        QSKIP("Radicale is not installed (/usr/bin/python3 -m radicale)");
    QVERIFY2(server.start(), qPrintable(server.log()));
}

void TestCalDavClient::yearOnTheServer() {
    CalDavClient client(server.url(), server.user(), server.password());

    // From the bare address: the user's principal and home, no calendars yet; then two
    // calendars, one with a name that must be escaped, found by a second discovery.
    DiscoveryResult found = client.discover().wait();
    QVERIFY2(!found.error, qPrintable(found.error.message));
    QCOMPARE(found.principal, u"/teacher/"_s);
    QCOMPARE(found.home, u"/teacher/"_s);
    QVERIFY(found.calendars.isEmpty());
    const MakeCalendarResult made =
        client.makeCalendar(found.home, u"daylog-2005"_s, u"DayLog 2005年度"_s).wait();
    QVERIFY2(!made.error, qPrintable(made.error.message));
    const MakeCalendarResult odd =
        client.makeCalendar(found.home, u"学校 行事@2005"_s, u"行事"_s).wait();
    QVERIFY2(!odd.error, qPrintable(odd.error.message));
    QCOMPARE(client.makeCalendar(found.home, u"daylog-2005"_s, u"二つ目"_s).wait().error.kind,
             Kind::Http);
    found = client.discover().wait();
    QVERIFY2(!found.error, qPrintable(found.error.message));
    QCOMPARE(found.calendars.size(), 2);
    QHash<QString, CalendarInfo> byHref;
    for (const CalendarInfo& c : found.calendars)
        byHref.insert(c.href, c);
    QVERIFY2(byHref.contains(made.href) && byHref.contains(odd.href),
             qPrintable(byHref.keys().join(u' ')));
    QCOMPARE(byHref[made.href].displayName, u"DayLog 2005年度"_s);
    QCOMPARE(byHref[made.href].components, (QStringList{u"VEVENT"_s, u"VTODO"_s, u"VJOURNAL"_s}));
    QVERIFY(!byHref[made.href].syncToken.isEmpty());
    calendar = made.href;

    // 300 items in one batch; every one reported, in the batch's order.
    QList<PutRequest> items;
    for (int i = 0; i < 300; ++i)
        items << item(calendar, uidOf(i), i, u"予定 %1 「二学期」"_s.arg(i));
    int reported = 0;
    QElapsedTimer clock;
    clock.start();
    const PutBatchResult put =
        client.putBatch(items, [&](int, const PutResult&) { ++reported; }).wait();
    const qint64 putMs = clock.elapsed();
    QVERIFY2(!put.error, qPrintable(put.error.message));
    QCOMPARE(reported, 300);
    for (int i = 0; i < 300; ++i) {
        QCOMPARE(put.results[i].href, items[i].href);
        QVERIFY(!put.results[i].etag.isEmpty());
    }
    const QHash<QString, QString> etags = etagsOf(put.results);

    // The first listing of changes has them all, with the ETags the listing of members
    // and the writes gave.
    clock.restart();
    SyncCollectionResult sync = client.syncCollection(calendar, {}).wait();
    const qint64 syncMs = clock.elapsed();
    QVERIFY2(!sync.error, qPrintable(sync.error.message));
    qInfo("300 items written in %lld ms, listed by sync token in %lld ms", putMs, syncMs);
    QCOMPARE(sync.changed, etags);
    QVERIFY(sync.removed.isEmpty());
    QVERIFY(!sync.syncToken.isEmpty());
    const EtagListResult listed = client.listEtags(calendar).wait();
    QVERIFY2(!listed.error, qPrintable(listed.error.message));
    QCOMPARE(listed.etags, etags);

    // One changed, one deleted, one added: the next listing has exactly those.
    const PutResult changed =
        client.put(item(calendar, uidOf(0), 0, u"変更した予定"_s, etags[items[0].href])).wait();
    QVERIFY2(!changed.error, qPrintable(changed.error.message));
    QVERIFY(changed.etag != etags[items[0].href]);
    const DeleteResult deleted = client.remove(items[1].href, etags[items[1].href]).wait();
    QVERIFY2(!deleted.error && !deleted.wasGone, qPrintable(deleted.error.message));
    const PutResult added = client.put(item(calendar, uidOf(300), 300, u"追加"_s)).wait();
    QVERIFY2(!added.error, qPrintable(added.error.message));
    const SyncCollectionResult next = client.syncCollection(calendar, sync.syncToken).wait();
    QVERIFY2(!next.error, qPrintable(next.error.message));
    QCOMPARE(next.changed,
             (QHash<QString, QString>{{changed.href, changed.etag}, {added.href, added.etag}}));
    QCOMPARE(next.removed, QStringList{items[1].href});
    QVERIFY(next.syncToken != sync.syncToken);
    QCOMPARE(client.syncCollection(calendar, next.syncToken).wait().changed.size(), 0);
    token = next.syncToken;

    // Read back: every member in two batches, with the deleted one missing.
    QStringList hrefs = listed.etags.keys();
    hrefs << added.href;
    const MultigetResult got = client.multiget(calendar, hrefs).wait();
    QVERIFY2(!got.error, qPrintable(got.error.message));
    QCOMPARE(got.objects.size(), 300);
    QCOMPARE(got.missing, QStringList{items[1].href});
    for (int i = 2; i < 300; ++i) {
        const CalendarObject& o = got.objects[items[i].href];
        QCOMPARE(o.etag, etags[items[i].href]);
        QVERIFY(o.data.startsWith("BEGIN:VCALENDAR\r\n"));
        QVERIFY(o.data.contains("UID:" + uidOf(i).toUtf8()));
        QVERIFY(o.data.contains(u"SUMMARY:予定 %1 「二学期」"_s.arg(i).toUtf8()));
    }
    QVERIFY(got.objects[changed.href].data.contains(u"変更した予定"_s.toUtf8()));
    QCOMPARE(got.objects[added.href].etag, added.etag);

    // What the server refuses: a stale ETag, a second creation, a stale deletion, a
    // sync token it never gave, a wrong password.
    const QString stale = etags[items[0].href];
    QCOMPARE(client.put(item(calendar, uidOf(0), 0, u"古い"_s, stale)).wait().error.kind,
             Kind::PreconditionFailed);
    QCOMPARE(client.put(item(calendar, uidOf(2), 2, u"二重"_s)).wait().error.kind,
             Kind::PreconditionFailed);
    QCOMPARE(client.remove(items[0].href, stale).wait().error.kind, Kind::PreconditionFailed);
    QVERIFY(client.remove(items[1].href, {}).wait().wasGone);
    const SyncCollectionResult invalid =
        client.syncCollection(calendar, u"http://radicale.org/ns/sync/0000"_s).wait();
    QCOMPARE(invalid.error.kind, Kind::InvalidSyncToken);
    QVERIFY(!invalid.error.message.isEmpty());
    CalDavClient wrong(server.url(), server.user(), u"wrong"_s);
    for (const CalDavError& e :
         {wrong.discover().wait().error, wrong.syncCollection(calendar, token).wait().error,
          wrong.put(item(calendar, uidOf(400), 400, u"x"_s)).wait().error}) {
        QCOMPARE(e.kind, Kind::Auth);
        QCOMPARE(e.message, u"ユーザー名かパスワードが違います"_s);
    }
}

void TestCalDavClient::serverKilledInTheMiddleOfABatch() {
    if (calendar.isEmpty())
        QSKIP("needs the calendar of yearOnTheServer");
    CalDavClient client(server.url(), server.user(), server.password());
    client.setTimeout(5000);
    QList<PutRequest> items;
    for (int i = 1000; i < 1300; ++i)
        items << item(calendar, uidOf(i), i, u"中断 %1"_s.arg(i));
    int done = 0;
    const PutBatchResult put = client
                                   .putBatch(items,
                                             [&](int, const PutResult&) {
                                                 if (++done == 40)
                                                     server.kill();
                                             })
                                   .wait();
    QVERIFY(put.failed() > 0);
    QCOMPARE(put.error.kind, Kind::Network);
    QSet<QString> written;
    for (const PutResult& r : put.results) {
        if (r.error) {
            QCOMPARE(r.error.kind, Kind::Network);
            QVERIFY(r.error.message.startsWith(u"サーバー"_s));
        } else {
            written.insert(r.href);
        }
    }
    QVERIFY(written.size() >= 40);
    // Nothing answers while it is down.
    QCOMPARE(client.syncCollection(calendar, token).wait().error.kind, Kind::Network);

    // Back on the same storage: the changes since the last token hold every item
    // reported written (and maybe some that were written as it died); the rest are
    // written again, the ones already there refused as existing.
    QVERIFY2(server.start(), qPrintable(server.log()));
    const SyncCollectionResult sync = client.syncCollection(calendar, token).wait();
    QVERIFY2(!sync.error, qPrintable(sync.error.message));
    QVERIFY(sync.removed.isEmpty());
    for (const QString& href : std::as_const(written))
        QVERIFY2(sync.changed.contains(href), qPrintable(href));
    QList<PutRequest> again;
    for (int i = 0; i < items.size(); ++i)
        if (put.results[i].error)
            again << items[i];
    const PutBatchResult retried = client.putBatch(again).wait();
    for (const PutResult& r : retried.results)
        QVERIFY2(!r.error || r.error.kind == Kind::PreconditionFailed, qPrintable(r.error.message));
    const EtagListResult listed = client.listEtags(calendar).wait();
    QVERIFY2(!listed.error, qPrintable(listed.error.message));
    QCOMPARE(listed.etags.size(), 300 + 300);
    for (const PutRequest& r : std::as_const(items))
        QVERIFY(listed.etags.contains(r.href));
}

void TestCalDavClient::httpsTrustsOnlyWhatItIsTold() {
    if (!RadicaleServer::available(true))
        QSKIP("openssl is not installed");
    RadicaleServer https({u"teacher"_s, u"secret"_s, true});
    QVERIFY2(https.start(), qPrintable(https.log()));

    CalDavClient untrusting(https.url(), https.user(), https.password());
    const CalDavError refused = untrusting.discover().wait().error;
    QCOMPARE(refused.kind, Kind::Tls);
    QVERIFY2(refused.message.startsWith(u"証明書を確認できませんでした："_s),
             qPrintable(refused.message));
    QVERIFY2(refused.message.contains(u"self signed"_s, Qt::CaseInsensitive) ||
                 refused.message.contains(u"self-signed"_s, Qt::CaseInsensitive),
             qPrintable(refused.message));

    CalDavClient trusting(https.url(), https.user(), https.password());
    trusting.setExtraCaCertificates(https.certificate());
    const DiscoveryResult found = trusting.discover().wait();
    QVERIFY2(!found.error, qPrintable(found.error.message));
    QCOMPARE(found.home, u"/teacher/"_s);
}

QTEST_GUILESS_MAIN(TestCalDavClient)
#include "tst_caldavclient.moc"
