// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/weeklypage.h"
#include "gui/frame/viewwindow.h"

#include <array>

class ClickLabel;
class Grid;
class MonthGrid;
class TextBox;

// The weekly schedule "週日程": the week (Sunday to Saturday) of the current date,
// each day with its heading, events and ToDo items, Monday to Saturday also with the
// titles of their seven time slots, beside a small month calendar.
class WeeklyWindow : public ViewWindow {
    Q_OBJECT
public:
    WeeklyWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // Paints the small calendar for the current month.
    void Cal_DrawWeekly();

    TextBox* eventsBox(int day) const { return m_events[size_t(day)]; }
    // Day 1..6 (Monday..Saturday), slot 0..6.
    TextBox* slotBox(int day, int slot) const { return m_slots[size_t((day - 1) * 7 + slot)]; }
    Grid* dayGrid(int day) const { return m_grids[size_t(day)]; }
    ClickLabel* heading(int day) const { return m_heads[size_t(day)]; }
    MonthGrid* calendar() const { return m_calendar; }

protected:
    void loadFromStore() override;
    void storeBack() override;
    void copyPage(AppState& snapshot) override;
    void readBoxes();
    QWidget* writingWidget() const override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    void showHeads();
    void showDays();
    void openDay(int day);
    void stepMonth(int direction);

    WeeklyPage m_page;
    std::array<TextBox*, 7> m_events{};
    std::array<TextBox*, 42> m_slots{};
    std::array<Grid*, 7> m_grids{};
    std::array<ClickLabel*, 7> m_heads{};
    std::array<WeeklyHead, 7> m_headData{};
    MonthGrid* m_calendar = nullptr;
};
