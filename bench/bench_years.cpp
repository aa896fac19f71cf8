// SPDX-License-Identifier: GPL-3.0-or-later
// Twenty full years in one folder searched at once: in the process (every file read
// and searched on the worker threads), from the command line as a user runs it (warm:
// the files in the page cache; cold: the files' pages dropped from it first), and in
// the search window (the first year of a file listed, and the last).

#include "benchdocument.h"

#include "core/calendar/newyear.h"
#include "core/search/wildcard.h"
#include "core/search/yearsearch.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "gui/frame/navigator.h"
#include "gui/search/searchwindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace Qt::StringLiterals;

constexpr int FirstYear = 2006, Years = 20;

// The folder: each year a full document of its own content, three days of it with a
// word of their own.
const QStringList& yearFiles() {
    static QTemporaryDir dir;
    static const QStringList files = [] {
        QStringList out;
        for (int year = FirstYear; year < FirstYear + Years; ++year) {
            AppState full;
            BenchDocument::fill(full, unsigned(year));
            YearStore s;
            Store_New(s, year, QDate());
            for (int r = 1; r <= YearStore::DayRows; ++r) {
                if (s.text(r, StoreCol::Date).isEmpty())
                    continue;
                for (int c = StoreCol::Events; c < YearStore::Cols; ++c)
                    if (c != StoreCol::WeekdayFore)
                        s.set(r, c, full.store().at(r, c));
            }
            for (const int row : {45, 190, 301}) {
                const int col = StoreCol::SlotText1 + row % 7;
                s.set(row, col, s.text(row, col) + u"ひな人形を飾る。"_s);
            }
            const QString path = dir.filePath(u"%1.dys"_s.arg(year));
            if (!DocFiles::writeDocument(s, 20, path).ok())
                qFatal("the bench folder could not be written");
            out << path;
        }
        return out;
    }();
    return files;
}

QString folder() {
    return QFileInfo(yearFiles().first()).absolutePath();
}

// The files' pages written out and dropped from the page cache: the next read comes
// from the disk.
void dropFromCache() {
    for (const QString& path : yearFiles()) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY);
        if (fd < 0)
            continue;
        ::fdatasync(fd);
        ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        ::close(fd);
    }
}

void BM_SearchYearsInProcess(benchmark::State& state) {
    const Wildcard pattern = Wildcard::contains(state.range(0) ? u"の"_s : u"ひな人形"_s);
    size_t hits = 0;
    for (auto _ : state) {
        hits = 0;
        for (const YearSearchResult& r : YearSearch_All(yearFiles(), pattern))
            hits += r.hits.size();
    }
    state.counters["hits"] = double(hits);
    state.counters["files"] = Years;
}
BENCHMARK(BM_SearchYearsInProcess)
    ->Name("SearchYears/process")
    ->ArgName("many_hits")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// `daylog-tool search-years ひな人形 FOLDER` as a whole process, its output read.
void BM_SearchYearsCommand(benchmark::State& state) {
    const bool cold = state.range(0) == 1;
    const QString tool = QDir(QCoreApplication::applicationDirPath()).filePath(u"daylog-tool"_s);
    qint64 lines = 0;
    for (auto _ : state) {
        if (cold) {
            state.PauseTiming();
            dropFromCache();
            state.ResumeTiming();
        }
        QProcess p;
        p.start(tool, {u"search-years"_s, u"ひな人形"_s, folder()});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            state.SkipWithError("daylog-tool search-years failed");
            return;
        }
        lines = p.readAllStandardOutput().count('\n');
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_SearchYearsCommand)
    ->Name("SearchYears/command")
    ->ArgName("cold")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The search window over the folder, the newest year open: the time until a year read
// from a file is listed (counter first_file_ms) and until the last one is.
void BM_SearchWindowAllYears(benchmark::State& state) {
    AppState app;
    YearStore newest;
    const QString current = yearFiles().last();
    DocFiles::readDocument(current, newest);
    app.doc().replace(newest);
    app.doc().setPath(current);
    installApp(&app);
    Navigator nav;
    double firstFile = 0;
    int runs = 0;
    {
        SearchWindow w(app, nav);
        w.setScope(SearchWindow::Scope::AllYears);
        w.textBox()->setText(u"ひな人形"_s);
        for (auto _ : state) {
            QElapsedTimer clock;
            clock.start();
            w.search();
            const int own = w.results()->count();
            while (w.results()->count() == own && w.searching())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            firstFile += double(clock.nsecsElapsed()) / 1e6;
            while (w.searching())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            ++runs;
        }
        state.counters["lines"] = w.results()->count();
    }
    installApp(nullptr);
    state.counters["first_file_ms"] = runs ? firstFile / runs : 0;
}
BENCHMARK(BM_SearchWindowAllYears)
    ->Name("SearchYears/window")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
