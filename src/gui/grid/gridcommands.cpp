// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/grid/gridcommands.h"

#include "core/grid/gridclip.h"
#include "core/grid/gridmodel.h"
#include "gui/grid/grid.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/messagebox.h"

namespace {

void toClipboard(const QString& text) {
    Clipboard::clear();
    Clipboard::setText(text);
}

void paste(int col, int row, GridModel& grid, QWidget* parent, bool add,
           const GridClip::PasteCheck& check) {
    if (!Clipboard::hasText()) {
        MessageBox::show(parent, QStringLiteral("コピーが正しくできていません。"),
                         MessageBox::OkOnly, MessageBox::Warning);
        return;
    }
    QString refusal;
    switch (GridClip::paste(grid, col, row, Clipboard::text(), add, check, &refusal)) {
    case GridClip::PasteResult::OutOfRange:
        MessageBox::show(parent, QStringLiteral("コピー先の範囲が不適当です"), MessageBox::OkOnly,
                         MessageBox::Warning);
        break;
    case GridClip::PasteResult::Refused:
        MessageBox::show(parent, QStringLiteral("貼り付けられません。\n") + refusal,
                         MessageBox::OkOnly, MessageBox::Warning);
        break;
    default:
        break;
    }
}

} // namespace

void Grid_Copy(int col, int row, int colSel, int rowSel, GridModel& grid) {
    toClipboard(GridClip::blockText(grid, col, row, colSel, rowSel, false));
}

void Grid_Cut(int col, int row, int colSel, int rowSel, GridModel& grid) {
    toClipboard(GridClip::blockText(grid, col, row, colSel, rowSel, true));
}

void Grid_Paste(int col, int row, int, int, GridModel& grid, QWidget* parent,
                const GridClip::PasteCheck& check) {
    paste(col, row, grid, parent, false, check);
}

void Grid_PasteAdd(int col, int row, int, int, GridModel& grid, QWidget* parent,
                   const GridClip::PasteCheck& check) {
    paste(col, row, grid, parent, true, check);
}

bool Grid_EnterOrDelete(Grid& grid, int key, const std::function<void()>& cleared) {
    GridModel& g = *grid.model();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (g.row() < g.rows() - 1) {
            if (g.row() > Grid_FitRows(grid))
                grid.setTopRow(grid.topRow() + 1);
            grid.setCursor(g.row() + 1, g.col());
        }
    } else if (key == Qt::Key_Delete) {
        GridClip::clearBlock(g);
        if (cleared)
            cleared();
    } else {
        return false;
    }
    grid.consumeKey();
    return true;
}
