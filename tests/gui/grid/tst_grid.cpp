// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annuallayout.h"
#include "core/store/yearstore.h"
#include "core/todo/todostring.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/printer.h"
#include "support/doubles.h"

#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolTip>
#include <QVBoxLayout>
#include <QtTest>

// Drives a real Grid with mouse and keys.
class TestGrid : public QObject {
    Q_OBJECT

private:
    // The annual table's layout (367 rows × 19 columns, 1000-twip rows), one fixed row
    // and two fixed columns, every cell holding its row and column.
    static void annualShape(GridModel& m) {
        Annual_Layout(m, 19);
        m.setFixedRows(1);
        m.setFixedCols(2);
        for (int r = 0; r < m.rows(); ++r)
            for (int c = 0; c < m.cols(); ++c)
                m.setTextMatrix(r, c, QStringLiteral("%1-%2").arg(r).arg(c));
    }
    // A ToDo-shaped grid: check box, time, category, text.
    static void todoShape(Grid& g) {
        GridModel& m = *g.model();
        m.setRows(6);
        m.setCols(4);
        m.setFixedRows(1);
        m.setFixedCols(0);
        m.setColWidth(0, 400);
        m.setColWidth(3, 3000);
        m.setColComboList(2, ToDo_CategoryComboList());
        g.setColInput(
            1, ColumnInput::checked(ToDo_NormalizeTime, QStringLiteral("hh:mm"),
                                    QStringLiteral("時刻は 9:30 のように入力してください。")));
        YearStore store;
        ToDo_SaveDiary(m, store, 1); // the empty, headed state
    }
    static QPoint cellCenter(Grid& g, int row, int col) {
        // Cell positions in pixels from the twip layout at the screen's DPI.
        const GridModel& m = *g.model();
        const qreal dpiX = g.logicalDpiX(), dpiY = g.logicalDpiY();
        auto px = [](int twips, qreal dpi) { return int(twips * dpi / 1440.0 + 0.5); };
        int x = 0, y = 0;
        for (int c = 0; c < m.fixedCols(); ++c)
            x += c < col ? px(m.colWidth(c), dpiX) : 0;
        if (col >= m.fixedCols())
            for (int c = g.leftCol(); c < col; ++c)
                x += px(m.colWidth(c), dpiX);
        for (int r = 0; r < m.fixedRows(); ++r)
            y += r < row ? px(m.rowHeight(r), dpiY) : 0;
        if (row >= m.fixedRows())
            for (int r = g.topRow(); r < row; ++r)
                y += px(m.rowHeight(r), dpiY);
        return QPoint(x + px(m.colWidth(col), dpiX) / 2, y + px(m.rowHeight(row), dpiY) / 2);
    }
    static void show(Grid& g, QSize size = QSize(900, 600)) {
        g.resize(size);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setFocus();
    }
    static void type(QWidget* w, const QString& text) {
        // Each character goes to the widget that has the focus then, as typing does.
        for (const QChar ch : text) {
            QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : w;
            QTest::sendKeyEvent(QTest::Click, target, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }

private Q_SLOTS:
    void fixedCellsStayInPlaceAndCannotBeTypedInto() {
        Grid g;
        annualShape(*g.model());
        show(g);
        GridModel& m = *g.model();
        g.setTopRow(200);
        g.setLeftCol(10);
        QCOMPARE(g.topRow(), 200);
        QCOMPARE(g.leftCol(), 10);

        // The heading row and the date columns are still where they were.
        QTest::mouseMove(g.viewport(), cellCenter(g, 0, 5 + 5));
        QCOMPARE(g.mouseRow(), 0);
        QTest::mouseMove(g.viewport(), cellCenter(g, 205, 0));
        QCOMPARE(g.mouseCol(), 0);
        QCOMPARE(g.mouseRow(), 205);
        QTest::mouseMove(g.viewport(), cellCenter(g, 205, 12));
        QCOMPARE(g.mouseCol(), 12);

        // The cursor never enters a fixed cell, and a fixed cell takes no typing.
        g.setCursor(201, 10);
        QTest::keyClick(&g, Qt::Key_Home);
        QCOMPARE(m.col(), 2);
        QTest::keyClick(&g, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(m.row(), 1);
        m.select(0, 5);
        QTest::keyClick(&g, Qt::Key_X);
        QVERIFY(!g.isEditing());
        QCOMPARE(m.textMatrix(0, 5), QStringLiteral("0-5"));
        QTest::mouseDClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 0, 5));
        QVERIFY(!g.isEditing());

        // Keys scroll the cursor into view.
        QTest::keyClick(&g, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(m.row(), 366);
        QCOMPARE(m.col(), 18);
        QVERIFY(g.topRow() > 300);
        QTest::keyClick(&g, Qt::Key_PageUp);
        QVERIFY(m.row() < 366);
        QVERIFY(g.topRow() <= m.row());
    }

    void typingEditsInPlaceAndEnterCommits() {
        Grid g;
        annualShape(*g.model());
        show(g);
        GridModel& m = *g.model();
        QSignalSpy edits(&g, &Grid::afterEdit);
        g.setCursor(3, 4);
        type(&g, QStringLiteral("会議"));
        QVERIFY(g.isEditing());
        QTest::keyClick(g.editor(), Qt::Key_Return);
        QVERIFY(!g.isEditing());
        QCOMPARE(m.textMatrix(3, 4), QStringLiteral("会議"));
        QCOMPARE(m.row(), 4); // Enter moves down
        QCOMPARE(edits.size(), 1);

        // Escape gives the old text back; a tall cell edits several lines.
        QTest::keyClick(&g, Qt::Key_F2);
        auto* multi = qobject_cast<QPlainTextEdit*>(g.editor());
        QVERIFY(multi);
        type(multi, QStringLiteral("追記"));
        QTest::keyClick(multi, Qt::Key_Escape);
        QCOMPARE(m.textMatrix(4, 4), QStringLiteral("4-4"));
        QCOMPARE(edits.size(), 1);
        QTest::keyClick(&g, Qt::Key_F2);
        multi = qobject_cast<QPlainTextEdit*>(g.editor());
        QTest::keyClick(multi, Qt::Key_Return, Qt::AltModifier);
        type(multi, QStringLiteral("二行目"));
        QTest::keyClick(multi, Qt::Key_Return);
        QCOMPARE(m.textMatrix(4, 4), QStringLiteral("4-4\n二行目"));
    }

    void theFocusComesBackToTheGridAfterAnEdit() {
        // Among other widgets of a window: the next key goes to the grid, not to the
        // widget after the editor in the window's focus chain.
        QWidget window;
        auto* before = new QLineEdit(&window);
        auto* g = new Grid(&window);
        annualShape(*g->model());
        g->model()->setRowHeight(-1, 280); // one-line editors
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(before);
        layout->addWidget(g);
        window.resize(700, 500);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        g->setFocus();
        g->setCursor(3, 4);
        type(g, QStringLiteral("会"));
        QTest::keyClick(g->editor(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), g);
        type(g, QStringLiteral("議"));
        QTest::keyClick(g->editor(), Qt::Key_Tab);
        QCOMPARE(g->model()->textMatrix(4, 4), QStringLiteral("議"));
        QCOMPARE(QApplication::focusWidget(), g);
        QVERIFY(before->text().isEmpty());
    }

    void theMouseSelectsCellsAndBlocks() {
        Grid g;
        annualShape(*g.model());
        show(g);
        GridModel& m = *g.model();
        QSignalSpy moves(&g, &Grid::cellChanged);
        QTest::mousePress(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 2, 3));
        QTest::mouseMove(g.viewport(), cellCenter(g, 4, 5));
        QTest::mouseRelease(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 4, 5));
        QCOMPARE(m.row(), 2);
        QCOMPARE(m.col(), 3);
        QCOMPARE(m.rowSel(), 4);
        QCOMPARE(m.colSel(), 5);
        QVERIFY(!moves.isEmpty());
        QCOMPARE(moves.last().at(2).toInt(), 2);
        QCOMPARE(moves.last().at(3).toInt(), 3);
        QTest::keyClick(&g, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(m.rowSel(), 5);

        // A click on a column heading selects the whole column.
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 0, 6));
        const GridModel::Selection s = m.getSelection();
        QCOMPARE(s.row1, 1);
        QCOMPARE(s.row2, 366);
        QCOMPARE(s.col1, 6);
        QCOMPARE(s.col2, 6);
    }

    void checkBoxesToggleByMouseAndSpace() {
        Grid g;
        todoShape(g);
        show(g);
        GridModel& m = *g.model();
        QSignalSpy edits(&g, &Grid::afterEdit);
        QCOMPARE(m.cell(GridModel::CellChecked, 2, 0), 2);
        QTest::mouseClick(g.viewport(), Qt::LeftButton, {}, cellCenter(g, 2, 0));
        QCOMPARE(m.cell(GridModel::CellChecked, 2, 0), 1);
        QTest::keyClick(&g, Qt::Key_Space);
        QCOMPARE(m.cell(GridModel::CellChecked, 2, 0), 2);
        QCOMPARE(edits.size(), 2);
        QVERIFY(!g.isEditing());
    }

    void theDropDownOffersItsEntriesAndTakesTypedText() {
        Grid g;
        todoShape(g);
        show(g);
        GridModel& m = *g.model();
        g.setCursor(1, 2);
        QTest::keyClick(&g, Qt::Key_F2);
        auto* combo = qobject_cast<QComboBox*>(g.editor());
        QVERIFY(combo);
        QCOMPARE(combo->count(), 4);
        QCOMPARE(combo->itemText(0), QStringLiteral("最重"));
        QCOMPARE(combo->itemText(3), QStringLiteral("要軽"));
        combo->setCurrentIndex(1);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(m.textMatrix(1, 2), QStringLiteral("重要"));

        g.setCursor(2, 2);
        type(&g, QStringLiteral("至急"));
        combo = qobject_cast<QComboBox*>(g.editor());
        QVERIFY(combo);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(m.textMatrix(2, 2), QStringLiteral("至急"));
    }

    void theTimeColumnStoresTimesOfDay() {
        Grid g;
        todoShape(g);
        show(g);
        GridModel& m = *g.model();
        g.setCursor(1, 1);
        type(&g, QStringLiteral("930"));
        QTest::keyClick(g.editor(), Qt::Key_Return);
        QCOMPARE(m.textMatrix(1, 1), QStringLiteral("09:30"));

        g.setCursor(2, 1);
        type(&g, QStringLiteral("あとで"));
        QTest::keyClick(g.editor(), Qt::Key_Return);
        QVERIFY(g.isEditing()); // not a time: the editor stays open
        QTest::keyClick(g.editor(), Qt::Key_Escape);
        QCOMPARE(m.textMatrix(2, 1), QString());
    }

    void aColumnsInputCheckRefusesTextAndKeepsItsEditorOpen() {
        QWidget window;
        auto* grid = new Grid(&window);
        auto* other = new QLineEdit(&window);
        grid->setGeometry(0, 0, 600, 300);
        other->setGeometry(0, 310, 200, 30);
        GridModel& m = *grid->model();
        m.setRows(3);
        m.setCols(4);
        m.setRowHeight(-1, 1200); // tall enough for several lines
        auto code = [](const QString& s) { return s.startsWith(u'#') ? s.toUpper() : QString(); };
        grid->setColInput(
            2, ColumnInput::checked(code, QStringLiteral("#code"), QStringLiteral("refused")));
        window.resize(600, 350);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        grid->setFocus();

        // A checked column edits in one line, with its hint; a refused text stays.
        grid->setCursor(1, 2);
        type(grid, QStringLiteral("ab"));
        auto* line = qobject_cast<QLineEdit*>(grid->editor());
        QVERIFY(line);
        QCOMPARE(line->placeholderText(), QStringLiteral("#code"));
        QTest::keyClick(line, Qt::Key_Tab);
        QVERIFY(grid->isEditing());
        QCOMPARE(QToolTip::text(), QStringLiteral("refused"));
        QCOMPARE(m.col(), 2);
        line->setText(QStringLiteral("#ab"));
        QTest::keyClick(line, Qt::Key_Tab);
        QVERIFY(!grid->isEditing());
        QCOMPARE(m.textMatrix(1, 2), QStringLiteral("#AB"));
        QCOMPARE(m.col(), 3);

        // Other columns are not checked; leaving with a refused text keeps the old one.
        QTest::keyClick(grid, Qt::Key_F2);
        QVERIFY(qobject_cast<QPlainTextEdit*>(grid->editor()));
        QTest::keyClick(grid->editor(), Qt::Key_Escape);
        grid->setCursor(1, 2);
        type(grid, QStringLiteral("x"));
        QVERIFY(grid->isEditing());
        other->setFocus();
        QVERIFY(!grid->isEditing());
        QCOMPARE(m.textMatrix(1, 2), QStringLiteral("#AB"));
    }

    void aNewAlignmentShowsAtOnce() {
        Grid g;
        GridModel& m = *g.model();
        m.setRows(2);
        m.setCols(2);
        m.setColWidth(1, 3000);
        m.setTextMatrix(1, 1, QStringLiteral("左"));
        m.setCell(GridModel::CellAlignment, 1, 1, 1);
        show(g, QSize(400, 200));
        auto shot = [&g] {
            QImage image(g.viewport()->size(), QImage::Format_ARGB32_Premultiplied);
            g.viewport()->render(&image);
            return image;
        };
        const QImage left = shot();
        m.setCell(GridModel::CellAlignment, 1, 1, 7); // right, the same height
        QVERIFY(shot() != left);
        m.setCell(GridModel::CellAlignment, 1, 1, 1);
        QCOMPARE(shot(), left);
    }

    void theAxisFindsLinesAndBordersUpToItsEnds() {
        // A fixed line and a hidden fixed one, then scrolled lines with a hidden one.
        GridAxis axis;
        axis.setSizes({20, 0, 30, 40, 0, 40, 40});
        axis.setFixed(2);
        axis.setFirst(3);
        QCOMPARE(axis.fixedSize(), 20);
        QCOMPARE(axis.position(0), 0);
        QCOMPARE(axis.position(2), -1); // scrolled away
        QCOMPARE(axis.position(5), 60);
        QCOMPARE(axis.hitTest(19, 100, false).line, 0);
        QCOMPARE(axis.hitTest(20, 100, false).line, 3);
        QCOMPARE(axis.hitTest(99, 100, false).line, 5);
        QCOMPARE(axis.hitTest(-1, 100, false).line, -1);
        QCOMPARE(axis.hitTest(140, 200, false).line, -1); // past the last line

        // Borders within the grip either side, a hidden line's never, and only on request.
        QCOMPARE(axis.hitTest(17, 100, true).border, 0);
        QCOMPARE(axis.hitTest(22, 100, true).border, 0);
        QCOMPARE(axis.hitTest(22, 100, true).line, 3);
        QCOMPARE(axis.hitTest(62, 100, true).border, 3);
        QCOMPARE(axis.hitTest(143, 200, true).border, 6);
        QCOMPARE(axis.hitTest(144, 200, true).border, -1);
        QCOMPARE(axis.hitTest(62, 100, false).border, -1);

        // What is on screen: hidden lines left out, nothing that starts past the end.
        std::vector<int> shown;
        for (const GridAxis::Line& line : axis.shown(100))
            shown.push_back(line.index);
        QCOMPARE(shown, (std::vector<int>{0, 3, 5}));
    }

    void theAxisScrollsWithinItsEnds() {
        GridAxis axis;
        axis.setSizes({20, 0, 30, 40, 0, 40, 40});
        axis.setFixed(2);
        QCOMPARE(axis.maxFirst(1000), 2);
        QCOMPARE(axis.maxFirst(30), 6); // never past the last line
        axis.scrollTo(0, 100);
        QCOMPARE(axis.first(), 2);
        axis.scrollTo(99, 100);
        QCOMPARE(axis.first(), axis.maxFirst(100));

        // Brought into view whole: back to a line above, on to one below.
        axis.setFirst(3);
        axis.bringIntoView(6, 100);
        QVERIFY(axis.position(6) >= axis.fixedSize());
        QVERIFY(axis.position(6) + axis.size(6) <= 100);
        axis.bringIntoView(2, 100);
        QCOMPARE(axis.first(), 2);
        axis.bringIntoView(0, 100); // a fixed line is always there
        QCOMPARE(axis.first(), 2);
        // A line larger than the space is shown from its start.
        axis.bringIntoView(5, 50);
        QCOMPARE(axis.position(5), 20);

        // Steps pass over hidden lines and stop at the ends of the scrolled ones.
        QCOMPARE(axis.step(3, 1), 5);
        QCOMPARE(axis.step(5, -1), 3);
        QCOMPARE(axis.step(3, -5), 2);
        QCOMPARE(axis.step(5, 10), 6);
    }

    void aKeyDownHandlerCanTakeAKey() {
        Grid g;
        annualShape(*g.model());
        show(g);
        connect(&g, &Grid::keyDown, &g, [&g](int key, Qt::KeyboardModifiers) {
            if (key == Qt::Key_Down)
                g.consumeKey();
        });
        g.setCursor(5, 5);
        QTest::keyClick(&g, Qt::Key_Down);
        QCOMPARE(g.model()->row(), 5);
        QTest::keyClick(&g, Qt::Key_Up);
        QCOMPARE(g.model()->row(), 4);
    }

    void hiddenRowsAndColumnsAreLeftOutOfThePrint() {
        QTemporaryDir dir;
        auto printer = std::make_unique<PdfPrinter>(dir.path());
        PdfPrinter* pdf = printer.get();
        Printer::install(std::move(printer));
        Grid g;
        GridModel& m = *g.model();
        m.setRows(4);
        m.setCols(4);
        m.setColWidth(-1, 2000); // wide enough for every text
        m.setTextMatrix(0, 1, QStringLiteral("HEADING"));
        m.setTextMatrix(1, 1, QStringLiteral("SHOWNCELL"));
        m.setTextMatrix(2, 1, QStringLiteral("HIDDENROW"));
        m.setTextMatrix(1, 3, QStringLiteral("HIDDENCOL"));
        m.setTextMatrix(3, 2, QStringLiteral("年間行事"));
        m.setRowHidden(2, true);
        m.setColHidden(3, true);
        g.setPrintOrientation(QPageLayout::Landscape);
        QVERIFY(g.printGrid(QStringLiteral("test")));

        QCOMPARE(pdf->files.size(), 1);
        QCOMPARE(pdf->orientations.value(0), QPageLayout::Landscape);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf->files[0], QStringLiteral("-")});
        QVERIFY2(text.waitForFinished(30000), "pdftotext is needed (poppler-utils)");
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("SHOWNCELL")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("HEADING")));
        QVERIFY(out.contains(QStringLiteral("年間行事")));
        QVERIFY(!out.contains(QStringLiteral("HIDDENROW")));
        QVERIFY(!out.contains(QStringLiteral("HIDDENCOL")));
        Printer::install(nullptr);
    }

    void aStretchingColumnFillsTheWidthTheOthersLeave() {
        Grid g;
        GridModel& m = *g.model();
        m.setRows(3);
        m.setCols(3);
        m.setFixedCols(0);
        m.setColWidth(-1, 600);
        g.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        g.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        g.resize(400, 120);
        g.setStretchCol(2);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setCursor(1, 2);
        const int viewport = g.viewport()->width();
        const int others = 2 * Twips::toPixels(600, g.logicalDpiX());
        QCOMPARE(Twips::toPixels(g.cellWidth(), g.logicalDpiX()), viewport - others);
        QCOMPARE(m.colWidth(2), 600); // the model keeps its width
        g.resize(500, 120);
        QCOMPARE(Twips::toPixels(g.cellWidth(), g.logicalDpiX()), g.viewport()->width() - others);
    }

    void theVisibleRowCountFollowsTheGridsHeight() {
        Grid g;
        GridModel& m = *g.model();
        m.setRows(10);
        m.setRowHeight(-1, 280);
        m.setRowHeight(0, 350);
        g.setHeightTwips(1000);
        QCOMPARE(Grid_FitRows(g), 1);
        g.setHeightTwips(5000);
        QCOMPARE(Grid_FitRows(g), 10);
    }

    void aFullYearGridKeepsEveryCellThroughSaveAndLoad() {
        QTemporaryDir dir;
        GridModel a;
        annualShape(a);
        for (int r = 1; r < a.rows(); ++r)
            for (int c = 1; c < a.cols(); ++c) {
                a.setTextMatrix(r, c, QStringLiteral("%1日の記録\n\t「%2」\\").arg(r).arg(c));
                a.setForeColorAt(r, c, quint32(r * 977 + c) & 0xFFFFFF);
                a.setBackColorAt(r, c, quint32(r * 131 + c * 7919) & 0xFFFFFF);
            }
        const QString path = dir.filePath(QStringLiteral("year.dys"));
        QVERIFY(a.saveGrid(path).ok());
        GridModel b(2, 2);
        QVERIFY(b.loadGrid(path).ok());
        QCOMPARE(b.rows(), 367);
        QCOMPARE(b.cols(), 19);
        for (int r = 0; r < a.rows(); ++r)
            for (int c = 0; c < a.cols(); ++c) {
                QCOMPARE(b.textMatrix(r, c), a.textMatrix(r, c));
                QCOMPARE(b.cellAt(r, c).fore, a.cellAt(r, c).fore);
                QCOMPARE(b.cellAt(r, c).back, a.cellAt(r, c).back);
            }
    }
};

QTEST_MAIN(TestGrid)
#include "tst_grid.moc"
