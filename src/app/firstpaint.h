#pragma once

class QApplication;

// For start-up measurements: with DAYLOG_BENCH_FIRST_PAINT set, the program prints
// "first-paint" on standard output as soon as the calendar window has painted for the
// first time, and then quits.
void watchFirstPaint(QApplication& app);
