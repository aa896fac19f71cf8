// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/stats/statswindow.h"

// "記録統計": on how many of the picked days the record holds a first keyword
// followed by a second keyword, for 50 first keywords down the table and 10 second
// keywords along its heading.
class RecordStatsWindow : public StatsWindow {
    Q_OBJECT
public:
    RecordStatsWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "キーワード1": the cursor to the first of the first keywords, for typing.
    void openKey1();
    // "キーワード2": the cursor to the first of the second keywords, for typing.
    void openKey2();

protected:
    void setUpTable() override;
    int printedHeadingCols() const override { return 2; } // number, first keyword
};
