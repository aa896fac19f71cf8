// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/calendar/monthpaint.h"
#include "gui/platform/paperpaint.h"

#include <QLabel>
#include <QWidget>

#include <array>
#include <functional>

class QGridLayout;
class QToolButton;

// One day cell (or weekday heading) of a month grid. A day cell knows the store row
// of the day it shows (-1 when it shows none).
class DayCell : public QWidget, public PaperPaintable {
    Q_OBJECT
public:
    DayCell(int index, qreal fontScale, QWidget* parent);
    int index() const { return m_index; }
    int row() const { return m_row; }
    void setRow(int row) { m_row = row; }
    QString caption() const { return m_caption; }
    void setCaption(const QString& c);
    QColor textColor() const { return m_text; }
    void setTextColor(const QColor& c);
    QColor backColor() const { return m_back; }
    void setBackColor(const QColor& c);
    bool opaque() const { return m_opaque; }
    void setOpaque(bool on);
    bool isHeading() const;
    // A cell showing a day (the headings and the cells outside the month show none).
    bool hasDay() const { return !isHeading() && m_row >= 0 && !m_caption.isEmpty(); }
    void paintOnPaper(QPainter& p) override;

Q_SIGNALS:
    void clicked(int index);
    void rightClicked(int index);
    void doubleClicked(int index);

protected:
    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

private:
    void paintCell(QPainter& p, const QFont& base, bool focusFrame);

    int m_index;
    int m_row = -1;
    qreal m_fontScale;
    QString m_caption;
    QColor m_text = Qt::black;
    QColor m_back = Qt::white;
    bool m_opaque = true;
};

// A label that reports clicks (the month and year captions).
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;
Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;
};

// The month grid shared by the calendar window and the views: the previous and next
// month buttons, the month and year captions, seven weekday headings and 37 day
// cells (seven columns Sunday..Saturday), painted from a MonthPaint::Month.
class MonthGrid : public QWidget {
    Q_OBJECT
public:
    static constexpr int DayCells = 37;
    static constexpr int Headings = 37; // cells 37..43 are the weekday headings

    enum class Size { Large, Small };
    MonthGrid(const std::array<QString, 7>& headings, Size size, QWidget* parent = nullptr);

    // Puts a widget of the caller's under each day cell (the month page's event
    // boxes); `make` is called for the cells 0..36.
    void addUnderDays(const std::function<QWidget*(int cell, QWidget* parent)>& make);
    QWidget* underDay(int cell) const { return m_under[size_t(cell)]; }

    // Shows the month: captions, day colours, tips and load backgrounds, then the
    // today mark on the current day's cell where the month has one.
    void apply(const MonthPaint::Month& m);

    DayCell* cell(int index) const { return m_cells[size_t(index)]; }
    // The cell marked as the current day (-1 when none).
    int todayCell() const { return m_todayCell; }
    ClickLabel* monthLabel() const { return m_month; }
    ClickLabel* yearLabel() const { return m_year; }
    QToolButton* previousButton() const { return m_prev; }
    QToolButton* nextButton() const { return m_next; }

    // Lets the day cells take the keyboard focus: the arrow keys move by day and
    // week, Page Up/Down by month, Enter and Space open the day (dayClicked), the
    // context-menu key and Shift+F10 ask for its menu (dayMenuRequested). A move
    // beyond the month shown is asked for with dayFocusRequested.
    void setDaysFocusable(bool on);
    // Gives the focus to the cell of that store row; false when the month shown does
    // not hold it.
    bool focusRow(int row);
    // The store row of the day cell holding the focus (-1 when none does).
    int focusedRow() const;

Q_SIGNALS:
    // A day cell with a day was clicked (cells without a day are inert).
    void dayClicked(int row);
    void dayRightClicked(int index, int row);
    void dayDoubleClicked(int index, int row);
    // The day's menu from the keyboard, to be shown at `globalPos`.
    void dayMenuRequested(int index, int row, QPoint globalPos);
    // A key asks for the day of store row `row` (it may be in another month), or for
    // the day `months` months from the focused one (`row` is then that day's row).
    void dayFocusRequested(int row, int months);
    // A weekday heading (index 37..43) was clicked.
    void headingClicked(int index);
    void previousMonth();
    void nextMonth();
    void monthClicked();
    void yearClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void updateFocusable();
    std::array<DayCell*, 44> m_cells{};
    std::array<QWidget*, 37> m_under{};
    QGridLayout* m_days = nullptr;
    ClickLabel* m_month = nullptr;
    ClickLabel* m_year = nullptr;
    QToolButton* m_prev = nullptr;
    QToolButton* m_next = nullptr;
    int m_todayCell = -1;
    bool m_daysFocusable = false;
};
