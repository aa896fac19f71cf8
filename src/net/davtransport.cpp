// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/davtransport.h"

#include <QHostAddress>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslError>

#include <algorithm>

using namespace Qt::StringLiterals;

struct DavTransport::Pending {
    quint64 operation = 0;
    DavRequest request;
    QUrl url;
    int redirects = 0;
    std::function<void(const DavAnswer&)> done;
    QStringList sslErrors;
    bool tooLarge = false;
};

namespace {

int defaultPort(const QUrl& url) {
    return url.port(url.scheme().compare(u"https", Qt::CaseInsensitive) == 0 ? 443 : 80);
}

bool isRedirect(int status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

// The desktop's proxy settings (its environment, its desktop settings, a PAC script),
// as the rest of the desktop reaches the network; a server on this computer directly.
class DesktopProxies : public QNetworkProxyFactory {
public:
    QList<QNetworkProxy> queryProxy(const QNetworkProxyQuery& query) override {
        const QString host = query.peerHostName();
        if (host.compare(u"localhost", Qt::CaseInsensitive) == 0 || QHostAddress(host).isLoopback())
            return {QNetworkProxy::NoProxy};
        return systemProxyForQuery(query);
    }
};

} // namespace

DavTransport::DavTransport(const QUrl& server, const QString& user, const QString& password,
                           QObject* parent)
    : QObject(parent), m_manager(new QNetworkAccessManager(this)), m_server(server) {
    m_authorization = "Basic " + (user + u':' + password).toUtf8().toBase64();
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    m_manager->setProxyFactory(new DesktopProxies);
}

DavTransport::~DavTransport() {
    // The owner cancels its operations first; what is left goes without a word.
    for (auto& [reply, p] : std::exchange(m_running, {})) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
        delete reply;
    }
    m_queue.clear();
}

void DavTransport::setExtraCaCertificates(const QList<QSslCertificate>& certificates) {
    m_extraCas = certificates;
}

QUrl DavTransport::urlOf(const QString& path) const {
    QUrl url = m_server;
    url.setPath(path, QUrl::TolerantMode);
    url.setQuery(QString());
    url.setFragment(QString());
    url.setUserInfo(QString());
    return url;
}

bool DavTransport::sameOrigin(const QUrl& url) const {
    return url.scheme().compare(m_server.scheme(), Qt::CaseInsensitive) == 0 &&
           url.host().compare(m_server.host(), Qt::CaseInsensitive) == 0 &&
           defaultPort(url) == defaultPort(m_server);
}

void DavTransport::send(quint64 operation, DavRequest request,
                        std::function<void(const DavAnswer&)> done) {
    auto p = std::make_shared<Pending>();
    p->operation = operation;
    p->url = urlOf(request.path);
    p->request = std::move(request);
    p->done = std::move(done);
    if (m_cancelled.count(operation)) {
        QMetaObject::invokeMethod(
            this,
            [p] {
                DavAnswer a;
                a.error = CalDavError::cancelled();
                a.url = p->url;
                p->done(a);
            },
            Qt::QueuedConnection);
        return;
    }
    m_queue.push_back(p);
    dispatch();
}

void DavTransport::dispatch() {
    while (!m_queue.empty() && int(m_running.size()) < m_maxInFlight) {
        auto p = m_queue.front();
        m_queue.pop_front();
        start(p);
    }
}

void DavTransport::start(const std::shared_ptr<Pending>& p) {
    QNetworkRequest r(p->url);
    r.setRawHeader("User-Agent", "DayLog/" DAYLOG_VERSION);
    if (sameOrigin(p->url))
        r.setRawHeader("Authorization", m_authorization);
    if (!p->request.depth.isEmpty())
        r.setRawHeader("Depth", p->request.depth);
    for (const auto& [name, value] : std::as_const(p->request.headers))
        r.setRawHeader(name, value);
    r.setTransferTimeout(m_timeoutMs);
    r.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    if (p->url.scheme().compare(u"https", Qt::CaseInsensitive) == 0) {
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!m_extraCas.isEmpty())
            tls.addCaCertificates(m_extraCas);
        r.setSslConfiguration(tls);
    }
    p->sslErrors.clear();
    p->tooLarge = false;
    QNetworkReply* reply = m_manager->sendCustomRequest(r, p->request.verb, p->request.body);
    m_running.emplace_back(reply, p);
    connect(reply, &QNetworkReply::sslErrors, this, [p](const QList<QSslError>& errors) {
        for (const QSslError& e : errors)
            p->sslErrors << e.errorString();
    });
    connect(reply, &QNetworkReply::downloadProgress, this,
            [this, p, reply](qint64 received, qint64 total) {
                if (!p->tooLarge && (received > m_maxAnswer || total > m_maxAnswer)) {
                    p->tooLarge = true;
                    reply->abort();
                }
            });
    connect(reply, &QNetworkReply::finished, this, [this, reply] { finished(reply); });
}

void DavTransport::finished(QNetworkReply* reply) {
    const auto it = std::find_if(m_running.begin(), m_running.end(),
                                 [reply](const auto& r) { return r.first == reply; });
    if (it == m_running.end())
        return;
    const std::shared_ptr<Pending> p = it->second;
    m_running.erase(it);
    reply->deleteLater();

    DavAnswer a;
    a.url = p->url;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (p->tooLarge) {
        a.error = CalDavError::tooLarge(m_maxAnswer);
    } else if (status.isValid() && status.toInt() > 0) {
        a.status = status.toInt();
        a.reason = reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        a.body = reply->readAll();
        a.etag = reply->rawHeader("ETag").trimmed();
        const QByteArray location = reply->rawHeader("Location").trimmed();
        if (isRedirect(a.status) && !location.isEmpty()) {
            const QUrl next = p->url.resolved(QUrl::fromEncoded(location));
            const QString scheme = next.scheme().toLower();
            if (p->redirects >= MaxRedirects || !next.isValid() ||
                (scheme != u"http" && scheme != u"https")) {
                a.error = CalDavError::tooManyRedirects(a.status);
                a.error.detail = QString::fromLatin1(location);
            } else if (p->url.scheme().toLower() == u"https" && scheme == u"http") {
                a.error = CalDavError::tls({QStringLiteral("暗号化されていない接続への転送（%1）")
                                                .arg(next.toDisplayString())});
            } else {
                ++p->redirects;
                p->url = next;
                m_queue.push_front(p);
                dispatch();
                return;
            }
        }
    } else {
        const QNetworkReply::NetworkError e = reply->error();
        if (!p->sslErrors.isEmpty() || e == QNetworkReply::SslHandshakeFailedError)
            a.error = CalDavError::tls(p->sslErrors.isEmpty() ? QStringList{reply->errorString()}
                                                              : p->sslErrors);
        else if (e == QNetworkReply::OperationCanceledError || e == QNetworkReply::TimeoutError)
            a.error = CalDavError::timeout((m_timeoutMs + 999) / 1000);
        else if (const QString proxy = proxyOf(p->url);
                 (e >= QNetworkReply::ProxyConnectionRefusedError &&
                  e <= QNetworkReply::UnknownProxyError) ||
                 (!proxy.isEmpty() && (e == QNetworkReply::ConnectionRefusedError ||
                                       e == QNetworkReply::HostNotFoundError ||
                                       e == QNetworkReply::RemoteHostClosedError)))
            a.error = CalDavError::proxy(u"%1: %2"_s.arg(proxy, reply->errorString()));
        else
            a.error = CalDavError::network(reply->errorString());
    }
    dispatch();
    p->done(a);
}

QString DavTransport::proxyOf(const QUrl& url) const {
    const QList<QNetworkProxy> proxies =
        m_manager->proxyFactory()->queryProxy(QNetworkProxyQuery(url));
    if (proxies.isEmpty() || proxies.first().type() == QNetworkProxy::NoProxy ||
        proxies.first().type() == QNetworkProxy::DefaultProxy)
        return {};
    return u"%1:%2"_s.arg(proxies.first().hostName()).arg(proxies.first().port());
}

void DavTransport::cancel(quint64 operation) {
    m_cancelled.insert(operation);
    std::vector<std::shared_ptr<Pending>> stopped;
    for (auto it = m_queue.begin(); it != m_queue.end();) {
        if ((*it)->operation == operation) {
            stopped.push_back(*it);
            it = m_queue.erase(it);
        } else {
            ++it;
        }
    }
    for (auto it = m_running.begin(); it != m_running.end();) {
        if (it->second->operation == operation) {
            QNetworkReply* reply = it->first;
            stopped.push_back(it->second);
            it = m_running.erase(it);
            disconnect(reply, nullptr, this, nullptr);
            reply->abort();
            reply->deleteLater();
        } else {
            ++it;
        }
    }
    dispatch();
    for (const auto& p : stopped) {
        DavAnswer a;
        a.error = CalDavError::cancelled();
        a.url = p->url;
        p->done(a);
    }
}

void DavTransport::cancelAll() {
    std::set<quint64> operations;
    for (const auto& p : m_queue)
        operations.insert(p->operation);
    for (const auto& r : m_running)
        operations.insert(r.second->operation);
    for (const quint64 op : operations)
        cancel(op);
}
