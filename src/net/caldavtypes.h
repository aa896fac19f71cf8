// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the calendar server client hands back: every operation gives one result
// struct, with either its data or a failure (`error`) that says what kind of failure it
// was and carries a Japanese message for the user.
//
// Hrefs are paths on the account's server, percent-encoded in one canonical form
// (DavXml::canonicalPath): two hrefs name the same resource exactly when they are
// equal as strings. ETags are kept as the server wrote them, quotes included.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct CalDavError {
    enum class Kind {
        None,
        Network,            // no answer: connection refused or lost, timeout, cancelled
        Auth,               // the server refused the user name or password
        Tls,                // the server's certificate could not be verified
        Http,               // the server answered with an error status
        PreconditionFailed, // 412: the resource changed on the server (ETag differs)
        InvalidSyncToken,   // the server no longer knows the sync token: list everything
        Malformed,          // an answer the client cannot read (or far too large)
    };
    Kind kind = Kind::None;
    int status = 0;  // the HTTP status when the server answered, else 0
    QString message; // for the user, in Japanese
    QString detail;  // what exactly went wrong (Qt's or the server's text), for logs

    explicit operator bool() const { return kind != Kind::None; }

    static CalDavError network(const QString& detail);
    // The desktop's proxy refused or could not be reached.
    static CalDavError proxy(const QString& detail);
    static CalDavError timeout(int seconds);
    static CalDavError cancelled();
    static CalDavError auth();
    static CalDavError tls(const QStringList& errors);
    static CalDavError http(int status, const QString& reason);
    static CalDavError precondition(int status);
    static CalDavError invalidSyncToken(int status);
    static CalDavError malformed(const QString& detail);
    static CalDavError tooLarge(qint64 limit);
    static CalDavError tooManyRedirects(int status);
};

// A calendar collection of the user's, as discovery lists it.
struct CalendarInfo {
    QString href;
    QString displayName;
    QStringList components; // VEVENT, VTODO, VJOURNAL, … (empty: the server did not say)
    QString syncToken;      // empty when the server does not offer one
    QString ctag;           // empty when the server does not offer one
};

struct DiscoveryResult {
    CalDavError error;
    QString principal; // the user's principal (empty when the server has none)
    QString home;      // the collection that holds the user's calendars
    QList<CalendarInfo> calendars;
};

struct MakeCalendarResult {
    CalDavError error;
    QString href; // the new collection, ending in "/"
};

struct SyncCollectionResult {
    CalDavError error;
    QHash<QString, QString> changed; // member href → its ETag (empty when the server gave none)
    QStringList removed;             // member hrefs gone since the token
    QString syncToken;               // the token to give next time
};

struct EtagListResult {
    CalDavError error;
    QHash<QString, QString> etags; // every member href → its ETag (may be empty)
    // The collection's own, from the same answer: its ETag (empty where the server
    // gives none) and its display name.
    QString collectionEtag;
    QString displayName;
};

struct CalendarObject {
    QString etag;
    QByteArray data; // the iCalendar text in UTF-8 (line ends as the XML answer gave them)
};

struct MultigetResult {
    CalDavError error;
    QHash<QString, CalendarObject> objects;
    QStringList missing; // asked for, but not on the server (or given without data)
};

// One resource to write: created when `etag` is empty (only if nothing is there yet),
// else replaced only while the server still has that ETag.
struct PutRequest {
    QString href;
    QByteArray data; // iCalendar, UTF-8
    QString etag;
};

struct PutResult {
    CalDavError error;
    QString href;
    QString etag; // the new ETag (empty only when the server would not tell it)
};

struct PutBatchResult {
    CalDavError error;        // the first item's failure, none when every item was written
    QList<PutResult> results; // one for each request, in the requests' order
    int failed() const;
};

struct DeleteResult {
    CalDavError error;
    bool wasGone = false; // the server had no such resource any more (404): not an error
};
