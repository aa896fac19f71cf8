// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/todo/todolist.h"

#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"

#include <map>
#include <vector>

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

} // namespace

void ToDo_GridInit(GridModel& fg) {
    fg.beginBulkEdit();
    fg.clear();
    fg.setCols(7);
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
    fg.setColWidth(OriginCol, 0);
    fg.setColHidden(OriginCol, true);
    fg.setColDataType(DateCol, GridModel::DateType);
    fg.setColDataType(TimeCol, GridModel::DateType);
    fg.setColComboList(CategoryCol, ToDo_CategoryComboList());
    fg.setCell(GridModel::CellAlignment, 0, DoneCol, 0, TextCol, GridModel::AlignCenterCenter);
    fg.setRowHeight(0, 300);
    fg.endBulkEdit();
    fg.select(0, DoneCol);
}

namespace {

// An item as a day string holds it, written the one way the program writes items.
QString normalItem(const ToDoItem& item) {
    return ToDo_ItemString(item.done(), item.time, item.category, item.text);
}

std::vector<QString> dayItems(const YearStore& store, int day) {
    std::vector<QString> out;
    for (const ToDoItem& item : ToDo_Parse(store.text(day, StoreCol::ToDo)))
        out.push_back(normalItem(item));
    return out;
}

} // namespace

bool ToDo_ListShow(GridModel& fg, const YearStore& store, int baseYear, const QDate& from,
                   const QDate& to, ToDoShown* shown) {
    if (from > to)
        return false;
    const int first = Dates::rowOfDate(from, baseYear);
    const int last = Dates::rowOfDate(to, baseYear);
    ToDo_GridInit(fg);
    // Every item of the range, without a limit on days or items.
    struct Line {
        QString date;
        int day;
        ToDoItem item;
    };
    std::vector<Line> lines;
    for (int d = std::max(first, 1); d <= std::min(last, YearStore::DayRows); ++d) {
        const QString day = store.text(d, StoreCol::ToDo);
        if (day.isEmpty())
            continue;
        const QString date = store.text(d, StoreCol::Date);
        for (ToDoItem& item : ToDo_Parse(day))
            lines.push_back({date, d, std::move(item)});
    }
    if (shown) {
        shown->from = from;
        shown->to = to;
        shown->baseYear = baseYear;
        shown->items.clear();
        for (const Line& l : lines)
            shown->items.push_back({l.day, normalItem(l.item)});
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
        fg.setTextMatrix(r, OriginCol, QString::number(i));
    }
    for (int r = 1; r < fg.rows(); ++r)
        prepareRow(fg, r);
    fg.endBulkEdit();
    ToDo_Renumber(fg);
    fg.select(1, DoneCol);
    return true;
}

bool ToDo_ListShow(GridModel& fg, const AppState& app, const QDate& from, const QDate& to,
                   ToDoShown* shown) {
    return ToDo_ListShow(fg, app.store(), app.baseYear(), from, to, shown);
}

ToDoSave ToDo_ListSave(const GridModel& fg, const ToDoShown& shown, YearStore& store) {
    if (shown.isEmpty())
        return {true, -1}; // nothing was shown: nothing to write
    const int first = std::max(Dates::rowOfDate(shown.from, shown.baseYear), 1);
    const int last = std::min(Dates::rowOfDate(shown.to, shown.baseYear), YearStore::DayRows);

    // The list's rows, every one checked before anything is written.
    struct Row {
        int day;
        QString item;
        int origin;     // index into shown.items, -1 for a row added in the list
        bool unchanged; // as it was shown: same day, same item
    };
    std::vector<Row> rows;
    std::map<int, bool> days; // every day touched, and whether it lies in the range
    for (int d = first; d <= last; ++d)
        days[d] = true;
    for (int r = 1; r < fg.rows(); ++r) {
        const QString text = fg.textMatrix(r, TextCol);
        if (text.isEmpty())
            continue;
        const QDate date = Dates::fromStoreText(fg.textMatrix(r, DateCol));
        const int d = date.isValid() ? Dates::rowOfDate(date, shown.baseYear) : 0;
        if (d < 1 || d > YearStore::DayRows)
            return {false, r};
        bool isNumber = false;
        int origin = fg.textMatrix(r, OriginCol).toInt(&isNumber);
        if (!isNumber || origin < 0 || size_t(origin) >= shown.items.size())
            origin = -1;
        const QString item =
            ToDo_ItemString(fg.cell(GridModel::CellChecked, r, DoneCol) == Done,
                            fg.textMatrix(r, TimeCol), fg.textMatrix(r, CategoryCol), text);
        const bool unchanged = origin >= 0 && shown.items[size_t(origin)].day == d &&
                               shown.items[size_t(origin)].item == item;
        rows.push_back({d, item, origin, unchanged});
        days.try_emplace(d, false);
    }

    for (const auto& [day, inRange] : days) {
        const std::vector<QString> now = dayItems(store, day);
        // Which of the day's items now are the ones shown: each shown item matched to
        // the first equal item not matched yet.
        std::vector<int> matchOf(shown.items.size(), -1);
        std::vector<bool> matched(now.size(), false);
        for (size_t i = 0; i < shown.items.size(); ++i) {
            if (shown.items[i].day != day)
                continue;
            for (size_t j = 0; j < now.size(); ++j) {
                if (!matched[j] && now[j] == shown.items[i].item) {
                    matched[j] = true;
                    matchOf[i] = int(j);
                    break;
                }
            }
        }
        QString result;
        if (inRange) {
            for (const Row& row : rows) {
                if (row.day != day)
                    continue;
                if (!row.unchanged)
                    result += row.item;
                else if (matchOf[size_t(row.origin)] >= 0)
                    result += now[size_t(matchOf[size_t(row.origin)])];
            }
            for (size_t j = 0; j < now.size(); ++j)
                if (!matched[j])
                    result += now[j];
        } else {
            // A day outside the range keeps what it holds; rows moved there follow.
            for (const QString& item : now)
                result += item;
            for (const Row& row : rows)
                if (row.day == day)
                    result += row.item;
        }
        ToDo_StoreDay(store, day, result);
    }
    return {true, -1};
}

void ToDo_Sort(GridModel& fg, ToDoOrder order) {
    if (fg.rows() <= 1)
        return;
    using Key = GridModel::SortKey;
    // Every order ends with the date (ascending unless it is the order) and the time.
    const Key time{TimeCol, Key::Time, false, {}};
    const bool dateDown = order == ToDoOrder::DateDown;
    std::vector<Key> keys;
    switch (order) {
    case ToDoOrder::DateUp:
    case ToDoOrder::DateDown:
        break;
    case ToDoOrder::OpenFirst:
    case ToDoOrder::DoneFirst:
        keys.push_back({DoneCol, Key::Check, order == ToDoOrder::DoneFirst, {}});
        break;
    case ToDoOrder::Category:
        keys.push_back({CategoryCol, Key::Text, false, {}});
        break;
    case ToDoOrder::TextUp:
    case ToDoOrder::TextDown:
        keys.push_back({TextCol, Key::Text, order == ToDoOrder::TextDown, {}});
        break;
    }
    keys.push_back({DateCol, Key::Date, dateDown, {}});
    keys.push_back(time);
    const int row = fg.row(), col = fg.col();
    fg.sortRows(1, fg.rows() - 1, keys);
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
        for (int c = DateCol; c <= OriginCol; ++c)
            fg.setTextMatrix(r + 1, c, fg.textMatrix(r, c));
        fg.setCell(GridModel::CellChecked, r + 1, DoneCol,
                   fg.cell(GridModel::CellChecked, r, DoneCol));
    }
    for (int c = DateCol; c <= OriginCol; ++c)
        fg.setTextMatrix(row, c, QString());
    fg.setCell(GridModel::CellChecked, row, DoneCol, Open);
    prepareRow(fg, fg.rows() - 1);
    fg.endBulkEdit();
    ToDo_Renumber(fg);
}
