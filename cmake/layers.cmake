# SPDX-License-Identifier: GPL-3.0-or-later
# Checked before the core is compiled, and again whenever a core file changes.
file(GLOB_RECURSE daylog_core_files CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/core/*.h ${CMAKE_SOURCE_DIR}/src/core/*.cpp)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/layers.stamp
    COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${CMAKE_SOURCE_DIR}
        -D STAMP=${CMAKE_BINARY_DIR}/layers.stamp -P ${CMAKE_SOURCE_DIR}/cmake/checklayers.cmake
    DEPENDS ${daylog_core_files} ${CMAKE_SOURCE_DIR}/cmake/checklayers.cmake
    COMMENT "Checking that the core includes nothing of the windows")
add_custom_target(daylog_layers DEPENDS ${CMAKE_BINARY_DIR}/layers.stamp)
add_dependencies(daylog_core daylog_layers)
