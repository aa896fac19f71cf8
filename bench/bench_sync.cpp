// SPDX-License-Identifier: GPL-3.0-or-later
// A full year synced with a real calendar server on this machine (Radicale, started
// here with a storage folder of its own): the first sync of every entry, a sync with
// nothing changed, and one with one changed entry.

#include "benchdocument.h"

#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/sync/syncapply.h"
#include "core/sync/syncitems.h"
#include "net/caldavclient.h"
#include "net/syncsession.h"

#include "../tests/support/radicale.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

using namespace Qt::StringLiterals;

// The server, the document file and its link, made once for all the benchmarks.
struct Setup {
    RadicaleServer server;
    QTemporaryDir dir;
    QString path;
    YearStore store;
    SyncLink link;
    QString problem;
    int entries = 0;

    Setup() {
        if (!RadicaleServer::available() || !server.start()) {
            problem = u"no calendar server: "_s + server.log();
            return;
        }
        // A year as a teacher keeps it, about 1,300 entries: the events of every fourth
        // day, the records of two days in three, three slots of every other day, the
        // ToDo items of every fifth day (the full document has every cell filled).
        AppState full;
        BenchDocument::fill(full);
        store = full.store();
        for (int r = 1; r <= YearStore::DayRows; ++r) {
            if (r % 4 != 0)
                store.set(r, StoreCol::Events, QString());
            if (r % 3 == 0)
                store.set(r, StoreCol::Record, QString());
            for (int k = 0; k < 7; ++k)
                if (r % 2 != 0 || k >= 3) {
                    store.set(r, StoreCol::SlotItem1 + k, QString());
                    store.set(r, StoreCol::SlotText1 + k, QString());
                }
            if (r % 5 != 0)
                store.set(r, StoreCol::ToDo, QString());
        }
        path = dir.filePath(u"2005.dys"_s);
        DocFiles::writeDocument(store, 20, path);
        CalDavClient client(server.url(), server.user(), server.password());
        const DiscoveryResult found = client.discover().wait();
        const MakeCalendarResult made =
            client.makeCalendar(found.home, u"bench"_s, u"2005年度"_s).wait();
        if (found.error || made.error) {
            problem = found.error ? found.error.message : made.error.message;
            return;
        }
        link = {server.url().toString(), server.user(),
                server.url().resolved(QUrl(made.href)).toString(), true};
        entries = int(Sync_LocalResources(store, 2005).size());
    }
    SyncReport sync() {
        CalDavClient client(server.url(), server.user(), server.password());
        return Sync_Run(client, path, store, 2005, link,
                        [this](const SyncPlan& plan, QString* why) {
                            return Sync_Apply(store, plan, why) &&
                                   DocFiles::writeDocument(store, 20, path).ok();
                        });
    }
};

Setup& setup() {
    static Setup* s = new Setup;
    return *s;
}

void BM_SyncFirst(benchmark::State& state) {
    Setup& s = setup();
    if (!s.problem.isEmpty()) {
        state.SkipWithError(qPrintable(s.problem));
        return;
    }
    SyncReport r;
    for (auto _ : state)
        r = s.sync();
    if (!r.ok)
        state.SkipWithError(qPrintable(r.error));
    state.counters["sent"] = r.sent;
    state.counters["entries"] = s.entries;
}
BENCHMARK(BM_SyncFirst)
    ->Name("Sync/first_full_year")
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SyncNothing(benchmark::State& state) {
    Setup& s = setup();
    SyncReport r;
    for (auto _ : state)
        r = s.sync();
    if (!r.ok || r.sent || r.received)
        state.SkipWithError("the sync with nothing changed did something");
}
BENCHMARK(BM_SyncNothing)
    ->Name("Sync/nothing_changed")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_SyncOneChange(benchmark::State& state) {
    Setup& s = setup();
    SyncReport r;
    int n = 0;
    for (auto _ : state) {
        state.PauseTiming();
        s.store.set(40, StoreCol::Record, u"記録 %1"_s.arg(++n));
        DocFiles::writeDocument(s.store, 20, s.path);
        state.ResumeTiming();
        r = s.sync();
    }
    if (!r.ok || r.sent != 1)
        state.SkipWithError("one changed entry was not sent alone");
}
BENCHMARK(BM_SyncOneChange)->Name("Sync/one_changed")->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
