// SPDX-License-Identifier: GPL-3.0-or-later
// The export of a full year (every text cell filled, ToDo items on every day) as
// iCalendar and as CSV, the CSV read back into a new document, and a school's
// iCalendar year of 2,000 entries brought into a new document.

#include "benchdocument.h"

#include "core/calendar/newyear.h"
#include "core/export/csv.h"
#include "core/export/icalendar.h"
#include "core/export/icsimport.h"
#include "core/store/appstate.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

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

// 2,000 entries of the year 2026: 1,200 timed events (a third of them in Europe/Berlin
// with its VTIMEZONE), 300 all-day events of one to three days, 50 weekly meetings of
// ten weeks each with an EXDATE, 300 tasks and 150 journal entries.
QByteArray schoolYear() {
    QByteArray ics = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Bench//JA\r\n"
                     "BEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
                     "BEGIN:DAYLIGHT\r\nTZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\n"
                     "DTSTART:19700329T020000\r\nRRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=-1SU\r\n"
                     "END:DAYLIGHT\r\nBEGIN:STANDARD\r\nTZOFFSETFROM:+0200\r\n"
                     "TZOFFSETTO:+0100\r\nDTSTART:19701025T030000\r\n"
                     "RRULE:FREQ=YEARLY;BYMONTH=10;BYDAY=-1SU\r\nEND:STANDARD\r\n"
                     "END:VTIMEZONE\r\n";
    const QDate first(2026, 4, 1);
    auto day = [&](int i) { return first.addDays(i % 365).toString(u"yyyyMMdd"_s).toLatin1(); };
    auto item = [&](const char* kind, int i, const QByteArray& body) {
        ics += "BEGIN:" + QByteArray(kind) + "\r\nUID:" + QByteArray::number(i) + "@bench\r\n" +
               body + "END:" + kind + "\r\n";
    };
    int n = 0;
    for (int i = 0; i < 1200; ++i, ++n) {
        const QByteArray start = day(i * 7) + 'T' + QByteArray::number(10 + i % 12) + "3000";
        const QByteArray tz = i % 3 == 0 ? ";TZID=Europe/Berlin:" : ":";
        item("VEVENT", n,
             "DTSTART" + tz + start + "\r\nDURATION:PT1H30M\r\nSUMMARY:授業 " +
                 QByteArray::number(i) + "\r\nLOCATION:教室 " + QByteArray::number(i % 30) +
                 "\r\nDESCRIPTION:単元の説明\\, 持ち物\r\n");
    }
    for (int i = 0; i < 300; ++i, ++n)
        item("VEVENT", n,
             "DTSTART;VALUE=DATE:" + day(i * 11) + "\r\nDTEND;VALUE=DATE:" +
                 day(i * 11 + 1 + i % 3) + "\r\nSUMMARY:行事 " + QByteArray::number(i) + "\r\n");
    for (int i = 0; i < 50; ++i, ++n)
        item("VEVENT", n,
             "DTSTART:" + day(i * 5) + "T160000\r\nDTEND:" + day(i * 5) +
                 "T170000\r\nRRULE:FREQ=WEEKLY;COUNT=10\r\nEXDATE:" + day(i * 5 + 14) +
                 "T160000\r\nSUMMARY:会議 " + QByteArray::number(i) + "\r\n");
    for (int i = 0; i < 300; ++i, ++n)
        item("VTODO", n,
             "DUE:" + day(i * 13) + "T170000\r\nPRIORITY:" + QByteArray::number(i % 10) +
                 "\r\nSUMMARY:提出 " + QByteArray::number(i) + "\r\n" +
                 (i % 2 ? "STATUS:COMPLETED\r\n" : ""));
    for (int i = 0; i < 150; ++i, ++n)
        item("VJOURNAL", n,
             "DTSTART;VALUE=DATE:" + day(i * 17) + "\r\nSUMMARY:学級日誌 " + QByteArray::number(i) +
                 "\r\nDESCRIPTION:一行目\\n二行目\r\n");
    return ics + "END:VCALENDAR\r\n";
}

void BM_ImportICalendar(benchmark::State& state) {
    const QByteArray ics = schoolYear();
    YearStore empty;
    Store_New(empty, 2026, QDate(2026, 4, 1));
    IcsImportSummary summary;
    for (auto _ : state) {
        YearStore store = empty;
        QString error;
        if (!Import_ICalendar(ics, store, 2026, summary, &error))
            state.SkipWithError("the iCalendar file was refused");
        benchmark::DoNotOptimize(store);
    }
    state.counters["added"] = summary.added();
}
BENCHMARK(BM_ImportICalendar)->Unit(benchmark::kMillisecond);

} // namespace
