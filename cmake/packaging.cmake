# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package, made by CPack from the install rules (scripts/package builds it
# with the prefix /usr). Run from the build folder: cpack.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME daylog)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})

# The package's own files in share/doc/daylog: the machine-readable copyright file and
# the Debian changelog (data/debian/). The changelog's newest entry gives the package
# its version, the project's version and a Debian revision ("0.1.0-1"); an entry for
# another version of the project stops the configuration.
set(daylog_debian ${PROJECT_SOURCE_DIR}/data/debian)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${daylog_debian}/changelog)
file(STRINGS ${daylog_debian}/changelog daylog_changelog_top LIMIT_COUNT 1)
if(NOT daylog_changelog_top MATCHES "^daylog \\(([^-)]+)-([^)]+)\\) ")
    message(FATAL_ERROR "data/debian/changelog: no \"daylog (VERSION-REVISION)\" at the top")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
    message(FATAL_ERROR "data/debian/changelog is at ${CMAKE_MATCH_1}, the project at "
                        "${PROJECT_VERSION}: add an entry for ${PROJECT_VERSION}")
endif()
set(CPACK_DEBIAN_PACKAGE_RELEASE ${CMAKE_MATCH_2})
include(${PROJECT_SOURCE_DIR}/cmake/gzip.cmake)
daylog_gzip(${daylog_debian}/changelog ${PROJECT_BINARY_DIR}/changelog.Debian.gz)
install(FILES ${daylog_debian}/copyright ${PROJECT_BINARY_DIR}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/daylog)
# What lintian is told to accept, with the reasons (data/debian/lintian-overrides).
install(FILES ${daylog_debian}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME daylog)
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
