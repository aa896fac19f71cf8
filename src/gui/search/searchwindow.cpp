// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/search/searchwindow.h"

#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/store/appstate.h"
#include "core/time/dates.h"
#include "gui/frame/dayrange.h"
#include "gui/frame/textbox.h"
#include "gui/platform/messagebox.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

SearchWindow::SearchWindow(AppState& app, Navigator& nav, QWidget* parent)
    : ViewWindow(app, nav, u"検索"_s, u"検索"_s, parent) {
    buildCommands(commandTable());
    setCentralWidget(buildPage());
    placeOnScreen(QSize(600, 560));
}

std::vector<Command> SearchWindow::commandTable() {
    return {
        Cmd::barItem(
            u"mnuFind"_s, u"検索(&F)"_s, [this] { search(); }, QKeySequence::Find),
        Cmd::barItem(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { close(); }),
        Cmd::tool(u"検索"_s, ToolIcon::Search, u"mnuFind"_s, u"検索します"_s),
    };
}

QWidget* SearchWindow::buildPage() {
    auto* page = new QWidget(this);
    m_text = new QLineEdit(page);
    m_text->setObjectName(u"Text1"_s);
    m_text->setMaxLength(TextBox::MaxPaste);
    auto* textLabel = new QLabel(u"検索文字"_s, page);
    textLabel->setObjectName(u"lbMoji"_s);
    textLabel->setBuddy(m_text);
    connect(m_text, &QLineEdit::returnPressed, this, &SearchWindow::search);
    m_text->installEventFilter(this);

    m_range = new DayRange(u"～"_s, page);

    m_list = new QListWidget(page);
    m_list->setObjectName(u"List1"_s);
    m_list->setAccessibleName(u"検索結果"_s);
    m_list->setUniformItemSizes(true);
    // One click opens the day, as does Enter on the line the keys moved to.
    connect(m_list, &QListWidget::itemClicked, this, &SearchWindow::openLine);
    connect(m_list, &QListWidget::itemActivated, this, &SearchWindow::openLine);

    m_progress = new QProgressBar(page);
    m_progress->setAccessibleName(u"読んだ文書"_s);
    m_progress->setFormat(u"%v / %m"_s);
    m_cancel = new QPushButton(u"中止(&C)"_s, page);
    m_cancel->setAccessibleName(u"検索を中止"_s);
    connect(m_cancel, &QPushButton::clicked, this, &SearchWindow::cancelSearch);
    m_status = new QLabel(page);
    m_status->setObjectName(u"lbStatus"_s);
    m_status->setAccessibleName(u"検索の状況"_s);
    m_status->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);

    auto* days = new QHBoxLayout;
    days->addWidget(m_range);
    days->addStretch();
    auto* form = new QGridLayout;
    form->addWidget(textLabel, 0, 0);
    form->addWidget(m_text, 0, 1);
    form->addWidget(buildYearChoice(page), 1, 1);
    form->addLayout(days, 2, 1);
    form->setColumnStretch(1, 1);
    auto* state = new QHBoxLayout;
    state->addWidget(m_status, 1);
    state->addWidget(m_progress);
    state->addWidget(m_cancel);
    auto* all = new QVBoxLayout(page);
    all->setContentsMargins(10, 8, 10, 10);
    all->addLayout(form);
    all->addWidget(m_list, 1);
    all->addLayout(state);
    // Tab goes down the window as it reads: the text, which years, the days, the list.
    QWidget* const order[] = {m_text,          m_thisYear,    m_allYears, m_folders,
                              m_range->from(), m_range->to(), m_list,     m_cancel};
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
    showScope();
    return page;
}

void SearchWindow::loadFromStore() {
    m_range->pickWholeYear(app());
    if (scope() == Scope::ThisYear)
        clearResults();
}

QDateEdit* SearchWindow::fromPicker() const {
    return m_range->from();
}

QDateEdit* SearchWindow::toPicker() const {
    return m_range->to();
}

void SearchWindow::changeEvent(QEvent* event) {
    // Another document opened meanwhile: its year's days are the ones to pick, and
    // the days found were another year's.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !m_range->isYear(app().baseYear())) {
        m_range->pickWholeYear(app());
        if (scope() == Scope::ThisYear)
            clearResults();
    }
    ViewWindow::changeEvent(event);
}

bool SearchWindow::eventFilter(QObject* watched, QEvent* event) {
    // Down from the text goes to the days found, where Enter opens one: the first day
    // (past the heading of its year) when none was chosen.
    if (watched == m_text && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Down && m_list->count() > 0) {
        QListWidgetItem* current = m_list->currentItem();
        if (!current || !current->data(Qt::UserRole).toDate().isValid())
            for (int i = 0; i < m_list->count(); ++i)
                if (m_list->item(i)->data(Qt::UserRole).toDate().isValid()) {
                    m_list->setCurrentRow(i);
                    break;
                }
        if (m_list->currentRow() < 0)
            m_list->setCurrentRow(0);
        m_list->setFocus(Qt::TabFocusReason);
        return true;
    }
    return ViewWindow::eventFilter(watched, event);
}

QWidget* SearchWindow::writingWidget() const {
    return m_text;
}

QStringList SearchWindow::resultTexts() const {
    QStringList texts;
    for (int i = 0; i < m_list->count(); ++i)
        texts.append(m_list->item(i)->text());
    return texts;
}

QList<QDate> SearchWindow::resultDays() const {
    QList<QDate> days;
    for (int i = 0; i < m_list->count(); ++i)
        days.append(m_list->item(i)->data(Qt::UserRole).toDate());
    return days;
}

QStringList SearchWindow::resultFiles() const {
    QStringList files;
    for (int i = 0; i < m_list->count(); ++i)
        files.append(m_list->item(i)->data(FileRole).toString());
    return files;
}

void SearchWindow::search() {
    const QString text = m_text->text();
    if (text.isEmpty()) {
        MessageBox::show(this, u"検索項目を入力してください"_s, MessageBox::OkOnly,
                         MessageBox::Warning);
        m_text->setFocus();
        return;
    }
    const Wildcard pattern = Wildcard::contains(text);
    if (!pattern.isValid()) {
        MessageBox::show(this, u"検索文字「%1」は使えません。%2。"_s.arg(text, pattern.error()),
                         MessageBox::OkOnly, MessageBox::Warning);
        m_text->setFocus();
        return;
    }
    if (scope() == Scope::AllYears)
        searchAllYears(pattern);
    else
        searchThisYear(pattern);
}

void SearchWindow::searchThisYear(const Wildcard& pattern) {
    cancelSearch();
    if (!m_range->isYear(app().baseYear()))
        m_range->pickWholeYear(app());
    clearResults();
    for (const SearchHit& hit :
         Search_Hits(app(), m_range->firstRow(), m_range->lastRow(), pattern)) {
        auto* item = new QListWidgetItem(Search_HitLine(hit), m_list);
        item->setData(Qt::UserRole, hit.date);
        item->setData(FileRole, app().docPath());
    }
    m_status->setText(m_list->count() > 0 ? u"%1件見つかりました。"_s.arg(m_list->count())
                                          : u"見つかりませんでした。"_s);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
}

void SearchWindow::openDay(const QDate& day) {
    const int row = Dates::rowOfDate(day, app().baseYear());
    if (!day.isValid() || row < 1 || row > YearStore::DayRows)
        return;
    openViewAt(View::Diary, day);
    navigator().closeWindow(this);
}

void SearchWindow::openLine(QListWidgetItem* line) {
    if (!line)
        return;
    const QDate day = line->data(Qt::UserRole).toDate();
    const QString path = line->data(FileRole).toString();
    if (!day.isValid())
        return; // a heading
    // A line of another document: that document first becomes the current one, as
    // when it is opened from the main window (the one shown keeps every change).
    if (path != app().docPath() && !navigator().openDocument(path))
        return;
    openDay(day);
}
