// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/documentfile.h"

#include <QString>

#include <vector>

class YearStore;

namespace DocLimits {

// A text about to be written into a cell of the year (a text column).
struct CellText {
    int row;
    int col;
    QString text;
};

// Why the year must not take `texts`: a text longer than MaxTextChars or holding a NUL
// character, or a document whose file would be larger than any document file the
// program opens. Empty when the
// texts may be written. Nothing is written here.
QString refusal(const YearStore& store, const std::vector<CellText>& texts);

} // namespace DocLimits
