// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A calendar made on a test's calendar server (radicale.h) as the program makes one:
// found from the server's address, "2005年度" unless named otherwise.

#include "net/caldavclient.h"
#include "support/radicale.h"

namespace RadicaleCalendar {

// The new calendar's address; empty, with the reason in `why`, when it was not made.
inline QString make(const RadicaleServer& server, QString* why,
                    const QString& displayName = QStringLiteral("2005年度")) {
    CalDavClient client(server.url(), server.user(), server.password());
    const DiscoveryResult found = client.discover().wait();
    const MakeCalendarResult made =
        found.error
            ? MakeCalendarResult{}
            : client.makeCalendar(found.home, QStringLiteral("year2005"), displayName).wait();
    if (found.error || made.error) {
        *why = found.error ? found.error.message : made.error.message;
        return {};
    }
    return server.url().resolved(QUrl(made.href)).toString();
}

} // namespace RadicaleCalendar
