# SPDX-License-Identifier: GPL-3.0-or-later
# Hardening of every build without the sanitizers (the release build and the Debian
# package among them): position-independent programs, stack protection, the checked
# variants of the C library's string and memory functions wherever the compiler
# optimises (they need it), and relocations made read-only at start-up with every
# symbol bound then (RELRO with BIND_NOW). The sanitizer builds keep their own
# instrumentation instead.
if(DAYLOG_SANITIZE)
    return()
endif()

include(CheckPIESupported)
check_pie_supported(LANGUAGES CXX)
set(CMAKE_POSITION_INDEPENDENT_CODE ON)

target_compile_options(daylog_options INTERFACE -fstack-protector-strong
    # A _FORTIFY_SOURCE given from outside (CPPFLAGS) is replaced, not redefined.
    "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
target_link_options(daylog_options INTERFACE -Wl,-z,relro -Wl,-z,now)
