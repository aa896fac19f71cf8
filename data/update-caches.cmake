# SPDX-License-Identifier: GPL-3.0-or-later
# Run by `cmake --install`: when the files went straight into the prefix the build was
# configured for (no DESTDIR, no other --prefix), the desktop's file-type and
# application caches are rebuilt so that documents open in DayLog at once. A package
# leaves that to the package manager's triggers, and a staged install to whoever
# installs it. The icon theme needs no cache.
if(NOT "$ENV{DESTDIR}" STREQUAL "" OR NOT CMAKE_INSTALL_PREFIX STREQUAL daylog_configured_prefix)
    return()
endif()
foreach(step "update-mime-database;${daylog_datadir}/mime"
             "update-desktop-database;-q;${daylog_datadir}/applications")
    list(GET step 0 tool)
    list(SUBLIST step 1 -1 args)
    find_program(daylog_tool_path ${tool} NO_CACHE)
    if(daylog_tool_path)
        message(STATUS "Updating: ${tool} ${args}")
        execute_process(COMMAND ${daylog_tool_path} ${args})
    endif()
    unset(daylog_tool_path)
endforeach()
