// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool sync: a document synced with its calendar collection, without a display.

#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/sync/syncapply.h"
#include "core/sync/syncstate.h"
#include "net/caldavclient.h"
#include "net/secretstore.h"
#include "net/syncsession.h"

#include "commandline.h"
#include "commands.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace {

// The server's address of a collection's: its scheme, host and port.
QString serverOf(const QString& collection) {
    return QUrl(collection)
        .adjusted(QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment |
                  QUrl::RemoveUserInfo)
        .toString();
}

} // namespace

int syncDocument(const QStringList& given) {
    const QString name = u"sync"_s, urlOption = u"--url"_s, userOption = u"--user"_s,
                  makeFlag = u"--make"_s;
    Cli::Arguments a;
    if (!Cli::split(name, given, {urlOption, userOption}, {makeFlag}, a))
        return Cli::UsageError;
    if (a.help)
        return Cli::help(name);
    if (a.rest.size() != 1)
        return Cli::usage(u"sync には文書のファイル名が一つ要ります。"_s, name);
    const QString& path = a.rest[0];
    if (!Cli::documentName(name, path))
        return Cli::UsageError;
    const QStringList urls = a.values.value(urlOption), users = a.values.value(userOption);
    if (urls.size() > 1 || users.size() > 1 || urls.size() != users.size())
        return Cli::usage(u"--url と --user は一つずつ、両方とも指定してください。"_s, name);
    const bool make = a.has(makeFlag);
    if (make && urls.isEmpty())
        return Cli::usage(
            u"--make には、サーバーのアドレスの --url とユーザー名の --user が要ります。"_s, name);

    DocumentLock lock;
    if (!Cli::lockDocument(lock, path))
        return Cli::Failure;
    YearStore store;
    if (const FileResult r = DocFiles::readDocument(path, store); !r.ok()) {
        Cli::err(r.loadMessage(path));
        return Cli::Failure;
    }
    const int baseYear = int(store.number(0, 0));
    SyncState state;
    QString error;
    if (!Sync_ReadState(path, store, baseYear, state, &error)) {
        Cli::err(error);
        return Cli::Failure;
    }
    SyncLink link = state.link;
    if (!urls.isEmpty()) {
        const QUrl url = QUrl::fromUserInput(urls[0]);
        if (!url.isValid() || (url.scheme() != u"https"_s && url.scheme() != u"http"_s))
            return Cli::usage(
                u"--url「%1」はカレンダーの http(s) のアドレスで指定してください。"_s.arg(urls[0]),
                name);
        QString collection = url.toString();
        if (!collection.endsWith(u'/'))
            collection += u'/';
        link = {serverOf(collection), users[0], make ? QString() : collection};
    }
    if (make && !state.link.collection.isEmpty()) {
        Cli::err(
            u"「%1」はもうカレンダー「%2」と同期しています。"_s.arg(path, state.link.collection));
        return Cli::Failure;
    }
    if (link.collection.isEmpty() && !make) {
        Cli::err(u"「%1」は同期先が決まっていません。--url にカレンダーのアドレスを、"
                 u"--user にユーザー名を指定してください。"_s.arg(path));
        return Cli::Failure;
    }

    QString password = qEnvironmentVariable("DAYLOG_CALDAV_PASSWORD");
    if (password.isEmpty()) {
        const SecretStore::Result kept =
            SecretStore::read(SecretStore::account(link.server, link.user));
        if (!kept.ok()) {
            Cli::err(u"%1のパスワードを読めませんでした。%2 DAYLOG_CALDAV_PASSWORD に"
                     u"入れて渡すこともできます。"_s.arg(link.user, kept.message()));
            return Cli::Failure;
        }
        password = kept.secret;
    }

    CalDavClient client(QUrl(link.server), link.user, password);
    // A calendar made for the year on the server of --url, found as the settings
    // dialog finds it; it receives the first sync's entries in one request.
    if (make) {
        CalDavClient at(QUrl::fromUserInput(urls[0]), link.user, password);
        const DiscoveryResult found = at.discover().wait();
        const MakeCalendarResult made =
            found.error
                ? MakeCalendarResult{}
                : at.makeCalendar(found.home, Sync_NewCalendarPath(store.documentId(), baseYear),
                                  Sync_NewCalendarName(baseYear))
                      .wait();
        if (found.error || made.error) {
            Cli::err(u"カレンダー「%1」を作れませんでした。%2"_s.arg(
                Sync_NewCalendarName(baseYear),
                found.error ? found.error.message : made.error.message));
            return Cli::Failure;
        }
        link.collection = QUrl(link.server).resolved(QUrl(made.href)).toString();
        link.made = true;
        Cli::out(u"カレンダー「%1」を作りました: %2\n"_s.arg(Sync_NewCalendarName(baseYear),
                                                             link.collection));
    }
    const SyncReport report =
        Sync_Run(client, path, store, baseYear, link, [&](const SyncPlan& plan, QString* why) {
            if (!Sync_Apply(store, plan, why))
                return false;
            if (const FileResult r = DocFiles::writeDocument(store, 20, path); !r.ok()) {
                *why = Cli::writeMessage(path, r);
                return false;
            }
            return true;
        });
    Cli::out(report.text() + u'\n');
    if (!report.ok) {
        Cli::err(report.error);
        return Cli::Failure;
    }
    return Cli::Success;
}
