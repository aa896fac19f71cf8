#pragma once

#include "grid/gridmodel.h"
#include "todo/todolist.h"
#include "views/viewwindow.h"

class DayRange;
class Grid;
class QDateEdit;
class QPushButton;

// The ToDo list "ToDo一覧": every item of a range of days in one table, opened beside
// the current view. Its edits reach the year only through "保存"; leaving them is
// asked about.
class ToDoListWindow : public ViewWindow {
    Q_OBJECT
public:
    ToDoListWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "表示": the items of the picked days (asks first about unsaved edits).
    void show_();
    // "保存": false when a row's date stopped it (the cursor is then on that row).
    bool save();
    void sort(ToDoOrder order);
    void addItem();
    void deleteItem();

    Grid* grid() const { return m_grid; }
    GridModel& list() { return m_list; }
    QDateEdit* fromPicker() const;
    QDateEdit* toPicker() const;
    QPushButton* showButton() const { return m_show; }
    QPushButton* saveButton() const { return m_save; }
    bool isModified() const { return m_modified; }

protected:
    void loadFromStore() override;
    void storeBack() override {}
    QWidget* writingWidget() const override;
    bool followsActivation() const override { return false; }
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    // Asks about unsaved edits; false when the user cancels (or the save failed).
    bool settleEdits();
    void changed() { m_modified = true; }
    void gridKeyDown(int key);
    void cut();
    void copy();
    void paste();
    void print();

    GridModel m_list;
    Grid* m_grid = nullptr;
    DayRange* m_range = nullptr;
    QPushButton* m_show = nullptr;
    QPushButton* m_save = nullptr;
    QDate m_shownFrom, m_shownTo; // the range the list was filled for
    bool m_modified = false;
};
