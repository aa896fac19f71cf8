// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridmodel.h"

class Document;

// The annual table of one document: the grid of 367 rows (the headings, then the days
// from 1 April) by 19 columns whose texts and colours are the document's own cells.
// Typing, pasting and colouring in the table are edits of the document; an edit of the
// document made anywhere else shows in the table at once. The table keeps only what is
// its own: column widths, row heights, alignment, the cursor and the selection.
class AnnualModel : public GridModel, private GridCellSource {
    Q_OBJECT
public:
    explicit AnnualModel(Document& doc, QObject* parent = nullptr);
    ~AnnualModel() override;

    Document& document() const { return m_doc; }

private:
    QString sourceText(int row, int col) const override;
    quint32 sourceFore(int row, int col) const override;
    quint32 sourceBack(int row, int col) const override;
    void setSourceText(int row, int col, const QString& text) override;
    void setSourceFore(int row, int col, quint32 color) override;
    void setSourceBack(int row, int col, quint32 color) override;
    void beginSourceBatch() override;
    void endSourceBatch() override;

    Document& m_doc;
};
