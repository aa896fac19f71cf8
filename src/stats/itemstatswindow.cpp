#include "stats/itemstatswindow.h"

#include "stats/stats.h"

using namespace Qt::StringLiterals;

ItemStatsWindow::ItemStatsWindow(AppState& app, Navigator& nav, QWidget* parent)
    : StatsWindow(app, nav, u"項目統計"_s, u"スケジュール統計"_s, u"～"_s, TemplateKind::Item) {
    setParent(parent);
    buildCommands(commandTable());
    placeOnScreen(QSize(400, 640));
}

std::vector<Command> ItemStatsWindow::commandTable() {
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuSave"_s, u"キーワード保存(&S)"_s, [this] { saveTemplate(); }, QKeySequence::Save),
        Cmd::item(
            u"mnuOpen"_s, u"キーワード読み込み(&O)"_s, [this] { openTemplate(); },
            QKeySequence::Open),
        Cmd::separator(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { print(); }, QKeySequence::Print),
        Cmd::separator(),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { close(); }),
        Cmd::menu(u"mnuSettei"_s, u"設定(&S)"_s),
        Cmd::item(u"mnuKey"_s, u"キーワード(&K)"_s, [this] { openKeys(); }),
        Cmd::barItem(
            u"mnuToukei"_s, u"統計(&T)"_s, [this] { count(); }, Qt::Key_F5),
        Cmd::tool(u"キーワード読み込み"_s, ToolIcon::Open, u"mnuOpen"_s),
        Cmd::tool(u"キーワード保存"_s, ToolIcon::Save, u"mnuSave"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuPrint"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"統計"_s, ToolIcon::Count, u"mnuToukei"_s),
    };
}

void ItemStatsWindow::setUpTable() {
    Koumoku_GridInit(table());
}

QString ItemStatsWindow::countRows(int first, int last) {
    return Koumoku_count(table(), app(), first, last);
}

void ItemStatsWindow::openKeys() {
    table().setFixedCols(1);
    paintOpen(1, 1, table().rows() - 1, 2);
    startTyping(1, 1);
}

void ItemStatsWindow::cursorMoved(int, int oldCol, int, int newCol) {
    if (oldCol < 3 && newCol >= 3)
        closeKeywords();
}

void ItemStatsWindow::closeKeywords() {
    table().setFixedCols(3);
    paintClosed(1, 1, table().rows() - 1, 2);
}
