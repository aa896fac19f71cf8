#pragma once

#include "core/grid/gridmodel.h"
#include "core/stats/templates.h"
#include "gui/frame/viewwindow.h"

class DayRange;
class Grid;
class QDateEdit;

// What the two statistics windows share: a range of days picked between two date
// fields, a keyword table counted over that range, keyword templates kept in files,
// and printing of the table's selected block. The keyword cells are headings; a
// settings command opens a block of them for typing (painted light cyan) and the block
// closes again when the cursor leaves it.
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
    // The cursor moved: closes the keyword blocks it left.
    virtual void cursorMoved(int oldRow, int oldCol, int newRow, int newCol) = 0;
    // Closes every open keyword block.
    virtual void closeKeywords() = 0;

    // Paints a keyword block open (light cyan) or closed (the colour of the corner
    // heading).
    void paintOpen(int row1, int col1, int row2, int col2);
    void paintClosed(int row1, int col1, int row2, int col2);
    // Moves the cursor to a cell just opened for typing.
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
