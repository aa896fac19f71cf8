// SPDX-License-Identifier: GPL-3.0-or-later
// What the calendar server client makes of answers a real server rarely gives: hand-
// written multistatus XML (any prefixes, relative and absolute hrefs, failed
// propstats, missing ETags, broken documents) and a scripted HTTP server answering
// with loops, floods, silence, refusals and listings cut short.
#include "net/caldavclient.h"
#include "net/caldavxml.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = CalDavError::Kind;

class TestCalDavAnswers : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void multistatusAsRead_data();
    void multistatusAsRead();
    void hrefsInOneForm_data();
    void hrefsInOneForm();
    void badAnswers_data();
    void badAnswers();
    void throughTheDesktopsProxy();
};

namespace {

// One line a response: href, own status, then its properties sorted, "name=text"
// ("name>href,href" for href-valued ones, "name[child,…]" for element-valued ones).
QString render(const DavXml::Multistatus& ms) {
    QStringList lines;
    for (const DavXml::Response& r : ms.responses) {
        QStringList props;
        for (auto it = r.props.begin(); it != r.props.end(); ++it) {
            const QString local = it.key().mid(it.key().indexOf(u'}') + 1);
            if (!it->hrefs.isEmpty())
                props << local + u'>' + it->hrefs.join(u',');
            else if (!it->names.isEmpty())
                props << local + u'[' + it->names.join(u',') + u']';
            else if (!it->children.isEmpty())
                props << local + u'[' + it->children.join(u',') + u']';
            else
                props << local + u'=' + it->text.trimmed();
        }
        props.sort();
        lines << (r.href + u' ' + QString::number(r.status) + u' ' + props.join(u' ')).trimmed();
    }
    if (!ms.syncToken.isEmpty())
        lines << u"token "_s + ms.syncToken;
    return lines.join(u'\n');
}

// An HTTP server on 127.0.0.1 that answers each request with the next of `answers`
// (raw responses, "hold:" before one keeps the connection open after it; "hang" keeps
// it without a word, "close" closes it) and
// keeps every request it read.
class ScriptedServer : public QObject {
public:
    explicit ScriptedServer(QStringList script) : answers(std::move(script)) {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { read(s); });
        });
    }
    quint16 port() const { return server.serverPort(); }
    QList<QByteArray> requests;

private:
    void read(QTcpSocket* s) {
        QByteArray& buffer = buffers[s];
        buffer += s->readAll();
        const qsizetype head = buffer.indexOf("\r\n\r\n");
        if (head < 0)
            return;
        qsizetype length = 0;
        for (const QByteArray& line : buffer.left(head).split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toLongLong();
        if (buffer.size() < head + 4 + length)
            return;
        requests << buffer.left(head + 4 + length);
        buffer.remove(0, head + 4 + length);
        QString answer = answers.isEmpty() ? u"close"_s : answers.takeFirst();
        if (answer == u"hang")
            return;
        if (answer.contains(u"%1"))
            answer = answer.arg(port());
        const bool hold = answer.startsWith(u"hold:");
        if (answer != u"close")
            s->write(answer.mid(hold ? 5 : 0).toUtf8());
        if (!hold)
            s->disconnectFromHost();
    }

    QTcpServer server;
    QStringList answers;
    QHash<QTcpSocket*, QByteArray> buffers;
};

QString answer(const QString& status, const QString& body = {}, const QString& headers = {}) {
    return u"HTTP/1.1 %1\r\nContent-Type: application/xml; charset=utf-8\r\n"
           u"Content-Length: %2\r\nConnection: close\r\n%3\r\n"_s.arg(status)
               .arg(body.toUtf8().size())
               .arg(headers) +
           body;
}

QString multistatus(const QString& inside) {
    return u"<?xml version=\"1.0\"?><D:multistatus xmlns:D=\"DAV:\">"_s + inside +
           u"</D:multistatus>"_s;
}

QString member(const QString& href, const QString& etag) {
    return u"<D:response><D:href>%1</D:href><D:propstat><D:prop><D:getetag>%2</D:getetag>"
           u"</D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat></D:response>"_s.arg(href,
                                                                                            etag);
}

QString gone(const QString& href) {
    return u"<D:response><D:href>%1</D:href><D:status>HTTP/1.1 404 Not Found</D:status>"
           u"</D:response>"_s.arg(href);
}

} // namespace

void TestCalDavAnswers::multistatusAsRead_data() {
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QString>("expected"); // "error" when it must be refused

    QTest::newRow("relative hrefs, a failed propstat, a token")
        << uR"(<?xml version="1.0" encoding="utf-8"?>
<multistatus xmlns="DAV:" xmlns:C="urn:ietf:params:xml:ns:caldav" xmlns:CS="http://calendarserver.org/ns/">
 <response><href>a.ics</href>
  <propstat><prop><getetag>"1"</getetag></prop><status>HTTP/1.1 200 OK</status></propstat>
  <propstat><prop><CS:getctag/><displayname/></prop><status>HTTP/1.1 404 Not Found</status></propstat>
 </response>
 <response><href>../other/b.ics</href><propstat><prop><getetag> "2" </getetag></prop>
  <status>HTTP/1.1 200 OK</status></propstat></response>
 <sync-token>http://example.org/sync/7</sync-token>
</multistatus>)"_s
        << u"/cal/a.ics 0 getetag=\"1\"\n/other/b.ics 0 getetag=\"2\"\ntoken http://example.org/sync/7"_s;
    QTest::newRow("odd prefixes, absolute hrefs, escapes written two ways")
        << uR"(<x:multistatus xmlns:x="DAV:" xmlns:cal="urn:ietf:params:xml:ns:caldav">
 <x:response><x:href>http://other.example:8080/cal/a%40b%7e.ics</x:href><x:propstat>
  <x:prop><x:getetag>"3"</x:getetag><cal:calendar-data>BEGIN:VCALENDAR&#13;
END:VCALENDAR</cal:calendar-data></x:prop><x:status>HTTP/1.1 200 OK</x:status></x:propstat></x:response>
 <x:response><x:href>/cal/%e5%ad%a6 x@y~.ics</x:href><x:propstat>
  <x:prop><x:getetag>"4"</x:getetag></x:prop></x:propstat></x:response>
</x:multistatus>)"_s
        << u"/cal/a@b~.ics 0 calendar-data=BEGIN:VCALENDAR\r\nEND:VCALENDAR getetag=\"3\"\n"
           u"/cal/%E5%AD%A6%20x@y~.ics 0 getetag=\"4\""_s;
    QTest::newRow("removed members, two hrefs in one response, a missing ETag")
        << uR"(<D:multistatus xmlns:D="DAV:"><D:response><D:href>/cal/gone1.ics</D:href>
 <D:href>/cal/gone2.ics</D:href><D:status>HTTP/1.1 404 Not Found</D:status></D:response>
 <D:response><D:href>/cal/noetag.ics</D:href><D:propstat><D:prop><D:displayname>名前</D:displayname>
 </D:prop><D:status>HTTP/1.1 200 OK</D:status></D:propstat>
 <D:propstat><D:prop><D:getetag/></D:prop><D:status>HTTP/1.1 403 Forbidden</D:status></D:propstat>
 <D:responsedescription>unknown <D:x/> element</D:responsedescription></D:response>
 <D:response><D:status>HTTP/1.1 404 Not Found</D:status></D:response></D:multistatus>)"_s
        << u"/cal/gone1.ics 404\n/cal/gone2.ics 404\n/cal/noetag.ics 0 displayname=名前"_s;
    QTest::newRow("principal, home and calendars as discovery reads them")
        << uR"(<d:multistatus xmlns:d="DAV:" xmlns:c="urn:ietf:params:xml:ns:caldav"><d:response>
 <d:href>/u/</d:href><d:propstat><d:prop><d:current-user-principal><d:href>/principals/u/</d:href>
 </d:current-user-principal><c:calendar-home-set><d:href>http://h/cal/u/</d:href></c:calendar-home-set>
 <d:resourcetype><d:collection/><c:calendar/></d:resourcetype><c:supported-calendar-component-set>
 <c:comp name="VEVENT"/><c:comp name="VTODO"/></c:supported-calendar-component-set></d:prop>
 <d:status>HTTP/1.1 200 OK</d:status></d:propstat></d:response></d:multistatus>)"_s
        << u"/u/ 0 calendar-home-set>/cal/u/ current-user-principal>/principals/u/ "
           u"resourcetype[{DAV:}collection,{urn:ietf:params:xml:ns:caldav}calendar] "
           u"supported-calendar-component-set[VEVENT,VTODO]"_s;
    QTest::newRow("not a multistatus") << uR"(<D:error xmlns:D="DAV:"/>)"_s << u"error"_s;
    QTest::newRow("multistatus without its namespace") << u"<multistatus/>"_s << u"error"_s;
    QTest::newRow("cut short")
        << uR"(<D:multistatus xmlns:D="DAV:"><D:response><D:href>/a</D:href>)"_s << u"error"_s;
    QTest::newRow("unclosed element")
        << uR"(<D:multistatus xmlns:D="DAV:"><D:response></D:multistatus>)"_s << u"error"_s;
    QTest::newRow("not XML") << u"Internal error\n"_s << u"error"_s;
    QTest::newRow("empty") << QString() << u"error"_s;
    QTest::newRow("entities expanding without end")
        << uR"(<?xml version="1.0"?><!DOCTYPE m [<!ENTITY a "aaaaaaaaaaaaaaaa">
<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">
<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">
<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]>
<D:multistatus xmlns:D="DAV:"><D:response><D:href>/a</D:href><D:propstat><D:prop>
<D:displayname>&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;</D:displayname></D:prop>
</D:propstat></D:response></D:multistatus>)"_s
        << u"error"_s;
}

void TestCalDavAnswers::multistatusAsRead() {
    QFETCH(QString, xml);
    QFETCH(QString, expected);
    QString why;
    const auto ms =
        DavXml::parseMultistatus(xml.toUtf8(), QUrl(u"http://example.org/cal/"_s), &why);
    if (expected == u"error") {
        QVERIFY2(!ms, qPrintable(ms ? render(*ms) : QString()));
        QVERIFY(!why.isEmpty());
        return;
    }
    QVERIFY2(ms, qPrintable(why));
    QCOMPARE(render(*ms), expected);
}

void TestCalDavAnswers::hrefsInOneForm_data() {
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("name"); // a member's name whose href is `expected`, if any

    QTest::newRow("plain") << u"/home/cal/a.ics"_s << u"/home/cal/a.ics"_s << u"a.ics"_s;
    QTest::newRow("unreserved escaped")
        << u"/home/c%61l/%7E%2d.ics"_s << u"/home/cal/~-.ics"_s << u"~-.ics"_s;
    QTest::newRow("sub-delimiters either way")
        << u"/home/cal/a%40b%2B@+.ics"_s << u"/home/cal/a@b+@+.ics"_s << u"a@b+@+.ics"_s;
    QTest::newRow("escaped slash stays")
        << u"/home/cal/a%2fb.ics"_s << u"/home/cal/a%2Fb.ics"_s << u"a/b.ics"_s;
    QTest::newRow("query and fragment characters")
        << u"/home/cal/a%3Fb%23.ics"_s << u"/home/cal/a%3Fb%23.ics"_s << u"a?b#.ics"_s;
    QTest::newRow("raw Unicode and spaces")
        << u"/home/cal/学 校.ics"_s << u"/home/cal/%E5%AD%A6%20%E6%A0%A1.ics"_s << u"学 校.ics"_s;
    QTest::newRow("lower-case hex")
        << u"/home/cal/%e5%ad%a6.ics"_s << u"/home/cal/%E5%AD%A6.ics"_s << u"学.ics"_s;
    QTest::newRow("a lone percent")
        << u"/home/cal/100%.ics"_s << u"/home/cal/100%25.ics"_s << u"100%.ics"_s;
    QTest::newRow("relative") << u"x.ics"_s << u"/home/cal/x.ics"_s << u"x.ics"_s;
    QTest::newRow("dot segments") << u"./../other/./y.ics"_s << u"/home/other/y.ics"_s << QString();
    QTest::newRow("absolute URL on any host")
        << u"https://a.example:8443/p/q.ics?x#y"_s << u"/p/q.ics"_s << QString();
}

void TestCalDavAnswers::hrefsInOneForm() {
    QFETCH(QString, href);
    QFETCH(QString, expected);
    QFETCH(QString, name);
    const QUrl base(u"http://127.0.0.1:5232/home/cal/"_s);
    const QString once = DavXml::canonicalPath(base, href);
    QCOMPARE(once, expected);
    QCOMPARE(DavXml::canonicalPath(base, once), once);
    if (!name.isEmpty()) {
        QCOMPARE(CalDavClient::memberHref(u"/home/cal"_s, name), expected);
        QCOMPARE(CalDavClient::memberHref(u"/home/cal/"_s, name), expected);
    }
}

void TestCalDavAnswers::badAnswers_data() {
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QString>("operation");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("outcome");   // the result's data, rendered
    QTest::addColumn<QString>("requested"); // "N:text" or "N:!text": request N has (not) text

    const QString ok =
        answer(u"207 Multi-Status"_s, multistatus(member(u"/cal/a.ics"_s, u"\"1\""_s)));
    QTest::newRow("malformed XML")
        << QStringList{answer(u"207 Multi-Status"_s,
                              u"<D:multistatus xmlns:D=\"DAV:\"><D:response>"_s)}
        << u"list"_s << Kind::Malformed << QString() << QString();
    QTest::newRow("redirect loop")
        << QStringList(8, answer(u"301 Moved"_s, {}, u"Location: /loop/\r\n"_s)) << u"list"_s
        << Kind::Http << QString() << u"5:/loop/"_s;
    QTest::newRow("redirect followed, credentials kept on the same server")
        << QStringList{answer(u"308 Moved"_s, {}, u"Location: /moved/\r\n"_s), ok} << u"list"_s
        << Kind::None << u"/cal/a.ics=\"1\""_s << u"1:Authorization: Basic"_s;
    QTest::newRow("redirect to another host: no credentials there")
        << QStringList{answer(u"301 Moved"_s, {}, u"Location: http://localhost:%1/x/\r\n"_s),
                       answer(u"401 Unauthorized"_s, {},
                              u"WWW-Authenticate: Basic realm=\"x\"\r\n"_s)}
        << u"list"_s << Kind::Auth << QString() << u"1:!Authorization"_s;
    QTest::newRow("huge answer announced")
        << QStringList{u"hold:HTTP/1.1 207 Multi-Status\r\nContent-Length: 4000000000\r\n\r\n<D:"_s}
        << u"list"_s << Kind::Malformed << QString() << QString();
    QTest::newRow("huge answer sent")
        << QStringList{u"HTTP/1.1 207 Multi-Status\r\nConnection: close\r\n\r\n"_s +
                       QString(3 << 20, u'x')}
        << u"list"_s << Kind::Malformed << QString() << QString();
    QTest::newRow("silence") << QStringList{u"hang"_s} << u"list"_s << Kind::Network << QString()
                             << QString();
    QTest::newRow("connection closed")
        << QStringList{u"close"_s} << u"list"_s << Kind::Network << QString() << QString();
    QTest::newRow("not HTTP") << QStringList{u"SSH-2.0-OpenSSH\r\n\r\n"_s} << u"list"_s
                              << Kind::Network << QString() << QString();
    QTest::newRow("server error") << QStringList{answer(u"500 Internal Server Error"_s,
                                                        u"<html/>"_s)}
                                  << u"list"_s << Kind::Http << QString() << QString();
    QTest::newRow("sync token refused with 409")
        << QStringList{answer(u"409 Conflict"_s,
                              u"<D:error xmlns:D=\"DAV:\"><D:valid-sync-token/></D:error>"_s)}
        << u"sync"_s << Kind::InvalidSyncToken << QString()
        << u"0:<D:sync-token>old</D:sync-token>"_s;
    QTest::newRow("403 for another reason")
        << QStringList{answer(u"403 Forbidden"_s,
                              u"<D:error xmlns:D=\"DAV:\"><D:need-privileges/></D:error>"_s)}
        << u"sync"_s << Kind::Http << QString() << QString();
    QTest::newRow("sync listing without a token")
        << QStringList{ok} << u"sync"_s << Kind::Malformed << QString() << QString();
    QTest::newRow("sync listing cut short, continued from its token")
        << QStringList{answer(u"207 Multi-Status"_s,
                              multistatus(member(u"/cal/a.ics"_s, u"\"1\""_s) +
                                          member(u"/cal/c.ics"_s, u"\"3\""_s) +
                                          u"<D:response><D:href>/cal/</D:href><D:status>HTTP/1.1 "
                                          u"507 Insufficient Storage</D:status></D:response>"
                                          u"<D:sync-token>t1</D:sync-token>"_s)),
                       answer(u"207 Multi-Status"_s,
                              multistatus(gone(u"/cal/a.ics"_s) +
                                          member(u"/cal/b.ics"_s, u"\"2\""_s) +
                                          u"<D:sync-token>t2</D:sync-token>"_s))}
        << u"sync"_s << Kind::None << u"-/cal/a.ics /cal/b.ics=\"2\" /cal/c.ics=\"3\" t2"_s
        << u"1:>t1<"_s;
    QTest::newRow("written without an ETag: asked for it")
        << QStringList{answer(u"201 Created"_s),
                       answer(u"207 Multi-Status"_s,
                              multistatus(member(u"/cal/new.ics"_s, u"\"9\""_s)))}
        << u"put"_s << Kind::None << u"/cal/new.ics=\"9\""_s << u"0:If-None-Match: *"_s;
    QTest::newRow("update refused: changed on the server")
        << QStringList{answer(u"412 Precondition Failed"_s)} << u"update"_s
        << Kind::PreconditionFailed << QString() << u"0:If-Match: \"old\""_s;
    QTest::newRow("no calendar server there")
        << QStringList{answer(u"404 Not Found"_s), answer(u"405 Method Not Allowed"_s)}
        << u"discover"_s << Kind::Http << QString() << u"1:PROPFIND / "_s;
}

void TestCalDavAnswers::badAnswers() {
    QFETCH(QStringList, answers);
    QFETCH(QString, operation);
    QFETCH(Kind, kind);
    QFETCH(QString, outcome);
    QFETCH(QString, requested);
    ScriptedServer scripted(answers);
    CalDavClient client(QUrl(u"http://127.0.0.1:%1/"_s.arg(scripted.port())), u"u"_s, u"p"_s);
    client.setTimeout(400);
    client.setMaxAnswerSize(1 << 20);

    CalDavError error;
    QStringList data;
    if (operation == u"list") {
        const EtagListResult r = client.listEtags(u"/cal/"_s).wait();
        error = r.error;
        for (auto it = r.etags.begin(); it != r.etags.end(); ++it)
            data << it.key() + u'=' + it.value();
    } else if (operation == u"sync") {
        const SyncCollectionResult r = client.syncCollection(u"/cal/"_s, u"old"_s).wait();
        error = r.error;
        for (auto it = r.changed.begin(); it != r.changed.end(); ++it)
            data << it.key() + u'=' + it.value();
        for (const QString& href : r.removed)
            data << u'-' + href;
        if (!r.syncToken.isEmpty())
            data << r.syncToken;
    } else if (operation == u"put" || operation == u"update") {
        const QString etag = operation == u"update" ? u"old"_s : QString();
        const PutResult r = client.put({u"/cal/new.ics"_s, "BEGIN:VCALENDAR", etag}).wait();
        error = r.error;
        if (!r.error)
            data << r.href + u'=' + r.etag;
    } else {
        error = client.discover().wait().error;
    }
    data.sort();
    QCOMPARE(error.kind, kind);
    QCOMPARE(error ? QString() : data.join(u' '), outcome);
    QVERIFY(bool(error) == !error.message.isEmpty());
    if (!requested.isEmpty()) {
        const int n = requested.section(u':', 0, 0).toInt();
        QString text = requested.section(u':', 1);
        const bool absent = text.startsWith(u'!');
        if (absent)
            text.remove(0, 1);
        QVERIFY2(n < scripted.requests.size(),
                 qPrintable(QString::number(scripted.requests.size())));
        QCOMPARE(scripted.requests[n].contains(text.toUtf8()), !absent);
    }
}

// The desktop's proxy (here as its environment gives it) carries the requests to a
// server elsewhere; a server on this computer is reached directly; a proxy that does
// not answer is named as the reason.
void TestCalDavAnswers::throughTheDesktopsProxy() {
    const QByteArray saved = qgetenv("http_proxy");
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    const auto list = [](const QString& server) {
        CalDavClient client{QUrl(server), u"u"_s, u"p"_s};
        client.setTimeout(2000);
        return client.listEtags(u"/cal/"_s).wait();
    };
    const QString listing =
        answer(u"207 Multi-Status"_s, multistatus(member(u"/cal/a.ics"_s, u"\"1\""_s)));

    ScriptedServer proxy({listing});
    qputenv("http_proxy", u"http://127.0.0.1:%1/"_s.arg(proxy.port()).toUtf8());
    EtagListResult r = list(u"http://cal.example.invalid/"_s);
    QVERIFY2(!r.error, qPrintable(r.error.message));
    QCOMPARE(r.etags.value(u"/cal/a.ics"_s), u"\"1\""_s);
    QCOMPARE(proxy.requests.size(), 1);
    QVERIFY2(proxy.requests[0].startsWith("PROPFIND http://cal.example.invalid/cal/ HTTP/1.1"),
             proxy.requests[0].left(80).constData());

    ScriptedServer here({listing});
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost, 0));
    const quint16 dead = closed.serverPort();
    closed.close();
    qputenv("http_proxy", u"http://127.0.0.1:%1/"_s.arg(dead).toUtf8());
    r = list(u"http://127.0.0.1:%1/"_s.arg(here.port()));
    QVERIFY2(!r.error, qPrintable(r.error.message));
    QVERIFY(here.requests.value(0).startsWith("PROPFIND /cal/ HTTP/1.1"));

    r = list(u"http://cal.example.invalid/"_s);
    QCOMPARE(r.error.kind, Kind::Network);
    QVERIFY2(r.error.message.contains(u"プロキシ"_s), qPrintable(r.error.message));

    if (saved.isNull())
        qunsetenv("http_proxy");
    else
        qputenv("http_proxy", saved);
}

QTEST_GUILESS_MAIN(TestCalDavAnswers)
#include "tst_caldavanswers.moc"
