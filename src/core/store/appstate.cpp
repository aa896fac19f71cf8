// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/store/appstate.h"

#include "core/store/documentfile.h"
#include "core/time/clock.h"
#include "core/time/dates.h"

#include <QFileInfo>

#include <algorithm>

namespace {
AppState* g_app = nullptr;

// How two paths are told to be the same file: by the file itself where it exists (a
// link or another spelling of the path leads to it), by the cleaned absolute path
// otherwise.
QString fileKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}
} // namespace

AppState::AppState() {
    Document* first = addDocument();
    m_current = first;
}

AppState::~AppState() {
    // The documents go before the signals they relay can reach anyone.
    for (auto& d : m_docs)
        d->disconnect(this);
}

QList<Document*> AppState::documents() const {
    QList<Document*> out;
    for (const auto& d : m_docs)
        out.append(d.get());
    return out;
}

void AppState::setCurrent(Document* doc) {
    if (!doc || doc == m_current || !owns(doc))
        return;
    m_current = doc;
    keepDateInYear();
    Q_EMIT currentChanged(doc);
}

void AppState::keepDateInYear() {
    // The current date always lies in the current document's year: another year
    // brings it to today in that year.
    const int row = Dates::rowOfDate(currentDate(), baseYear());
    if (!currentDate().isValid() || row < 1 || row > YearStore::DayRows)
        setCurrentDateToToday(*this);
}

Document* AppState::addDocument() {
    auto doc = std::make_unique<Document>();
    Document* d = doc.get();
    // Untitled names are told apart by a running number: "nikki0" is the first.
    d->setPath(QStringLiteral("nikki") + QString::number(m_untitled++));
    connect(d, &Document::cellsChanged, this,
            [this, d](const CellRange& r) { Q_EMIT documentCellsChanged(d, r); });
    connect(d, &Document::changedChanged, this,
            [this, d](bool changed) { Q_EMIT docChangedChanged(d, changed); });
    connect(d, &Document::edited, this, [this, d] { Q_EMIT edited(d); });
    connect(d, &Document::pathChanged, this,
            [this, d](const QString& path) { Q_EMIT documentPathChanged(d, path); });
    m_docs.push_back(std::move(doc));
    Q_EMIT documentsChanged();
    return d;
}

void AppState::closeDocument(Document* doc) {
    if (m_docs.size() <= 1)
        return;
    const auto it =
        std::find_if(m_docs.begin(), m_docs.end(), [doc](const auto& d) { return d.get() == doc; });
    if (it == m_docs.end())
        return;
    const bool wasCurrent = doc == m_current;
    const size_t index = size_t(it - m_docs.begin());
    std::unique_ptr<Document> closing = std::move(*it);
    m_docs.erase(it);
    closing->disconnect(this);
    if (wasCurrent) {
        m_current = m_docs[index > 0 ? index - 1 : 0].get();
        keepDateInYear();
        Q_EMIT currentChanged(m_current);
    }
    Q_EMIT documentsChanged();
}

Document* AppState::findDocument(const QString& path) const {
    if (path.isEmpty() || DocFiles::isUntitled(path))
        return nullptr;
    const QString key = fileKey(path);
    for (const auto& d : m_docs)
        if (!d->isUntitled() && fileKey(d->path()) == key)
            return d.get();
    return nullptr;
}

bool AppState::owns(const Document* doc) const {
    return std::any_of(m_docs.begin(), m_docs.end(),
                       [doc](const auto& d) { return d.get() == doc; });
}

QList<Document*> AppState::changedDocuments() const {
    QList<Document*> out;
    for (const auto& d : m_docs)
        if (d->isChanged())
            out.append(d.get());
    return out;
}

AppState::QuietCurrent::QuietCurrent(AppState& app, Document* doc)
    : m_app(app), m_saved(app.m_current) {
    if (doc && app.owns(doc))
        app.m_current = doc;
}

AppState::QuietCurrent::~QuietCurrent() {
    if (m_app.owns(m_saved))
        m_app.m_current = m_saved;
}

QDate AppState::currentDate() const {
    return Dates::make(CurYear, CurMonth, CurDay);
}

void AppState::setCurrentDate(const QDate& d) {
    CurYear = d.year();
    CurMonth = d.month();
    CurDay = d.day();
}

AppState& App() {
    if (!g_app)
        g_app = new AppState; // lives for the whole run
    return *g_app;
}

void installApp(AppState* state) {
    g_app = state;
}

int Store_DayRow(const AppState& app) {
    return Dates::rowOfDate(app.currentDate(), app.baseYear());
}

void setCurrentDateToToday(AppState& app, int baseYear) {
    if (baseYear == 0)
        baseYear = app.baseYear();
    const QDate today = Clock::today();
    const int year = today.month() > 3 ? baseYear : baseYear + 1;
    app.setCurrentDate(Dates::make(year, today.month(), today.day()));
}

bool Store_StepMonth(int& year, int& month, int direction) {
    if (direction < 0) {
        if (month == 4)
            return false;
        if (month == 1) {
            month = 12;
            year -= 1;
        } else {
            month -= 1;
        }
    } else {
        if (month == 3)
            return false;
        if (month == 12) {
            month = 1;
            year += 1;
        } else {
            month += 1;
        }
    }
    return true;
}

void Store_ClampDay(AppState& app) {
    const QDate first = Dates::make(app.CurYear, app.CurMonth, 1);
    if (first.isValid())
        app.CurDay = std::clamp(app.CurDay, 1, first.daysInMonth());
}
