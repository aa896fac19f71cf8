// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calendar/reminders.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/viewwindow.h"

#include <QLabel>
#include <QTime>
#include <QTimer>

#include <array>

class AppState;
class QAction;
class QMenu;

// The analogue clock: a dial, three hands with their shadows, the hour points.
class ClockWidget : public QWidget {
    Q_OBJECT
public:
    explicit ClockWidget(QWidget* parent);
    void setTime(const QTime& t, int hourColor, int minuteColor, int secondColor);
    int hourColor() const { return m_colors[0]; }
    int minuteColor() const { return m_colors[1]; }
    int secondColor() const { return m_colors[2]; }
    QSize sizeHint() const override { return QSize(124, 124); }

Q_SIGNALS:
    void clicked();

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QTime m_time;
    std::array<int, 3> m_colors{0, 0, 0};
};

// The hub window "デイログ": the current month with holidays and ToDo load, the
// clock, the month buttons, saving, the notification area and the end of the program.
// Its day cells, captions and menus open the other windows through the navigator.
class CalendarWindow : public ViewWindow {
    Q_OBJECT
public:
    CalendarWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);
    ~CalendarWindow() override;

    // Paints the current month into the day cells.
    void Cal_DrawMonth();
    // One tick of the clock: hand colours from the ToDo alarm and a repaint of the
    // clock only.
    void clockTick();
    void Cal_ToTray();
    void Task_Out();
    // Asks about every document with unsaved changes; true when the program ends.
    bool endProgram();

    void previousMonth();
    void nextMonth();

    // The reminders switch, kept in the program's settings.
    static bool remindersOn();
    static void setRemindersOn(bool on);

    MonthGrid* monthGrid() const { return m_grid; }
    DayCell* dayCell(int index) const { return m_grid->cell(index); }
    ClockWidget* clock() const { return m_clock; }
    QLabel* monthLabel() const { return m_grid->monthLabel(); }
    QLabel* yearLabel() const { return m_grid->yearLabel(); }
    QMenu* popupMenu() const { return commandMenu(QStringLiteral("mnuPop")); }
    QTimer* timer() { return &m_timer; }
    // The last two reminders shown in the status bar (the first below why they are
    // there); none until one had nowhere else to go.
    QLabel* reminderLine() const { return m_reminderLine; }

Q_SIGNALS:
    // The user ended the program (the application quits on it).
    void programEnding();

protected:
    bool captionLast() const override { return true; }
    void loadFromStore() override;
    void storeBack() override {}
    // The calendar holds no page to store: the window is just opened.
    void openCommand(View view) override { navigator().open(view); }
    QWidget* writingWidget() const override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    std::vector<Command> commandTable();
    void buildPage();
    void openDay(int row);
    // The keyboard's way through the days: to the day of `row`, or `months` months
    // on from it, showing its month; nothing moves beyond the year.
    void focusDay(int row, int months);
    void openOnFirst(View view);
    void chooseDayColor();
    void dayRightClicked(int index, int row, const QPoint& globalPos);
    // Today's earliest open timed ToDo item, once when it comes within 30 minutes and
    // once when it is due, while the reminders are on: in the notification area where
    // there is one, else through the desktop's notification service, else in the
    // window's status bar.
    void remind(const QDateTime& now);
    enum class NoChannel { Neither, Refused };
    // The message in the status bar, which appears for the first and says why.
    void remindHere(const Reminders::Message& message, NoChannel why);

    Reminders m_reminders;
    qint64 m_remindedSecond = -1;
    QLabel* m_reminderLine = nullptr;

    MonthGrid* m_grid = nullptr;
    ClockWidget* m_clock = nullptr;
    QTimer m_timer;
    QTimer m_redraw;
    int m_popupRow = -1;
    int m_popupIndex = -1;
};
