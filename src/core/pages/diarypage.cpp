// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/pages/diarypage.h"

#include "core/store/appstate.h"
#include "core/todo/todostring.h"

#include <vector>

namespace {

constexpr int TimeCol = 1;
const QString NoTimeKey = QStringLiteral("23:59");

// The box of the page that shows store column `col`.
PageBox& boxOf(DiaryPage& page, int col) {
    using namespace StoreCol;
    if (col == Events)
        return page.events;
    if (col == Record)
        return page.record;
    if (col >= SlotItem1 && col < SlotItem1 + 7)
        return page.slotItems[size_t(col - SlotItem1)];
    return page.slotTexts[size_t(col - SlotText1)];
}

const PageBox& boxOf(const DiaryPage& page, int col) {
    return boxOf(const_cast<DiaryPage&>(page), col);
}

// The boxes a page can show: the lines of the cell-colour map that have a background
// (the weekday has none).
const ColorMapLine& colorsOf(int textCol) {
    for (const ColorMapLine& m : cellColorMap())
        if (m.gridCol == textCol && m.backCol >= 0)
            return m;
    Q_ASSERT(!"a column without a box");
    return cellColorMap()[1];
}

} // namespace

PageBox loadPageBox(const YearStore& store, int row, int textCol) {
    const ColorMapLine& m = colorsOf(textCol);
    PageBox box;
    box.text = store.text(row, m.gridCol);
    box.fore = quint32(store.number(row, m.foreCol));
    const quint32 back = quint32(store.number(row, m.backCol));
    box.back = back != 0 ? back : SystemWindowColor;
    return box;
}

void storePageBox(const PageBox& box, YearStore& store, int row, int textCol) {
    const ColorMapLine& m = colorsOf(textCol);
    store.set(row, m.gridCol, box.text);
    store.set(row, m.foreCol, qint64(box.fore));
    storeBoxBack(box.back, store, row, m.backCol);
}

void storeBoxBack(quint32 back, YearStore& store, int row, int backCol) {
    if (back == SystemWindowColor && store.number(row, backCol) == 0)
        return;
    store.set(row, backCol, qint64(back));
}

DiaryPage::DiaryPage() : todo(ToDoDayTaskRows + 1, 4) {
    Diary_GridInit(todo);
}

void Diary_GridInit(GridModel& fg) {
    ToDo_DayGridInit(fg, DiaryDayGrid);
}

void Store_ToDiary(DiaryPage& page, const AppState& app) {
    const int row = Store_DayRow(app);
    for (const ColorMapLine& m : cellColorMap())
        if (m.backCol >= 0)
            boxOf(page, m.gridCol) = loadPageBox(app.store(), row, m.gridCol);
    ToDo_LoadDiary(page.todo, app.store(), row);
}

void Diary_CopyToStore(const DiaryPage& page, AppState& app) {
    const int row = Store_DayRow(app);
    for (const ColorMapLine& m : cellColorMap())
        if (m.backCol >= 0)
            storePageBox(boxOf(page, m.gridCol), app.store(), row, m.gridCol);
    ToDo_StoreDay(app.store(), row, ToDo_GridString(page.todo));
}

void Diary_ToStore(DiaryPage& page, AppState& app) {
    Diary_CopyToStore(page, app);
    ToDo_SaveDiary(page.todo, app.store(), Store_DayRow(app));
}

void Diary_SortToDo(GridModel& fg) {
    // By the time of day; rows without a time sort as 23:59, after the ones before it.
    const int row = fg.row(), col = fg.col();
    fg.sortRows(1, fg.rows() - 1, {{TimeCol, GridModel::SortKey::Time, false, NoTimeKey}});
    fg.setCell(GridModel::CellAlignment, 0, TimeCol, GridModel::AlignCenterCenter);
    fg.select(row, col);
}
