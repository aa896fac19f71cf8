// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/grid/gridmodel.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridaccessible.h"

#include <QAccessible>
#include <QImage>
#include <QtTest>

#include <functional>
#include <vector>

// What a screen reader finds of a Grid through Qt's accessibility interfaces (in
// process, no bridge): the table, its cells and headings as the grid shows them, and
// the events that follow the cursor, the selection and the texts.
class TestGridAccessible : public QObject {
    Q_OBJECT

    // An event the grid sent, with what its cell said at that moment.
    struct Event {
        QAccessible::Event type;
        int child;
        QString name;
        QAccessible::State state;
        int change = -1; // the kind of a TableModelChanged
    };
    static inline Grid* watched = nullptr;
    static inline std::vector<Event> events;

    static void record(QAccessibleEvent* e) {
        if (!watched || e->object() != watched)
            return;
        Event ev{e->type(), e->child(), {}, {}};
        if (e->type() == QAccessible::TableModelChanged)
            ev.change = static_cast<QAccessibleTableModelChangeEvent*>(e)->modelChangeType();
        else if (QAccessibleInterface* iface = e->accessibleInterface()) {
            ev.name = iface->text(QAccessible::Name);
            ev.state = iface->state();
        }
        events.push_back(ev);
    }
    static std::vector<Event> take(QAccessible::Event type) {
        std::vector<Event> found;
        for (const Event& e : events)
            if (e.type == type)
                found.push_back(e);
        return found;
    }

    // rows × 7 columns: headings in the fixed rows ("見出しc", "副c"), dates and days
    // in the fixed columns, "r-c" elsewhere, column 5 a check box column (its boxes
    // alone, ticked in even rows, beside "済" in every fifth row).
    static void fill(GridModel& m, int rows, int fixedRows, int fixedCols) {
        m.setRows(rows);
        m.setCols(7);
        m.setFixedRows(fixedRows);
        m.setFixedCols(fixedCols);
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < 7; ++c) {
                QString text = QStringLiteral("%1-%2").arg(r).arg(c);
                if (r < fixedRows)
                    text = QStringLiteral("%1%2")
                               .arg(r == 0 ? QStringLiteral("見出し") : QStringLiteral("副"))
                               .arg(c);
                else if (c < fixedCols)
                    text = c == 0 ? QStringLiteral("4/%1").arg(r) : QStringLiteral("曜%1").arg(r);
                else if (c == 5)
                    text = r % 5 == 0 ? QStringLiteral("済") : QString();
                m.setTextMatrix(r, c, text);
                if (c == 5 && r >= fixedRows)
                    m.setCell(GridModel::CellChecked, r, c, r % 2 == 0 ? 1 : 2);
            }
    }
    static QString nameOf(const GridModel& m, int r, int c) {
        const GridCell cell = m.cellAt(r, c);
        if (cell.text.isEmpty() && cell.check != 0)
            return cell.check == 1 ? QStringLiteral("チェック済み") : QStringLiteral("未チェック");
        return cell.text;
    }
    static QString join(const QStringList& parts) { return parts.join(u' '); }

    static void show(Grid& g, QSize size) {
        g.resize(size);
        g.show();
        QVERIFY(QTest::qWaitForWindowActive(&g));
        g.setFocus();
        QTRY_VERIFY(g.hasFocus());
    }

private Q_SLOTS:
    void cleanup() {
        GridAccessibility::installListener(nullptr);
        watched = nullptr;
        events.clear();
    }

    void theTableShowsEveryCellShownAndNoOther_data() {
        QTest::addColumn<int>("fixedRows");
        QTest::addColumn<int>("fixedCols");
        QTest::addColumn<int>("hiddenRow");
        QTest::addColumn<int>("hiddenCol");
        QTest::addColumn<int>("topRow");
        QTest::newRow("one heading row and column") << 1 << 1 << -1 << 3 << 1;
        QTest::newRow("two of each, scrolled") << 2 << 2 << 9 << 4 << 12;
        QTest::newRow("no row headings") << 1 << 0 << 2 << 3 << 6;
    }
    void theTableShowsEveryCellShownAndNoOther() {
        QFETCH(int, fixedRows);
        QFETCH(int, fixedCols);
        QFETCH(int, hiddenRow);
        QFETCH(int, hiddenCol);
        QFETCH(int, topRow);
        Grid g;
        g.setAccessibleName(QStringLiteral("予定表"));
        GridModel& m = *g.model();
        fill(m, 40, fixedRows, fixedCols);
        if (hiddenRow >= 0)
            m.setRowHidden(hiddenRow, true);
        m.setColHidden(hiddenCol, true);
        show(g, QSize(700, 300));
        g.setTopRow(topRow);
        QCOMPARE(g.topRow(), topRow);
        m.select(topRow, fixedCols + 1);
        g.setCursor(topRow + 2, 6, true); // a block of three rows, columns fixedCols+1..6

        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&g);
        QVERIFY(iface);
        QCOMPARE(iface->role(), QAccessible::Table);
        QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("予定表"));
        QAccessibleTableInterface* table = iface->tableInterface();
        QVERIFY(table);

        // What is shown: the rows and columns of the model not hidden, headings first.
        std::vector<int> rows, cols, dataRows, dataCols;
        for (int r = 0; r < m.rows(); ++r)
            if (r != hiddenRow)
                (r < fixedRows ? rows : dataRows).push_back(r);
        for (int c = 0; c < m.cols(); ++c)
            if (c != hiddenCol)
                (c < fixedCols ? cols : dataCols).push_back(c);
        const std::vector<int> headRows = rows, headCols = cols;
        rows.insert(rows.end(), dataRows.begin(), dataRows.end());
        cols.insert(cols.end(), dataCols.begin(), dataCols.end());
        QCOMPARE(table->rowCount(), int(dataRows.size()));
        QCOMPARE(table->columnCount(), int(dataCols.size()));
        QCOMPARE(iface->childCount(), int(rows.size() * cols.size()));
        QVERIFY(!table->cellAt(table->rowCount(), 0));
        QVERIFY(!table->cellAt(0, table->columnCount()));

        const GridModel::Selection sel = m.getSelection();
        const QRect viewport(g.viewport()->mapToGlobal(QPoint(0, 0)), g.viewport()->size());
        int selected = 0;
        for (size_t i = 0; i < rows.size(); ++i) {
            for (size_t j = 0; j < cols.size(); ++j) {
                const int r = rows[i], c = cols[j];
                const int index = int(i * cols.size() + j);
                QAccessibleInterface* cell = iface->child(index);
                QVERIFY2(cell, qPrintable(QStringLiteral("cell %1,%2").arg(r).arg(c)));
                QCOMPARE(iface->indexOfChild(cell), index);
                QCOMPARE(cell->parent(), iface);
                QCOMPARE(cell->text(QAccessible::Name), nameOf(m, r, c));
                const bool headRow = r < fixedRows, headCol = c < fixedCols;
                QCOMPARE(cell->role(), headRow   ? QAccessible::ColumnHeader
                                       : headCol ? QAccessible::RowHeader
                                                 : QAccessible::Cell);
                const QAccessible::State st = cell->state();
                // Scrolled out of view above, or past the viewport's bottom.
                const QRect rect = cell->rect();
                QVERIFY(!rect.isEmpty());
                const bool offscreen =
                    (!headRow && r < topRow) || rect.top() >= viewport.bottom() + 1;
                QCOMPARE(bool(st.offscreen), offscreen);
                QCOMPARE(bool(st.invisible), offscreen);
                if (!offscreen) {
                    QVERIFY(viewport.intersects(rect));
                    QCOMPARE(iface->childAt(rect.center().x(), rect.center().y()), cell);
                }
                const int check = m.cell(GridModel::CellChecked, r, c);
                QCOMPARE(bool(st.checkable), check != 0);
                QCOMPARE(bool(st.checked), check == 1);
                if (headRow || headCol) {
                    // The bridge asks every child for its place: a heading has none.
                    QAccessibleTableCellInterface* tc = cell->tableCellInterface();
                    QVERIFY(tc);
                    QVERIFY(!tc->isSelected());
                    QCOMPARE(headRow ? tc->rowIndex() : tc->columnIndex(), -1);
                    QVERIFY(!st.focusable && !st.selected && !st.editable);
                    continue;
                }
                // A cell of the table: its place, headings, selection, focus and editing.
                const int row = int(i - headRows.size()), col = int(j - headCols.size());
                QCOMPARE(table->cellAt(row, col), cell);
                QAccessibleTableCellInterface* tc = cell->tableCellInterface();
                QVERIFY(tc);
                QCOMPARE(tc->rowIndex(), row);
                QCOMPARE(tc->columnIndex(), col);
                QCOMPARE(tc->table(), iface);
                QList<QAccessibleInterface*> heads;
                for (size_t k = 0; k < headRows.size(); ++k)
                    heads.append(iface->child(int(k * cols.size() + j)));
                QCOMPARE(tc->columnHeaderCells(), heads);
                QList<QAccessibleInterface*> rowHeads;
                for (size_t k = 0; k < headCols.size(); ++k)
                    rowHeads.append(iface->child(int(i * cols.size() + k)));
                QCOMPARE(tc->rowHeaderCells(), rowHeads);
                const bool inBlock =
                    r >= sel.row1 && r <= sel.row2 && c >= sel.col1 && c <= sel.col2;
                QCOMPARE(tc->isSelected(), inBlock);
                QCOMPARE(bool(st.selected), inBlock);
                selected += inBlock;
                QVERIFY(st.focusable && st.selectable);
                QCOMPARE(bool(st.focused), r == m.row() && c == m.col());
                QCOMPARE(bool(st.editable), check == 0);
            }
        }
        QCOMPARE(table->selectedCellCount(), selected);
        QCOMPARE(table->selectedCells().size(), selected);
        QVERIFY(selected > 0);
        QVERIFY(table->selectedRows().isEmpty());

        // The headings describe the columns and rows.
        for (size_t j = 0; j < dataCols.size(); ++j) {
            QStringList heading;
            for (const int h : headRows)
                heading.append(m.textMatrix(h, dataCols[j]));
            QCOMPARE(table->columnDescription(int(j)), join(heading));
        }
        for (size_t i = 0; i < dataRows.size(); ++i) {
            QStringList heading;
            for (const int h : headCols)
                heading.append(m.textMatrix(dataRows[i], h));
            QCOMPARE(table->rowDescription(int(i)), join(heading));
        }
    }

    void eventsFollowTheCursorTheSelectionAndTheTexts() {
        // A screen reader in process: Qt's offscreen platform has no accessibility bridge
        // to make QAccessible::isActive() true, nor passes events on without one.
        GridAccessibility::installListener(record);
        Grid g;
        watched = &g;
        GridModel& m = *g.model();
        fill(m, 30, 1, 1);
        m.setColHidden(3, true);
        show(g, QSize(700, 400));
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&g);
        QVERIFY(iface && iface->tableInterface());
        QAccessibleTableInterface* table = iface->tableInterface();
        // The children of a row: 6 columns shown of 7.
        auto index = [](int r, int c) { return r * 6 + (c > 3 ? c - 1 : c); };

        struct Step {
            const char* what;
            std::function<void()> act;
            QAccessible::Event type;
            int row, col; // the cell of the event
        };
        const std::vector<Step> steps{
            {"cursor set", [&] { g.setCursor(3, 2); }, QAccessible::Focus, 3, 2},
            {"cursor set selects its cell", [&] { g.setCursor(4, 2); }, QAccessible::Selection, 4,
             2},
            {"key down", [&] { QTest::keyClick(&g, Qt::Key_Down); }, QAccessible::Focus, 5, 2},
            {"shift right widens", [&] { QTest::keyClick(&g, Qt::Key_Right, Qt::ShiftModifier); },
             QAccessible::SelectionAdd, 5, 4},
            {"extend", [&] { g.setCursor(7, 6, true); }, QAccessible::SelectionAdd, 7, 6},
            {"shift up narrows", [&] { QTest::keyClick(&g, Qt::Key_Up, Qt::ShiftModifier); },
             QAccessible::SelectionRemove, 7, 6},
            {"text", [&] { m.setTextMatrix(5, 2, QStringLiteral("運動会")); },
             QAccessible::NameChanged, 5, 2},
            {"check box", [&] { m.setCell(GridModel::CellChecked, 7, 5, 1); },
             QAccessible::StateChanged, 7, 5},
            {"check box ticked by the tool",
             [&] {
                 iface->child(index(9, 5))
                     ->actionInterface()
                     ->doAction(QAccessibleActionInterface::toggleAction());
             },
             QAccessible::StateChanged, 9, 5},
        };
        for (const Step& step : steps) {
            // Only the cells a tool asked for report their changes.
            QVERIFY(iface->child(index(step.row, step.col)));
            events.clear();
            step.act();
            const std::vector<Event> found = take(step.type);
            QVERIFY2(found.size() == 1, step.what);
            QCOMPARE(found[0].child, index(step.row, step.col));
            QCOMPARE(found[0].name, nameOf(m, step.row, step.col));
            if (step.type == QAccessible::Focus)
                QVERIFY(found[0].state.focused);
            if (step.type == QAccessible::StateChanged)
                QVERIFY(found[0].state.checked);
            QVERIFY2(take(QAccessible::TableModelChanged).empty(), step.what);
        }
        // After "shift up narrows" the block is rows 5..6 of columns 2..6 (3 hidden).
        QCOMPARE(table->selectedCellCount(), 2 * 4);
        QCOMPARE(table->cellAt(4, 1)->text(QAccessible::Name), QStringLiteral("運動会"));

        // Focus frame: the cursor cell is framed in the highlight colour while the grid has
        // the focus, in a quieter one without it.
        const QRect cursor(g.viewport()->mapFromGlobal(table->cellAt(4, 1)->rect().topLeft()),
                           table->cellAt(4, 1)->rect().size());
        const QPoint edge(cursor.left() + 1, cursor.center().y());
        auto frame = [&] { return g.viewport()->grab().toImage().pixel(edge); };
        QCOMPARE(frame(), g.palette().color(QPalette::Highlight).rgb());
        g.clearFocus();
        QCOMPARE(frame(), g.palette().color(QPalette::Mid).rgb());

        // The focus coming back to the grid ends on its cursor cell.
        events.clear();
        g.setFocus();
        QVERIFY(g.hasFocus());
        QTRY_VERIFY(!take(QAccessible::Focus).empty());
        QCoreApplication::processEvents();
        QCOMPARE(take(QAccessible::Focus).size(), size_t(1));
        QCOMPARE(take(QAccessible::Focus).back().child, index(5, 2));
        QCOMPARE(frame(), g.palette().color(QPalette::Highlight).rgb());

        // The editor is named after its cell's headings.
        QVERIFY(g.startEdit());
        QVERIFY(g.editor());
        QCOMPARE(g.editor()->accessibleName(), QStringLiteral("見出し2 4/5"));
        // Enter stores the text and moves the cursor down: that cell has the focus, once.
        events.clear();
        QTest::keyClick(g.editor(), Qt::Key_Return);
        QVERIFY(!g.isEditing());
        QVERIFY(g.hasFocus());
        QCoreApplication::processEvents();
        QCOMPARE(take(QAccessible::Focus).size(), size_t(1));
        QCOMPARE(take(QAccessible::Focus).back().child, index(6, 2));

        // Rows and columns that come or go: the table is new.
        struct Change {
            const char* what;
            std::function<void()> act;
            int rows, cols;
        };
        const std::vector<Change> changes{
            {"column hidden", [&] { m.setColHidden(4, true); }, 29, 4},
            {"row added", [&] { m.setRows(31); }, 30, 4},
            {"row removed", [&] { m.removeItem(10); }, 29, 4},
            {"bulk edit",
             [&] {
                 m.beginBulkEdit();
                 m.clear();
                 m.endBulkEdit();
             },
             29, 4},
        };
        for (const Change& change : changes) {
            events.clear();
            change.act();
            const std::vector<Event> found = take(QAccessible::TableModelChanged);
            QVERIFY2(found.size() == 1, change.what);
            QCOMPARE(found[0].change, int(QAccessibleTableModelChangeEvent::ModelReset));
            QCOMPARE(table->rowCount(), change.rows);
            QCOMPARE(table->columnCount(), change.cols);
            for (int r = 0; r < table->rowCount(); ++r)
                for (int c = 0; c < table->columnCount(); ++c) {
                    QAccessibleInterface* cell = table->cellAt(r, c);
                    const int col = c < 2 ? c + 1 : c + 3; // 1, 2, 5, 6
                    QCOMPARE(cell->text(QAccessible::Name), nameOf(m, r + 1, col));
                }
        }

        // Without a listening tool nothing is sent.
        GridAccessibility::installListener(nullptr);
        QVERIFY(!GridAccessibility::listening());
        events.clear();
        g.setCursor(2, 2);
        m.setTextMatrix(2, 2, QStringLiteral("x"));
        m.setColHidden(4, false);
        QVERIFY(events.empty());
    }
};

QTEST_MAIN(TestGridAccessible)
#include "tst_gridaccessible.moc"
