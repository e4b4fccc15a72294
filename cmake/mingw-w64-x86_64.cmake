# Cross-compiles for 64-bit Windows with MinGW-w64 (Debian:
# g++-mingw-w64-x86-64-posix, whose posix thread model gives std::thread).
# The tests run under Wine (Debian: wine64), which CMake puts before every
# test command as the cross-compiling emulator.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Headers and libraries come from MinGW's own tree only: the host's
# /usr/include would shadow MinGW's C library headers with glibc's. The
# few header-only packages the program uses are exposed one folder each
# (cmake/windows_dependencies.cmake).
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained executable: the C and C++ runtimes and the threads
# library linked in, so that only Windows' own DLLs are imported (and it
# starts faster under Wine).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

find_program(SCENARIO_WINE NAMES wine64 wine PATHS /usr/lib/wine
             DOC "Wine, which runs the tests (Debian: wine64)")
if(SCENARIO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SCENARIO_WINE})
endif()
