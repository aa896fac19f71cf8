// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/stats/statswindow.h"

#include "core/grid/gridclip.h"
#include "core/stats/stats.h"
#include "core/stats/yearstats.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "gui/frame/dayrange.h"
#include "gui/frame/documentcommands.h"
#include "gui/frame/viewcommands.h"
#include "gui/grid/grid.h"
#include "gui/platform/filedialog.h"
#include "gui/platform/messagebox.h"
#include "gui/stats/yearpicker.h"

#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <deque>

using namespace Qt::StringLiterals;

namespace {

QString filterOf(TemplateKind kind) {
    return QString::fromUtf16(kind == TemplateKind::Record ? DocFiles::RecordTemplateFilter
                                                           : DocFiles::ItemTemplateFilter);
}

QString extOf(TemplateKind kind) {
    return QString::fromUtf16(kind == TemplateKind::Record ? DocFiles::RecordTemplateExt
                                                           : DocFiles::ItemTemplateExt);
}

} // namespace

StatsWindow::StatsWindow(AppState& app, Navigator& nav, const QString& objectName,
                         const QString& caption, const QString& between, TemplateKind kind)
    : ViewWindow(app, nav, objectName, caption), m_kind(kind) {
    setCentralWidget(buildPage(between));
}

std::vector<Command> StatsWindow::commandTable(const QString& openItem,
                                               std::vector<Command> settings) {
    std::vector<Command> table = {
        Cmd::menu(u"mnuFile"_s, u"ﾌｧｲﾙ(&F)"_s),
        Cmd::item(
            u"mnuSave"_s, u"キーワード保存(&S)"_s, [this] { saveTemplate(); }, QKeySequence::Save),
        Cmd::item(
            openItem, u"キーワード読み込み(&O)"_s, [this] { openTemplate(); }, QKeySequence::Open),
        Cmd::separator(),
        Cmd::item(
            u"mnuPrint"_s, u"印刷(&P)"_s, [this] { print(); }, QKeySequence::Print),
        Cmd::separator(),
        Cmd::item(u"mnuClose"_s, u"閉じる(&X)"_s, [this] { close(); }),
        Cmd::menu(u"mnuSettei"_s, u"設定(&S)"_s),
    };
    table.insert(table.end(), settings.begin(), settings.end());
    table.insert(table.end(),
                 {
                     Cmd::barItem(
                         u"mnuToukei"_s, u"統計(&T)"_s, [this] { count(); }, Qt::Key_F5),
                     Cmd::tool(u"キーワード読み込み"_s, ToolIcon::Open, openItem),
                     Cmd::tool(u"キーワード保存"_s, ToolIcon::Save, u"mnuSave"_s),
                     Cmd::toolSeparator(),
                     Cmd::tool(u"印刷"_s, ToolIcon::Print, u"mnuPrint"_s),
                     Cmd::toolSeparator(),
                     Cmd::tool(u"統計"_s, ToolIcon::Count, u"mnuToukei"_s),
                 });
    return table;
}

QWidget* StatsWindow::buildPage(const QString& between) {
    auto* page = new QWidget(this);
    m_range = new DayRange(between, page);

    m_grid = new Grid(page);
    m_grid->setObjectName(u"cpg"_s);
    m_grid->setAccessibleName(u"キーワード"_s);
    m_grid->setModel(&m_table);
    connect(m_grid, &Grid::keyDown, this, [this](int key) {
        // Delete empties the selected keyword cells (the counts are the program's).
        if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
            GridClip::clearBlock(m_table);
            m_grid->consumeKey();
        }
    });

    // The second keywords typed are repeated over the other years at once.
    auto repeat = [this] { Stats_RepeatKeywords(m_table, m_kind); };
    connect(&m_table, &QAbstractItemModel::dataChanged, this, repeat);
    connect(&m_table, &QAbstractItemModel::modelReset, this, repeat);

    m_years = new YearPicker(app(), page);
    connect(m_years, &YearPicker::addRequested, this, &StatsWindow::addYear);
    connect(m_years, &YearPicker::removeRequested, this, &StatsWindow::removeYear);
    // Tab goes from the dates over the years to the table, as they are laid out.
    QWidget* const order[] = {m_range->to(), m_years->list(), m_years->addButton(),
                              m_years->removeButton(), m_grid};
    for (size_t k = 1; k < std::size(order); ++k)
        QWidget::setTabOrder(order[k - 1], order[k]);

    auto* range = new QHBoxLayout;
    range->addWidget(m_range);
    range->addStretch();
    auto* all = new QVBoxLayout(page);
    all->setContentsMargins(10, 8, 10, 10);
    all->addLayout(range);
    all->addWidget(m_years);
    all->addWidget(m_grid, 1);
    return page;
}

void StatsWindow::loadFromStore() {
    // Opening the window: 1 April to today picked, and a fresh keyword table.
    m_range->pickYear(app());
    m_grid->cancelEdit();
    m_table.assignData(GridData{1, 1, {GridCell{}}}); // nothing of a previous opening
    setUpTable();
    m_years->clear();
    m_layout = {app().baseYear()};
}

QWidget* StatsWindow::writingWidget() const {
    return m_grid;
}

QDateEdit* StatsWindow::fromPicker() const {
    return m_range->from();
}

QDateEdit* StatsWindow::toPicker() const {
    return m_range->to();
}

void StatsWindow::changeEvent(QEvent* event) {
    // Another document opened meanwhile: its year's days are the ones to pick.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() &&
        !m_range->isYear(app().baseYear()))
        m_range->pickYear(app());
    ViewWindow::changeEvent(event);
}

bool StatsWindow::finishEdit() {
    return !m_grid->isEditing() || m_grid->commitEdit();
}

void StatsWindow::count() {
    if (!finishEdit())
        return;
    if (!m_range->isYear(app().baseYear()))
        m_range->pickYear(app());
    std::vector<StatsYear> years;
    std::deque<YearStore> read; // the years of files not open
    if (!m_years->gather(years, read))
        return;
    std::sort(years.begin(), years.end(),
              [](const StatsYear& a, const StatsYear& b) { return a.baseYear < b.baseYear; });
    QList<int> baseYears;
    for (const StatsYear& y : years)
        baseYears.append(y.baseYear);
    layOut(baseYears);
    const QString bad = Stats_Count(m_table, m_kind, years,
                                    {app().baseYear(), m_range->firstRow(), m_range->lastRow()});
    if (!bad.isEmpty())
        MessageBox::show(this, bad, MessageBox::OkOnly, MessageBox::Warning);
}

QList<int> StatsWindow::yearsToCount() const {
    QList<int> years{app().baseYear()};
    for (const YearPicker::Chosen& c : m_years->chosen())
        if (!years.contains(c.baseYear))
            years.append(c.baseYear);
    std::sort(years.begin(), years.end());
    return years;
}

void StatsWindow::layOut(const QList<int>& years) {
    // A table of one year names no year: it stays as it is for another.
    if (years == m_layout || (years.size() == 1 && m_layout.size() == 1))
        return;
    m_grid->cancelEdit(); // the edit is finished by now
    Stats_Layout(m_table, m_kind, years);
    m_layout = years;
}

void StatsWindow::addYear() {
    if (finishEdit() && m_years->add())
        layOut(yearsToCount());
}

void StatsWindow::removeYear() {
    if (finishEdit() && m_years->removeShown())
        layOut(yearsToCount());
}

void StatsWindow::saveTemplate() {
    if (!finishEdit())
        return;
    const QString path = chooseSavePath(this, filterOf(m_kind), extOf(m_kind),
                                        DocFiles::dialogFolder(app().docPath()));
    if (path.isEmpty())
        return;
    // A table of several years is kept as the current year's table.
    GridModel oneYear;
    const bool several = m_layout.size() > 1;
    if (several)
        Stats_OneYear(m_table, m_kind, int(m_layout.indexOf(app().baseYear())), oneYear);
    const FileResult r = Template_Write(several ? oneYear : m_table, path);
    if (!r.ok())
        MessageBox::show(this, r.saveMessage(path), MessageBox::OkOnly, MessageBox::Critical);
}

void StatsWindow::openTemplate() {
    const QString path = FileDialog::getOpenFileName(
        this, u"キーワード読み込み"_s, filterOf(m_kind), DocFiles::dialogFolder(app().docPath()));
    if (path.isEmpty())
        return;
    m_grid->cancelEdit();
    // A table of several years takes the keywords of a one-year table read.
    GridModel oneYear;
    const bool several = m_layout.size() > 1;
    if (several)
        Stats_Layout(oneYear, m_kind, {app().baseYear()});
    const FileResult r = Template_Read(several ? oneYear : m_table, path, m_kind);
    if (r.ok() && several)
        Stats_CopyKeywords(oneYear, m_table, m_kind);
    if (!r.ok())
        MessageBox::show(this, r.loadMessage(path), MessageBox::OkOnly, MessageBox::Critical);
}

void StatsWindow::print() {
    if (!finishEdit())
        return;
    // Each row printed with its number and keywords.
    ViewCommands::printBlock(this, *m_grid, printedHeadingCols());
}

void StatsWindow::startTyping(int row, int col) {
    m_grid->setCursor(row, col);
    m_grid->setFocus(Qt::OtherFocusReason);
}
