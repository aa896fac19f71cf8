// SPDX-License-Identifier: GPL-3.0-or-later
// The table and the calendar: painting the annual-shaped grid, sorting, counting
// ToDo load, painting the month and one clock tick.

#include "benchdocument.h"

#include "core/annual/annuallayout.h"
#include "core/calendar/monthpaint.h"
#include "core/calendar/todotiming.h"
#include "core/store/appstate.h"
#include "gui/calendar/calendarwindow.h"
#include "gui/frame/navigator.h"
#include "gui/grid/grid.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

AppState& fullDocument() {
    static AppState* app = [] {
        auto* a = new AppState;
        BenchDocument::fill(*a);
        a->CurYear = 2005;
        a->CurMonth = 5;
        a->CurDay = 10;
        return a;
    }();
    return *app;
}

// The annual table of a full document, laid out as the annual windows lay it out.
void annualGrid(GridModel& m) {
    Nen_GridInit(m, 2005);
    copyStoreToGrid(fullDocument().store(), m);
}

// A repaint of a 1280 × 800 viewport into an image: as it stands (scroll 0), scrolled
// to a new place each time (scroll 1), or with every text laid out afresh because
// the font changed (scroll 2, the worst case).
void BM_GridPaintViewport(benchmark::State& state) {
    GridModel model;
    annualGrid(model);
    Grid grid;
    grid.setModel(&model);
    grid.resize(1280 + 20, 800 + 20);
    grid.show();
    QImage image(grid.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    int top = 1;
    const bool scroll = state.range(0) == 1;
    const bool relayout = state.range(0) == 2;
    QFont fonts[2] = {grid.font(), grid.font()};
    fonts[1].setPointSizeF(fonts[0].pointSizeF() + 0.5);
    int flip = 0;
    for (auto _ : state) {
        if (relayout)
            grid.setFont(fonts[flip ^= 1]);
        if (scroll) {
            top = top >= 300 ? 1 : top + 6;
            grid.setTopRow(top);
        }
        grid.viewport()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_GridPaintViewport)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->ArgNames({"scroll"})
    ->Unit(benchmark::kMillisecond);

// A stable sort of 1000 rows on two keys (time, then category), as the ToDo list
// sorts.
void BM_GridSort1000(benchmark::State& state) {
    GridModel model(1001, 4);
    static const char16_t* const categories[] = {u"最重", u"重要", u"普通", u"要軽"};
    auto fill = [&] {
        unsigned seed = 12345;
        for (int r = 1; r < 1001; ++r) {
            seed = seed * 1103515245u + 12345u;
            model.setTextMatrix(r, 1,
                                QStringLiteral("%1:%2")
                                    .arg((seed >> 8) % 24, 2, 10, QChar(u'0'))
                                    .arg((seed >> 16) % 60, 2, 10, QChar(u'0')));
            model.setTextMatrix(r, 2, QString::fromUtf16(categories[(seed >> 4) % 4]));
            model.setTextMatrix(r, 3, QStringLiteral("用件 %1").arg(r));
        }
    };
    using Key = GridModel::SortKey;
    const std::vector<Key> keys{{1, Key::Time, false, {}}, {2, Key::Text, false, {}}};
    for (auto _ : state) {
        state.PauseTiming();
        fill();
        state.ResumeTiming();
        model.sortRows(1, 1000, keys);
    }
}
BENCHMARK(BM_GridSort1000)->Unit(benchmark::kMicrosecond);

void BM_ToDoCountYear(benchmark::State& state) {
    const YearStore& store = fullDocument().store();
    for (auto _ : state) {
        int total = 0;
        for (int r = 1; r <= YearStore::DayRows; ++r)
            total += ToDo_Count(store, r);
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_ToDoCountYear)->Unit(benchmark::kMicrosecond);

// The month of the calendar window for a full document: computing the cells and
// applying them to the window's labels.
void BM_CalDrawMonth(benchmark::State& state) {
    Navigator nav;
    CalendarWindow window(fullDocument(), nav);
    window.timer()->stop();
    int month = 4;
    for (auto _ : state) {
        fullDocument().CurMonth = month;
        fullDocument().CurYear = month >= 4 ? 2005 : 2006;
        month = month == 12 ? 1 : (month == 3 ? 4 : month + 1);
        window.Cal_DrawMonth();
    }
    fullDocument().CurYear = 2005;
    fullDocument().CurMonth = 5;
}
BENCHMARK(BM_CalDrawMonth)->Unit(benchmark::kMicrosecond);

// One clock tick: the alarm level and a repaint of the clock alone.
void BM_ClockTick(benchmark::State& state) {
    Navigator nav;
    CalendarWindow window(fullDocument(), nav);
    window.timer()->stop();
    window.show();
    QImage image(window.clock()->size() * 2, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(2);
    for (auto _ : state) {
        window.clockTick();
        window.clock()->render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_ClockTick)->Unit(benchmark::kMicrosecond);

} // namespace
