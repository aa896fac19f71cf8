// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annualmodel.h"

#include "core/annual/annuallayout.h"
#include "core/store/document.h"

#include <array>

namespace {

constexpr int GridRows = 367, GridCols = StoreCol::TextColumns;

// The store columns of the text and background colour a table column shows (-1: the
// column has none), and the table column each store column belongs to.
struct ColorColumns {
    std::array<int, GridCols> fore{}, back{};
    std::array<int, YearStore::Cols> gridCol{};
    ColorColumns() {
        fore.fill(-1);
        back.fill(-1);
        for (int c = 0; c < YearStore::Cols; ++c)
            gridCol[size_t(c)] = c < GridCols ? c : -1;
        for (const ColorMapLine& m : cellColorMap()) {
            fore[size_t(m.gridCol)] = m.foreCol;
            gridCol[size_t(m.foreCol)] = m.gridCol;
            if (m.backCol >= 0) {
                back[size_t(m.gridCol)] = m.backCol;
                gridCol[size_t(m.backCol)] = m.gridCol;
            }
        }
    }
};

const ColorColumns& colorColumns() {
    static const ColorColumns columns;
    return columns;
}

bool inTable(int row, int col) {
    return row >= 0 && row < GridRows && col >= 0 && col < GridCols;
}

} // namespace

AnnualModel::AnnualModel(Document& doc, QObject* parent)
    : GridModel(GridRows, GridCols, parent), m_doc(doc) {
    Nen_GridLayout(*this);
    setCellSource(this);
    connect(&m_doc, &Document::cellsChanged, this, [this](const CellRange& r) {
        int first = GridCols, last = -1;
        for (int c = r.col1; c <= r.col2; ++c) {
            const int g = colorColumns().gridCol[size_t(c)];
            if (g >= 0) {
                first = std::min(first, g);
                last = std::max(last, g);
            }
        }
        if (last >= 0)
            sourceChanged(r.row1, first, r.row2, last);
    });
}

AnnualModel::~AnnualModel() {
    setCellSource(nullptr);
}

QString AnnualModel::sourceText(int row, int col) const {
    return inTable(row, col) ? m_doc.store().text(row, col) : QString();
}

quint32 AnnualModel::sourceFore(int row, int col) const {
    if (row < 1 || !inTable(row, col))
        return 0;
    const int c = colorColumns().fore[size_t(col)];
    return c < 0 ? 0 : quint32(m_doc.store().number(row, c));
}

quint32 AnnualModel::sourceBack(int row, int col) const {
    if (row < 1 || !inTable(row, col))
        return 0;
    const int c = colorColumns().back[size_t(col)];
    return c < 0 ? 0 : quint32(m_doc.store().number(row, c));
}

void AnnualModel::setSourceText(int row, int col, const QString& text) {
    if (inTable(row, col))
        m_doc.store().set(row, col, text);
}

// A colour of a cell the document keeps no colour for (the date, the ToDo texts, the
// headings) has nowhere to go: the file would not keep it either.
void AnnualModel::setSourceFore(int row, int col, quint32 color) {
    if (row < 1 || !inTable(row, col))
        return;
    if (const int c = colorColumns().fore[size_t(col)]; c >= 0)
        m_doc.store().set(row, c, qint64(color));
}

void AnnualModel::setSourceBack(int row, int col, quint32 color) {
    if (row < 1 || !inTable(row, col))
        return;
    if (const int c = colorColumns().back[size_t(col)]; c >= 0)
        m_doc.store().set(row, c, qint64(color));
}

void AnnualModel::beginSourceBatch() {
    m_doc.beginBatch();
}

void AnnualModel::endSourceBatch() {
    m_doc.endBatch();
}
