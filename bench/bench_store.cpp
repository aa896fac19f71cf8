// SPDX-License-Identifier: GPL-3.0-or-later
// The year store's start-up and save paths: a new document, a full document saved
// and loaded straight from and into the store (with and without the file's identity),
// and read as plain bytes (the floor the others are held to).

#include "benchdocument.h"

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

namespace {

// A temporary folder holding one saved full document, made on first use and kept
// for the whole run.
struct DocumentFixture {
    QTemporaryDir dir;
    QString path;
    qint64 bytes = 0;
    bool ok = false;

    DocumentFixture() {
        if (!dir.isValid())
            return;
        AppState app;
        BenchDocument::fill(app);
        app.doc().setPath(dir.filePath(QStringLiteral("full.dys")));
        if (!DocFiles::writeDocument(app.store(), 20, app.docPath()).ok())
            return;
        path = app.docPath();
        bytes = QFile(path).size();
        ok = bytes > 0;
    }
};

DocumentFixture& fixture() {
    static DocumentFixture f;
    return f;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// The best of a few timed reads of the file: what the save and load times are
// compared with (the "x_floor" counters).
double floorSeconds(const QString& path) {
    using SteadyClock = std::chrono::steady_clock;
    double best = 1e9;
    for (int i = 0; i < 50; ++i) {
        const auto start = SteadyClock::now();
        benchmark::DoNotOptimize(readAll(path));
        best = std::min(best, std::chrono::duration<double>(SteadyClock::now() - start).count());
    }
    return best;
}

// Wall-clock time of the benchmark loop, for the "x_floor" counters: the time of one
// iteration divided by the floor.
class LoopTimer {
public:
    LoopTimer() : m_start(std::chrono::steady_clock::now()) {}
    double timesFloor(const benchmark::State& state, double floor) const {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
        return state.iterations() > 0 ? seconds / double(state.iterations()) / floor : 0.0;
    }

private:
    std::chrono::steady_clock::time_point m_start;
};

// True when the two stores hold the same document: texts of the text columns, the
// values of the colour columns.
bool sameDocument(const YearStore& a, const YearStore& b) {
    for (int r = 0; r <= YearStore::DayRows; ++r) {
        for (int c = 0; c < StoreCol::TextColumns; ++c)
            if (a.text(r, c) != b.text(r, c))
                return false;
        for (int c = StoreCol::WeekdayFore; r > 0 && c <= StoreCol::RecordBack; ++c)
            if (a.number(r, c) != b.number(r, c))
                return false;
    }
    return true;
}

void BM_StoreNew(benchmark::State& state) {
    AppState app;
    for (auto _ : state) {
        setCurrentDateToToday(app, 2005);
        Store_New(app, 2005);
        benchmark::ClobberMemory();
    }
}

// The save as the document writes it, straight from the store: `identity` 1 also
// takes the written file's identity (its hash), as an open document keeps it.
void BM_WriteDocument(benchmark::State& state) {
    DocumentFixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("could not write the document");
        return;
    }
    AppState app;
    BenchDocument::fill(app);
    const QString path = f.dir.filePath(QStringLiteral("write.dys"));
    FileIdentity identity;
    FileIdentity* const written = state.range(0) ? &identity : nullptr;
    if (!DocFiles::writeDocument(app.store(), 20, path, written).ok()) {
        state.SkipWithError("writeDocument failed");
        return;
    }
    const double floor = floorSeconds(path);
    const LoopTimer timer;
    for (auto _ : state) {
        if (!DocFiles::writeDocument(app.store(), 20, path, written).ok()) {
            state.SkipWithError("writeDocument failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["file_bytes"] = double(f.bytes);
    state.counters["x_floor"] = timer.timesFloor(state, floor);
}

// The load straight into a store, with the file's identity when `identity` is 1.
void BM_ReadDocument(benchmark::State& state) {
    DocumentFixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("could not write the document");
        return;
    }
    AppState expected;
    BenchDocument::fill(expected);
    YearStore store;
    FileIdentity identity;
    FileIdentity* const read = state.range(0) ? &identity : nullptr;
    if (!DocFiles::readDocument(f.path, store, read).ok() ||
        !sameDocument(store, expected.store())) {
        state.SkipWithError("the document read differs from the one saved");
        return;
    }
    const double floor = floorSeconds(f.path);
    const LoopTimer timer;
    for (auto _ : state) {
        if (!DocFiles::readDocument(f.path, store, read).ok()) {
            state.SkipWithError("readDocument failed");
            break;
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["file_bytes"] = double(f.bytes);
    state.counters["x_floor"] = timer.timesFloor(state, floor);
}

void BM_ReadBytes(benchmark::State& state) {
    DocumentFixture& f = fixture();
    if (!f.ok) {
        state.SkipWithError("could not write the document");
        return;
    }
    for (auto _ : state) {
        QFile file(f.path);
        if (!file.open(QIODevice::ReadOnly)) {
            state.SkipWithError("open failed");
            break;
        }
        benchmark::DoNotOptimize(file.readAll());
    }
    state.SetBytesProcessed(state.iterations() * f.bytes);
    state.counters["file_bytes"] = double(f.bytes);
}

} // namespace

BENCHMARK(BM_StoreNew)->Name("Store_New/2005")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteDocument)
    ->Name("WriteDocument/full")
    ->ArgName("identity")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_ReadDocument)
    ->Name("ReadDocument/full")
    ->ArgName("identity")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();
BENCHMARK(BM_ReadBytes)->Name("File_ReadAll/full")->Unit(benchmark::kMicrosecond)->UseRealTime();
