// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the user model test reads the program's state beyond what the windows show:
// files as the program reads them, the main window's tables, which document is
// current, and every open document in memory with its changed state.

#include "model.h"

#include "core/calendar/newyear.h"
#include "core/grid/gridmodel.h"
#include "core/store/appstate.h"
#include "core/store/document.h"
#include "core/store/documentfile.h"
#include "core/store/yearstore.h"
#include "core/todo/todostring.h"
#include "gui/app/startup.h"
#include "gui/main/annualwindow.h"
#include "gui/main/mainwindow.h"

#include <QMdiArea>
#include <QMdiSubWindow>

namespace UserModel {

inline DocContent contentOf(const YearStore& s) {
    DocContent d;
    d.year = int(s.number(0, 0));
    for (int r = 1; r <= Days; ++r) {
        for (int f = 0; f < TextFields; ++f)
            d.text(r, f) = s.text(r, FirstTextCol + f);
        for (const ToDoItem& i : ToDo_Parse(s.text(r, ToDoCol)))
            d.todo[size_t(r)].push_back({i.done(), i.time, i.category, i.text});
        for (int c = FirstColourCol; c < FirstColourCol + ColourCols; ++c)
            d.colour(r, c) = s.number(r, c);
    }
    return d;
}

class Probe {
public:
    Probe(Startup& startup, AppState& app) : m_startup(startup), m_app(app) {}

    // A file of a new year as the program's year dialog makes it.
    static bool makeNewYear(int year, const QString& path) {
        YearStore store;
        Store_New(store, year, QDate(year, 6, 1));
        return DocFiles::writeDocument(store, 20, path).ok();
    }

    // A document file read by the program's own reader, as it would open it.
    static std::optional<DocContent> readFile(const QString& path, QString* why) {
        YearStore store;
        const FileResult r = DocFiles::readDocument(path, store);
        if (!r.ok()) {
            *why = r.loadMessage(path);
            return std::nullopt;
        }
        return contentOf(store);
    }

    // The main window's tables in the order they were made, each with the file of its
    // document; none before the main window is first opened.
    struct Table {
        QString path;
        QMdiSubWindow* window = nullptr;
        bool active = false;
    };
    MainWindow* mainWindow() const {
        NavWindow* w = m_startup.navigator().window(::View::Main);
        return w ? static_cast<MainWindow*>(w->widget()) : nullptr;
    }
    std::vector<Table> tables() const {
        std::vector<Table> out;
        if (MainWindow* main = mainWindow())
            for (AnnualWindow* w : main->annualWindows())
                out.push_back({w->document().path(),
                               qobject_cast<QMdiSubWindow*>(w->parentWidget()),
                               main->activeAnnual() == w});
        return out;
    }

    // The calendar's title as the window system shows it ("*" for the change mark).
    QString calendarTitle() const {
        NavWindow* w = m_startup.navigator().window(::View::Calendar);
        if (!w)
            return {};
        const QWidget* window = w->widget();
        QString title = window->windowTitle();
        return title.replace(QStringLiteral("[*]"),
                             window->isWindowModified() ? QStringLiteral("*") : QString());
    }

    // The file of the document the program takes as current: the one a question that
    // names no document is about.
    QString currentPath() const { return m_app.docPath(); }

    // Every open document as the program holds it in memory, by its file, with its
    // changed state.
    struct OpenDocument {
        DocContent content;
        bool changed = false;
    };
    std::map<QString, OpenDocument> documents() const {
        std::map<QString, OpenDocument> out;
        for (const Document* d : m_app.documents())
            out[d->path()] = {contentOf(d->store()), d->isChanged()};
        return out;
    }

private:
    Startup& m_startup;
    AppState& m_app;
};

} // namespace UserModel
