// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up: the time from starting the program with a full-year document to the
// first paint of its calendar window, next to a bare Qt window with a 367 × 19 table
// measured the same way in the same run (the floor). Both programs print
// "first-paint" once painted and quit.

#include "benchdocument.h"

#include "core/store/appstate.h"
#include "core/store/documentfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

double timeToFirstPaint(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DAYLOG_BENCH_FIRST_PAINT"), QStringLiteral("1"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), qEnvironmentVariable("QT_QPA_PLATFORM"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(program, args);
    while (p.state() != QProcess::NotRunning || p.bytesAvailable()) {
        p.waitForReadyRead(5000);
        if (p.readAll().contains("first-paint")) {
            const double seconds = t.nsecsElapsed() / 1e9;
            p.waitForFinished(5000);
            return seconds;
        }
        if (t.elapsed() > 20000)
            break;
    }
    p.kill();
    p.waitForFinished();
    return -1;
}

void startup(benchmark::State& state, const QString& program, const QStringList& args) {
    for (auto _ : state) {
        const double s = timeToFirstPaint(program, args);
        if (s < 0) {
            state.SkipWithError("the program did not report its first paint");
            break;
        }
        state.SetIterationTime(s);
    }
}

QString fullDocumentPath() {
    static QTemporaryDir dir;
    static const QString path = [] {
        AppState app;
        BenchDocument::fill(app);
        app.doc().setPath(dir.filePath(QStringLiteral("full.dys")));
        DocFiles::writeDocument(app.store(), 20, app.docPath());
        return app.docPath();
    }();
    return path;
}

void BM_StartupFloor(benchmark::State& state) {
    startup(state,
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("daylog-floor")),
            {});
}
BENCHMARK(BM_StartupFloor)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

// The same bare window with Japanese headings: the share of start-up that is the
// loading and shaping of a Japanese font, which the program cannot avoid.
void BM_StartupFloorJapanese(benchmark::State& state) {
    startup(state,
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("daylog-floor")),
            {QStringLiteral("ja")});
}
BENCHMARK(BM_StartupFloorJapanese)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

void BM_StartupCalendar(benchmark::State& state) {
    startup(state, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("daylog")),
            {fullDocumentPath()});
}
BENCHMARK(BM_StartupCalendar)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);

} // namespace
