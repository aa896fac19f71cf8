// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridclip.h"

#include "core/grid/gridmodel.h"

namespace GridClip {

void clearBlock(GridModel& grid) {
    const GridModel::Selection s = grid.getSelection();
    grid.beginBulkEdit();
    for (int r = s.row1; r <= s.row2; ++r)
        for (int c = s.col1; c <= s.col2; ++c)
            if (grid.isEditable(r, c))
                grid.setTextMatrix(r, c, QString());
    grid.endBulkEdit();
}

QString blockText(GridModel& grid, int col, int row, int colSel, int rowSel, bool cut) {
    QString s;
    if (cut)
        grid.beginBulkEdit();
    auto take = [&](int r, int c) {
        s += grid.textMatrix(r, c);
        if (cut)
            grid.setTextMatrix(r, c, QString());
    };
    for (int r = row; r <= rowSel; ++r) {
        for (int c = col; c <= colSel - 1; ++c) {
            take(r, c);
            s += u'\t';
        }
        take(r, colSel);
        s += QStringLiteral("\r\n");
    }
    if (cut)
        grid.endBulkEdit();
    return s;
}

bool parse(const QString& text, PasteBlock& out) {
    out = PasteBlock();
    QStringList line{QString()};
    auto endRow = [&] {
        out.lines.push_back(std::move(line));
        line = QStringList{QString()};
        return int(out.lines.size()) <= MaxPasteLines;
    };
    // Rows end with CR (the LF of a CR LF pair is skipped). Text from programs that
    // end lines with LF alone, as most do here, has no CR at all: there LF ends a row.
    // Where rows end with CR, a lone LF belongs to the cell (a multi-line text).
    const bool lfEndsRows = !text.contains(u'\r');
    QChar before;
    for (const QChar c : text) {
        const bool afterCr = before == u'\r';
        before = c;
        if (c == u'\r' || (c == u'\n' && lfEndsRows)) {
            if (!endRow())
                return false;
        } else if (c == u'\n') {
            if (!afterCr)
                line.last().append(c);
        } else if (c == u'\t') {
            line.append(QString());
            out.width = std::max(out.width, int(line.size()));
            if (line.size() > MaxPasteFields)
                return false;
        } else {
            line.last().append(c);
        }
    }
    // Text after the last row end is never written, but it still occupies a line.
    if ((line.size() > 1 || !line.first().isEmpty()) && int(out.lines.size()) + 1 > MaxPasteLines)
        return false;
    return true;
}

PasteResult paste(GridModel& grid, int col, int row, const QString& text, bool add,
                  const PasteCheck& check, QString* refusal) {
    PasteBlock block;
    if (!parse(text, block))
        return PasteResult::OutOfRange;
    const int lines = int(block.lines.size());
    if (row + lines - 1 > grid.rows() - 1 || col + block.width - 1 > grid.cols() - 1)
        return PasteResult::OutOfRange;
    if (lines == 0)
        return PasteResult::NothingToWrite;
    std::vector<PastedCell> cells;
    cells.reserve(size_t(lines) * size_t(block.width));
    for (int i = 0; i < lines; ++i) {
        const QStringList& fields = block.lines[size_t(i)];
        for (int j = 0; j < block.width; ++j) {
            const QString value = fields.value(j);
            const int r = row + i, c = col + j;
            cells.push_back({r, c, add ? grid.textMatrix(r, c) + value : value});
        }
    }
    if (check) {
        const QString why = check(cells);
        if (!why.isEmpty()) {
            if (refusal)
                *refusal = why;
            return PasteResult::Refused;
        }
    }
    grid.beginBulkEdit();
    for (const PastedCell& cell : cells)
        grid.setTextMatrix(cell.row, cell.col, cell.text);
    grid.endBulkEdit();
    return PasteResult::Written;
}

} // namespace GridClip
