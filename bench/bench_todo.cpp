// SPDX-License-Identifier: GPL-3.0-or-later
// The ToDo list with a full document (five items a day, 1,830 items): "表示" over the
// whole year, each of the seven sorts, and "保存".

#include "benchdocument.h"

#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/todo/todolist.h"

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

const QDate First(2005, 4, 1), Last(2006, 3, 31);

void BM_ToDoListShowYear(benchmark::State& state) {
    GridModel list;
    for (auto _ : state)
        ToDo_ListShow(list, year(), First, Last);
    state.counters["items"] = list.rows() - 1;
}
BENCHMARK(BM_ToDoListShowYear)->Unit(benchmark::kMillisecond);

void BM_ToDoSort(benchmark::State& state) {
    GridModel list;
    const auto order = ToDoOrder(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        ToDo_ListShow(list, year(), First, Last);
        state.ResumeTiming();
        ToDo_Sort(list, order);
    }
}
BENCHMARK(BM_ToDoSort)->DenseRange(0, 6)->ArgNames({"order"})->Unit(benchmark::kMillisecond);

void BM_ToDoListSaveYear(benchmark::State& state) {
    GridModel list;
    ToDoShown shown;
    ToDo_ListShow(list, year(), First, Last, &shown);
    // Every item ticked in the list: every day of the year is written back.
    for (int r = 1; r < list.rows(); ++r)
        list.setCell(GridModel::CellChecked, r, ToDoList::DoneCol, 1);
    YearStore copy;
    for (auto _ : state) {
        state.PauseTiming();
        copy = year().store();
        state.ResumeTiming();
        ToDo_ListSave(list, shown, copy);
    }
}
BENCHMARK(BM_ToDoListSaveYear)->Unit(benchmark::kMillisecond);

} // namespace
