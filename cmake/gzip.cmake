# SPDX-License-Identifier: GPL-3.0-or-later
# daylog_gzip(SOURCE OUTPUT): OUTPUT is SOURCE compressed as Debian wants its
# manual pages and changelogs: the best compression, and neither the name nor the time
# of the source stored (gzip -9n), so that every build of the same file is the same;
# made by every build.
include_guard(GLOBAL)
find_program(DAYLOG_GZIP gzip REQUIRED)

function(daylog_gzip source output)
    get_filename_component(name ${output} NAME)
    set(uncompressed ${CMAKE_CURRENT_BINARY_DIR}/gzip/${name})
    string(REGEX REPLACE "\\.gz$" "" uncompressed ${uncompressed})
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E copy ${source} ${uncompressed}
        COMMAND ${DAYLOG_GZIP} -9nf ${uncompressed}
        COMMAND ${CMAKE_COMMAND} -E rename ${uncompressed}.gz ${output}
        DEPENDS ${source}
        COMMENT "Compressing ${name}"
        VERBATIM)
    add_custom_target(gzip-${name} ALL DEPENDS ${output})
endfunction()
