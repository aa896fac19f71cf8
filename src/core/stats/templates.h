// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"

class GridModel;

// Keyword templates: the keyword table of a statistics window kept in a file, the
// record table as ".dyy", the item table as ".dyz".
enum class TemplateKind { Record, Item };

// Writes the whole table (headings, keywords, counts) to `path`.
FileResult Template_Write(const GridModel& cpg, const QString& path);

// Reads a template of the kind into the table: the heading row and the first two
// columns come from the file, every other cell is emptied (counts, targets and bars).
// The file is read and checked whole first; a file that is missing, damaged or not a
// template of the kind leaves the table as it was.
FileResult Template_Read(GridModel& cpg, const QString& path, TemplateKind kind);
