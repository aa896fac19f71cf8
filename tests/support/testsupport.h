// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The set-up every window test shares: a fresh program state and navigator for each
// case, the clock fixed, and every platform service replaced by its scripted double
// (message boxes, file and colour dialogs, the program's own modal dialogs, clipboard,
// printer, help, notification area, notification service). The real services come
// back when the environment goes. Recovery copies and settings go to a temporary
// folder of the environment's.

#include "core/calendar/newyear.h"
#include "core/store/appstate.h"
#include "core/store/documentfile.h"
#include "core/store/recovery.h"
#include "gui/frame/navigator.h"
#include "support/doubles.h"

#include <QCoreApplication>
#include <QSettings>

#include <QProcess>
#include <QTemporaryDir>

#include <memory>

inline QDateTime at(int y, int m, int d, int h = 9, int min = 30) {
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

// The document at `path` read into the current document of `app` (unchanged).
inline bool readYear(AppState& app, const QString& path) {
    YearStore year;
    if (!DocFiles::readDocument(path, year).ok())
        return false;
    app.doc().replace(year);
    setCurrentDateToToday(app);
    return true;
}

struct TestEnvironment {
    explicit TestEnvironment(const QDateTime& now = at(2005, 5, 10)) {
        clock = install<FixedClock>(&Clock::install, now);
        messages = install<ScriptedMessageBox>(&MessageBox::install);
        files = install<ScriptedFileDialog>(&FileDialog::install);
        colors = install<ScriptedColorDialog>(&ColorDialog::install);
        clipboard = install<ScriptedClipboard>(&Clipboard::install);
        printer = install<PdfPrinter>(&Printer::install, printFolder.path());
        help = install<ScriptedHelp>(&Help::install);
        tray = install<ScriptedTray>(&Tray::install);
        notifier = install<ScriptedNotifier>(&Notifier::install);
        dialogs = install<ScriptedDialogs>(&ModalDialog::install);
        installApp(&app);
        Recovery::setFolder(dataFolder.filePath(QStringLiteral("recovery")));
        QCoreApplication::setOrganizationName(QStringLiteral("DayLog"));
        QCoreApplication::setApplicationName(QStringLiteral("DayLog"));
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           dataFolder.filePath(QStringLiteral("config")));
        // DAYLOG_KEEP_PRINTS=1 keeps the printed PDFs for a look.
        printFolder.setAutoRemove(qEnvironmentVariableIsEmpty("DAYLOG_KEEP_PRINTS"));
    }
    ~TestEnvironment() {
        delete nav; // the windows go before the state they show
        installApp(nullptr);
        Recovery::setFolder(QString());
        ModalDialog::install(nullptr);
        Notifier::install(nullptr);
        Tray::install(nullptr);
        Help::install(nullptr);
        Printer::install(nullptr);
        Clipboard::install(nullptr);
        ColorDialog::install(nullptr);
        FileDialog::install(nullptr);
        MessageBox::install(nullptr);
        Clock::install(nullptr);
    }
    TestEnvironment(const TestEnvironment&) = delete;
    TestEnvironment& operator=(const TestEnvironment&) = delete;

    // A new document of `baseYear` with the current date at today.
    void newYear(int baseYear = 2005, const QString& docPath = QStringLiteral("nikki0")) {
        app.doc().setPath(docPath);
        setCurrentDateToToday(app, baseYear);
        Store_New(app, baseYear);
    }

    // The manual as the sources hold it.
    static QString manualPath() { return QStringLiteral(DAYLOG_SOURCE_DIR "/doc/daylogHelp.html"); }

    // The text of a printed PDF (pdftotext from poppler-utils).
    static QString pdfText(const QString& path) {
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), path, QStringLiteral("-")});
        if (!p.waitForFinished(30000))
            return QStringLiteral("<pdftotext is needed (poppler-utils)>");
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    QTemporaryDir printFolder;
    QTemporaryDir dataFolder;
    AppState app;
    Navigator* nav = new Navigator;
    FixedClock* clock;
    ScriptedMessageBox* messages;
    ScriptedFileDialog* files;
    ScriptedColorDialog* colors;
    ScriptedClipboard* clipboard;
    PdfPrinter* printer;
    ScriptedHelp* help;
    ScriptedTray* tray;
    ScriptedNotifier* notifier;
    ScriptedDialogs* dialogs;

private:
    template <class Double, class Install, class... Args>
    static Double* install(Install installer, Args&&... args) {
        auto d = std::make_unique<Double>(std::forward<Args>(args)...);
        Double* raw = d.get();
        installer(std::move(d));
        return raw;
    }
};
