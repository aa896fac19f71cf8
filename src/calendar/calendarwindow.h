#pragma once

#include "calendar/monthpaint.h"

#include <QLabel>
#include <QMainWindow>
#include <QTime>
#include <QTimer>

#include <array>

class AppState;
class QAction;
class QMenu;

// One day cell (or weekday heading) of the month grid.
class DayCell : public QWidget {
    Q_OBJECT
public:
    DayCell(int index, QWidget* parent);
    int index() const { return m_index; }
    QString caption() const { return m_caption; }
    void setCaption(const QString& c);
    QColor textColor() const { return m_text; }
    void setTextColor(const QColor& c);
    QColor backColor() const { return m_back; }
    void setBackColor(const QColor& c);
    bool opaque() const { return m_opaque; }
    void setOpaque(bool on);

Q_SIGNALS:
    void clicked(int index);
    void rightClicked(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    int m_index;
    QString m_caption;
    QColor m_text = Qt::black;
    QColor m_back = Qt::white;
    bool m_opaque = true;
};

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
class CalendarWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit CalendarWindow(AppState& app, QWidget* parent = nullptr);
    ~CalendarWindow() override;

    // Paints the current month into the day cells.
    void Cal_DrawMonth();
    // One tick of the clock: hand colours from the ToDo alarm and a repaint of the
    // clock only.
    void clockTick();
    void Cal_ToTray();
    void Task_Out();
    // Asks to save when there are unsaved changes; true when the program ends.
    bool endProgram();

    void previousMonth();
    void nextMonth();

    DayCell* dayCell(int index) const { return m_cells[size_t(index)]; }
    ClockWidget* clock() const { return m_clock; }
    QLabel* monthLabel() const { return m_month; }
    QLabel* yearLabel() const { return m_year; }
    QMenu* popupMenu() const { return m_popup; }
    QAction* action(const QString& objectName) const;
    QTimer* timer() { return &m_timer; }

Q_SIGNALS:
    // The user ended the program (the application quits on it).
    void programEnding();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildCells();
    void applyMonth(const MonthPaint::Month& m);
    void showHelp();
    void chooseDayColor();
    void dayRightClicked(int index);

    AppState& m_app;
    std::array<DayCell*, 44> m_cells{};
    QLabel* m_month = nullptr;
    QLabel* m_year = nullptr;
    ClockWidget* m_clock = nullptr;
    QMenu* m_popup = nullptr;
    QTimer m_timer;
    int m_popupIndex = -1;
};
