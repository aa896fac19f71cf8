// SPDX-License-Identifier: GPL-3.0-or-later
// daylog-tool sync against a real calendar server (Radicale): a calendar made for the
// year with --make and filled by the first sync, the next sync with nothing to do, and
// what it refuses.

#include "core/calendar/newyear.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/sync/syncitems.h"
#include "core/sync/syncstate.h"
#include "core/time/dates.h"
#include "net/caldavclient.h"
#include "support/radicale.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

struct Run {
    int exitCode = -1;
    QString out, err;
};

Run tool(const QStringList& args, const QString& password) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DAYLOG_CALDAV_PASSWORD"_s, password);
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("DAYLOG_TOOL"), args);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.exitCode = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

class TestSyncTool : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void aCalendarMadeForTheYear() {
        if (!RadicaleServer::available())
            QSKIP("needs radicale");
        RadicaleServer server;
        QVERIFY2(server.start(), qPrintable(server.log()));
        QTemporaryDir dir;
        const QString path = dir.filePath(u"2005.dys"_s);
        YearStore store;
        Store_New(store, 2005, QDate());
        for (int d = 1; d <= 25; ++d)
            store.set(Dates::rowOfDate(QDate(2005, 6, d), 2005), StoreCol::Record,
                      u"6月%1日の記録"_s.arg(d));
        QVERIFY(DocFiles::writeDocument(store, 20, path).ok());
        const QString url = server.url().toString();
        const QStringList make{u"sync"_s,   path,          u"--url"_s, url,
                               u"--user"_s, server.user(), u"--make"_s};

        // A wrong password: nothing made, nothing linked.
        Run r = tool(make, u"wrong"_s);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"カレンダー「2005年度」を作れませんでした"_s), qPrintable(r.err));
        QVERIFY(!QFile::exists(Sync_StatePath(path)));

        r = tool(make, server.password());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(u"カレンダー「2005年度」を作りました"_s) &&
                     r.out.contains(u"送信 25件"_s),
                 qPrintable(r.out));
        SyncState state;
        QString error;
        QVERIFY2(Sync_ReadState(path, store, 2005, state, &error), qPrintable(error));
        QVERIFY(state.link.made);
        QCOMPARE(state.items.size(), size_t(25));
        CalDavClient client(server.url(), server.user(), server.password());
        const EtagListResult listed = client.listEtags(state.link.collection).wait();
        QVERIFY2(!listed.error, qPrintable(listed.error.message));
        QCOMPARE(listed.etags.size(), 25);
        QCOMPARE(listed.displayName, u"2005年度"_s);

        // From then on the document knows its calendar.
        r = tool({u"sync"_s, path}, server.password());
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(u"受信 0件、送信 0件、削除 0件"_s), qPrintable(r.out));
        r = tool(make, server.password());
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(u"もうカレンダー"_s), qPrintable(r.err));
        QCOMPARE(client.listEtags(state.link.collection).wait().etags.size(), 25);

        // --make needs the server.
        r = tool({u"sync"_s, path, u"--make"_s}, server.password());
        QCOMPARE(r.exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestSyncTool)
#include "tst_synctool.moc"
