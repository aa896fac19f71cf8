// SPDX-License-Identifier: GPL-3.0-or-later
#include "net/caldavxml.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace DavXml {

QString clark(QStringView ns, QStringView local) {
    return u'{' + ns.toString() + u'}' + local.toString();
}

const QString GetEtag = clark(NsDav, u"getetag");
const QString DisplayName = clark(NsDav, u"displayname");
const QString ResourceType = clark(NsDav, u"resourcetype");
const QString SyncToken = clark(NsDav, u"sync-token");
const QString GetCtag = clark(NsCalServer, u"getctag");
const QString CurrentUserPrincipal = clark(NsDav, u"current-user-principal");
const QString CalendarHomeSet = clark(NsCalDav, u"calendar-home-set");
const QString SupportedComponents = clark(NsCalDav, u"supported-calendar-component-set");
const QString CalendarData = clark(NsCalDav, u"calendar-data");
const QString Collection = clark(NsDav, u"collection");
const QString Calendar = clark(NsCalDav, u"calendar");

namespace {

bool keptRaw(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArrayView("-._~!$&'()*+,;=:@/").contains(char(c));
}

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void appendCanonical(QByteArray& out, unsigned char c) {
    if (keptRaw(c)) {
        out += char(c);
        return;
    }
    static const char hex[] = "0123456789ABCDEF";
    out += '%';
    out += hex[c >> 4];
    out += hex[c & 15];
}

bool isElement(const QXmlStreamReader& r, QStringView ns, QStringView local) {
    return r.namespaceUri() == ns && r.name() == local;
}

QString name(const QXmlStreamReader& r) {
    return clark(r.namespaceUri(), r.name());
}

// Reads the property element the reader stands on, up to its end.
void readProperty(QXmlStreamReader& r, const QUrl& base, Property& p) {
    int depth = 0;
    while (!r.atEnd()) {
        switch (r.readNext()) {
        case QXmlStreamReader::Characters:
            p.text += r.text();
            break;
        case QXmlStreamReader::StartElement:
            if (depth == 0) {
                p.children << name(r);
                if (r.attributes().hasAttribute(QStringLiteral("name")))
                    p.names << r.attributes().value(QStringLiteral("name")).toString().trimmed();
            }
            if (isElement(r, NsDav, u"href")) {
                const QString href =
                    r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
                if (!href.isEmpty())
                    p.hrefs << canonicalPath(base, href);
            } else {
                ++depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth-- == 0)
                return;
            break;
        default:
            break;
        }
    }
}

void readPropstat(QXmlStreamReader& r, const QUrl& base, QHash<QString, Property>& props) {
    QHash<QString, Property> found;
    int status = -1;
    while (r.readNextStartElement()) {
        if (isElement(r, NsDav, u"prop")) {
            while (r.readNextStartElement()) {
                const QString key = name(r);
                Property p;
                readProperty(r, base, p);
                found.insert(key, p);
            }
        } else if (isElement(r, NsDav, u"status")) {
            status = statusCode(r.readElementText(QXmlStreamReader::IncludeChildElements));
        } else {
            r.skipCurrentElement();
        }
    }
    // A propstat without a status is taken as found; 404s and other failures name
    // properties the resource does not have.
    if (status == -1 || (status >= 200 && status < 300))
        props.insert(found);
}

void readResponse(QXmlStreamReader& r, const QUrl& base, QList<Response>& out) {
    QStringList hrefs;
    int status = 0;
    QHash<QString, Property> props;
    while (r.readNextStartElement()) {
        if (isElement(r, NsDav, u"href")) {
            const QString href =
                r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
            if (!href.isEmpty())
                hrefs << canonicalPath(base, href);
        } else if (isElement(r, NsDav, u"status")) {
            status = statusCode(r.readElementText(QXmlStreamReader::IncludeChildElements));
        } else if (isElement(r, NsDav, u"propstat")) {
            readPropstat(r, base, props);
        } else {
            r.skipCurrentElement();
        }
    }
    for (const QString& href : std::as_const(hrefs))
        out.append(Response{href, status, props});
}

class Writer {
public:
    explicit Writer(QStringView rootNs, QStringView root) : w(&bytes) {
        w.writeStartDocument();
        w.writeNamespace(QString::fromUtf16(NsDav), QStringLiteral("D"));
        w.writeNamespace(QString::fromUtf16(NsCalDav), QStringLiteral("C"));
        w.writeStartElement(rootNs.toString(), root.toString());
    }
    QXmlStreamWriter* operator->() { return &w; }
    void start(QStringView ns, QStringView local) {
        w.writeStartElement(ns.toString(), local.toString());
    }
    // An empty element of a "{namespace}local" name.
    void empty(const QString& clarkName) {
        const qsizetype close = clarkName.indexOf(u'}');
        if (close > 0 && clarkName.startsWith(u'{'))
            w.writeEmptyElement(clarkName.mid(1, close - 1), clarkName.mid(close + 1));
        else
            w.writeEmptyElement(clarkName);
    }
    void text(QStringView ns, QStringView local, const QString& value) {
        w.writeTextElement(ns.toString(), local.toString(), value);
    }
    void end() { w.writeEndElement(); }
    QByteArray finish() {
        w.writeEndDocument();
        return bytes;
    }

private:
    QByteArray bytes;
    QXmlStreamWriter w;
};

} // namespace

QString canonicalPath(const QUrl& base, const QString& href) {
    const QUrl resolved = base.resolved(QUrl(href, QUrl::TolerantMode));
    const QByteArray path = resolved.path(QUrl::FullyEncoded).toUtf8();
    QByteArray out;
    out.reserve(path.size() + 1);
    if (!path.startsWith('/'))
        out += '/';
    for (qsizetype i = 0; i < path.size(); ++i) {
        const char c = path.at(i);
        if (c == '%' && i + 2 < path.size() && hexValue(path.at(i + 1)) >= 0 &&
            hexValue(path.at(i + 2)) >= 0) {
            const auto byte = static_cast<unsigned char>(hexValue(path.at(i + 1)) * 16 +
                                                         hexValue(path.at(i + 2)));
            i += 2;
            if (byte == '/')
                out += "%2F";
            else
                appendCanonical(out, byte);
        } else {
            appendCanonical(out, static_cast<unsigned char>(c));
        }
    }
    return QString::fromLatin1(out);
}

QString memberPath(const QString& collection, const QString& name) {
    QString folder = collection;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    const QUrl base(QStringLiteral("http://localhost/"));
    return canonicalPath(base, canonicalPath(base, folder) +
                                   QString::fromLatin1(QUrl::toPercentEncoding(name)));
}

std::optional<Multistatus> parseMultistatus(const QByteArray& xml, const QUrl& requestUrl,
                                            QString* error) {
    QXmlStreamReader r(xml);
    Multistatus ms;
    if (!r.readNextStartElement()) {
        if (error)
            *error = r.hasError() ? r.errorString() : QStringLiteral("empty answer");
        return std::nullopt;
    }
    if (!isElement(r, NsDav, u"multistatus")) {
        if (error)
            *error = QStringLiteral("not a multistatus: ") + name(r);
        return std::nullopt;
    }
    while (r.readNextStartElement()) {
        if (isElement(r, NsDav, u"response"))
            readResponse(r, requestUrl, ms.responses);
        else if (isElement(r, NsDav, u"sync-token"))
            ms.syncToken = r.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
        else
            r.skipCurrentElement();
    }
    if (!r.hasError()) {
        // Nothing may follow the root element but comments and white space.
        while (!r.atEnd() && !r.hasError())
            r.readNext();
    }
    if (r.hasError()) {
        if (error)
            *error = r.error() == QXmlStreamReader::PrematureEndOfDocumentError
                         ? QStringLiteral("the answer ends early (line %1)").arg(r.lineNumber())
                         : QStringLiteral("line %1: %2").arg(r.lineNumber()).arg(r.errorString());
        return std::nullopt;
    }
    return ms;
}

QStringList errorConditions(const QByteArray& xml) {
    QXmlStreamReader r(xml);
    QStringList found;
    if (!r.readNextStartElement() || !isElement(r, NsDav, u"error"))
        return found;
    while (r.readNextStartElement()) {
        found << name(r);
        r.skipCurrentElement();
    }
    return found;
}

int statusCode(QStringView statusLine) {
    const auto parts = statusLine.trimmed().split(u' ', Qt::SkipEmptyParts);
    if (parts.size() < 2 || !parts.at(0).startsWith(u"HTTP/"))
        return 0;
    bool ok = false;
    const int code = parts.at(1).toInt(&ok);
    return ok && code >= 100 && code <= 999 ? code : 0;
}

QByteArray propfind(const QStringList& props) {
    Writer w(NsDav, u"propfind");
    w.start(NsDav, u"prop");
    for (const QString& p : props)
        w.empty(p);
    w.end();
    w.end();
    return w.finish();
}

QByteArray mkcalendar(const QString& displayName, const QStringList& components) {
    Writer w(NsCalDav, u"mkcalendar");
    w.start(NsDav, u"set");
    w.start(NsDav, u"prop");
    w.text(NsDav, u"displayname", displayName);
    w.start(NsCalDav, u"supported-calendar-component-set");
    for (const QString& c : components) {
        w->writeEmptyElement(QString::fromUtf16(NsCalDav), QStringLiteral("comp"));
        w->writeAttribute(QStringLiteral("name"), c);
    }
    w.end();
    w.end();
    w.end();
    w.end();
    return w.finish();
}

QByteArray syncCollection(const QString& token) {
    Writer w(NsDav, u"sync-collection");
    w.text(NsDav, u"sync-token", token);
    w.text(NsDav, u"sync-level", QStringLiteral("1"));
    w.start(NsDav, u"prop");
    w.empty(GetEtag);
    w.end();
    w.end();
    return w.finish();
}

QByteArray multiget(const QStringList& hrefs) {
    Writer w(NsCalDav, u"calendar-multiget");
    w.start(NsDav, u"prop");
    w.empty(GetEtag);
    w.empty(CalendarData);
    w.end();
    for (const QString& href : hrefs)
        w.text(NsDav, u"href", href);
    w.end();
    return w.finish();
}

} // namespace DavXml
