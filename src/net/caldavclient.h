// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One calendar server account (server address, user name, password) and what can be
// done on it: find the user's calendars, make one, list a calendar's changes since a
// sync token (or all its members with their ETags), read members, write and delete
// them. Every operation runs asynchronously and hands back a DavCall: `then` for the
// windows, `wait` for the command-line tool. Failures come as the result's `error`
// with a Japanese message; no answer of a server, however bad, ends the program.
//
//     CalDavClient client(QUrl("https://example.org/"), user, password);
//     DiscoveryResult found = client.discover().wait();
//     if (found.error) { show(found.error.message); return; }
//
// Hrefs are paths on the server in canonical form (see caldavtypes.h); member hrefs
// are made with memberHref.

#include "net/caldavtypes.h"
#include "net/davcall.h"

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QUrl>

#include <functional>

class DavTransport;
struct DavAnswer;
namespace DavXml {
struct Multistatus;
}

class CalDavClient : public QObject {
    Q_OBJECT

public:
    // `server` is the address the user typed: the server's root or any URL on it.
    CalDavClient(const QUrl& server, const QString& user, const QString& password,
                 QObject* parent = nullptr);
    // Operations still running finish as cancelled.
    ~CalDavClient() override;

    // Authorities trusted besides the system's, for a server with a certificate of its
    // own (a test server's). Certificate errors are never ignored.
    void setExtraCaCertificates(const QList<QSslCertificate>& certificates);
    // A request fails when nothing moved for this long (30 s unless set).
    void setTimeout(int milliseconds);
    // At most this many requests on the wire at once (6 unless set).
    void setMaxInFlight(int count);
    // Answers larger than this are refused as malformed (256 MiB unless set).
    void setMaxAnswerSize(qint64 bytes);

    QUrl server() const;
    // The href of `name` (any text, escaped here) in `collection`.
    static QString memberHref(const QString& collection, const QString& name);

    // The user's calendars, from the server's address: its well-known address (or the
    // address itself), the user's principal, the calendars' home, its calendars.
    DavCall<DiscoveryResult> discover();
    // A new calendar `name` in `home` for events, tasks and journal entries.
    DavCall<MakeCalendarResult> makeCalendar(const QString& home, const QString& name,
                                             const QString& displayName);
    // The members changed and removed in `collection` since `token` (empty: every
    // member), and the token for next time. A token the server no longer knows gives
    // the failure InvalidSyncToken: list the members with listEtags instead.
    DavCall<SyncCollectionResult> syncCollection(const QString& collection, const QString& token);
    // Every member of `collection` with its ETag, and the collection's own ETag and
    // name, all from one answer.
    DavCall<EtagListResult> listEtags(const QString& collection);
    // The ETags and iCalendar texts of `hrefs` in `collection` (any number: asked for
    // in batches of MultigetBatch).
    DavCall<MultigetResult> multiget(const QString& collection, const QStringList& hrefs);
    // Writes one resource; a resource changed on the server meanwhile (or one that is
    // there already, when creating) gives PreconditionFailed.
    DavCall<PutResult> put(const PutRequest& request);
    // Writes many, a few at once; `each` (if given) hears of every item as it is done,
    // with its index in `requests`.
    DavCall<PutBatchResult> putBatch(const QList<PutRequest>& requests,
                                     std::function<void(int, const PutResult&)> each = {});
    // Writes `calendar` (one VCALENDAR of many components) as the whole content of
    // `collection`, only while the collection has `etag` (none: refused here). Beyond
    // CalDAV: a server that does not take it answers with an error, mostly 405, and
    // nothing is written.
    DavCall<PutResult> putCollection(const QString& collection, const QByteArray& calendar,
                                     const QString& etag);
    // Deletes one resource, only while it has `etag` (when given).
    DavCall<DeleteResult> remove(const QString& href, const QString& etag);

    static constexpr int MultigetBatch = 200;
    static constexpr int MaxSyncRounds = 100;

private:
    // The multistatus answer (or why there is none) and the URL that gave it.
    using MultistatusDone =
        std::function<void(const CalDavError&, const DavXml::Multistatus&, const QUrl&)>;
    quint64 newOperation();
    template <class R> DavCall<R> newCall(quint64 operation);
    // `href` as a canonical path on the account's server.
    QString path(const QString& href) const;
    static void readMultistatus(const DavAnswer& answer, const MultistatusDone& done);
    void propfind(quint64 operation, const QString& path, const QByteArray& depth,
                  const QStringList& props, MultistatusDone done);
    void report(quint64 operation, const QString& path, const QByteArray& depth,
                const QByteArray& body, MultistatusDone done);
    void putOne(quint64 operation, const PutRequest& request,
                std::function<void(const PutResult&)> done);
    void discoverAt(quint64 operation, const QString& path, bool last,
                    DavCall<DiscoveryResult> call);
    void findHome(quint64 operation, const QString& principal, const QString& context,
                  DavCall<DiscoveryResult> call);
    void listCalendars(quint64 operation, DiscoveryResult found, DavCall<DiscoveryResult> call);
    void syncRound(quint64 operation, const QString& collection, const QString& token, int round,
                   SyncCollectionResult sofar, DavCall<SyncCollectionResult> call);

    DavTransport* m_transport;
};
