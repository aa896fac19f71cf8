// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/stats/templates.h"

#include "core/grid/gridmodel.h"
#include "core/stats/stats.h"

namespace {

// The table's width in a template file of the kind.
int templateCols(TemplateKind kind) {
    return kind == TemplateKind::Record ? 2 + Stats::Key2Columns : 4;
}

} // namespace

FileResult Template_Write(const GridModel& cpg, const QString& path) {
    return cpg.saveGrid(path);
}

FileResult Template_Read(GridModel& cpg, const QString& path, TemplateKind kind) {
    GridData file;
    FileResult r = GridFile::read(path, file);
    if (!r.ok())
        return r;
    const int rows = Stats::KeywordRows + 1, cols = templateCols(kind);
    if (file.rows != rows || file.cols != cols)
        return FileResult::failure(
            FileResult::NotATemplate,
            QStringLiteral("%1 行 × %2 列の表です").arg(file.rows).arg(file.cols));
    if (cpg.rows() != rows || cpg.cols() != cols)
        return FileResult::failure(FileResult::NotATemplate,
                                   QStringLiteral("表の大きさが合いません"));

    cpg.beginBulkEdit();
    for (int r0 = 0; r0 < rows; ++r0)
        for (int c = 0; c < cols; ++c) {
            if (r0 == 0 || c < 2) {
                const GridCell& from = file.cells[size_t(r0) * size_t(cols) + size_t(c)];
                cpg.setTextMatrix(r0, c, from.text);
                cpg.setForeColorAt(r0, c, from.fore);
                cpg.setBackColorAt(r0, c, from.back);
            } else {
                cpg.setTextMatrix(r0, c, QString());
                cpg.setCell(GridModel::CellFloodPercent, r0, c, -1);
            }
        }
    cpg.endBulkEdit();
    return FileResult::success();
}
