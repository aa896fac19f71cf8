// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/todo/todostring.h"

#include "core/grid/gridmodel.h"
#include "core/store/yearstore.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

constexpr quint32 White = 0xFFFFFF;
constexpr quint32 LightRed = 0x0000FF; // palette colour 12

QString fieldSafe(QString s, bool commas) {
    s.replace(u'|', u'｜');
    if (commas)
        s.replace(u',', u'，');
    return s;
}

// Makes room for `items` item rows below the header.
void ensureRows(GridModel& grid, qsizetype items) {
    if (grid.rows() < items + 1)
        grid.setRows(int(items + 1));
}

void loadItems(GridModel& grid, const YearStore& store, int row, bool markTopCategory) {
    const QString day = store.text(row, StoreCol::ToDo);
    if (day.isEmpty())
        return;
    const std::vector<ToDoItem> items = ToDo_Parse(day);
    ensureRows(grid, qsizetype(items.size()));
    grid.beginBulkEdit();
    for (size_t i = 0; i < items.size(); ++i) {
        const int r = int(i) + 1;
        const ToDoItem& item = items[i];
        grid.setCell(GridModel::CellChecked, r, 0, item.done() ? 1 : 2);
        grid.setTextMatrix(r, 1, item.time);
        grid.setTextMatrix(r, 2, item.category);
        grid.setTextMatrix(r, 3, item.text);
        if (markTopCategory && item.category == QStringLiteral("最優"))
            grid.setBackColorAt(r, 3, LightRed);
    }
    grid.endBulkEdit();
}

// The headers and an unticked box in every task row; `whiteTasks` also takes the
// top-category marks off the tasks.
void headersAndBoxes(GridModel& grid, const ToDoDayGrid& shape, bool whiteTasks) {
    const int last = grid.rows() - 1;
    if (last >= 1) {
        grid.setCell(GridModel::CellChecked, 1, 0, last, 0, 2);
        if (whiteTasks && shape.markTopCategory)
            grid.setCell(GridModel::CellBackColor, 1, 3, last, 3, int(White));
    }
    grid.setTextMatrix(0, 0, QStringLiteral("既"));
    grid.setTextMatrix(0, 3, QStringLiteral("用  件"));
    if (shape.timeAndCategory) {
        grid.setTextMatrix(0, 1, QStringLiteral("時刻"));
        grid.setTextMatrix(0, 2, QStringLiteral("分類"));
        grid.setCell(GridModel::CellAlignment, 0, 1, 0, 3, GridModel::AlignCenterCenter);
    } else {
        grid.setCell(GridModel::CellAlignment, 0, 3, GridModel::AlignCenterCenter);
    }
}

void resetGrid(GridModel& grid, const ToDoDayGrid& shape) {
    grid.beginBulkEdit();
    grid.clear();
    headersAndBoxes(grid, shape, true);
    grid.endBulkEdit();
}

} // namespace

std::vector<ToDoItem> ToDo_Parse(const QString& dayString) {
    std::vector<ToDoItem> items;
    QStringList fields;
    auto finish = [&] {
        if (fields.isEmpty())
            return;
        ToDoItem item;
        item.flag = fields.value(0);
        item.time = fields.value(1);
        item.category = fields.value(2);
        item.text = fields.mid(3).join(u',');
        items.push_back(std::move(item));
        fields.clear();
    };
    bool inItem = false;
    QString field;
    for (const QChar c : dayString) {
        if (c == u'|') {
            if (inItem) {
                fields.append(field);
                finish();
            }
            inItem = true;
            field.clear();
        } else if (!inItem) {
            continue; // before the first bar
        } else if (c == u',') {
            fields.append(field);
            field.clear();
        } else {
            field.append(c);
        }
    }
    if (inItem) {
        fields.append(field);
        finish();
    }
    return items;
}

QString ToDo_ItemString(bool done, const QString& time, const QString& category,
                        const QString& text) {
    return u'|' + QString(done ? u'1' : u'0') + u',' + fieldSafe(time, true) + u',' +
           fieldSafe(category, true) + u',' + fieldSafe(text, false);
}

QStringList ToDo_Categories() {
    return {QStringLiteral("最重"), QStringLiteral("重要"), QStringLiteral("普通"),
            QStringLiteral("要軽")};
}

QString ToDo_CategoryComboList() {
    return u'|' + ToDo_Categories().join(u'|');
}

QString ToDo_GridString(const GridModel& grid) {
    QString s;
    for (int r = 1; r < grid.rows(); ++r) {
        const QString text = grid.textMatrix(r, 3);
        if (text.isEmpty())
            continue;
        s += ToDo_ItemString(grid.cell(GridModel::CellChecked, r, 0) == 1, grid.textMatrix(r, 1),
                             grid.textMatrix(r, 2), text);
    }
    return s;
}

void ToDo_DayGridInit(GridModel& grid, const ToDoDayGrid& shape) {
    grid.beginBulkEdit();
    grid.setCols(4);
    grid.setRows(ToDoDayTaskRows + 1);
    grid.setFixedRows(1);
    grid.setFixedCols(0);
    const int shown = shape.timeAndCategory ? 600 : 0;
    grid.setColWidth(0, 300);
    grid.setColWidth(1, shown);
    grid.setColWidth(2, shown);
    grid.setColWidth(3, 1000);
    grid.setColDataType(1, GridModel::DateType);
    if (shape.timeAndCategory)
        grid.setColComboList(2, ToDo_CategoryComboList());
    for (int r = 1; r < grid.rows(); ++r)
        grid.setRowHeight(r, shape.rowHeight);
    headersAndBoxes(grid, shape, false);
    grid.endBulkEdit();
}

void ToDo_LoadDiary(GridModel& grid, const YearStore& store, int row) {
    loadItems(grid, store, row, false);
}

bool ToDo_StoreDay(YearStore& store, int row, const QString& dayString) {
    const QString now = store.text(row, StoreCol::ToDo);
    if (now == dayString)
        return false;
    const std::vector<ToDoItem> a = ToDo_Parse(now), b = ToDo_Parse(dayString);
    const bool same = std::equal(a.begin(), a.end(), b.begin(), b.end(),
                                 [](const ToDoItem& x, const ToDoItem& y) {
                                     return x.done() == y.done() && x.time == y.time &&
                                            x.category == y.category && x.text == y.text;
                                 });
    if (same)
        return false;
    return store.set(row, StoreCol::ToDo, dayString);
}

void ToDo_SaveDiary(GridModel& grid, YearStore& store, int row) {
    ToDo_StoreDay(store, row, ToDo_GridString(grid));
    resetGrid(grid, DiaryDayGrid);
}

void ToDo_LoadWeekDay(GridModel& grid, const YearStore& store, int row) {
    loadItems(grid, store, row, true);
}

void ToDo_SaveWeekDay(GridModel& grid, YearStore& store, int row) {
    ToDo_StoreDay(store, row, ToDo_GridString(grid));
    resetGrid(grid, WeekDayGrid);
}

QString ToDo_NormalizeTime(const QString& typed) {
    // Full-width digits and colon as well as half-width ones.
    QString s = typed.trimmed().normalized(QString::NormalizationForm_KC);
    if (s.isEmpty())
        return QStringLiteral("");
    static const QRegularExpression withSeparator(
        QStringLiteral("^(\\d{1,2})\\s*(?::|時|\\.)\\s*(\\d{1,2})?\\s*分?$"));
    static const QRegularExpression digitsOnly(QStringLiteral("^(\\d{1,4})$"));
    int h = -1, m = -1;
    if (const auto match = withSeparator.match(s); match.hasMatch()) {
        h = match.captured(1).toInt();
        m = match.captured(2).isEmpty() ? 0 : match.captured(2).toInt();
    } else if (const auto d = digitsOnly.match(s); d.hasMatch()) {
        const QString digits = d.captured(1);
        if (digits.size() <= 2) {
            h = digits.toInt();
            m = 0;
        } else {
            h = digits.left(digits.size() - 2).toInt();
            m = digits.right(2).toInt();
        }
    }
    if (h < 0 || h > 23 || m < 0 || m > 59)
        return QString();
    return QStringLiteral("%1:%2").arg(h, 2, 10, QChar(u'0')).arg(m, 2, 10, QChar(u'0'));
}

int ToDo_TimeMinutes(QStringView time) {
    if (time.size() != 5 || time[2] != u':')
        return -1;
    int digits[4];
    const int at[4] = {0, 1, 3, 4};
    for (int i = 0; i < 4; ++i) {
        const QChar c = time[at[i]];
        if (c < u'0' || c > u'9')
            return -1;
        digits[i] = c.unicode() - u'0';
    }
    const int h = digits[0] * 10 + digits[1], m = digits[2] * 10 + digits[3];
    return h < 24 && m < 60 ? h * 60 + m : -1;
}
