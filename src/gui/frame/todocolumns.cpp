// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/frame/todocolumns.h"

#include "core/todo/todostring.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcolors.h"

#include <QFontMetrics>

ColumnInput ToDo_TimeInput() {
    return ColumnInput::checked(ToDo_NormalizeTime, QStringLiteral("hh:mm"),
                                QStringLiteral("時刻は 9:30 のように入力してください。"));
}

void ToDo_FitColumns(Grid& grid, int timeCol, int categoryCol) {
    GridModel& m = *grid.model();
    const qreal dpi = grid.logicalDpiX();
    const QFontMetrics fm(grid.font());
    auto atLeast = [&](int col, const QString& text) {
        const int twips = Twips::fromPixels(fm.horizontalAdvance(text) + 10, dpi);
        m.setColWidth(col, std::max(m.colWidth(col), twips));
    };
    atLeast(timeCol, QStringLiteral("00:00"));
    atLeast(categoryCol, QStringLiteral("最重"));
}
