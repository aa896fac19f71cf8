// SPDX-License-Identifier: GPL-3.0-or-later
// The search window's search of every year: which documents, read where, listed how.

#include "gui/search/searchwindow.h"

#include "core/search/search.h"
#include "core/search/wildcard.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "gui/frame/dayrange.h"
#include "gui/platform/filedialog.h"

#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// The folders the user added to the search of every year.
const QString FoldersKey = u"search/folders"_s;

QStringList addedFolders() {
    return QSettings().value(FoldersKey).toStringList();
}

// A heading line of the list: bold, never chosen.
QListWidgetItem* headingItem(const QString& text = {}) {
    auto* heading = new QListWidgetItem(text);
    heading->setFlags(Qt::ItemIsEnabled);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    return heading;
}

QString fileName(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return name.isEmpty() ? path : name;
}

} // namespace

QWidget* SearchWindow::buildYearChoice(QWidget* page) {
    auto* box = new QWidget(page);
    m_thisYear = new QRadioButton(u"この年度(&T)"_s, box);
    m_allYears = new QRadioButton(u"すべての年度(&A)"_s, box);
    m_thisYear->setChecked(true);
    auto* group = new QButtonGroup(box);
    group->addButton(m_thisYear);
    group->addButton(m_allYears);
    connect(m_allYears, &QRadioButton::toggled, this, [this] { showScope(); });

    m_folders = new QToolButton(box);
    m_folders->setText(u"フォルダ(&D)"_s);
    m_folders->setAccessibleName(u"探すフォルダ"_s);
    m_folders->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_folders->setPopupMode(QToolButton::InstantPopup);
    auto* menu = new QMenu(m_folders);
    connect(menu, &QMenu::aboutToShow, this, &SearchWindow::fillFolderMenu);
    m_folders->setMenu(menu);

    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_thisYear);
    row->addWidget(m_allYears);
    row->addWidget(m_folders);
    row->addStretch();
    return box;
}

SearchWindow::Scope SearchWindow::scope() const {
    return m_allYears->isChecked() ? Scope::AllYears : Scope::ThisYear;
}

void SearchWindow::setScope(Scope scope) {
    (scope == Scope::AllYears ? m_allYears : m_thisYear)->setChecked(true);
}

void SearchWindow::showScope() {
    // Every year is searched whole: the range belongs to this year's search.
    m_range->setEnabled(scope() == Scope::ThisYear);
    m_folders->setEnabled(scope() == Scope::AllYears);
    m_folders->setToolTip(searchFolders().join(u'\n'));
    showProgress();
}

void SearchWindow::showProgress() {
    m_progress->setVisible(searching());
    m_cancel->setVisible(searching());
}

QStringList SearchWindow::searchFolders() const {
    QStringList folders;
    if (!app().doc().isUntitled())
        folders << QFileInfo(app().docPath()).absolutePath();
    for (const QString& folder : addedFolders())
        if (!folders.contains(folder))
            folders << folder;
    return folders;
}

void SearchWindow::fillFolderMenu() {
    QMenu* menu = m_folders->menu();
    menu->clear();
    if (!app().doc().isUntitled()) {
        QAction* own = menu->addAction(
            u"%1（この文書のフォルダ）"_s.arg(QFileInfo(app().docPath()).absolutePath()));
        own->setEnabled(false);
    }
    // An added folder is ticked; choosing it takes it off the list.
    for (const QString& folder : addedFolders()) {
        QAction* item = menu->addAction(folder);
        item->setCheckable(true);
        item->setChecked(true);
        connect(item, &QAction::triggered, this, [this, folder] { removeFolder(folder); });
    }
    menu->addSeparator();
    menu->addAction(u"フォルダを追加(&A)..."_s, this, &SearchWindow::addFolder);
}

void SearchWindow::addFolder() {
    const QString chosen = FileDialog::getExistingDirectory(
        this, u"探すフォルダを追加"_s, DocFiles::dialogFolder(app().docPath()));
    if (chosen.isEmpty())
        return;
    const QString folder = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
    QStringList folders = addedFolders();
    if (!searchFolders().contains(folder)) {
        folders << folder;
        QSettings().setValue(FoldersKey, folders);
    }
    setScope(Scope::AllYears);
    showScope();
}

void SearchWindow::removeFolder(const QString& folder) {
    QStringList folders = addedFolders();
    folders.removeAll(folder);
    QSettings().setValue(FoldersKey, folders);
    showScope();
}

void SearchWindow::clearResults() {
    cancelSearch();
    m_list->clear();
    m_groups.clear();
    m_skipped = nullptr;
    m_skippedCount = 0;
    m_hits = 0;
    m_searched = 0;
    m_status->clear();
}

void SearchWindow::cancelSearch() {
    if (!searching())
        return;
    // Results still on their way belong to this search and are dropped.
    m_search.cancel();
    ++m_generation;
    m_pending = 0;
    finishAllYears(true);
}

void SearchWindow::searchAllYears(const Wildcard& pattern) {
    clearResults();
    ++m_generation;
    QStringList missing;
    const QStringList found = YearSearch_Files(searchFolders(), &missing);
    // The current document and every other one open are searched as they are now,
    // unsaved changes included; the rest are read from their files.
    list(YearSearch_Store(app().docPath(), app().store(), app().baseYear(), pattern), true);
    int searched = 1;
    QStringList files;
    for (const QString& file : found) {
        Document* open = app().findDocument(file);
        if (open == &app().doc())
            continue;
        if (open) {
            list(YearSearch_Store(open->path(), open->store(), open->baseYear(), pattern), false);
            ++searched;
        } else {
            files << file;
        }
    }
    for (const QString& folder : missing) {
        YearSearchResult gone;
        gone.path = folder;
        gone.error = FileResult::failure(FileResult::NotFound);
        listSkipped(gone);
    }
    m_searched = searched;
    m_pending = int(files.size());
    m_progress->setRange(0, searched + int(files.size()));
    m_progress->setValue(searched);
    if (m_list->count() > 0)
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    if (files.isEmpty()) {
        finishAllYears(false);
        return;
    }
    showProgress();
    m_status->setText(u"文書を読んでいます…"_s);
    const int generation = m_generation;
    m_search.start(
        files, pattern, SearchText::ContextOnly,
        [this, generation](qsizetype, YearSearchResult r) {
            QMetaObject::invokeMethod(
                this,
                [this, generation, r = std::move(r)] {
                    if (generation != m_generation)
                        return;
                    if (r.searched()) {
                        ++m_searched;
                        list(r, false);
                    } else
                        listSkipped(r);
                    m_progress->setValue(m_progress->value() + 1);
                    if (--m_pending == 0)
                        finishAllYears(false);
                },
                Qt::QueuedConnection);
        },
        [](bool) {});
}

void SearchWindow::list(const YearSearchResult& result, bool current) {
    if (result.hits.empty())
        return;
    // The year's place: newest first, two files of one year by name.
    size_t at = 0;
    int row = 0;
    while (at < m_groups.size() &&
           (m_groups[at].baseYear > result.baseYear ||
            (m_groups[at].baseYear == result.baseYear && m_groups[at].path < result.path))) {
        row += m_groups[at].lines;
        ++at;
    }
    const QString name = current ? app().doc().displayName() : fileName(result.path);
    m_list->insertItem(
        row++, headingItem(
                   u"%1年度　%2（%3件）"_s.arg(result.baseYear).arg(name).arg(result.hits.size())));
    for (const SearchHit& hit : result.hits) {
        auto* item = new QListWidgetItem(Search_HitLine(hit));
        item->setData(Qt::UserRole, hit.date);
        item->setData(FileRole, result.path);
        m_list->insertItem(row++, item);
    }
    m_groups.insert(m_groups.begin() + qsizetype(at),
                    {result.baseYear, result.path, int(result.hits.size()) + 1});
    m_hits += int(result.hits.size());
}

void SearchWindow::listSkipped(const YearSearchResult& result) {
    // The files not searched come last, under a heading of their own.
    if (!m_skipped) {
        m_skipped = headingItem();
        m_list->addItem(m_skipped);
    }
    ++m_skippedCount;
    m_skipped->setText(u"探せなかったファイル（%1件）"_s.arg(m_skippedCount));
    // A file by its name (the whole path as its tip), a folder gone by its path.
    const bool file = QFileInfo(result.path).isFile();
    auto* item = new QListWidgetItem(
        u"%1　%2"_s.arg(file ? fileName(result.path) : result.path, result.error.reason()), m_list);
    item->setToolTip(result.path);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
}

void SearchWindow::finishAllYears(bool cancelled) {
    const int read = m_searched;
    QString text = m_hits > 0
                       ? u"%1件見つかりました（%2件の文書を探しました）。"_s.arg(m_hits).arg(read)
                       : u"見つかりませんでした（%1件の文書を探しました）。"_s.arg(read);
    if (m_skippedCount > 0)
        text += u"探せなかったファイルが%1件あります。"_s.arg(m_skippedCount);
    if (cancelled)
        text = u"中止しました。"_s + text;
    m_status->setText(text);
    showProgress();
    if (m_list->currentRow() < 0 && m_list->count() > 0)
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    Q_EMIT searchFinished();
}
