// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/grid/gridfile.h"

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// The texts and colours of a grid's cells when they are kept elsewhere (the year of a
// document): a grid over such a source shows and edits them in place, and is told of
// every change the source reports through GridModel::sourceChanged.
class GridCellSource {
public:
    virtual QString sourceText(int row, int col) const = 0;
    virtual quint32 sourceFore(int row, int col) const = 0;
    virtual quint32 sourceBack(int row, int col) const = 0;
    virtual void setSourceText(int row, int col, const QString& text) = 0;
    virtual void setSourceFore(int row, int col, quint32 color) = 0;
    virtual void setSourceBack(int row, int col, quint32 color) = 0;
    // Writes between the two are one change of the source.
    virtual void beginSourceBatch() {}
    virtual void endSourceBatch() {}

protected:
    ~GridCellSource() = default;
};

// The data side of every table in the program: rows × columns of cells with text,
// text colour, background colour, alignment, check box and filled bar, the cursor
// cell and selected block, per-column and per-row layout, and save/load of the whole
// grid. Sizes are in twips. The widget that shows it lives in the widgets library.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role {
        ForeColorRole = Qt::UserRole + 1, // quint32, 0 = not chosen
        BackColorRole,                    // quint32, 0 = not chosen
        AlignmentSettingRole,             // int, -1 = default
        CheckRole,                        // int: 0 none, 1 ticked, 2 not ticked
        BarRole,                          // int: percentage, -1 none
        AccessRole,                       // int: Access
    };
    // Settings of Cell(setting, ...).
    enum CellSetting {
        CellAlignment = 2,
        CellChecked = 5,
        CellBackColor = 6,
        CellFloodPercent = 8,
        CellAccess = 100 // Access
    };
    // Whether the user may type into a cell. As laid out, a fixed cell is a heading and
    // every other cell takes typing; a read-only cell (a computed count) takes none, an
    // editable one does even where it is fixed (a keyword among the headings).
    enum Access { AccessAsLaidOut = 0, AccessReadOnly = 1, AccessEditable = 2 };
    enum DataType { DateType = 7, TextType = 8 };
    enum Alignment { AlignCenterCenter = 4, AlignRightCenter = 7 };

    struct Selection {
        int row1, col1, row2, col2; // ordered: row1 <= row2, col1 <= col2
    };

    explicit GridModel(int rows = 2, int cols = 2, QObject* parent = nullptr);

    // QAbstractItemModel
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Size. Growing keeps every cell; shrinking drops the cells beyond the new size.
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    void setRows(int rows);
    void setCols(int cols);
    int fixedRows() const { return m_fixedRows; }
    int fixedCols() const { return m_fixedCols; }
    void setFixedRows(int n);
    void setFixedCols(int n);
    bool isFixed(int row, int col) const { return row < m_fixedRows || col < m_fixedCols; }
    // Whether the user may type into the cell (Access); false outside the grid.
    bool isEditable(int row, int col) const;
    // A fixed cell the user does not type into: shown as a heading.
    bool isHeading(int row, int col) const { return isFixed(row, col) && !isEditable(row, col); }

    // Cursor cell and the opposite corner of the selection. Setting Row or Col
    // collapses the selection onto the cursor in that direction.
    int row() const { return m_row; }
    int col() const { return m_col; }
    int rowSel() const { return m_rowSel; }
    int colSel() const { return m_colSel; }
    void setRow(int row);
    void setCol(int col);
    void setRowSel(int row);
    void setColSel(int col);
    void select(int row, int col, int rowSel = -1, int colSel = -1);
    Selection getSelection() const;

    QString textMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);
    // A cell with its text and colours (from the source, where there is one).
    GridCell cellAt(int row, int col) const;

    // Texts and colours come from `source` (not owned) from now on; the grid keeps its
    // size, layout, cursor and the cells' other settings. Sorting, removing rows and
    // loading whole grids are for grids that keep their own cells.
    void setCellSource(GridCellSource* source);
    GridCellSource* cellSource() const { return m_source; }
    // The source changed the cells of this block: the grid shows them again.
    void sourceChanged(int row1, int col1, int row2, int col2);

    // Colours and alignment of the cursor cell (get) or of the whole selection (set).
    quint32 cellForeColor() const;
    quint32 cellBackColor() const;
    int cellAlignment() const;
    void setCellForeColor(quint32 color);
    void setCellBackColor(quint32 color);
    void setCellAlignment(int alignment);
    // Per-cell colours without touching the selection.
    void setForeColorAt(int row, int col, quint32 color);
    void setBackColorAt(int row, int col, quint32 color);

    // One setting of a cell or block without moving the cursor.
    void setCell(CellSetting setting, int row1, int col1, int row2, int col2, int value);
    void setCell(CellSetting setting, int row, int col, int value) {
        setCell(setting, row, col, row, col, value);
    }
    int cell(CellSetting setting, int row, int col) const;

    quint32 floodColor() const { return m_floodColor; }
    void setFloodColor(quint32 color);

    int colWidth(int col) const;
    void setColWidth(int col, int twips);
    int rowHeight(int row) const;
    void setRowHeight(int row, int twips);
    int defaultColWidth() const { return m_defaultColWidth; }
    int defaultRowHeight() const { return m_defaultRowHeight; }

    int colDataType(int col) const;
    void setColDataType(int col, int type);
    QString colComboList(int col) const;
    void setColComboList(int col, const QString& list);

    // Index -1 means every row / column.
    bool rowHidden(int row) const;
    void setRowHidden(int row, bool hidden);
    bool colHidden(int col) const;
    void setColHidden(int col, bool hidden);

    // A key of sortRows: a column, how its cells compare, and the direction.
    struct SortKey {
        enum Kind {
            Text,   // by the bytes of the texts in the Japanese code page 932
            Date,   // chronologically: "yyyy/m/d", "h:mm[:ss]" or both (a time alone
            Time,   // sorts before every date); other texts after, as Text
            Number, // by value; other texts after, as Text
            Check,  // checked boxes after unchecked ones
        };
        int col = 0;
        Kind kind = Text;
        bool descending = false;
        QString emptyAs; // what an empty cell sorts as; none: before every other
    };
    // A stable sort of the rows first..last (whole rows move) by `keys`, the first key
    // first.
    void sortRows(int first, int last, const std::vector<SortKey>& keys);

    void removeItem(int row);
    void clear(); // empties every text

    // Bulk edits emit one model reset instead of a signal per cell.
    void beginBulkEdit();
    void endBulkEdit();

    // Whole-grid file output and input. Mode 6 (texts and colours of every cell,
    // fixed cells included) is the only mode. loadGrid validates the whole file
    // before it touches the grid; the grid then takes the file's size.
    enum FileMode { TextsAndColours = 6 };
    FileResult saveGrid(const QString& path, int mode = TextsAndColours) const;
    FileResult loadGrid(const QString& path, int mode = TextsAndColours);
    QByteArray toFileImage() const;
    // Replaces size and cells (texts, colours) with parsed file data.
    void assignData(GridData&& data);

    bool valid(int row, int col) const {
        return row >= 0 && col >= 0 && row < m_rows && col < m_cols;
    }

Q_SIGNALS:
    // The cursor cell moved (by the program or the user).
    void cursorChanged(int oldRow, int oldCol, int newRow, int newCol);
    // The selected block changed.
    void selectionChanged();

private:
    size_t offset(int row, int col) const { return size_t(row) * size_t(m_cols) + size_t(col); }
    void resize(int rows, int cols);
    void cellChanged(int row, int col, const QList<int>& roles = {});
    void blockChanged(const Selection& s, const QList<int>& roles = {});
    template <typename F> void forSelection(F f);
    void colorSelection(bool back, quint32 color);
    void moveCursor(int row, int col, int rowSel, int colSel);

    int m_rows = 0, m_cols = 0;
    int m_fixedRows = 1, m_fixedCols = 1;
    int m_row = 1, m_col = 1, m_rowSel = 1, m_colSel = 1;
    std::vector<GridCell> m_cells;
    GridCellSource* m_source = nullptr;
    std::vector<int> m_colWidth, m_colType;
    std::vector<QString> m_colCombo;
    std::vector<bool> m_colHidden;
    std::vector<int> m_rowHeight;
    std::vector<bool> m_rowHidden;
    quint32 m_floodColor = 0xC0C0C0;
    int m_defaultColWidth = 960;
    int m_defaultRowHeight = 285;
    int m_bulk = 0;
};
