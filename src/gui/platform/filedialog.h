// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

#include <memory>

class QWidget;

// File dialogs go through here, so tests can choose the file. Filters are given in
// the program's "description|pattern" form. An empty result means cancelled.
class FileDialog {
public:
    struct Request {
        bool save;
        QString title;
        QString filter;
        // Where the dialog opens: a folder, or a folder and the name suggested (save
        // dialogs); empty for the working folder.
        QString start;
        // A folder is chosen, not a file (the filter is unused).
        bool folder = false;
    };

    class Backend {
    public:
        virtual ~Backend() = default;
        virtual QString ask(QWidget* parent, const Request& request) = 0;
    };

    // The save dialog does not ask about an existing file: the caller may change the
    // chosen name before writing and asks about the file it will really write. A
    // suggested name takes the extension of each kind the user picks in the dialog.
    static QString getSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& start = QString());
    // The chosen file must exist.
    static QString getOpenFileName(QWidget* parent, const QString& title, const QString& filter,
                                   const QString& start = QString());

    // A folder that exists.
    static QString getExistingDirectory(QWidget* parent, const QString& title,
                                        const QString& start = QString());

    // "desc (*.x)|*.x|desc2|*.y" → Qt's "desc (*.x);;desc2 (*.y)".
    static QString toQtFilter(const QString& filter);
    // The extension of a Qt filter's first pattern ("CSV (*.csv)" → "csv"); empty where
    // it has none.
    static QString filterExtension(const QString& qtFilter);

    static void install(std::unique_ptr<Backend> backend);
};
