// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/stats/itemstatswindow.h"

#include "core/stats/stats.h"

using namespace Qt::StringLiterals;

ItemStatsWindow::ItemStatsWindow(AppState& app, Navigator& nav, QWidget* parent)
    : StatsWindow(app, nav, u"項目統計"_s, u"スケジュール統計"_s, u"～"_s, TemplateKind::Item) {
    setParent(parent);
    buildCommands(commandTable(
        u"mnuOpen"_s, {Cmd::item(u"mnuKey"_s, u"キーワード(&K)"_s, [this] { openKeys(); })}));
    placeOnScreen(QSize(400, 640));
}

void ItemStatsWindow::setUpTable() {
    Koumoku_GridInit(table());
}

void ItemStatsWindow::openKeys() {
    startTyping(1, 1);
}
