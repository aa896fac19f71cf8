#include "stats/recordstatswindow.h"

#include "stats/stats.h"

using namespace Qt::StringLiterals;

RecordStatsWindow::RecordStatsWindow(AppState& app, Navigator& nav, QWidget* parent)
    : StatsWindow(app, nav, u"記録統計"_s, u"記録統計"_s, u"から"_s, TemplateKind::Record) {
    setParent(parent);
    buildCommands(commandTable());
    placeOnScreen(QSize(560, 640));
}

std::vector<Command> RecordStatsWindow::commandTable() {
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuSave"_s, u"キーワード保存(&S)"_s, [this] { saveTemplate(); }, QKeySequence::Save),
        Cmd::item(
            u"mnuKeyopen"_s, u"キーワード読み込み(&O)"_s, [this] { openTemplate(); },
            QKeySequence::Open),
        Cmd::separator(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { print(); }, QKeySequence::Print),
        Cmd::separator(),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { close(); }),
        Cmd::menu(u"mnuSettei"_s, u"設定(&S)"_s),
        Cmd::item(u"mnuKey1"_s, u"キーワード1(&T)"_s, [this] { openKey1(); }),
        Cmd::item(u"mnuKey2"_s, u"キーワード2(&Y)"_s, [this] { openKey2(); }),
        Cmd::barItem(
            u"mnuToukei"_s, u"統計(&T)"_s, [this] { count(); }, Qt::Key_F5),
        Cmd::tool(u"キーワード読み込み"_s, ToolIcon::Open, u"mnuKeyopen"_s),
        Cmd::tool(u"キーワード保存"_s, ToolIcon::Save, u"mnuSave"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuPrint"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"統計"_s, ToolIcon::Count, u"mnuToukei"_s),
    };
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
