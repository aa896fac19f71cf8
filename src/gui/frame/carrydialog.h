// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/todo/carryover.h"

#include <QDialog>
#include <QSet>

#include <vector>

class AppState;
class QDateEdit;
class QLabel;
class QListWidget;
class QPushButton;
class YearStore;

// "ToDoの繰り越し": the open ToDo items of the year before, dated on or after the day
// of the date field (1 March by default, any day of that year), each with a tick box,
// ticked until the user unticks it. 繰り越す (Return) carries the ticked ones,
// 繰り越さない (Escape) none. The list takes the focus; Space toggles the tick of its
// current item.
class CarryDialog : public QDialog {
    Q_OBJECT
public:
    // `old` is the year before (read only, and kept for the dialog's life), `oldName`
    // its document's name, `newBaseYear` the new year's.
    CarryDialog(const YearStore& old, const QString& oldName, int newBaseYear,
                QWidget* parent = nullptr);

    QDateEdit* sinceEdit() const { return m_since; }
    QListWidget* list() const { return m_list; }
    QPushButton* carryButton() const { return m_carry; }
    QPushButton* skipButton() const { return m_skip; }
    // The ticked items, in the list's order.
    std::vector<CarryItem> chosen() const;

private:
    void refill();
    void itemTicked();
    void countTicks();

    const YearStore& m_old;
    std::vector<CarryItem> m_items; // one a list row
    QSet<QString> m_unticked;       // items the user unticked, kept across refills
    QDateEdit* m_since;
    QListWidget* m_list;
    QLabel* m_count;
    QPushButton* m_carry;
    QPushButton* m_skip;
};

// When a new year of `newBaseYear` is made and an open document is of the year before
// and holds open ToDo items, asks which of them to carry (the current document first,
// else the first of them opened). The items chosen; none when nothing was offered or
// the user carries none.
std::vector<CarryItem> Carry_Ask(QWidget* parent, const AppState& app, int newBaseYear);

// Adds `items` to 1 April of `year` (in a document's store, an edit); when the day
// cannot take them, says so to the user and adds none. Whether any was added.
bool Carry_Into(QWidget* parent, YearStore& year, const std::vector<CarryItem>& items);
