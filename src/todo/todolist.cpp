#include "todo/todolist.h"

#include "grid/gridmodel.h"
#include "store/appstate.h"
#include "store/dates.h"
#include "todo/todostring.h"

#include <map>

using namespace ToDoList;

namespace {

constexpr int RowHeight = 350;
constexpr int Done = 1, Open = 2; // check box states

void prepareRow(GridModel& fg, int r) {
    fg.setRowHeight(r, RowHeight);
    fg.setCell(GridModel::CellAlignment, r, NumberCol, GridModel::AlignCenterCenter);
    if (fg.cell(GridModel::CellChecked, r, DoneCol) == 0)
        fg.setCell(GridModel::CellChecked, r, DoneCol, Open);
}

// One sort pass on a single key column.
void pass(GridModel& fg, int col, int order) {
    for (int c = 1; c <= TextCol; ++c)
        fg.setColSort(c, c == col ? order : 0);
    fg.select(1, DoneCol, fg.rows() - 1, TextCol);
    fg.setSort(GridModel::SortGenericByColSort);
}

constexpr int Ascending = 1, Descending = 2;

void baseSort(GridModel& fg) {
    pass(fg, TimeCol, Ascending);
    pass(fg, DateCol, Ascending);
}

// The open/done pass sorts on a key text written into the check box column.
void doneKeyPass(GridModel& fg, int order) {
    for (int r = 1; r < fg.rows(); ++r)
        fg.setTextMatrix(r, DoneCol,
                         fg.cell(GridModel::CellChecked, r, DoneCol) == Done ? QStringLiteral("1")
                                                                             : QStringLiteral("0"));
    pass(fg, DoneCol, order);
    for (int r = 1; r < fg.rows(); ++r)
        fg.setTextMatrix(r, DoneCol, QString());
}

} // namespace

void ToDo_GridInit(GridModel& fg) {
    fg.beginBulkEdit();
    fg.clear();
    fg.setCols(6);
    fg.setRows(1);
    fg.setFixedRows(1);
    fg.setFixedCols(1);
    static const int widths[6] = {500, 400, 1400, 600, 600, 1500};
    static const char16_t* const headings[6] = {u"",     u"既",   u"日　付",
                                                u"時刻", u"分類", u"用　　　件"};
    for (int c = 0; c < 6; ++c) {
        fg.setColWidth(c, widths[c]);
        fg.setTextMatrix(0, c, QString::fromUtf16(headings[c]));
    }
    fg.setColDataType(DateCol, GridModel::DateType);
    fg.setColDataType(TimeCol, GridModel::DateType);
    fg.setColComboList(CategoryCol, ToDo_CategoryComboList());
    fg.setCell(GridModel::CellAlignment, 0, DoneCol, 0, TextCol, GridModel::AlignCenterCenter);
    fg.setRowHeight(0, 300);
    fg.endBulkEdit();
    fg.select(0, DoneCol);
}

bool ToDo_ListShow(GridModel& fg, const AppState& app, const QDate& from, const QDate& to) {
    if (from > to)
        return false;
    const int first = Dates::rowOfDate(from, app.BaseYear);
    const int last = Dates::rowOfDate(to, app.BaseYear);
    ToDo_GridInit(fg);
    // Every item of the range, without a limit on days or items.
    struct Line {
        QString date;
        ToDoItem item;
    };
    std::vector<Line> lines;
    for (int d = std::max(first, 1); d <= std::min(last, YearStore::DayRows); ++d) {
        const QString day = app.store.text(d, StoreCol::ToDo);
        if (day.isEmpty())
            continue;
        const QString date = app.store.text(d, StoreCol::Date);
        for (ToDoItem& item : ToDo_Parse(day))
            lines.push_back({date, std::move(item)});
    }
    fg.beginBulkEdit();
    fg.setRows(int(std::max<size_t>(lines.size(), 1)) + 1);
    for (size_t i = 0; i < lines.size(); ++i) {
        const int r = int(i) + 1;
        const Line& l = lines[i];
        fg.setCell(GridModel::CellChecked, r, DoneCol, l.item.done() ? Done : Open);
        fg.setTextMatrix(r, DateCol, l.date);
        fg.setTextMatrix(r, TimeCol, l.item.time);
        fg.setTextMatrix(r, CategoryCol, l.item.category);
        fg.setTextMatrix(r, TextCol, l.item.text);
    }
    for (int r = 1; r < fg.rows(); ++r)
        prepareRow(fg, r);
    fg.endBulkEdit();
    ToDo_Renumber(fg);
    fg.select(1, DoneCol);
    return true;
}

ToDoSave ToDo_ListSave(const GridModel& fg, AppState& app, const QDate& from, const QDate& to) {
    const int first = std::max(Dates::rowOfDate(from, app.BaseYear), 1);
    const int last = std::min(Dates::rowOfDate(to, app.BaseYear), YearStore::DayRows);
    // Every row is checked before anything is written.
    std::map<int, QString> days;
    for (int d = first; d <= last; ++d)
        days[d];
    for (int r = 1; r < fg.rows(); ++r) {
        const QString text = fg.textMatrix(r, TextCol);
        if (text.isEmpty())
            continue;
        const QDate date = Dates::fromStoreText(fg.textMatrix(r, DateCol));
        const int d = date.isValid() ? Dates::rowOfDate(date, app.BaseYear) : 0;
        if (d < 1 || d > YearStore::DayRows)
            return {false, r};
        days[d] += ToDo_ItemString(fg.cell(GridModel::CellChecked, r, DoneCol) == Done,
                                   fg.textMatrix(r, TimeCol), fg.textMatrix(r, CategoryCol), text);
    }
    for (const auto& [d, items] : days) {
        if (d >= first && d <= last)
            app.store.set(d, StoreCol::ToDo, items);
        else // moved here from the list: added to what the day holds
            app.store.set(d, StoreCol::ToDo, app.store.text(d, StoreCol::ToDo) + items);
    }
    app.setDocChanged(true);
    return {true, -1};
}

void ToDo_Sort(GridModel& fg, ToDoOrder order) {
    if (fg.rows() <= 1)
        return;
    const int row = fg.row(), col = fg.col();
    switch (order) {
    case ToDoOrder::DateUp:
        pass(fg, TimeCol, Ascending);
        pass(fg, DateCol, Ascending);
        break;
    case ToDoOrder::DateDown:
        pass(fg, TimeCol, Ascending);
        pass(fg, DateCol, Descending);
        break;
    case ToDoOrder::OpenFirst:
        baseSort(fg);
        doneKeyPass(fg, Ascending);
        break;
    case ToDoOrder::DoneFirst:
        baseSort(fg);
        doneKeyPass(fg, Descending);
        break;
    case ToDoOrder::Category:
        baseSort(fg);
        pass(fg, CategoryCol, Ascending);
        break;
    case ToDoOrder::TextUp:
        baseSort(fg);
        pass(fg, TextCol, Ascending);
        break;
    case ToDoOrder::TextDown:
        baseSort(fg);
        pass(fg, TextCol, Descending);
        break;
    }
    for (int c = 1; c <= TextCol; ++c)
        fg.setColSort(c, 0);
    ToDo_Renumber(fg);
    fg.select(row, col);
}

void ToDo_Renumber(GridModel& fg) {
    fg.beginBulkEdit();
    for (int r = 1; r < fg.rows(); ++r)
        fg.setTextMatrix(r, NumberCol, QString::number(r));
    fg.endBulkEdit();
}

void ToDo_InsertRow(GridModel& fg, int row) {
    if (row < 1 || row >= fg.rows())
        return;
    fg.beginBulkEdit();
    fg.setRows(fg.rows() + 1);
    for (int r = fg.rows() - 2; r >= row; --r) {
        for (int c = DateCol; c <= TextCol; ++c)
            fg.setTextMatrix(r + 1, c, fg.textMatrix(r, c));
        fg.setCell(GridModel::CellChecked, r + 1, DoneCol,
                   fg.cell(GridModel::CellChecked, r, DoneCol));
    }
    for (int c = DateCol; c <= TextCol; ++c)
        fg.setTextMatrix(row, c, QString());
    fg.setCell(GridModel::CellChecked, row, DoneCol, Open);
    prepareRow(fg, fg.rows() - 1);
    fg.endBulkEdit();
    ToDo_Renumber(fg);
}
