// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/platform/uisetup.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

void setupJapaneseUi(QApplication& app) {
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // Settings go to ~/.config/DayLog/DayLog.conf, program data to
    // ~/.local/share/DayLog/DayLog.
    QCoreApplication::setOrganizationName(QStringLiteral("DayLog"));
    QCoreApplication::setApplicationName(QStringLiteral("DayLog"));
    QCoreApplication::setApplicationVersion(QStringLiteral(DAYLOG_VERSION));
    // The installed desktop entry (daylog.desktop): the desktop shows its name and
    // icon for the program's windows.
    QGuiApplication::setDesktopFileName(QStringLiteral("daylog"));
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}
