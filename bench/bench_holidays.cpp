// SPDX-License-Identifier: GPL-3.0-or-later
// The holiday rules over every day they cover.

#include "core/calendar/holidays.h"

#include <benchmark/benchmark.h>

namespace {

void BM_HolidayGet(benchmark::State& state) {
    const QDate first(1948, 1, 1);
    const QDate last(2150, 12, 31);
    const qint64 days = first.daysTo(last) + 1;
    qint64 holidays = 0;
    for (auto _ : state) {
        holidays = 0;
        for (QDate d = first; d <= last; d = d.addDays(1)) {
            const QString name = Holiday_Get(d);
            holidays += name.isEmpty() ? 0 : 1;
            benchmark::DoNotOptimize(name);
        }
    }
    state.SetItemsProcessed(state.iterations() * days);
    state.counters["holidays"] = double(holidays);
}

} // namespace

BENCHMARK(BM_HolidayGet)->Name("Holiday_Get/1948-2150")->Unit(benchmark::kMillisecond);
