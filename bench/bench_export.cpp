// The export of a full year (every text cell filled, ToDo items on every day) as
// iCalendar and as CSV, and the CSV read back into a new document.

#include "benchdocument.h"

#include "core/export/csv.h"
#include "core/export/icalendar.h"
#include "core/store/appstate.h"

#include <benchmark/benchmark.h>

namespace {

AppState& year() {
    static AppState* app = [] {
        auto* a = new AppState;
        BenchDocument::fill(*a);
        return a;
    }();
    return *app;
}

void BM_ExportICalendar(benchmark::State& state) {
    QByteArray out;
    for (auto _ : state) {
        out = Export_ICalendar(year().store(), year().baseYear(),
                               {false, QDateTime::currentDateTimeUtc()});
        benchmark::DoNotOptimize(out);
    }
    state.counters["KiB"] = double(out.size()) / 1024;
}
BENCHMARK(BM_ExportICalendar)->Unit(benchmark::kMillisecond);

void BM_ExportCsv(benchmark::State& state) {
    QByteArray out;
    for (auto _ : state) {
        out = Export_Csv(year().store(), year().baseYear());
        benchmark::DoNotOptimize(out);
    }
    state.counters["KiB"] = double(out.size()) / 1024;
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    const QByteArray csv = Export_Csv(year().store(), year().baseYear());
    for (auto _ : state) {
        YearStore imported;
        CsvError error;
        if (!Import_Csv(csv, imported, &error))
            state.SkipWithError("the CSV was refused");
        benchmark::DoNotOptimize(imported);
    }
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

} // namespace
