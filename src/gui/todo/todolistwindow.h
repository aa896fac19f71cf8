// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"
#include "core/store/document.h"
#include "core/todo/todolist.h"
#include "gui/frame/viewwindow.h"

#include <QPointer>
#include <QTimer>

class DayRange;
class Grid;
class QDateEdit;
class QPushButton;

// The ToDo list "ToDo一覧": every item of a range of days in one table, opened beside
// the current view with the current date's month listed. It belongs to the document it
// was filled from. Its edits reach that document only through "保存", merged with what
// the document holds by then; leaving them is asked about. While it holds no edits of
// its own it always shows the document as it is.
class ToDoListWindow : public ViewWindow {
    Q_OBJECT
public:
    ToDoListWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    // "表示": the items of the picked days (asks first about unsaved edits).
    void showRange();
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
    // The document the list was filled from.
    Document* shownDocument() const { return m_shownDoc; }

    bool settleEdits() override;
    bool settleEditsOf(const Document* doc) override;

protected:
    // The list names the document it was filled from.
    const Document* titleDocument() const override;
    void loadFromStore() override;
    void storeBack() override {}
    QWidget* writingWidget() const override;
    bool followsActivation() const override { return false; }
    void closeEvent(QCloseEvent* event) override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    void changed() { m_modified = true; }
    // The items of the days from..to of the current document listed; false (nothing
    // changed) when the days are out of order or outside the year.
    bool fill(const QDate& from, const QDate& to);
    // The list filled again from its document, for the range it shows.
    void refill();
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
    ToDoShown m_shown; // what the list was filled with
    QPointer<Document> m_shownDoc;
    QTimer m_refill;
    bool m_modified = false;
};
