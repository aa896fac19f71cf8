// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/todo/todolistwindow.h"

#include "core/grid/gridclip.h"
#include "core/store/appstate.h"
#include "core/store/document.h"
#include "core/time/dates.h"
#include "gui/frame/dayrange.h"
#include "gui/frame/todocolumns.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcommands.h"
#include "gui/platform/clipboard.h"
#include "gui/platform/messagebox.h"
#include "gui/platform/printer.h"

#include <QCloseEvent>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;
using namespace ToDoList;

ToDoListWindow::ToDoListWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"ToDo一覧"_s, u"ToDo一覧"_s, parent) {
    buildCommands(commandTable());
    setCentralWidget(buildPage());
    placeOnScreen(QSize(760, 620));
    // A change of its document made elsewhere shows at once while the list holds no
    // edits of its own (once, after the edit that made it).
    m_refill.setSingleShot(true);
    m_refill.setInterval(0);
    connect(&m_refill, &QTimer::timeout, this, &ToDoListWindow::refill);
    connect(&app, &AppState::documentCellsChanged, this, [this](Document* doc, const CellRange& r) {
        if (doc == m_shownDoc && !m_modified && r.col1 <= StoreCol::ToDo &&
            r.col2 >= StoreCol::ToDo)
            m_refill.start();
    });
}

std::vector<Command> ToDoListWindow::commandTable() {
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuSave"_s, u"保存(&S)"_s, [this] { save(); }, QKeySequence::Save),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { print(); }, QKeySequence::Print),
        Cmd::separator(u"mnuspace6"_s),
        Cmd::item(u"mnuUnload"_s, u"閉じる(&X)"_s, [this] { close(); }),
        Cmd::menu(u"mnuEdit"_s, u"編集(&E)"_s),
        Cmd::item(
            u"mnuCut"_s, u"切り取り(&T)"_s, [this] { cut(); }, QKeySequence::Cut),
        Cmd::item(
            u"mnuCopy"_s, u"コピー(&C)"_s, [this] { copy(); }, QKeySequence::Copy),
        Cmd::item(
            u"mnuPaste"_s, u"貼り付け(&P)"_s, [this] { paste(); }, QKeySequence::Paste),
        Cmd::menu(u"mnuSort"_s, u"並び替え(&S)"_s),
        Cmd::item(u"mnuDateup"_s, u"日付順(昇順)(&A)"_s, [this] { sort(ToDoOrder::DateUp); }),
        Cmd::item(u"mnuDatedown"_s, u"日付順(降順)(&D)"_s, [this] { sort(ToDoOrder::DateDown); }),
        Cmd::separator(u"mnuspace1"_s),
        Cmd::item(u"mnuMiketuMi"_s, u"未既決分(未決優先)(&O)"_s,
                  [this] { sort(ToDoOrder::OpenFirst); }),
        Cmd::item(u"mnuMiketuKi"_s, u"未既決分(既決優先)(&F)"_s,
                  [this] { sort(ToDoOrder::DoneFirst); }),
        Cmd::separator(u"mnuspace2"_s),
        Cmd::item(u"mnuYusen"_s, u"分類別(&C)"_s, [this] { sort(ToDoOrder::Category); }),
        Cmd::separator(u"mnuspace3"_s),
        Cmd::item(u"mnuKoumokuUp"_s, u"項目順(昇順)(&I)"_s, [this] { sort(ToDoOrder::TextUp); }),
        Cmd::item(u"mnuKoumokuDown"_s, u"項目順(降順)(&J)"_s,
                  [this] { sort(ToDoOrder::TextDown); }),
        Cmd::menu(u"mnuData"_s, u"データ(&D)"_s),
        Cmd::item(u"mnuAdd"_s, u"項目追加(&A)"_s, [this] { addItem(); }),
        Cmd::item(u"mnuDel"_s, u"項目削除(&D)"_s, [this] { deleteItem(); }),
    };
}

QWidget* ToDoListWindow::buildPage() {
    auto* page = new QWidget(this);
    m_range = new DayRange(u"から"_s, page);
    m_show = new QPushButton(u"表示(&V)"_s, page);
    m_show->setObjectName(u"Command1"_s);
    m_show->setDefault(true);
    m_save = new QPushButton(u"保存(&A)"_s, page);
    m_save->setObjectName(u"保存"_s);
    connect(m_show, &QPushButton::clicked, this, &ToDoListWindow::showRange);
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });

    m_grid = new Grid(page);
    m_grid->setObjectName(u"fg"_s);
    m_grid->setAccessibleName(u"ToDo一覧"_s);
    m_grid->setModel(&m_list);
    m_grid->setStretchCol(TextCol);
    m_grid->setColInput(TimeCol, ToDo_TimeInput());
    connect(m_grid, &Grid::afterEdit, this, &ToDoListWindow::changed);
    connect(m_grid, &Grid::keyDown, this, [this](int key) { gridKeyDown(key); });
    ToDo_GridInit(m_list);

    auto* range = new QHBoxLayout;
    range->addWidget(m_range);
    range->addSpacing(12);
    range->addWidget(m_show);
    range->addWidget(m_save);
    range->addStretch();
    auto* all = new QVBoxLayout(page);
    all->setContentsMargins(10, 8, 10, 10);
    all->addLayout(range);
    all->addWidget(m_grid, 1);
    return page;
}

void ToDoListWindow::loadFromStore() {
    // Opening the list: the days of the year to pick from, and the items of the
    // current date's month listed.
    const Dates::Period month = Dates::monthInYear(app().currentDate(), app().baseYear());
    m_range->setYear(app().baseYear(), month.first, month.last);
    const QDate first(app().baseYear(), 4, 1), last(app().baseYear() + 1, 3, 31);
    ColumnInput days;
    days.firstDate = first;
    days.lastDate = last;
    days.readDate = [](const QString& text) { return Dates::fromStoreText(text); };
    days.writeDate = [](const QDate& d) { return Dates::toStoreText(d); };
    days.emptyDate = [this] { return app().currentDate(); };
    m_grid->setColInput(DateCol, days);
    m_grid->cancelEdit();
    m_modified = false;
    if (!fill(month.first, month.last)) { // never for a month of the year
        ToDo_GridInit(m_list);
        ToDo_FitColumns(*m_grid, TimeCol, CategoryCol);
        m_shown = {};
        m_shownDoc = nullptr;
        showTitle();
    }
}

QDateEdit* ToDoListWindow::fromPicker() const {
    return m_range->from();
}

QDateEdit* ToDoListWindow::toPicker() const {
    return m_range->to();
}

QWidget* ToDoListWindow::writingWidget() const {
    return m_show;
}

bool ToDoListWindow::settleEdits() {
    if (m_grid->isEditing() && !m_grid->commitEdit())
        return false;
    if (!m_modified)
        return true;
    switch (MessageBox::show(this, u"ToDo一覧が変更されています。保存しますか。"_s,
                             MessageBox::YesNoCancel, MessageBox::Question,
                             m_shownDoc ? m_shownDoc->displayName() : QString())) {
    case MessageBox::Yes:
        return save();
    case MessageBox::No:
        return true;
    default:
        return false;
    }
}

bool ToDoListWindow::settleEditsOf(const Document* doc) {
    if (doc != m_shownDoc)
        return true;
    if (!settleEdits())
        return false;
    m_modified = false; // saved, or let go by the user's いいえ
    // What the document holds: edits let go are not shown any more, so a later edit of
    // the list cannot bring them back.
    refill();
    return true;
}

void ToDoListWindow::showRange() {
    if (!settleEdits())
        return;
    if (!fill(m_range->from()->date(), m_range->to()->date()))
        MessageBox::show(this, u"日付設定が不適切です"_s, MessageBox::OkOnly, MessageBox::Warning);
}

bool ToDoListWindow::fill(const QDate& from, const QDate& to) {
    ToDoShown shown;
    if (!ToDo_ListShow(m_list, app(), from, to, &shown))
        return false;
    ToDo_FitColumns(*m_grid, TimeCol, CategoryCol);
    m_shown = std::move(shown);
    m_shownDoc = &app().doc();
    showTitle();
    m_modified = false;
    m_grid->setTopRow(1);
    return true;
}

void ToDoListWindow::refill() {
    if (!m_shownDoc || m_shown.isEmpty() || m_modified || m_grid->isEditing())
        return;
    // Where the user was stays where it was, as far as the list still reaches.
    const int row = m_list.row(), col = m_list.col(), top = m_grid->topRow();
    ToDoShown shown;
    ToDo_ListShow(m_list, m_shownDoc->store(), m_shownDoc->baseYear(), m_shown.from, m_shown.to,
                  &shown);
    m_shown = std::move(shown);
    ToDo_FitColumns(*m_grid, TimeCol, CategoryCol);
    m_grid->setTopRow(std::min(top, m_list.rows() - 1));
    m_list.select(std::clamp(row, 1, m_list.rows() - 1), col);
}

bool ToDoListWindow::save() {
    if (m_grid->isEditing() && !m_grid->commitEdit())
        return false;
    if (m_shown.isEmpty())
        return true; // nothing was shown: nothing to write
    if (!m_shownDoc) {
        MessageBox::show(this,
                         u"この一覧の年度は閉じられています。変更を書き込むことはできません。"_s,
                         MessageBox::OkOnly, MessageBox::Warning);
        return false;
    }
    const ToDoSave r = ToDo_ListSave(m_list, m_shown, m_shownDoc->store());
    if (!r.saved) {
        MessageBox::show(this, u"日付が不適切です"_s, MessageBox::OkOnly, MessageBox::Warning);
        m_grid->setCursor(r.badRow, DateCol);
        m_grid->setFocus();
        return false;
    }
    // The list shows the document as it is now, what was merged in included.
    m_modified = false;
    refill();
    return true;
}

void ToDoListWindow::sort(ToDoOrder order) {
    if (m_list.rows() <= 1)
        return;
    m_grid->cancelEdit();
    ToDo_Sort(m_list, order);
    changed();
}

void ToDoListWindow::addItem() {
    if (m_list.rows() == 1) {
        MessageBox::show(this, u"追加する日付を設定してください。"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        return;
    }
    if (m_list.row() < 1) {
        MessageBox::show(this, u"挿入する場所を選択してください"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        return;
    }
    m_grid->cancelEdit();
    ToDo_InsertRow(m_list, m_list.row());
    changed();
}

void ToDoListWindow::deleteItem() {
    if (m_list.rows() <= 1)
        return;
    m_grid->cancelEdit();
    m_list.removeItem(m_list.row());
    ToDo_Renumber(m_list);
    changed();
}

void ToDoListWindow::gridKeyDown(int key) {
    Grid_EnterOrDelete(*m_grid, key, [this] { changed(); });
}

void ToDoListWindow::cut() {
    copy();
    if (m_list.valid(m_list.row(), m_list.col()) && !m_list.isFixed(m_list.row(), m_list.col())) {
        m_list.setTextMatrix(m_list.row(), m_list.col(), QString());
        changed();
    }
}

void ToDoListWindow::copy() {
    Clipboard::clear();
    Clipboard::setText(m_list.textMatrix(m_list.row(), m_list.col()));
}

void ToDoListWindow::paste() {
    if (!m_list.valid(m_list.row(), m_list.col()) || m_list.isFixed(m_list.row(), m_list.col()))
        return;
    m_list.setTextMatrix(m_list.row(), m_list.col(), Clipboard::text());
    changed();
}

void ToDoListWindow::print() {
    ViewCommands::reportPrint(this, Printer::print(this, caption(), m_grid->printOrientation(),
                                                   [this](QPagedPaintDevice* device) {
                                                       return m_grid->paintPages(device);
                                                   }));
}

void ToDoListWindow::closeEvent(QCloseEvent* event) {
    if (!settleEdits()) {
        event->ignore();
        return;
    }
    m_modified = false;
    ViewWindow::closeEvent(event);
}

const Document* ToDoListWindow::titleDocument() const {
    return m_shownDoc ? m_shownDoc.data() : &app().doc();
}
