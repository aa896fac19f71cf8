// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The document the core tests start from: a new year of 2005 (rows 1..366 run from
// 2005/04/01 to 2006/04/01) with the current date at 10 May 2005.

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"

struct Year2005 {
    Year2005() {
        app.setCurrentDate(QDate(2005, 5, 10));
        Store_New(app, 2005);
    }
    // The row of month `m`, day `d` (January to March are 2006's).
    int row(int m, int d) const { return Dates::rowOfDate(QDate(m > 3 ? 2005 : 2006, m, d), 2005); }
    void put(int m, int d, int col, const QString& text) { app.store().set(row(m, d), col, text); }
    QString text(int m, int d, int col) const { return app.store().text(row(m, d), col); }
    AppState app;
};
