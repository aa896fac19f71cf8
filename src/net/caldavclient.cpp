// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/caldavclient.h"

#include "net/caldavxml.h"
#include "net/davtransport.h"

#include <QPointer>
#include <QSet>

#include <memory>

using namespace DavXml;

namespace {

const QByteArray XmlType = "application/xml; charset=utf-8";
const QByteArray CalendarType = "text/calendar; charset=utf-8";

// What an HTTP answer that is not a success means for the user.
CalDavError answerError(const DavAnswer& a) {
    if (a.error)
        return a.error;
    if (a.status >= 200 && a.status < 300)
        return {};
    if (a.status == 401)
        return CalDavError::auth();
    if (a.status == 412)
        return CalDavError::precondition(a.status);
    if ((a.status == 403 || a.status == 409) &&
        errorConditions(a.body).contains(clark(NsDav, u"valid-sync-token")))
        return CalDavError::invalidSyncToken(a.status);
    return CalDavError::http(a.status, a.reason);
}

QString withoutSlash(QString path) {
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

bool sameCollection(const QString& a, const QString& b) {
    return withoutSlash(a) == withoutSlash(b);
}

QByteArray quotedEtag(const QString& etag) {
    const QString e = etag.trimmed();
    if (e.startsWith(u'"') || e.startsWith(u"W/"))
        return e.toUtf8();
    return '"' + e.toUtf8() + '"';
}

// iCalendar text read out of XML (whose reading turns CRLF into LF) with CRLF lines.
QByteArray calendarText(const QString& text) {
    QByteArray data = text.trimmed().toUtf8();
    data.replace("\r\n", "\n");
    data.replace('\n', "\r\n");
    if (!data.isEmpty())
        data += "\r\n";
    return data;
}

} // namespace

CalDavClient::CalDavClient(const QUrl& server, const QString& user, const QString& password,
                           QObject* parent)
    : QObject(parent), m_transport(new DavTransport(server, user, password, this)) {}

CalDavClient::~CalDavClient() {
    m_transport->cancelAll();
}

void CalDavClient::setExtraCaCertificates(const QList<QSslCertificate>& certificates) {
    m_transport->setExtraCaCertificates(certificates);
}

void CalDavClient::setTimeout(int milliseconds) {
    m_transport->setTimeout(milliseconds);
}
void CalDavClient::setMaxInFlight(int count) {
    m_transport->setMaxInFlight(count);
}
void CalDavClient::setMaxAnswerSize(qint64 bytes) {
    m_transport->setMaxAnswerSize(bytes);
}
QUrl CalDavClient::server() const {
    return m_transport->server();
}

QString CalDavClient::memberHref(const QString& collection, const QString& name) {
    return memberPath(collection, name);
}

template <class R> DavCall<R> CalDavClient::newCall(quint64 operation) {
    DavCall<R> call;
    call.setCancel([transport = QPointer<DavTransport>(m_transport), operation] {
        if (transport)
            transport->cancel(operation);
    });
    return call;
}

quint64 CalDavClient::newOperation() {
    return m_transport->newOperation();
}

QString CalDavClient::path(const QString& href) const {
    return canonicalPath(m_transport->server(), href);
}

void CalDavClient::propfind(quint64 operation, const QString& path, const QByteArray& depth,
                            const QStringList& props, MultistatusDone done) {
    DavRequest r{"PROPFIND", path, DavXml::propfind(props), depth, {{"Content-Type", XmlType}}};
    m_transport->send(operation, std::move(r),
                      [done](const DavAnswer& a) { readMultistatus(a, done); });
}

void CalDavClient::report(quint64 operation, const QString& path, const QByteArray& depth,
                          const QByteArray& body, MultistatusDone done) {
    DavRequest r{"REPORT", path, body, depth, {{"Content-Type", XmlType}}};
    m_transport->send(operation, std::move(r),
                      [done](const DavAnswer& a) { readMultistatus(a, done); });
}

void CalDavClient::readMultistatus(const DavAnswer& a, const MultistatusDone& done) {
    if (const CalDavError e = answerError(a)) {
        done(e, {}, a.url);
        return;
    }
    QString why;
    const auto ms = parseMultistatus(a.body, a.url, &why);
    if (!ms)
        done(CalDavError::malformed(why), {}, a.url);
    else
        done({}, *ms, a.url);
}

// Discovery ------------------------------------------------------------------------

DavCall<DiscoveryResult> CalDavClient::discover() {
    const quint64 op = newOperation();
    auto call = newCall<DiscoveryResult>(op);
    discoverAt(op, QStringLiteral("/.well-known/caldav"), false, call);
    return call;
}

// The principal named at `path`; the well-known address first, then the address the
// user gave (`last`).
void CalDavClient::discoverAt(quint64 op, const QString& at, bool last,
                              DavCall<DiscoveryResult> call) {
    propfind(op, at, "0", {CurrentUserPrincipal, ResourceType},
             [this, op, last, call](const CalDavError& e, const Multistatus& ms, const QUrl& url) {
                 if (e) {
                     const bool answered = e.kind == CalDavError::Kind::Http ||
                                           e.kind == CalDavError::Kind::Malformed;
                     if (!last && answered) {
                         discoverAt(op, path(m_transport->server().path()), true, call);
                         return;
                     }
                     DiscoveryResult r;
                     r.error = e;
                     if (answered)
                         r.error.message =
                             QStringLiteral("カレンダーサーバーが見つかりませんでした（%1）")
                                 .arg(e.detail);
                     call.finish(r);
                     return;
                 }
                 QString principal;
                 for (const Response& resp : ms.responses)
                     if (principal.isEmpty() &&
                         !resp.props.value(CurrentUserPrincipal).hrefs.isEmpty())
                         principal = resp.props.value(CurrentUserPrincipal).hrefs.first();
                 findHome(op, principal, canonicalPath(url, url.path(QUrl::FullyEncoded)), call);
             });
}

void CalDavClient::findHome(quint64 op, const QString& principal, const QString& context,
                            DavCall<DiscoveryResult> call) {
    if (principal.isEmpty()) {
        DiscoveryResult found;
        found.home = context;
        listCalendars(op, found, call);
        return;
    }
    propfind(op, principal, "0", {CalendarHomeSet},
             [this, op, principal, call](const CalDavError& e, const Multistatus& ms, const QUrl&) {
                 DiscoveryResult found;
                 found.error = e;
                 if (e) {
                     call.finish(found);
                     return;
                 }
                 found.principal = principal;
                 for (const Response& resp : ms.responses)
                     if (found.home.isEmpty() && !resp.props.value(CalendarHomeSet).hrefs.isEmpty())
                         found.home = resp.props.value(CalendarHomeSet).hrefs.first();
                 if (found.home.isEmpty())
                     found.home = principal;
                 listCalendars(op, found, call);
             });
}

void CalDavClient::listCalendars(quint64 op, DiscoveryResult found, DavCall<DiscoveryResult> call) {
    const QString home = found.home;
    propfind(op, home, "1", {ResourceType, DisplayName, SupportedComponents, SyncToken, GetCtag},
             [found, call](const CalDavError& e, const Multistatus& ms, const QUrl&) mutable {
                 found.error = e;
                 for (const Response& resp : ms.responses) {
                     if (!resp.props.value(ResourceType).children.contains(Calendar))
                         continue;
                     CalendarInfo c;
                     c.href = resp.href;
                     c.displayName = resp.text(DisplayName).trimmed();
                     c.components = resp.props.value(SupportedComponents).names;
                     c.syncToken = resp.text(SyncToken).trimmed();
                     c.ctag = resp.text(GetCtag).trimmed();
                     found.calendars << c;
                 }
                 call.finish(found);
             });
}

// Calendars ------------------------------------------------------------------------

DavCall<MakeCalendarResult> CalDavClient::makeCalendar(const QString& home, const QString& name,
                                                       const QString& displayName) {
    const quint64 op = newOperation();
    auto call = newCall<MakeCalendarResult>(op);
    const QString href = memberPath(path(home), name) + u'/';
    DavRequest r{"MKCALENDAR",
                 href,
                 DavXml::mkcalendar(displayName, {QStringLiteral("VEVENT"), QStringLiteral("VTODO"),
                                                  QStringLiteral("VJOURNAL")}),
                 {},
                 {{"Content-Type", XmlType}}};
    m_transport->send(op, std::move(r), [href, call](const DavAnswer& a) {
        MakeCalendarResult result;
        result.href = href;
        result.error = answerError(a);
        if (a.status == 405 || (a.status == 409 && errorConditions(a.body).contains(
                                                       clark(NsDav, u"resource-must-be-null"))))
            result.error.message =
                QStringLiteral("同じ名前のカレンダーかフォルダーがすでにサーバーにあります");
        call.finish(result);
    });
    return call;
}

DavCall<SyncCollectionResult> CalDavClient::syncCollection(const QString& collection,
                                                           const QString& token) {
    const quint64 op = newOperation();
    auto call = newCall<SyncCollectionResult>(op);
    syncRound(op, path(collection), token, 0, {}, call);
    return call;
}

// One round of the listing; a server that cut its answer short (507 on the
// collection) is asked again from the token it gave, a bounded number of times.
void CalDavClient::syncRound(quint64 op, const QString& collection, const QString& token, int round,
                             SyncCollectionResult sofar, DavCall<SyncCollectionResult> call) {
    report(op, collection, "0", DavXml::syncCollection(token),
           [this, op, collection, token, round, sofar,
            call](const CalDavError& e, const Multistatus& ms, const QUrl&) mutable {
               if (e) {
                   SyncCollectionResult failed;
                   failed.error = e;
                   call.finish(failed);
                   return;
               }
               bool truncated = false;
               for (const Response& r : ms.responses) {
                   if (sameCollection(r.href, collection)) {
                       truncated = truncated || r.status == 507;
                   } else if (r.status == 404 || r.status == 410) {
                       sofar.changed.remove(r.href);
                       if (!sofar.removed.contains(r.href))
                           sofar.removed << r.href;
                   } else if (r.status == 0 || (r.status >= 200 && r.status < 300)) {
                       sofar.removed.removeAll(r.href);
                       sofar.changed.insert(r.href, r.text(GetEtag).trimmed());
                   }
               }
               if (ms.syncToken.isEmpty()) {
                   SyncCollectionResult failed;
                   failed.error = CalDavError::malformed(QStringLiteral("no sync-token"));
                   call.finish(failed);
                   return;
               }
               sofar.syncToken = ms.syncToken;
               if (truncated && ms.syncToken != token && round < MaxSyncRounds)
                   syncRound(op, collection, ms.syncToken, round + 1, sofar, call);
               else
                   call.finish(sofar);
           });
}

DavCall<EtagListResult> CalDavClient::listEtags(const QString& collection) {
    const quint64 op = newOperation();
    auto call = newCall<EtagListResult>(op);
    const QString at = path(collection);
    propfind(op, at, "1", {GetEtag, ResourceType, DisplayName},
             [at, call](const CalDavError& e, const Multistatus& ms, const QUrl&) {
                 EtagListResult result;
                 result.error = e;
                 for (const Response& r : ms.responses) {
                     if (!e && sameCollection(r.href, at)) {
                         result.collectionEtag = r.text(GetEtag).trimmed();
                         result.displayName = r.text(DisplayName).trimmed();
                         continue;
                     }
                     if (e || r.status >= 300 ||
                         r.props.value(ResourceType).children.contains(Collection))
                         continue;
                     result.etags.insert(r.href, r.text(GetEtag).trimmed());
                 }
                 call.finish(result);
             });
    return call;
}

DavCall<MultigetResult> CalDavClient::multiget(const QString& collection,
                                               const QStringList& hrefs) {
    const quint64 op = newOperation();
    auto call = newCall<MultigetResult>(op);
    QStringList asked;
    QSet<QString> seen;
    for (const QString& href : hrefs) {
        const QString p = path(href);
        if (!seen.contains(p)) {
            seen.insert(p);
            asked << p;
        }
    }
    if (asked.isEmpty()) {
        call.finish({});
        return call;
    }
    struct State {
        MultigetResult result;
        qsizetype left = 0;
        QStringList asked;
    };
    auto state = std::make_shared<State>();
    state->asked = asked;
    state->left = (asked.size() + MultigetBatch - 1) / MultigetBatch;
    for (qsizetype from = 0; from < asked.size(); from += MultigetBatch) {
        report(op, path(collection), "1", DavXml::multiget(asked.mid(from, MultigetBatch)),
               [state, call](const CalDavError& e, const Multistatus& ms, const QUrl&) {
                   if (e && !state->result.error)
                       state->result.error = e;
                   for (const Response& r : ms.responses) {
                       if (r.status == 0 || (r.status >= 200 && r.status < 300)) {
                           if (r.has(CalendarData))
                               state->result.objects.insert(
                                   r.href,
                                   {r.text(GetEtag).trimmed(), calendarText(r.text(CalendarData))});
                       }
                   }
                   if (--state->left > 0)
                       return;
                   for (const QString& href : std::as_const(state->asked))
                       if (!state->result.objects.contains(href))
                           state->result.missing << href;
                   call.finish(state->result);
               });
    }
    return call;
}

// Writing --------------------------------------------------------------------------

void CalDavClient::putOne(quint64 op, const PutRequest& request,
                          std::function<void(const PutResult&)> done) {
    const QString href = path(request.href);
    QList<std::pair<QByteArray, QByteArray>> headers{{"Content-Type", CalendarType}};
    if (request.etag.trimmed().isEmpty())
        headers.emplace_back("If-None-Match", "*");
    else
        headers.emplace_back("If-Match", quotedEtag(request.etag));
    DavRequest r{"PUT", href, request.data, {}, headers};
    m_transport->send(op, std::move(r), [this, op, href, done](const DavAnswer& a) {
        PutResult result;
        result.href = href;
        result.error = answerError(a);
        if (result.error || (!a.etag.isEmpty() && !a.etag.startsWith("W/"))) {
            result.etag = result.error ? QString() : QString::fromUtf8(a.etag);
            done(result);
            return;
        }
        // No usable ETag in the answer: ask for it. The resource is written either way.
        propfind(op, href, "0", {GetEtag},
                 [result, done](const CalDavError&, const Multistatus& ms, const QUrl&) mutable {
                     for (const Response& resp : ms.responses)
                         if (result.etag.isEmpty() && resp.has(GetEtag))
                             result.etag = resp.text(GetEtag).trimmed();
                     done(result);
                 });
    });
}

DavCall<PutResult> CalDavClient::putCollection(const QString& collection,
                                               const QByteArray& calendar, const QString& etag) {
    const quint64 op = newOperation();
    auto call = newCall<PutResult>(op);
    if (etag.trimmed().isEmpty()) {
        PutResult refused;
        refused.href = path(collection);
        refused.error = CalDavError::precondition(0);
        call.finish(refused);
        return call;
    }
    putOne(op, {collection, calendar, etag}, [call](const PutResult& r) { call.finish(r); });
    return call;
}

DavCall<PutResult> CalDavClient::put(const PutRequest& request) {
    const quint64 op = newOperation();
    auto call = newCall<PutResult>(op);
    putOne(op, request, [call](const PutResult& r) { call.finish(r); });
    return call;
}

DavCall<PutBatchResult> CalDavClient::putBatch(const QList<PutRequest>& requests,
                                               std::function<void(int, const PutResult&)> each) {
    const quint64 op = newOperation();
    auto call = newCall<PutBatchResult>(op);
    if (requests.isEmpty()) {
        call.finish({});
        return call;
    }
    struct State {
        PutBatchResult result;
        qsizetype left = 0;
    };
    auto state = std::make_shared<State>();
    state->result.results.resize(requests.size());
    state->left = requests.size();
    for (qsizetype i = 0; i < requests.size(); ++i) {
        putOne(op, requests.at(i), [state, call, each, i](const PutResult& r) {
            state->result.results[i] = r;
            if (r.error && !state->result.error)
                state->result.error = r.error;
            if (each)
                each(int(i), r);
            if (--state->left == 0)
                call.finish(state->result);
        });
    }
    return call;
}

DavCall<DeleteResult> CalDavClient::remove(const QString& href, const QString& etag) {
    const quint64 op = newOperation();
    auto call = newCall<DeleteResult>(op);
    QList<std::pair<QByteArray, QByteArray>> headers;
    if (!etag.trimmed().isEmpty())
        headers.emplace_back("If-Match", quotedEtag(etag));
    m_transport->send(op, DavRequest{"DELETE", path(href), {}, {}, headers},
                      [call](const DavAnswer& a) {
                          DeleteResult result;
                          if (!a.error && (a.status == 404 || a.status == 410))
                              result.wasGone = true;
                          else
                              result.error = answerError(a);
                          call.finish(result);
                      });
    return call;
}
