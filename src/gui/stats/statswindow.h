// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"
#include "core/stats/templates.h"
#include "gui/frame/viewwindow.h"

class DayRange;
class Grid;
class QDateEdit;
class YearPicker;

// What the two statistics windows share: a range of days picked between two date
// fields, other years to count beside the current document's (YearPicker), a keyword
// table counted over that range in every year (yearstats.h), keyword templates kept in
// files, and printing of the table's selected block. The keyword cells take typing
// wherever the cursor is put on them (a settings command puts it on the first); the
// counts are read-only.
class StatsWindow : public ViewWindow {
    Q_OBJECT
public:
    // "統計": counts over the picked days, in the current document's year and the same
    // days of every other year chosen, the table laid out for those years oldest
    // first. A keyword that cannot be matched or a year that cannot be read is
    // reported and nothing is counted.
    void count();
    // "年度を追加..." / "年度を外す": the years of the table change at once, the
    // keywords stay and the counts are emptied.
    void addYear();
    void removeYear();
    // "キーワード保存" / "キーワード読み込み".
    void saveTemplate();
    void openTemplate();
    // "印刷": the selected block with the headings.
    void print();

    Grid* grid() const { return m_grid; }
    GridModel& table() { return m_table; }
    QDateEdit* fromPicker() const;
    QDateEdit* toPicker() const;
    YearPicker* yearPicker() const { return m_years; }

protected:
    StatsWindow(AppState& app, Navigator& nav, const QString& objectName, const QString& caption,
                const QString& between, TemplateKind kind);

    // The menus and toolbar of a statistics window: the file menu (its load item
    // named `openItem`), the settings menu with `settings`, the count command.
    std::vector<Command> commandTable(const QString& openItem, std::vector<Command> settings);
    // The keyword table as the window opens.
    virtual void setUpTable() = 0;
    // The columns printed with every block: the number and what names the row.
    virtual int printedHeadingCols() const = 0;

    // Moves the cursor to a keyword cell, the table taking the keys.
    void startTyping(int row, int col);

    void loadFromStore() override;
    void storeBack() override {}
    QWidget* writingWidget() const override;
    bool pageOfADate() const override { return false; }
    bool followsActivation() const override { return false; }
    void changeEvent(QEvent* event) override;

private:
    QWidget* buildPage(const QString& between);
    bool finishEdit();
    // The base years to count, oldest first: the current document's and the chosen.
    QList<int> yearsToCount() const;
    // The table laid out for `years` where it is laid out for others.
    void layOut(const QList<int>& years);

    TemplateKind m_kind;
    // The years the table is laid out for.
    QList<int> m_layout;
    YearPicker* m_years = nullptr;
    GridModel m_table;
    Grid* m_grid = nullptr;
    DayRange* m_range = nullptr;
};
