// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The XML of the calendar server protocol: request bodies written with
// QXmlStreamWriter, multistatus answers read with QXmlStreamReader (any namespace
// prefixes), and the one canonical form of hrefs.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace DavXml {

// Namespaces and property names, as "{namespace}local" (Clark notation).
inline constexpr char16_t NsDav[] = u"DAV:";
inline constexpr char16_t NsCalDav[] = u"urn:ietf:params:xml:ns:caldav";
inline constexpr char16_t NsCalServer[] = u"http://calendarserver.org/ns/";

QString clark(QStringView ns, QStringView local);

extern const QString GetEtag, DisplayName, ResourceType, SyncToken, GetCtag, CurrentUserPrincipal,
    CalendarHomeSet, SupportedComponents, CalendarData, Collection, Calendar;

// The path of `href` resolved against `base` (relative or absolute), in canonical
// percent-encoding: every escape decoded but "%2F", then every byte outside
// RFC 3986's unreserved characters, sub-delimiters, ":", "@" and "/" escaped with
// upper-case hex. Servers write the same path in more than one way ("%40" or "@",
// "%7e" or "~"); their canonical forms are equal.
QString canonicalPath(const QUrl& base, const QString& href);
// A member of `collection` named `name` (any text; escaped as needed).
QString memberPath(const QString& collection, const QString& name);

// One property of a response, as read: its text (all character data inside it),
// the hrefs inside it, the names of its child elements and the name attributes of
// its child elements (the components of a component set).
struct Property {
    QString text;
    QStringList hrefs; // canonical paths
    QStringList children;
    QStringList names;
};

// One <response>: its href and either a status of its own (404 for a removed member,
// 507 for a truncated listing) or the properties its 2xx propstats carry.
struct Response {
    QString href;
    int status = 0; // of the response itself; 0 when it has propstats
    QHash<QString, Property> props;
    bool has(const QString& name) const { return props.contains(name); }
    QString text(const QString& name) const { return props.value(name).text; }
};

struct Multistatus {
    QList<Response> responses;
    QString syncToken;
};

// Reads a <multistatus> answer to a request made to `requestUrl`; nullopt with the
// reason in `error` when it is no such XML.
std::optional<Multistatus> parseMultistatus(const QByteArray& xml, const QUrl& requestUrl,
                                            QString* error);
// The conditions a <DAV:error> body names ("{DAV:}valid-sync-token", …); empty when
// the body is no such element.
QStringList errorConditions(const QByteArray& xml);
// The number of "HTTP/1.1 404 Not Found"; 0 when it is none.
int statusCode(QStringView statusLine);

// Request bodies.
QByteArray propfind(const QStringList& props);
QByteArray mkcalendar(const QString& displayName, const QStringList& components);
QByteArray syncCollection(const QString& token);
QByteArray multiget(const QStringList& hrefs);

} // namespace DavXml
