// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class GridModel;

// Grid blocks as clipboard text: cells separated by TAB, every row ended by CR LF.
namespace GridClip {

// The text of the block from (row, col) to (rowSel, colSel), walked from row up to
// rowSel and from col up to colSel (a block whose rowSel lies above row gives the
// empty text; one whose colSel lies left of col gives column colSel only). With
// `cut` every cell read is emptied.
QString blockText(GridModel& grid, int col, int row, int colSel, int rowSel, bool cut);

// Empties the text of every cell of the selected block that the user may type into
// (GridModel::isEditable), the block between the cursor and the other corner whichever
// way it was selected. Check boxes keep their state.
void clearBlock(GridModel& grid);

// Clipboard text cut into lines and fields. Only finished lines are pasted (ended by
// CR, CR LF, or LF in text without any CR); the width is the most fields any line
// (the unfinished last one included) has.
struct PasteBlock {
    std::vector<QStringList> lines;
    int width = 1;
};
inline constexpr int MaxPasteLines = 400;
inline constexpr int MaxPasteFields = 56;

enum class PasteResult { Written, NothingToWrite, OutOfRange, Refused };

// A text a paste is about to write into a cell.
struct PastedCell {
    int row;
    int col;
    QString text;
};
// Looks at every text a paste would write before anything is written: the reason the
// paste must not happen, or the empty text.
using PasteCheck = std::function<QString(const std::vector<PastedCell>&)>;

// Parses clipboard text; false when it has more than 400 lines or a line with more
// than 56 fields.
bool parse(const QString& text, PasteBlock& out);

// Writes the block into the grid from (row, col); with `add` the text is appended
// to what the cells hold. Nothing is written when the block would pass the grid's
// last row or column, or when `check` gives a reason (returned in `refusal`).
PasteResult paste(GridModel& grid, int col, int row, const QString& text, bool add,
                  const PasteCheck& check = {}, QString* refusal = nullptr);

} // namespace GridClip
