// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QApplication;

#include <QString>

// For start-up measurements: with DAYLOG_BENCH_FIRST_PAINT set, the program prints
// "first-paint" on standard output as soon as the window named `window` (any window
// when empty) has painted for the first time, and then quits.
void watchFirstPaint(QApplication& app, const QString& window = QStringLiteral("カレンダー"));
