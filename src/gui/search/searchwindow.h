// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/search/yearsearch.h"
#include "gui/frame/viewwindow.h"

#include <vector>

class DayRange;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QToolButton;
class Wildcard;

// "検索": every text that holds the search text, one line each (the date with its
// weekday, the field's heading and the text around the match), by date; a click on a
// line opens its day in the diary.
//
// It searches the days of a range of the current year (この年度), or every year
// (すべての年度): the documents in the current document's folder and in the folders
// the user added (kept in the settings), the open ones as they are now. Those are read
// on worker threads while the window stays responsive, each year's lines listed under
// its heading as soon as it is searched, newest year first; files that could not be
// searched are listed last with the reason. A line of another year opens that
// document, which becomes the current one.
class SearchWindow : public ViewWindow {
    Q_OBJECT
public:
    SearchWindow(AppState& app, Navigator& nav, QWidget* parent = nullptr);

    enum class Scope { ThisYear, AllYears };
    Scope scope() const;
    void setScope(Scope scope);

    // "検索": lists the texts found (asks for a text when there is none).
    void search();
    // "中止": no further document is read; what was found stays listed.
    void cancelSearch();
    bool searching() const { return m_pending > 0; }
    // A day of the current document chosen: the diary opens at it and the search
    // window closes.
    void openDay(const QDate& day);
    // A line chosen: its document becomes the current one (opened when it is not open)
    // and the diary opens at its day.
    void openLine(QListWidgetItem* line);

    // The folders searched for every year: the current document's and the added ones.
    QStringList searchFolders() const;
    // "フォルダを追加...": asks for a folder to search too.
    void addFolder();
    void removeFolder(const QString& folder);

    QLineEdit* textBox() const { return m_text; }
    QDateEdit* fromPicker() const;
    QDateEdit* toPicker() const;
    QListWidget* results() const { return m_list; }
    QProgressBar* progress() const { return m_progress; }
    QLabel* status() const { return m_status; }
    // The lines listed (headings too), the day of each (invalid for a heading) and
    // the document of each (empty for a heading).
    QStringList resultTexts() const;
    QList<QDate> resultDays() const;
    QStringList resultFiles() const;

Q_SIGNALS:
    // A search of every year has listed its last document (or was cancelled).
    void searchFinished();

protected:
    void loadFromStore() override;
    void storeBack() override {}
    QWidget* writingWidget() const override;
    bool pageOfADate() const override { return false; }
    bool followsActivation() const override { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::vector<Command> commandTable();
    QWidget* buildPage();
    QWidget* buildYearChoice(QWidget* page);
    void searchThisYear(const Wildcard& pattern);
    void searchAllYears(const Wildcard& pattern);
    // One document's result listed under its year's heading.
    void list(const YearSearchResult& result, bool current);
    void listSkipped(const YearSearchResult& result);
    void finishAllYears(bool cancelled);
    void showScope();
    void fillFolderMenu();
    void clearResults();
    void showProgress();

    static constexpr int FileRole = Qt::UserRole + 1; // a line's document

    QLineEdit* m_text = nullptr; // Text1
    DayRange* m_range = nullptr;
    QRadioButton* m_thisYear = nullptr;
    QRadioButton* m_allYears = nullptr;
    QToolButton* m_folders = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_cancel = nullptr;
    QLabel* m_status = nullptr;
    QListWidget* m_list = nullptr;

    // The search of every year: the documents read on worker threads, whose results
    // arrive in the order they are done; results of an earlier search are dropped. Its
    // destructor waits for the workers, before the window's QObject is gone.
    YearSearch m_search;
    int m_generation = 0;
    int m_pending = 0;  // documents not listed yet
    int m_searched = 0; // documents searched
    struct Group {
        int baseYear;
        QString path;
        int lines; // the heading's and its hits'
    };
    std::vector<Group> m_groups;          // newest year first
    QListWidgetItem* m_skipped = nullptr; // the heading of the files not searched
    int m_skippedCount = 0;
    int m_hits = 0;
};
