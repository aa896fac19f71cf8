// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/stats/recordstatswindow.h"

#include "core/stats/stats.h"
#include "core/stats/yearstats.h"

using namespace Qt::StringLiterals;

RecordStatsWindow::RecordStatsWindow(AppState& app, Navigator& nav, QWidget* parent)
    : StatsWindow(app, nav, u"記録統計"_s, u"記録統計"_s, u"から"_s, TemplateKind::Record) {
    setParent(parent);
    buildCommands(commandTable(
        u"mnuKeyopen"_s, {Cmd::item(u"mnuKey1"_s, u"キーワード1(&T)"_s, [this] { openKey1(); }),
                          Cmd::item(u"mnuKey2"_s, u"キーワード2(&Y)"_s, [this] { openKey2(); })}));
    placeOnScreen(QSize(760, 640));
}

void RecordStatsWindow::setUpTable() {
    Kiroku_GridInit(table());
}

void RecordStatsWindow::openKey1() {
    startTyping(Kiroku_Key2Row(table()) + 1, 1);
}

void RecordStatsWindow::openKey2() {
    startTyping(Kiroku_Key2Row(table()), 2);
}
