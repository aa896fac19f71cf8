# SPDX-License-Identifier: GPL-3.0-or-later
# Checked before the core and the network library are compiled, and again whenever a
# file of theirs changes.
file(GLOB_RECURSE daylog_layer_files CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/src/core/*.h ${CMAKE_SOURCE_DIR}/src/core/*.cpp
    ${CMAKE_SOURCE_DIR}/src/net/*.h ${CMAKE_SOURCE_DIR}/src/net/*.cpp)
add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/layers.stamp
    COMMAND ${CMAKE_COMMAND} -D SOURCE_DIR=${CMAKE_SOURCE_DIR}
        -D STAMP=${CMAKE_BINARY_DIR}/layers.stamp -P ${CMAKE_SOURCE_DIR}/cmake/checklayers.cmake
    DEPENDS ${daylog_layer_files} ${CMAKE_SOURCE_DIR}/cmake/checklayers.cmake
    COMMENT "Checking that the core and the network include nothing of the layers above")
add_custom_target(daylog_layers DEPENDS ${CMAKE_BINARY_DIR}/layers.stamp)
add_dependencies(daylog_core daylog_layers)
add_dependencies(daylog_net daylog_layers)
