// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/diarypage.h"

#include <array>

class AppState;

// What the month page holds for the cells of the current month: each day's events box
// and the colour of its date. Cell c shows day c - (weekday of the 1st - 1) + 1.
struct MonthlyPage {
    std::array<PageBox, 37> boxes;
    std::array<quint32, 37> dateColors{};
    // Whether the date shows a colour other than the one its day holds (only such a
    // colour is stored back).
    std::array<bool, 37> dateColorSet{};
};

// The page → the rows of the current month: each day's events with their colours,
// and the colour of its date as the day's colour where it was set.
void Monthly_ToStore(const MonthlyPage& page, AppState& app);
