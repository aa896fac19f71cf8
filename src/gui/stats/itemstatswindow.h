// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/stats/statswindow.h"

// "スケジュール統計": how often each of 50 keywords came up in the slot titles of the
// picked days, against a target shown as a filled bar.
class ItemStatsWindow : public StatsWindow {
    Q_OBJECT
public:
    ItemStatsWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "キーワード": the cursor to the first keyword, for typing.
    void openKeys();

protected:
    void setUpTable() override;
    int printedHeadingCols() const override { return 3; } // number, keyword, target
};
