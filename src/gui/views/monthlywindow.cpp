// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/views/monthlywindow.h"

#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/textbox.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/gridcolors.h"
#include "gui/platform/messagebox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

MonthlyWindow::MonthlyWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"月日程"_s, u"月日程"_s, parent) {
    buildCommands(commandTable());
    setCentralWidget(buildPage());
    placeOnScreen(QSize(1180, 680));
}

std::vector<Command> MonthlyWindow::commandTable() {
    using namespace ViewCommands;
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        saveCommand(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { printWindow(this); }, QKeySequence::Print),
        Cmd::separator(u"mnuspace3"_s),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { openView(View::Calendar); }),
        Cmd::menu(u"mnuHyouji"_s, u"表示(&V)"_s),
        Cmd::opens(u"mnucalender"_s, u"カレンダー(&C)"_s, View::Calendar),
        Cmd::opens(u"mnuNikki"_s, u"日記(&N)"_s, View::Diary),
        Cmd::opens(u"mnuShuu"_s, u"週日程(&W)"_s, View::Weekly),
        Cmd::opens(u"mnuNenkan"_s, u"年間日程(&Y)"_s, View::Main),
        Cmd::separator(),
        toDoListCommand(),
        searchCommand(),
        Cmd::menu(u"mnuTool"_s, u"ﾂｰﾙ(&T)"_s),
        Cmd::opens(u"mnuKiroku"_s, u"記録統計(&M)"_s, View::RecordStats),
        Cmd::opens(u"mnuKoumoku"_s, u"項目統計(&S)"_s, View::ItemStats),
        Cmd::menu(u"mnuEdit"_s, u"編集(&E)"_s),
        Cmd::item(
            u"mnuCut"_s, u"切り取り(&X)"_s, [this] { cut(this); }, QKeySequence::Cut),
        Cmd::item(
            u"mnuCopy"_s, u"コピー(&C)"_s, [this] { copy(this); }, QKeySequence::Copy),
        Cmd::item(
            u"mnuPaste"_s, u"貼り付け(&V)"_s, [this] { paste(this); }, QKeySequence::Paste),
        Cmd::item(u"mnuDelete"_s, u"削除"_s, [this] { deleteSelection(this); }),
        Cmd::item(
            u"mnuAllSelect"_s, u"全てを選択(&A)"_s, [this] { selectAll(this); },
            QKeySequence::SelectAll),
        Cmd::menu(u"mnuIro"_s, u"色(&I)"_s),
        Cmd::item(u"mnuMoji"_s, u"文字色(&M)"_s, [this] { chooseColor(this, ColorPart::Text); }),
        Cmd::item(u"mnuBack"_s, u"背景色(&H)"_s,
                  [this] { chooseColor(this, ColorPart::Background); }),
        Cmd::item(u"mnuDay"_s, u"日付色(&D)"_s, [this] { chooseDateColor(); }),
        Cmd::barItem(
            u"mnuHelp"_s, u"ﾍﾙﾌﾟ(&H)"_s, [this] { help(this); }, QKeySequence::HelpContents),

        Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuPrint"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"切り取り"_s, ToolIcon::Cut, u"mnuCut"_s),
        Cmd::tool(u"ｺﾋﾟｰ"_s, ToolIcon::Copy, u"mnuCopy"_s),
        Cmd::tool(u"貼り付け"_s, ToolIcon::Paste, u"mnuPaste"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"文字色"_s, ToolIcon::TextColor, u"mnuMoji"_s, u"文字の色を変えます"_s),
        Cmd::tool(u"バック"_s, ToolIcon::BackColor, u"mnuBack"_s, u"後ろの色をかえます"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"カレンダー"_s, ToolIcon::Calendar, u"mnucalender"_s),
        Cmd::tool(u"日記"_s, ToolIcon::Diary, u"mnuNikki"_s),
        Cmd::tool(u"週日程"_s, ToolIcon::Weekly, u"mnuShuu"_s),
        Cmd::tool(u"年間"_s, ToolIcon::Annual, u"mnuNenkan"_s),
    };
}

QWidget* MonthlyWindow::buildPage() {
    auto* page = new QWidget(this);
    page->setObjectName(u"lbBack"_s);
    m_grid = new MonthGrid({u"日"_s, u"月"_s, u"火"_s, u"水"_s, u"木"_s, u"金"_s, u"土"_s},
                           MonthGrid::Size::Large, page);
    m_grid->addUnderDays([this](int k, QWidget* parent) {
        auto* box = new TextBox(u"Text3_%1"_s.arg(k), 3, parent);
        box->setMinimumSize(60, 40);
        QSizePolicy keep = box->sizePolicy();
        keep.setRetainSizeWhenHidden(true); // an empty cell keeps its place
        box->setSizePolicy(keep);
        connect(box, &TextBox::edited, this, &MonthlyWindow::markChanged);
        m_boxes[size_t(k)] = box;
        return box;
    });
    auto* all = new QVBoxLayout(page);
    all->setContentsMargins(12, 8, 12, 10);
    all->addWidget(m_grid);

    connect(m_grid, &MonthGrid::dayClicked, this,
            [this](int row) { openViewAt(View::Diary, Dates::dateOfRow(row, app().baseYear())); });
    connect(m_grid, &MonthGrid::yearClicked, this, [this] { openView(View::Main); });
    connect(m_grid, &MonthGrid::previousMonth, this, [this] { stepMonth(-1); });
    connect(m_grid, &MonthGrid::nextMonth, this, [this] { stepMonth(1); });
    return page;
}

QWidget* MonthlyWindow::writingWidget() const {
    const QDate first = Dates::make(app().CurYear, app().CurMonth, 1);
    const int cell = Dates::weekday(first) - 1 + app().CurDay - 1;
    return cell >= 0 && cell < 37 ? m_boxes[size_t(cell)] : nullptr;
}

void MonthlyWindow::Cal_DrawMonthly() {
    const MonthPaint::Month m = MonthPaint::paint(MonthPaint::Variant::Monthly, app());
    m_grid->apply(m);
    for (int k = 0; k < 37; ++k) {
        const MonthPaint::Cell& c = m.cells[size_t(k)];
        TextBox* box = m_boxes[size_t(k)];
        box->setVisible(c.textBoxVisible);
        box->setBox(c.textBoxVisible ? PageBox{c.text, c.textFore, c.textBack} : PageBox());
        box->setAccessibleName(
            c.textBoxVisible ? u"%1月%2日 行事"_s.arg(app().CurMonth).arg(c.caption) : QString());
    }
}

void MonthlyWindow::loadFromStore() {
    Cal_DrawMonthly();
}

void MonthlyWindow::storeBack() {
    copyPage(app());
}

void MonthlyWindow::copyPage(AppState& snapshot) {
    for (int k = 0; k < 37; ++k) {
        m_page.boxes[size_t(k)] = m_boxes[size_t(k)]->box();
        const QColor shown = m_grid->cell(k)->textColor();
        m_page.dateColors[size_t(k)] = GridColors::fromQColor(shown);
        // A date shown in the colour its day holds is no change of it.
        const int row = m_grid->cell(k)->row();
        m_page.dateColorSet[size_t(k)] =
            row >= 1 && row <= YearStore::DayRows &&
            shown != GridColors::toQColor(
                         quint32(snapshot.store().number(row, StoreCol::WeekdayFore)), Qt::black);
    }
    Monthly_ToStore(m_page, snapshot);
}

void MonthlyWindow::chooseDateColor() {
    TextBox* box = ViewCommands::focusedTextBox(this);
    if (!box) {
        MessageBox::show(this, u"ここの色は変更できません。"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        return;
    }
    // The box's index is its day's cell.
    const int cell = box->objectName().section(u'_', 1).toInt();
    ViewCommands::chooseDayColor(this, m_grid->cell(cell), m_grid->cell(cell)->row(), app());
}

void MonthlyWindow::stepMonth(int direction) {
    int year = app().CurYear, month = app().CurMonth;
    if (!Store_StepMonth(year, month, direction)) {
        storePage(); // at the ends of the year the month is stored all the same
        return;
    }
    // The day stays, brought into the new month (31 August → 30 September).
    changeDate([&] {
        app().CurYear = year;
        app().CurMonth = month;
    });
}
