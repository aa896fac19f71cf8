// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/annual/annuallayout.h"
#include "gui/grid/grid.h"
#include "gui/platform/printer.h"
#include "support/doubles.h"

#include <QHelpEvent>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

// How the grid shows a text its cell cannot hold: on screen, in its tool tip and on
// paper.
class TestGridPainter : public QObject {
    Q_OBJECT

private:
    static QPoint cellCenter(Grid& g, int row, int col) {
        // Cell positions in pixels from the twip layout, the grid not scrolled.
        const GridModel& m = *g.model();
        auto px = [](int twips, qreal dpi) { return int(twips * dpi / 1440.0 + 0.5); };
        int x = 0, y = 0;
        for (int c = 0; c < col; ++c)
            x += px(m.colWidth(c), g.logicalDpiX());
        for (int r = 0; r < row; ++r)
            y += px(m.rowHeight(r), g.logicalDpiY());
        return QPoint(x + px(m.colWidth(col), g.logicalDpiX()) / 2,
                      y + px(m.rowHeight(row), g.logicalDpiY()) / 2);
    }
    static void show(Grid& g, QSize size = QSize(900, 600)) {
        g.resize(size);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        g.setFocus();
    }

private Q_SLOTS:
    // Texts of every shape in cells of every size: only whole lines are shown, each
    // within the width, and where text is left out the last line shown ends in "…".
    void aTextTooLongForItsCellShowsWholeLinesEndingInAnEllipsis() {
        const QString paragraph = QStringLiteral(
            "今日は遠足の下見に行った。天気は晴れで、子どもたちの歩く道を確かめた。");
        const QStringList texts = {
            QStringLiteral("晴れ"),
            paragraph,
            paragraph + paragraph + paragraph,
            QStringLiteral("朝: 雨\n昼: 曇り\n夜: 晴れ\n深夜: 雪"),
            QStringLiteral("一行目\r\n二行目\r三行目\n\n\n"),
            QStringLiteral("Science lesson outside, then a long walk along the river bank."),
            QStringLiteral("Supercalifragilisticexpialidocious"),
            QStringLiteral("鯖の𩸽と𩸽の鯖、𠀋の字。") + paragraph,
            QStringLiteral("\n\n下の行"),
        };
        QFont font = QApplication::font();
        const QFontMetricsF fm(font);
        const qreal line = fm.lineSpacing();
        auto squeezed = [](QString s) {
            s.remove(QRegularExpression(QStringLiteral("\\s")));
            return s;
        };
        int cuts = 0;
        for (const QString& raw : texts)
            for (const qreal width : {40.0, 113.0, 300.0})
                for (const qreal height : {line, 2.5 * line, 4.2 * line, 12 * line}) {
                    const QString text = GridPainter::displayText(raw);
                    bool cut = false;
                    const QStringList lines =
                        GridPainter::fitLines(text, font, width, height, &cut);
                    const QString where = QStringLiteral("「%1」 in %2 × %3: %4")
                                              .arg(raw.left(12))
                                              .arg(width)
                                              .arg(height)
                                              .arg(lines.join(u'|'));
                    QVERIFY2(!lines.isEmpty(), qPrintable(where));
                    QVERIFY2(lines.size() == 1 || lines.size() * line <= height + line / 20,
                             qPrintable(where));
                    for (const QString& l : lines)
                        QVERIFY2(fm.horizontalAdvance(l) <= width + 0.5, qPrintable(where));
                    QString shown = lines.join(QString());
                    if (cut) {
                        ++cuts;
                        QVERIFY2(shown.endsWith(u'…'), qPrintable(where));
                        shown.chop(1);
                        QVERIFY2(squeezed(text).startsWith(squeezed(shown)), qPrintable(where));
                        QVERIFY2(squeezed(shown) != squeezed(text), qPrintable(where));
                    } else {
                        QVERIFY2(squeezed(shown) == squeezed(text), qPrintable(where));
                    }
                }
        QVERIFY(cuts > 20);
    }

    // In the annual table's record column: the whole text of a cut cell shows as its
    // tool tip, a text that fits shows none, and the print cuts it as the screen does.
    void aCutTextIsShownWholeOnHoverAndCutInPrint() {
        QTemporaryDir dir;
        auto printer = std::make_unique<PdfPrinter>(dir.path());
        PdfPrinter* pdf = printer.get();
        Printer::install(std::move(printer));
        Grid g;
        GridModel& m = *g.model();
        Annual_Layout(m, 19);
        m.setFixedRows(1);
        m.setFixedCols(2);
        m.setRows(4);
        const QString whole = QStringLiteral("STARTOFRECORD 遠足の下見。") +
                              QStringLiteral("道を確かめた。").repeated(12) +
                              QStringLiteral(" ENDOFRECORD");
        m.setTextMatrix(1, 3, whole);
        m.setTextMatrix(2, 3, QStringLiteral("短い記録"));
        show(g);
        QCoreApplication::processEvents();
        auto hover = [&g](int row) {
            QHelpEvent tip(QEvent::ToolTip, cellCenter(g, row, 3),
                           g.viewport()->mapToGlobal(cellCenter(g, row, 3)));
            QCoreApplication::sendEvent(g.viewport(), &tip);
        };
        hover(1);
        QVERIFY(QToolTip::isVisible());
        QVERIFY2(QToolTip::text().contains(QStringLiteral("ENDOFRECORD")),
                 qPrintable(QToolTip::text()));
        QVERIFY(QToolTip::text().contains(QStringLiteral("道を確かめた。").repeated(12)));
        hover(2);
        QTRY_VERIFY(!QToolTip::isVisible());

        QVERIFY(g.printGrid(QStringLiteral("test")));
        QCOMPARE(pdf->files.size(), 1);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {pdf->files[0], QStringLiteral("-")});
        QVERIFY2(text.waitForFinished(30000), "pdftotext is needed (poppler-utils)");
        const QString out = QString::fromUtf8(text.readAllStandardOutput());
        QVERIFY2(out.contains(QStringLiteral("STARTOFRECORD")), qPrintable(out));
        QVERIFY2(out.contains(u'…'), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("ENDOFRECORD")), qPrintable(out));
        QVERIFY(out.contains(QStringLiteral("短い記録")));
        Printer::install(nullptr);
    }
};

QTEST_MAIN(TestGridPainter)
#include "tst_gridpainter.moc"
