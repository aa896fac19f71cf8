// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/views/weeklywindow.h"

#include "core/grid/gridclip.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/textbox.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcolors.h"
#include "gui/grid/gridcommands.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

QLabel* label(const QString& name, const QString& text, QWidget* parent, qreal scale, bool bold) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(name);
    QFont f = l->font();
    f.setPointSizeF(f.pointSizeF() * scale);
    f.setBold(bold);
    l->setFont(f);
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0x2c, 0x3e, 0x5c));
    l->setPalette(pal);
    return l;
}

// The hours of the seven time slots, as the page shows them beside the rows.
const char16_t* const SlotHours[7] = {u"～9",    u"9～12",  u"12～15", u"15～18",
                                      u"18～21", u"21～24", u"24～"};

} // namespace

WeeklyWindow::WeeklyWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"週日程"_s, u"週日程"_s, parent) {
    buildCommands(commandTable());
    setCentralWidget(buildPage());
    placeOnScreen(QSize(1260, 680));
}

std::vector<Command> WeeklyWindow::commandTable() {
    using namespace ViewCommands;
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        saveCommand(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { printWindow(this); }, QKeySequence::Print),
        Cmd::separator(u"mnuspace1"_s),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { openView(View::Calendar); }),
        Cmd::menu(u"mnuHyouji"_s, u"表示(&V)"_s),
        Cmd::opens(u"mnucalender"_s, u"カレンダー(&C)"_s, View::Calendar),
        Cmd::opens(u"mnuNikki"_s, u"日記(&N)"_s, View::Diary),
        Cmd::opens(u"mnuTuki"_s, u"月日程(&M)"_s, View::Monthly),
        Cmd::opens(u"mnuNenkan"_s, u"年間日程(&Y)"_s, View::Main),
        Cmd::separator(),
        previousDayCommand(),
        nextDayCommand(),
        Cmd::separator(),
        toDoListCommand(),
        searchCommand(),
        Cmd::menu(u"mnuspace"_s, u"ﾂｰﾙ(&T)"_s),
        Cmd::opens(u"mnuKiroku"_s, u"記録統計(&M)"_s, View::RecordStats),
        Cmd::opens(u"mnuKoumoku"_s, u"項目統計(&S)"_s, View::ItemStats),
        Cmd::menu(u"mnuEdit"_s, u"編集(&E)"_s),
        Cmd::item(
            u"mnuCut"_s, u"切り取り(&X)"_s, [this] { cut(this); }, QKeySequence::Cut),
        Cmd::item(
            u"mnuCopy"_s, u"コピー(&C)"_s, [this] { copy(this); }, QKeySequence::Copy),
        Cmd::item(
            u"mnuPaste"_s, u"貼り付け(&V)"_s, [this] { paste(this); }, QKeySequence::Paste),
        Cmd::item(u"mnuDelete"_s, u"削除(&D)"_s, [this] { deleteSelection(this); }),
        Cmd::item(
            u"mnuAllSelect"_s, u"全てを選択(&A)"_s, [this] { selectAll(this); },
            QKeySequence::SelectAll),
        Cmd::menu(u"mnuIro"_s, u"色(&I)"_s),
        Cmd::item(u"mnuMoji"_s, u"文字色(&M)"_s, [this] { chooseColor(this, ColorPart::Text); }),
        Cmd::item(u"mnuBack"_s, u"背景色(&H)"_s,
                  [this] { chooseColor(this, ColorPart::Background); }),
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
        Cmd::tool(u"記録統計"_s, ToolIcon::RecordStats, u"mnuKiroku"_s, u"記録統計します"_s),
        Cmd::tool(u"スケジュール統計"_s, ToolIcon::ItemStats, u"mnuKoumoku"_s,
                  u"スケジュール統計します"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"カレンダー"_s, ToolIcon::Calendar, u"mnucalender"_s),
        Cmd::tool(u"日記"_s, ToolIcon::Diary, u"mnuNikki"_s),
        Cmd::tool(u"月日程"_s, ToolIcon::Monthly, u"mnuTuki"_s),
        Cmd::tool(u"年間"_s, ToolIcon::Annual, u"mnuNenkan"_s),
    };
}

QWidget* WeeklyWindow::buildPage() {
    auto* page = new QWidget(this);
    page->setObjectName(u"lbBack"_s);
    auto* g = new QGridLayout(page);
    g->setContentsMargins(10, 8, 10, 10);
    g->setHorizontalSpacing(5);
    g->setVerticalSpacing(4);

    m_calendar = new MonthGrid({u"日"_s, u"月"_s, u"火"_s, u"水"_s, u"木"_s, u"金"_s, u"土"_s},
                               MonthGrid::Size::Small, page);
    m_calendar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Maximum);
    g->addWidget(m_calendar, 0, 0, 3, 1, Qt::AlignTop);

    // The slot rows: their number and hours in the left column.
    for (int i = 0; i < 7; ++i) {
        auto* row = new QWidget(page);
        auto* line = new QHBoxLayout(row);
        line->setContentsMargins(0, 0, 4, 0);
        line->addStretch();
        line->addWidget(label(u"Label12_%1"_s.arg(i), QString::number(i + 1), row, 1.2, true));
        line->addWidget(
            label(u"Label6_%1"_s.arg(i), QString::fromUtf16(SlotHours[i]), row, 0.85, false));
        g->addWidget(row, 3 + i, 0);
    }

    for (int e = 0; e < 7; ++e) {
        const int col = 1 + e;
        auto* head = new ClickLabel(page);
        head->setObjectName(u"Label4_%1"_s.arg(e));
        head->setAlignment(Qt::AlignCenter);
        QFont f = head->font();
        f.setBold(true);
        f.setPointSizeF(f.pointSizeF() * 1.1);
        head->setFont(f);
        head->setMinimumHeight(24);
        head->setCursor(Qt::PointingHandCursor);
        m_heads[size_t(e)] = head;
        connect(head, &ClickLabel::clicked, this, [this, e] { openDay(e); });
        g->addWidget(head, 0, col);

        auto* events = new TextBox(u"Text1_%1"_s.arg(e), 2, page);
        events->setMinimumWidth(90);
        m_events[size_t(e)] = events;
        g->addWidget(events, 1, col);

        auto* grid = new Grid(page);
        grid->setObjectName(u"wfg_%1"_s.arg(e));
        grid->setModel(&m_page.days[size_t(e)].todo);
        grid->setStretchCol(3);
        grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid->setMinimumSize(90, 80);
        m_grids[size_t(e)] = grid;
        // Sunday has no time slots: its ToDo items take their place.
        g->addWidget(grid, 2, col, e == 0 ? 8 : 1, 1);

        connect(events, &TextBox::edited, this, &WeeklyWindow::markChanged);
        connect(events, &TextBox::doubleClicked, this, [this, events] {
            ViewCommands::chooseBoxColor(this, events, ViewCommands::ColorPart::Background);
        });
        connect(grid, &Grid::afterEdit, this, &WeeklyWindow::markChanged);
        connect(grid, &Grid::keyDown, this, [this, grid](int key) {
            if (key == Qt::Key_Delete) // Enter stays the grid's own
                Grid_EnterOrDelete(*grid, key, [this] { markChanged(); });
        });
        if (e == 0)
            continue;
        for (int i = 0; i < 7; ++i) {
            auto* slot = new TextBox(u"Text3_%1"_s.arg((e - 1) * 7 + i), 1, page);
            slot->setMinimumWidth(90);
            m_slots[size_t((e - 1) * 7 + i)] = slot;
            g->addWidget(slot, 3 + i, col);
            connect(slot, &TextBox::edited, this, &WeeklyWindow::markChanged);
            connect(slot, &TextBox::doubleClicked, this, [this, slot] {
                ViewCommands::chooseBoxColor(this, slot, ViewCommands::ColorPart::Background);
            });
        }
    }
    g->setRowStretch(2, 1);
    for (int e = 0; e < 7; ++e)
        g->setColumnStretch(1 + e, 1);

    // Tab order: day by day, events, ToDo items, then the slots.
    QWidget* previous = nullptr;
    auto chain = [&](QWidget* next) {
        if (previous)
            setTabOrder(previous, next);
        previous = next;
    };
    for (int e = 0; e < 7; ++e) {
        chain(m_events[size_t(e)]);
        chain(m_grids[size_t(e)]);
        if (e > 0)
            for (int i = 0; i < 7; ++i)
                chain(slotBox(e, i));
    }

    connect(m_calendar, &MonthGrid::dayClicked, this, [this](int row) {
        changeDate([this, row] { app().setCurrentDate(Dates::dateOfRow(row, app().baseYear())); });
    });
    connect(m_calendar, &MonthGrid::monthClicked, this, [this] { openView(View::Monthly); });
    connect(m_calendar, &MonthGrid::yearClicked, this, [this] { openView(View::Main); });
    connect(m_calendar, &MonthGrid::previousMonth, this, [this] { stepMonth(-1); });
    connect(m_calendar, &MonthGrid::nextMonth, this, [this] { stepMonth(1); });
    return page;
}

QWidget* WeeklyWindow::writingWidget() const {
    return m_events[size_t(Dates::weekday(app().currentDate()) - 1)];
}

void WeeklyWindow::Cal_DrawWeekly() {
    m_calendar->apply(MonthPaint::paint(MonthPaint::Variant::Weekly, app()));
}

void WeeklyWindow::loadFromStore() {
    for (Grid* grid : m_grids)
        grid->cancelEdit();
    Cal_DrawWeekly();
    m_headData = Weekly_Heads(app());
    Weekly_Load(m_page, app());
    showHeads();
    showDays();
}

void WeeklyWindow::showHeads() {
    for (int e = 0; e < 7; ++e) {
        const WeeklyHead& h = m_headData[size_t(e)];
        ClickLabel* head = m_heads[size_t(e)];
        head->setText(h.caption);
        QPalette pal = head->palette();
        pal.setColor(QPalette::WindowText,
                     h.setTextColor ? GridColors::toQColor(h.textColor, Qt::black) : Qt::black);
        pal.setColor(QPalette::Window, GridColors::toQColor(h.load.back, Qt::white));
        head->setPalette(pal);
        head->setAutoFillBackground(h.load.opaque);
        // Each box of the day is named with the day, as the heading shows it.
        m_events[size_t(e)]->setAccessibleName(h.caption + u" 行事"_s);
        m_grids[size_t(e)]->setAccessibleName(h.caption + u" ToDo"_s);
        if (e > 0)
            for (int i = 0; i < 7; ++i)
                slotBox(e, i)->setAccessibleName(h.caption +
                                                 u" 授業・項目 %1（%2）"_s.arg(i + 1).arg(
                                                     QString::fromUtf16(SlotHours[size_t(i)])));
    }
}

void WeeklyWindow::showDays() {
    for (int e = 0; e < 7; ++e) {
        const WeeklyDay& day = m_page.days[size_t(e)];
        // Days outside the year cannot be typed into: nothing there could be stored.
        const bool open = day.inYear();
        m_events[size_t(e)]->setBox(day.events);
        m_events[size_t(e)]->setEnabled(open);
        m_grids[size_t(e)]->setEnabled(open);
        m_grids[size_t(e)]->setTopRow(1);
        if (e == 0)
            continue;
        for (int i = 0; i < 7; ++i) {
            slotBox(e, i)->setBox(day.slots[size_t(i)]);
            slotBox(e, i)->setEnabled(open);
        }
    }
}

void WeeklyWindow::storeBack() {
    for (Grid* grid : m_grids)
        if (grid->isEditing() && !grid->commitEdit())
            grid->cancelEdit();
    readBoxes();
    Weekly_ToStore(m_page, app());
}

void WeeklyWindow::copyPage(AppState& snapshot) {
    readBoxes();
    Weekly_CopyToStore(m_page, snapshot);
}

void WeeklyWindow::readBoxes() {
    for (int e = 0; e < 7; ++e) {
        WeeklyDay& day = m_page.days[size_t(e)];
        day.events = m_events[size_t(e)]->box();
        if (e > 0)
            for (int i = 0; i < 7; ++i)
                day.slots[size_t(i)] = slotBox(e, i)->box();
    }
}

void WeeklyWindow::openDay(int day) {
    openViewAt(View::Diary, Weekly_HeadingDate(m_headData[size_t(day)].date, app().baseYear()));
}

void WeeklyWindow::stepMonth(int direction) {
    int year = app().CurYear, month = app().CurMonth;
    if (!Store_StepMonth(year, month, direction)) {
        storePage(); // at the ends of the year the week is stored all the same
        return;
    }
    changeDate([&] { app().setCurrentDate(QDate(year, month, 1)); });
}
