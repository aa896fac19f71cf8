// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"
#include "core/stats/templates.h"
#include "gui/frame/viewwindow.h"

class DayRange;
class Grid;
class QDateEdit;

// What the two statistics windows share: a range of days picked between two date
// fields, a keyword table counted over that range, keyword templates kept in files,
// and printing of the table's selected block. The keyword cells take typing wherever
// the cursor is put on them (a settings command puts it on the first); the counts are
// read-only.
class StatsWindow : public ViewWindow {
    Q_OBJECT
public:
    // "統計": counts over the picked days. A keyword that cannot be matched is
    // reported and nothing is counted.
    void count();
    // "キーワード保存" / "キーワード読み込み".
    void saveTemplate();
    void openTemplate();
    // "印刷": the selected block with the headings.
    void print();

    Grid* grid() const { return m_grid; }
    GridModel& table() { return m_table; }
    QDateEdit* fromPicker() const;
    QDateEdit* toPicker() const;

protected:
    StatsWindow(AppState& app, Navigator& nav, const QString& objectName, const QString& caption,
                const QString& between, TemplateKind kind);

    // The menus and toolbar of a statistics window: the file menu (its load item
    // named `openItem`), the settings menu with `settings`, the count command.
    std::vector<Command> commandTable(const QString& openItem, std::vector<Command> settings);
    // The keyword table as the window opens.
    virtual void setUpTable() = 0;
    // Counts store rows first..last into the table; a message when a keyword is bad.
    virtual QString countRows(int first, int last) = 0;
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

    TemplateKind m_kind;
    GridModel m_table;
    Grid* m_grid = nullptr;
    DayRange* m_range = nullptr;
};
