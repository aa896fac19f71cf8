// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

// The program's manual, an HTML file, shown in the program's own help window. Each
// window has a section of its own in it, named by an anchor.
class Help {
public:
    class Backend {
    public:
        virtual ~Backend() = default;
        // Shows the help file at `section` (an anchor name; empty: the top); false
        // (with `error` set) when it cannot be shown.
        virtual bool show(QWidget* parent, const QString& path, const QString& section,
                          QString* error) = 0;
        virtual void closeAll() = 0;
        // Where the help file is looked for.
        virtual QString helpPath() const = 0;
    };
    static bool show(QWidget* parent, const QString& path, const QString& section = {},
                     QString* error = nullptr);
    static void closeAll();
    // The help file: see helpPathIn, for the program's folder.
    static QString helpPath();
    // daylogHelp.html in `programFolder`; when it is not there but the installed
    // layout has it (the program in <prefix>/bin, the manual in
    // <prefix>/share/daylog), that one. With neither, the first.
    static QString helpPathIn(const QString& programFolder);
    // The section of the manual about the window with that objectName; empty (the
    // top of the manual) for any other.
    static QString sectionOf(const QString& windowName);
    // Every section sectionOf names.
    static QStringList sections();
    static void install(std::unique_ptr<Backend> backend);
};
