# The Debian package, made by CPack from the install rules (scripts/package builds it
# with the prefix /usr). Run from the build folder: cpack.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME daylog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR DayLog)
set(DAYLOG_PACKAGE_MAINTAINER "DayLog maintainers <maintainers@daylog.example>"
    CACHE STRING "The Maintainer field of the Debian package")
set(CPACK_PACKAGE_CONTACT ${DAYLOG_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "organiser for one school or business year")
# The long description, its lines kept short as the Debian control file wants them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "DayLog keeps one school or business year (1 April to 31 March) in one"
    "document: for every day its events, with the Japanese public holidays filled"
    "in, a record, seven time slots and ToDo items. It shows the year day by day,"
    "week by week, month by month and as one annual table, with a ToDo list,"
    "record and item statistics, search and printing. Its user interface is"
    "Japanese."
    ""
    "daylog-tool, the command-line companion, makes, dumps and searches documents"
    "without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # daylog_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${DAYLOG_PACKAGE_MAINTAINER})
# The libraries the programs link (the C and C++ runtimes and Qt 6 Core, Gui, Widgets,
# PrintSupport, Network and DBus: libqt6core6, libqt6gui6, libqt6widgets6,
# libqt6printsupport6, libqt6network6, libqt6dbus6) are
# found by dpkg-shlibdeps and added to what is named here: the file-type database the
# document type goes into, the tools whose triggers register the desktop entry, the
# icon theme, and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "shared-mime-info, desktop-file-utils, hicolor-icon-theme, fonts-ipafont-gothic | fonts-japanese-gothic")
# Qt's own Japanese translations give the standard dialogs Japanese buttons.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
