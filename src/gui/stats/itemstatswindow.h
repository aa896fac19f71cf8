#pragma once

#include "gui/stats/statswindow.h"

// "スケジュール統計": how often each of 50 keywords came up in the slot titles of the
// picked days, against a target shown as a filled bar.
class ItemStatsWindow : public StatsWindow {
    Q_OBJECT
public:
    ItemStatsWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "キーワード": the keywords and targets open for typing.
    void openKeys();

protected:
    void setUpTable() override;
    QString countRows(int first, int last) override;
    void cursorMoved(int oldRow, int oldCol, int newRow, int newCol) override;
    void closeKeywords() override;
};
