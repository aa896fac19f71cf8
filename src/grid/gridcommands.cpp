#include "grid/gridcommands.h"

#include "grid/gridclip.h"
#include "grid/gridmodel.h"
#include "platform/clipboard.h"
#include "platform/messagebox.h"

namespace {

void toClipboard(const QString& text) {
    Clipboard::clear();
    Clipboard::setText(text);
}

void paste(int col, int row, GridModel& grid, QWidget* parent, bool add) {
    if (!Clipboard::hasText()) {
        MessageBox::show(parent, QStringLiteral("コピーが正しくできていません。"));
        return;
    }
    if (GridClip::paste(grid, col, row, Clipboard::text(), add) ==
        GridClip::PasteResult::OutOfRange)
        MessageBox::show(parent, QStringLiteral("コピー先の範囲が不適当です"));
}

} // namespace

void Grid_Copy(int col, int row, int colSel, int rowSel, GridModel& grid) {
    toClipboard(GridClip::blockText(grid, col, row, colSel, rowSel, false));
}

void Grid_Cut(int col, int row, int colSel, int rowSel, GridModel& grid) {
    toClipboard(GridClip::blockText(grid, col, row, colSel, rowSel, true));
}

void Grid_Paste(int col, int row, int, int, GridModel& grid, QWidget* parent) {
    paste(col, row, grid, parent, false);
}

void Grid_PasteAdd(int col, int row, int, int, GridModel& grid, QWidget* parent) {
    paste(col, row, grid, parent, true);
}
