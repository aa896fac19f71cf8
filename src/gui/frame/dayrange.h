// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QWidget>

class AppState;
class QDateEdit;

// A range of days of the year picked in two date fields ("DTPicker1" and "DTPicker2",
// each with its calendar, named 開始日 and 終了日 for a screen reader) with the word
// between them ("Label1").
class DayRange : public QWidget {
    Q_OBJECT
public:
    DayRange(const QString& between, QWidget* parent = nullptr);

    QDateEdit* from() const { return m_from; }
    QDateEdit* to() const { return m_to; }

    // Bounds both fields to the year that begins in April of `baseYear` and picks
    // first..last.
    void setYear(int baseYear, const QDate& first, const QDate& last);
    // The current document's year, 1 April to the current date picked.
    void pickYear(const AppState& app);
    // The current document's whole year picked, 1 April to 31 March.
    void pickWholeYear(const AppState& app);
    // Whether the fields are bounded to that year (another document may have been
    // opened since).
    bool isYear(int baseYear) const;
    // The picked days as rows of the year store (1 April = 1).
    int firstRow() const;
    int lastRow() const;

private:
    QDateEdit* m_from;
    QDateEdit* m_to;
    int m_baseYear = 0;
};
