#include "views/diarypage.h"

#include "store/appstate.h"
#include "todo/todostring.h"

#include <vector>

namespace {

constexpr int TaskRows = 10;
constexpr int TimeCol = 1;
constexpr int LastOfDay = 1; // sort key: ascending
const QString NoTimeKey = QStringLiteral("23:59");

void loadBox(PageBox& box, const YearStore& s, int row, int textCol, int foreCol, int backCol) {
    box.text = s.text(row, textCol);
    box.fore = quint32(s.number(row, foreCol));
    const quint32 back = quint32(s.number(row, backCol));
    box.back = back != 0 ? back : SystemWindowColor;
}

void storeBox(const PageBox& box, YearStore& s, int row, int textCol, int foreCol, int backCol) {
    s.set(row, textCol, box.text);
    s.set(row, foreCol, qint64(box.fore));
    s.set(row, backCol, qint64(box.back));
}

} // namespace

DiaryPage::DiaryPage() : todo(TaskRows + 1, 4) {
    Diary_GridInit(todo);
}

void Diary_GridInit(GridModel& fg) {
    fg.beginBulkEdit();
    fg.setCols(4);
    fg.setRows(TaskRows + 1);
    fg.setFixedRows(1);
    fg.setFixedCols(0);
    fg.setColWidth(0, 300);
    fg.setColWidth(1, 600);
    fg.setColWidth(2, 600);
    fg.setColWidth(3, 1000);
    fg.setColDataType(TimeCol, GridModel::DateType);
    fg.setColComboList(2, ToDo_CategoryComboList());
    fg.setTextMatrix(0, 0, QStringLiteral("既"));
    fg.setTextMatrix(0, 1, QStringLiteral("時刻"));
    fg.setTextMatrix(0, 2, QStringLiteral("分類"));
    fg.setTextMatrix(0, 3, QStringLiteral("用  件"));
    fg.setCell(GridModel::CellAlignment, 0, 1, 0, 3, GridModel::AlignCenterCenter);
    for (int r = 1; r < fg.rows(); ++r) {
        fg.setRowHeight(r, 500);
        fg.setCell(GridModel::CellChecked, r, 0, 2);
    }
    fg.endBulkEdit();
}

void Store_ToDiary(DiaryPage& page, const AppState& app) {
    using namespace StoreCol;
    const YearStore& s = app.store;
    const int row = Store_DayRow(app);
    for (int i = 0; i < 7; ++i) {
        loadBox(page.slotItems[size_t(i)], s, row, SlotItem1 + i, SlotItemFore1 + i,
                SlotItemBack1 + i);
        loadBox(page.slotTexts[size_t(i)], s, row, SlotText1 + i, SlotTextFore1 + i,
                SlotTextBack1 + i);
    }
    loadBox(page.events, s, row, Events, EventsFore, EventsBack);
    loadBox(page.record, s, row, Record, RecordFore, RecordBack);
    ToDo_LoadDiary(page.todo, s, row);
}

void Diary_ToStore(DiaryPage& page, AppState& app) {
    using namespace StoreCol;
    YearStore& s = app.store;
    const int row = Store_DayRow(app);
    for (int i = 0; i < 7; ++i) {
        storeBox(page.slotItems[size_t(i)], s, row, SlotItem1 + i, SlotItemFore1 + i,
                 SlotItemBack1 + i);
        storeBox(page.slotTexts[size_t(i)], s, row, SlotText1 + i, SlotTextFore1 + i,
                 SlotTextBack1 + i);
    }
    storeBox(page.events, s, row, Events, EventsFore, EventsBack);
    storeBox(page.record, s, row, Record, RecordFore, RecordBack);
    ToDo_SaveDiary(page.todo, s, row);
}

void Diary_SortToDo(GridModel& fg) {
    const int last = fg.rows() - 1;
    if (last < 1)
        return;
    // Rows without a time sort as 23:59. Equal keys keep their order, so the rows
    // holding "23:59" after the sort are, top to bottom, the same rows as before it:
    // the ones that had no time get it back.
    std::vector<bool> hadNoTime;
    for (int r = 1; r <= last; ++r) {
        const QString time = fg.textMatrix(r, TimeCol);
        if (time.isEmpty()) {
            fg.setTextMatrix(r, TimeCol, NoTimeKey);
            hadNoTime.push_back(true);
        } else if (time == NoTimeKey) {
            hadNoTime.push_back(false);
        }
    }
    const int row = fg.row(), col = fg.col();
    for (int c = 0; c < fg.cols(); ++c)
        fg.setColSort(c, c == TimeCol ? LastOfDay : 0);
    fg.setColDataType(TimeCol, GridModel::DateType);
    fg.select(1, 0, last, fg.cols() - 1);
    fg.setSort(GridModel::SortGenericByColSort);
    size_t next = 0;
    for (int r = 1; r <= last && next < hadNoTime.size(); ++r) {
        if (fg.textMatrix(r, TimeCol) != NoTimeKey)
            continue;
        if (hadNoTime[next++])
            fg.setTextMatrix(r, TimeCol, QString());
    }
    fg.setCell(GridModel::CellAlignment, 0, TimeCol, GridModel::AlignCenterCenter);
    fg.select(row, col);
}
