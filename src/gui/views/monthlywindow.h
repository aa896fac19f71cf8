// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/monthlypage.h"
#include "gui/frame/viewwindow.h"

#include <array>

class MonthGrid;
class TextBox;

// The monthly schedule "月日程": the current month as a calendar page, each day with
// its date and a box for its events.
class MonthlyWindow : public ViewWindow {
    Q_OBJECT
public:
    MonthlyWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // Paints the month: dates, their colours and loads, and the events boxes.
    void Cal_DrawMonthly();
    // The date colour of the day whose box has the focus.
    void chooseDateColor();

    MonthGrid* page() const { return m_grid; }
    TextBox* eventsBox(int cell) const { return m_boxes[size_t(cell)]; }

protected:
    void loadFromStore() override;
    void storeBack() override;
    void copyPage(AppState& snapshot) override;
    QWidget* writingWidget() const override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    void stepMonth(int direction);

    MonthlyPage m_page;
    MonthGrid* m_grid = nullptr;
    std::array<TextBox*, 37> m_boxes{};
};
