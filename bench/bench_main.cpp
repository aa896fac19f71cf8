// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks' entry point: a QApplication on the offscreen platform (the painting
// benchmarks need one), then every registered benchmark.

#include "gui/platform/uisetup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    setupJapaneseUi(app); // as the program sets itself up
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
