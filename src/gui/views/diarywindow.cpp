// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/views/diarywindow.h"

#include "core/grid/gridclip.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "core/todo/todostring.h"
#include "gui/frame/monthgrid.h"
#include "gui/frame/textbox.h"
#include "gui/frame/todocolumns.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/grid.h"
#include "gui/grid/gridcolors.h"
#include "gui/grid/gridcommands.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel* label(const QString& name, const QString& caption, QWidget* parent, qreal scale = 1.0,
              bool bold = false) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    if (scale != 1.0 || bold) {
        QFont f = l->font();
        f.setPointSizeF(f.pointSizeF() * scale);
        f.setBold(bold);
        l->setFont(f);
    }
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, QColor(0x2c, 0x3e, 0x5c));
    l->setPalette(pal);
    return l;
}

} // namespace

DiaryWindow::DiaryWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, QStringLiteral("日記"), QStringLiteral("日記"), parent) {
    buildCommands(commandTable());
    setCentralWidget(buildPage());
    placeOnScreen(QSize(1180, 680));
}

std::vector<Command> DiaryWindow::commandTable() {
    using namespace ViewCommands;
    return {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        saveCommand(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { printWindow(this); }, QKeySequence::Print),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { openView(View::Calendar); }),
        Cmd::menu(u"mnuHyougi"_s, u"表示(&V)"_s),
        Cmd::opens(u"mnucalender"_s, u"カレンダー(&C)"_s, View::Calendar),
        Cmd::opens(u"mnuShou"_s, u"週日程(&D)"_s, View::Weekly),
        Cmd::opens(u"mnuTuki"_s, u"月日程(&M)"_s, View::Monthly),
        Cmd::opens(u"mnuNen"_s, u"年間日程(&N)"_s, View::Main),
        Cmd::separator(),
        previousDayCommand(),
        nextDayCommand(),
        Cmd::separator(),
        toDoListCommand(),
        searchCommand(),
        Cmd::menu(u"mnuspace"_s, u"ﾂｰﾙ(&T)"_s),
        Cmd::opens(u"mnuKiroku"_s, u"記録統計(&M)"_s, View::RecordStats),
        Cmd::opens(u"mnuKoumoku"_s, u"項目統計(&S)"_s, View::ItemStats),
        Cmd::menu(u"mnuHenshuu"_s, u"編集(&E)"_s),
        Cmd::item(
            u"mnuCut"_s, u"切り取り(&X)"_s, [this] { cut(this); }, QKeySequence::Cut),
        Cmd::item(
            u"mnuCopy"_s, u"コピー(&C)"_s, [this] { copy(this); }, QKeySequence::Copy),
        Cmd::item(
            u"mnuPaste"_s, u"貼り付け(&V)"_s, [this] { paste(this); }, QKeySequence::Paste),
        Cmd::item(u"mnuDelete"_s, u"削除"_s, [this] { deleteSelection(this); }),
        Cmd::item(
            u"mnuAllSelect"_s, u"全て選択(&A)"_s, [this] { selectAll(this); },
            QKeySequence::SelectAll),
        Cmd::separator(),
        Cmd::item(u"mnuTodoSort"_s, u"ToDo整列(&T)"_s, [this] { sortToDo(); }),
        Cmd::menu(u"mnuIro"_s, u"色(&I)"_s),
        Cmd::item(u"mnuMoji"_s, u"文字色(&M)"_s, [this] { chooseColor(this, ColorPart::Text); }),
        Cmd::item(u"mnuBack"_s, u"背景色(&H)"_s,
                  [this] { chooseColor(this, ColorPart::Background); }),
        Cmd::barItem(
            u"mnuiHelp"_s, u"ﾍﾙﾌﾟ(&H)"_s, [this] { help(this); }, QKeySequence::HelpContents),

        Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuPrint"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"切り取り"_s, ToolIcon::Cut, u"mnuCut"_s),
        Cmd::tool(u"ｺﾋﾟｰ"_s, ToolIcon::Copy, u"mnuCopy"_s),
        Cmd::tool(u"貼り付け"_s, ToolIcon::Paste, u"mnuPaste"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"文字色"_s, ToolIcon::TextColor, u"mnuMoji"_s, u"文字の色を変えます"_s),
        Cmd::tool(u"バック"_s, ToolIcon::BackColor, u"mnuBack"_s, u"後ろの色をかえます"_s),
        Cmd::toolSeparator(),
        Cmd::toolAction(
            u"ToDo一覧"_s, ToolIcon::ToDoList, [this] { openView(View::ToDoList); },
            View::ToDoList),
        Cmd::tool(u"記録統計"_s, ToolIcon::RecordStats, u"mnuKiroku"_s, u"記録統計します"_s),
        Cmd::tool(u"スケジュール統計"_s, ToolIcon::ItemStats, u"mnuKoumoku"_s,
                  u"スケジュール統計します"_s),
        Cmd::toolSeparator(),
        Cmd::tool(u"カレンダー"_s, ToolIcon::Calendar, u"mnucalender"_s),
        Cmd::tool(u"週日程"_s, ToolIcon::Weekly, u"mnuShou"_s),
        Cmd::tool(u"月日程"_s, ToolIcon::Monthly, u"mnuTuki"_s),
        Cmd::tool(u"年間"_s, ToolIcon::Annual, u"mnuNen"_s),
    };
}

QWidget* DiaryWindow::buildPage() {
    auto* page = new QWidget(this);
    page->setObjectName(u"lbBack"_s);

    // The day: "5月10日の行事", the events, the record.
    m_monthText = label(u"Label8"_s, QString(), page, 1.5, true);
    m_dayText = label(u"Label9"_s, QString(), page, 1.5, true);
    auto* eventsCaption = label(u"Label10"_s, u"の行事"_s, page, 1.15, true);
    auto* dayLine = new QHBoxLayout;
    dayLine->setSpacing(2);
    dayLine->addWidget(m_monthText, 0, Qt::AlignBottom);
    dayLine->addWidget(m_dayText, 0, Qt::AlignBottom);
    dayLine->addSpacing(4);
    dayLine->addWidget(eventsCaption, 0, Qt::AlignBottom);
    dayLine->addStretch();
    m_events = new TextBox(u"Text1"_s, 2, page);
    m_events->setAccessibleName(u"行事"_s);
    auto* recordCaption = label(u"Label11"_s, u"記　　録"_s, page, 1.15, true);
    m_record = new TextBox(u"Text2"_s, 6, page);
    m_record->setAccessibleName(u"記録"_s);
    recordCaption->setBuddy(m_record);

    // The seven time slots between their hour marks.
    auto* slots = new QGridLayout;
    slots->setHorizontalSpacing(6);
    slots->setVerticalSpacing(4);
    slots->addWidget(label(u"Label4"_s, u"授業・項目"_s, page, 1.0, true), 0, 2, Qt::AlignHCenter);
    slots->addWidget(label(u"Label5"_s, u"内　　容"_s, page, 1.0, true), 0, 3, Qt::AlignHCenter);
    static const char16_t* const hours[7] = {u"6", u"9", u"12", u"15", u"18", u"21", u"24"};
    for (int i = 0; i < 7; ++i) {
        auto* hour = label(u"Label6_%1"_s.arg(i), QString::fromUtf16(hours[i]), page, 0.85);
        auto* number = label(u"Label12_%1"_s.arg(i), QString::number(i + 1), page, 1.2, true);
        m_slotItems[size_t(i)] = new TextBox(u"Text3_%1"_s.arg(i), 2, page);
        m_slotTexts[size_t(i)] = new TextBox(u"Text4_%1"_s.arg(i), 2, page);
        // Named as the page reads them: the slot's number and the hour it starts at.
        const QString slot = u"%1（%2時）"_s.arg(i + 1).arg(QString::fromUtf16(hours[i]));
        m_slotItems[size_t(i)]->setAccessibleName(u"授業・項目 "_s + slot);
        m_slotTexts[size_t(i)]->setAccessibleName(u"内容 "_s + slot);
        slots->addWidget(hour, i + 1, 0, Qt::AlignTop | Qt::AlignRight);
        slots->addWidget(number, i + 1, 1, Qt::AlignCenter);
        slots->addWidget(m_slotItems[size_t(i)], i + 1, 2);
        slots->addWidget(m_slotTexts[size_t(i)], i + 1, 3);
        slots->setRowStretch(i + 1, 1);
    }
    slots->setColumnStretch(2, 3);
    slots->setColumnStretch(3, 7);

    auto* left = new QVBoxLayout;
    left->setSpacing(4);
    left->addLayout(dayLine);
    left->addWidget(m_events);
    left->addSpacing(4);
    left->addWidget(recordCaption);
    left->addWidget(m_record, 3);
    left->addSpacing(6);
    left->addLayout(slots, 7);

    // The small calendar and the ToDo items.
    m_calendar =
        new MonthGrid({u"Sun"_s, u"Mon"_s, u"Tue"_s, u"Wed"_s, u"Thu"_s, u"Fri"_s, u"Sat"_s},
                      MonthGrid::Size::Small, page);
    m_grid = new Grid(page);
    m_grid->setObjectName(u"fg"_s);
    m_grid->setAccessibleName(u"ToDo"_s);
    m_grid->setModel(&m_page.todo);
    m_grid->setColInput(1, ToDo_TimeInput());
    m_grid->setMinimumHeight(200);
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff); // the task column fits
    m_grid->setStretchCol(3);
    auto* todoCaption = label(u"Label7"_s, u"ToDo"_s, page, 1.15, true);
    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    m_calendar->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    right->addWidget(m_calendar, 0);
    right->addWidget(todoCaption);
    right->addWidget(m_grid, 1);

    auto* all = new QHBoxLayout(page);
    all->setContentsMargins(12, 8, 12, 10);
    all->setSpacing(16);
    all->addLayout(left, 5);
    all->addLayout(right, 3);

    // Tab order: as the page reads.
    QWidget* previous = m_events;
    auto chain = [&](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(m_record);
    for (int i = 0; i < 7; ++i) {
        chain(m_slotItems[size_t(i)]);
        chain(m_slotTexts[size_t(i)]);
    }
    chain(m_grid);

    // Every edit marks the document changed (a key that changes nothing does not).
    auto edits = [this](TextBox* box) {
        connect(box, &TextBox::edited, this, &DiaryWindow::markChanged);
    };
    edits(m_events);
    edits(m_record);
    // A double click chooses the text colour of the record and the slots.
    auto colours = [this](TextBox* box) {
        connect(box, &TextBox::doubleClicked, this, [this, box] {
            ViewCommands::chooseBoxColor(this, box, ViewCommands::ColorPart::Text);
        });
    };
    colours(m_record);
    for (int i = 0; i < 7; ++i) {
        edits(m_slotItems[size_t(i)]);
        edits(m_slotTexts[size_t(i)]);
        colours(m_slotItems[size_t(i)]);
        colours(m_slotTexts[size_t(i)]);
    }
    connect(m_grid, &Grid::keyDown, this, [this](int key) { gridKeyDown(key); });
    connect(m_grid, &Grid::afterEdit, this, &DiaryWindow::markChanged);

    connect(m_calendar, &MonthGrid::dayClicked, this, &DiaryWindow::pickDay);
    connect(m_calendar, &MonthGrid::dayDoubleClicked, this, &DiaryWindow::colorDay);
    connect(m_calendar, &MonthGrid::headingClicked, this, [this] { openView(View::Weekly); });
    connect(m_calendar, &MonthGrid::monthClicked, this, [this] { openView(View::Monthly); });
    connect(m_calendar, &MonthGrid::yearClicked, this, [this] { openView(View::Main); });
    connect(m_calendar, &MonthGrid::previousMonth, this, [this] { stepMonth(-1); });
    connect(m_calendar, &MonthGrid::nextMonth, this, [this] { stepMonth(1); });
    return page;
}

QWidget* DiaryWindow::writingWidget() const {
    return m_record;
}

void DiaryWindow::Cal_DrawDiary() {
    const MonthPaint::Month m = MonthPaint::paint(MonthPaint::Variant::Diary, app());
    m_calendar->apply(m);
    m_monthText->setText(m.monthText);
    m_dayText->setText(m.dayText);
}

void DiaryWindow::loadFromStore() {
    const bool newDay = pageDate() != app().currentDate();
    // The grid is emptied first: the day's items replace whatever it showed.
    m_grid->cancelEdit();
    m_page.todo.clear();
    Diary_GridInit(m_page.todo);
    ToDo_FitColumns(*m_grid, 1, 2);
    Cal_DrawDiary();
    Store_ToDiary(m_page, app());
    if (newDay) {
        m_page.todo.select(1, 1);
        m_grid->setTopRow(1);
    }
    showPage();
}

void DiaryWindow::showPage() {
    m_events->setBox(m_page.events);
    m_record->setBox(m_page.record);
    for (size_t i = 0; i < 7; ++i) {
        m_slotItems[i]->setBox(m_page.slotItems[i]);
        m_slotTexts[i]->setBox(m_page.slotTexts[i]);
    }
}

void DiaryWindow::readPage() {
    if (m_grid->isEditing() && !m_grid->commitEdit())
        m_grid->cancelEdit();
    readBoxes();
}

void DiaryWindow::readBoxes() {
    m_page.events = m_events->box();
    m_page.record = m_record->box();
    for (size_t i = 0; i < 7; ++i) {
        m_page.slotItems[i] = m_slotItems[i]->box();
        m_page.slotTexts[i] = m_slotTexts[i]->box();
    }
}

void DiaryWindow::storeBack() {
    readPage();
    Diary_ToStore(m_page, app());
}

void DiaryWindow::copyPage(AppState& snapshot) {
    readBoxes();
    Diary_CopyToStore(m_page, snapshot);
}

void DiaryWindow::pickDay(int row) {
    changeDate([this, row] { app().setCurrentDate(Dates::dateOfRow(row, app().baseYear())); });
}

void DiaryWindow::stepMonth(int direction) {
    int year = app().CurYear, month = app().CurMonth;
    if (!Store_StepMonth(year, month, direction))
        return;
    changeDate([&] { app().setCurrentDate(QDate(year, month, 1)); });
}

void DiaryWindow::colorDay(int index, int row) {
    // Kept as the day's colour, as the calendar's day colour is.
    ViewCommands::chooseDayColor(this, m_calendar->cell(index), row, app());
}

void DiaryWindow::sortToDo() {
    if (m_grid->isEditing() && !m_grid->commitEdit())
        m_grid->cancelEdit();
    Diary_SortToDo(m_page.todo);
    markChanged();
}

void DiaryWindow::gridKeyDown(int key) {
    const GridModel& fg = m_page.todo;
    Grid_EnterOrDelete(*m_grid, key, [this] { markChanged(); });
    m_lastKeyRow = fg.row();
    m_lastKeyCol = fg.col();
}
