# Cross-building the project for 64-bit Windows with Debian's MinGW-w64. The
# tests then run under wine64.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-compilers.cmake)

# The C and C++ runtimes linked in, so that Wine (or a PC) needs no DLL of
# the compiler's.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)

set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
