// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/pages/diarypage.h"
#include "gui/frame/viewwindow.h"

#include <array>

class Grid;
class MonthGrid;
class QLabel;
class TextBox;

// The diary "日記": the page of one day (events, record, seven time slots with title
// and content, ToDo items) beside a small month calendar for picking the day.
class DiaryWindow : public ViewWindow {
    Q_OBJECT
public:
    DiaryWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // Paints the small calendar for the current month and the date of the page.
    void Cal_DrawDiary();
    // Sorts the ToDo items by time.
    void sortToDo();

    TextBox* eventsBox() const { return m_events; }
    TextBox* recordBox() const { return m_record; }
    TextBox* slotItemBox(int i) const { return m_slotItems[size_t(i)]; }
    TextBox* slotTextBox(int i) const { return m_slotTexts[size_t(i)]; }
    Grid* todoGrid() const { return m_grid; }
    MonthGrid* calendar() const { return m_calendar; }
    QLabel* monthText() const { return m_monthText; }
    QLabel* dayText() const { return m_dayText; }

    // The grid's cursor at the end of the last key press in it.
    int lastKeyRow() const { return m_lastKeyRow; }
    int lastKeyCol() const { return m_lastKeyCol; }

protected:
    void loadFromStore() override;
    void storeBack() override;
    void copyPage(AppState& snapshot) override;
    QWidget* writingWidget() const override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    void showPage();
    void readPage();
    // The text boxes into the page (the ToDo grid is the page's own model).
    void readBoxes();
    void gridKeyDown(int key);
    void stepMonth(int direction);
    void pickDay(int row);
    void colorDay(int index, int row);

    DiaryPage m_page;
    TextBox* m_events = nullptr;
    TextBox* m_record = nullptr;
    std::array<TextBox*, 7> m_slotItems{};
    std::array<TextBox*, 7> m_slotTexts{};
    Grid* m_grid = nullptr;
    MonthGrid* m_calendar = nullptr;
    QLabel* m_monthText = nullptr; // Label8
    QLabel* m_dayText = nullptr;   // Label9
    int m_lastKeyRow = 1;
    int m_lastKeyCol = 1;
};
