// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/store/document.h"
#include "core/store/yearstore.h"

#include <QDate>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>
#include <vector>

// The program-wide state of one run: the open documents, which of them is current
// (the one the calendar and the views show) and the current date. Every window reaches
// it through App(). Tests make their own instance and install it.
//
// There is always at least one document; `store()`, `baseYear()` and `docPath()` are
// the current document's.
class AppState : public QObject {
    Q_OBJECT
public:
    AppState();
    ~AppState() override;

    // The open documents in the order they were opened.
    QList<Document*> documents() const;
    Document& doc() const { return *m_current; }
    void setCurrent(Document* doc);
    // A new, empty document (an untitled name, unchanged), added to the open ones. It
    // does not become current.
    Document* addDocument();
    // Closes an open document; the current one is then the one opened before it (or
    // after it). The last document is never closed.
    void closeDocument(Document* doc);
    // The open document of the file at `path` (the same file, however the path is
    // written), if any.
    Document* findDocument(const QString& path) const;
    bool owns(const Document* doc) const;
    // The documents holding changes not saved yet, in the order they were opened.
    QList<Document*> changedDocuments() const;

    YearStore& store() { return m_current->store(); }
    const YearStore& store() const { return m_current->store(); }
    int baseYear() const { return m_current->baseYear(); }
    QString docPath() const { return m_current->path(); }
    bool docChanged() const { return m_current->isChanged(); }
    void setDocChanged(bool changed) { m_current->setChanged(changed); }

    int CurYear = 0;
    int CurMonth = 1;
    int CurDay = 1;

    QDate currentDate() const;
    // Sets CurYear/CurMonth/CurDay to `d` (which the callers keep inside the year).
    void setCurrentDate(const QDate& d);

    // For the scope's lifetime `doc` is current without anyone being told: a view
    // stores the page of the document it shows, whichever is current by then.
    class QuietCurrent {
    public:
        QuietCurrent(AppState& app, Document* doc);
        ~QuietCurrent();
        QuietCurrent(const QuietCurrent&) = delete;
        QuietCurrent& operator=(const QuietCurrent&) = delete;

    private:
        AppState& m_app;
        Document* m_saved;
    };

Q_SIGNALS:
    // Another document became current.
    void currentChanged(Document* doc);
    // A document was opened or closed.
    void documentsChanged();
    // Relayed from every open document.
    void documentCellsChanged(Document* doc, const CellRange& range);
    void docChangedChanged(Document* doc, bool changed);
    void edited(Document* doc);
    void documentPathChanged(Document* doc, const QString& path);
    // The user let the unsaved changes of `doc` go (at the end of the program).
    void changesLetGo(Document* doc);

private:
    void keepDateInYear();

    std::vector<std::unique_ptr<Document>> m_docs;
    Document* m_current = nullptr;
    int m_untitled = 0; // the running number of untitled documents
};

AppState& App();
// Replaces the program's state (tests).
void installApp(AppState* state);

// Row of the current date (1 April of the current document's year = 1).
int Store_DayRow(const AppState& app = App());

// Current date := today's month and day placed in the year of `baseYear` (the current
// document's when 0): CurYear is the base year for April..December and the next one for
// January..March. A day the year does not have (29 February) carries into the next
// month.
void setCurrentDateToToday(AppState& app = App(), int baseYear = 0);

// Steps a month of the document year by one (`direction` -1 or +1); the year runs
// from April to March: January steps back to December of the year before, December
// forward to January of the next. Returns false, changing nothing, at the ends (back
// from April, forward from March).
bool Store_StepMonth(int& year, int& month, int direction);

// Brings CurDay into the current month: a day the month does not have (31 in June)
// becomes the month's last day. Views call it before they show the current date.
void Store_ClampDay(AppState& app);
