// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The HTTP exchanges of one account: a queue that keeps at most a few requests on the
// wire, Basic credentials sent with every request to the account's own server (never
// to another one a redirect points at), redirects followed a bounded number of times,
// certificates checked (against the system's authorities and those the caller adds,
// never ignored), a time limit on a request that stops moving and a size limit on
// answers. Requests belong to an operation; cancelling it fails them all.

#include "net/caldavtypes.h"

#include <QList>
#include <QObject>
#include <QSslCertificate>
#include <QUrl>

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <utility>

class QNetworkAccessManager;
class QNetworkReply;

struct DavRequest {
    QByteArray verb;
    QString path; // on the account's server
    QByteArray body;
    QByteArray depth; // the Depth header, when not empty
    QList<std::pair<QByteArray, QByteArray>> headers;
};

struct DavAnswer {
    CalDavError error; // set when no HTTP answer came
    int status = 0;
    QString reason;
    QByteArray body;
    QByteArray etag; // the ETag header
    QUrl url;        // the URL that answered (after redirects)
};

class DavTransport : public QObject {
    Q_OBJECT

public:
    DavTransport(const QUrl& server, const QString& user, const QString& password,
                 QObject* parent = nullptr);
    ~DavTransport() override;

    void setExtraCaCertificates(const QList<QSslCertificate>& certificates);
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }
    int timeout() const { return m_timeoutMs; }
    void setMaxInFlight(int count) { m_maxInFlight = std::max(1, count); }
    void setMaxAnswerSize(qint64 bytes) { m_maxAnswer = bytes; }

    QUrl server() const { return m_server; }
    QUrl urlOf(const QString& path) const;

    quint64 newOperation() { return ++m_lastOperation; }
    // Sends `request` for `operation`; `done` gets the answer once, from the event loop.
    void send(quint64 operation, DavRequest request, std::function<void(const DavAnswer&)> done);
    // Fails every queued and running request of `operation` as cancelled, at once.
    void cancel(quint64 operation);
    // Cancels every operation.
    void cancelAll();

    static constexpr int MaxRedirects = 5;

private:
    // The proxy the desktop's settings send `url` through ("host:port"), empty for none.
    QString proxyOf(const QUrl& url) const;
    struct Pending;
    void dispatch();
    void start(const std::shared_ptr<Pending>& p);
    void finished(QNetworkReply* reply);
    bool sameOrigin(const QUrl& url) const;

    QNetworkAccessManager* m_manager;
    QUrl m_server;
    QByteArray m_authorization;
    QList<QSslCertificate> m_extraCas;
    int m_timeoutMs = 30000;
    int m_maxInFlight = 6;
    qint64 m_maxAnswer = qint64(256) << 20;
    quint64 m_lastOperation = 0;
    std::deque<std::shared_ptr<Pending>> m_queue;
    std::vector<std::pair<QNetworkReply*, std::shared_ptr<Pending>>> m_running;
    std::set<quint64> m_cancelled;
};
