# SPDX-License-Identifier: GPL-3.0-or-later
# The layers stay in order, windows on top: no file under src/core includes a file of
# src/gui or src/net or a header of Qt Gui, Widgets, Print Support, Network or D-Bus;
# no file under src/net includes a file of src/gui or a header of Qt Gui, Widgets,
# Print Support or D-Bus (it may include the core and Qt Network).
#   cmake -D SOURCE_DIR=<checkout> [-D STAMP=<file>] -P cmake/checklayers.cmake
set(found "")
function(check_layer folder forbidden)
    file(GLOB_RECURSE files "${SOURCE_DIR}/src/${folder}/*.h" "${SOURCE_DIR}/src/${folder}/*.cpp")
    foreach(file IN LISTS files)
        file(STRINGS "${file}" lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"](${forbidden})")
        foreach(line IN LISTS lines)
            file(RELATIVE_PATH name "${SOURCE_DIR}" "${file}")
            string(APPEND found "\n  ${name}: ${line}")
        endforeach()
    endforeach()
    set(found "${found}" PARENT_SCOPE)
endfunction()
set(windows "gui/|QtGui|QtWidgets|QtPrintSupport|QtDBus|QDBus|QWidget|QApplication|QGuiApplication")
check_layer(core "${windows}|net/|QtNetwork|QNetwork|QSsl")
check_layer(net "${windows}")
if(found)
    message(FATAL_ERROR "A layer includes one above it:${found}")
endif()
if(STAMP)
    file(TOUCH "${STAMP}")
endif()
