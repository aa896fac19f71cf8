# SPDX-License-Identifier: GPL-3.0-or-later
# The core stays below the windows: no file under src/core includes a file of src/gui
# or a header of Qt Gui, Widgets, Print Support, Network or D-Bus.
#   cmake -D SOURCE_DIR=<checkout> [-D STAMP=<file>] -P cmake/checklayers.cmake
file(GLOB_RECURSE core_files "${SOURCE_DIR}/src/core/*.h" "${SOURCE_DIR}/src/core/*.cpp")
set(found "")
foreach(file IN LISTS core_files)
    file(STRINGS "${file}" lines
        REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](gui/|QtGui|QtWidgets|QtPrintSupport|QtNetwork|QtDBus|QDBus)")
    foreach(line IN LISTS lines)
        file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
        string(APPEND found "\n  ${name}: ${line}")
    endforeach()
endforeach()
if(found)
    message(FATAL_ERROR "The core includes the windows' layer:${found}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
