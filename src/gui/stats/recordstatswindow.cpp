#include "gui/stats/recordstatswindow.h"

#include "core/stats/stats.h"

using namespace Qt::StringLiterals;

RecordStatsWindow::RecordStatsWindow(AppState& app, Navigator& nav, QWidget* parent)
    : StatsWindow(app, nav, u"記録統計"_s, u"記録統計"_s, u"から"_s, TemplateKind::Record) {
    setParent(parent);
    buildCommands(commandTable(
        u"mnuKeyopen"_s, {Cmd::item(u"mnuKey1"_s, u"キーワード1(&T)"_s, [this] { openKey1(); }),
                          Cmd::item(u"mnuKey2"_s, u"キーワード2(&Y)"_s, [this] { openKey2(); })}));
    placeOnScreen(QSize(560, 640));
}

void RecordStatsWindow::setUpTable() {
    Kiroku_GridInit(table());
}

QString RecordStatsWindow::countRows(int first, int last) {
    return Kiroku_count(table(), app(), first, last);
}

void RecordStatsWindow::openKey1() {
    table().setFixedCols(1);
    paintOpen(1, 1, table().rows() - 1, 1);
    startTyping(1, 1);
}

void RecordStatsWindow::openKey2() {
    table().setFixedRows(0);
    paintOpen(0, 2, 0, table().cols() - 1);
    startTyping(0, 2);
}

void RecordStatsWindow::closeKey1() {
    table().setFixedCols(2);
    paintClosed(1, 1, table().rows() - 1, 1);
}

void RecordStatsWindow::closeKey2() {
    table().setFixedRows(1);
    paintClosed(0, 2, 0, table().cols() - 1);
}

void RecordStatsWindow::cursorMoved(int oldRow, int oldCol, int newRow, int newCol) {
    if (oldCol == 1 && newCol > 1)
        closeKey1();
    if (oldRow == 0 && newRow > 0)
        closeKey2();
}

void RecordStatsWindow::closeKeywords() {
    closeKey1();
    closeKey2();
}
