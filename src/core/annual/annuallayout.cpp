// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annuallayout.h"

#include "core/grid/gridmodel.h"
#include "core/store/yearstore.h"
#include "core/time/dates.h"

namespace {
constexpr quint32 BrightRed = 0x0000FF; // palette colour 12, red in the low byte
constexpr quint32 LightBlue = 0xFF0000; // palette colour 9
} // namespace

void Annual_Layout(GridModel& grid, int cols) {
    grid.beginBulkEdit();
    grid.setRows(367);
    grid.setCols(cols);
    grid.setColWidth(-1, 1700);
    grid.setColWidth(0, 1500);
    grid.setColWidth(1, 500);
    grid.setColWidth(2, 2500);
    for (int c = 2; c < grid.cols(); ++c)
        grid.setColDataType(c, GridModel::TextType);
    grid.setRowHeight(-1, 1000);
    grid.setRowHeight(0, 350);
    grid.endBulkEdit();
}

void Nen_GridLayout(GridModel& grid) {
    Annual_Layout(grid, 19);
    grid.setFixedRows(1);
    grid.setFixedCols(2);
    grid.setCell(GridModel::CellAlignment, 0, 0, 0, 18, GridModel::AlignCenterCenter);
    grid.setCell(GridModel::CellAlignment, 1, 0, 366, 0, GridModel::AlignCenterCenter);
    grid.select(1, 2);
}

void Nen_GridInit(GridModel& grid, int baseYear) {
    Nen_GridLayout(grid);
    grid.beginBulkEdit();
    grid.setTextMatrix(0, 0, QString::number(baseYear));
    const auto& headings = storeHeadings();
    for (int c = 1; c < 19; ++c)
        grid.setTextMatrix(0, c, headings[size_t(c)]);
    const QDate origin = Dates::yearOrigin(baseYear);
    for (int r = 1; r <= YearStore::DayRows; ++r) {
        const QDate d = origin.addDays(r);
        grid.setTextMatrix(r, 0, Dates::toStoreText(d));
        grid.setTextMatrix(r, 1, Dates::weekdayLetter(d));
        const int wd = Dates::weekday(d);
        if (wd == 1)
            grid.setForeColorAt(r, 1, BrightRed);
        else if (wd == 7)
            grid.setForeColorAt(r, 1, LightBlue);
    }
    grid.endBulkEdit();
    grid.select(1, 2);
}

int Annual_BaseYear(const GridModel& grid) {
    return int(Dates::numericValue(grid.textMatrix(0, 0)));
}

QDate Annual_ViewDate(int row, int baseYear) {
    const QDate first(baseYear, 4, 1);
    const QDate d = Dates::dateOfRow(row, baseYear);
    if (row >= 1 && d >= first && d <= QDate(baseYear + 1, 3, 31))
        return d;
    return first;
}
